# Shared by the end-to-end tests, each in a temporary folder with its own
# display (Xvfb, trayer as tray host), store and runtime folder, so that they
# may run side by side. The program is each test's first argument; the test
# runs in its folder (sounds and help beside it), its desktop up.
set -u
PINGALO=$(realpath "$1")
WORK=$(mktemp -d)
chmod 700 "$WORK"
export XDG_RUNTIME_DIR=$WORK/runtime PINGALO_STORE=$WORK/store.db
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
PIDS=()

fail() {
    echo "at $(date +%T.%N)" >&2
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && command -v xwininfo >/dev/null; then
        echo "--- windows:" >&2
        xwininfo -root -tree 2>/dev/null | grep -E '"[^"]+"' | head -30 >&2
    fi
    for log in "$WORK"/*.log; do echo "--- $log:" >&2; tail -n 15 "$log" >&2; done
    exit 1
}
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
cd "$(dirname "$PINGALO")" || fail "no run folder"

Xvfb -displayfd 6 -screen 0 1024x700x24 -nolisten tcp 6>"$WORK/display" 2>"$WORK/xvfb.log" &
PIDS+=($!)
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.05; done
[ -s "$WORK/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$WORK/display")
trayer --edge top --align right --widthtype request --height 28 --transparent false >"$WORK/trayer.log" 2>&1 &
PIDS+=($!)
sleep 1

# run_pingalo NAME [ARGUMENTS...]: starts the program, its output in NAME.log; PID is its id.
run_pingalo() { local name=$1; shift; "$PINGALO" "$@" >"$WORK/$name.log" 2>&1 & PID=$!; PIDS+=($PID); }
in_tray() { run_pingalo "$@"; wait_for 10 has_tray_icon || fail "the tray icon did not appear"; }

# wait_for SECONDS COMMAND...: runs COMMAND every tenth of a second until it succeeds.
wait_for() {
    for _ in $(seq $(($1 * 10))); do "${@:2}" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

# The program's tray icon: its shown window that is no bigger than an icon.
tray_icon() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^pingalo$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -le 64 ] && [ "$WIDTH" -gt 1 ] && echo "$w" && return 0
    done
}
click_tray() { # click_tray BUTTON [REPEAT]
    local icon; icon=$(tray_icon)
    [ -n "$icon" ] || fail "no tray icon to click"
    eval "$(xdotool getwindowgeometry --shell "$icon")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click --repeat "${2:-1}" --delay 80 "$1"
}
menu() { click_tray 3; sleep 0.7; xdotool key "$1"; } # menu KEY: the tray menu's item of KEY

# A shown window whose title is exactly TITLE.
window_titled() { xdotool search --onlyvisible --name "^$(printf '%s' "$1" | sed 's/[]!.[^$*\\]/\\&/g')\$" | head -n1; }
has_tray_icon() { [ -n "$(tray_icon)" ]; }
has_window() { [ -n "$(window_titled "$1")" ]; }
lacks_window() { [ -z "$(window_titled "$1")" ]; }
has_ended() { ! kill -0 "$1" 2>/dev/null; }

# press_in TITLE KEY: gives the window titled TITLE the keyboard and presses KEY,
# as a user would (keys sent to a window with XSendEvent are not the same).
press_in() {
    local w; w=$(window_titled "$1")
    [ -n "$w" ] || fail "no window titled '$1'"
    xdotool windowfocus --sync "$w" 2>/dev/null || true
    xdotool key "$2"
}
# answer TITLE WHY: Return in the window titled TITLE, which must come within 5 s (else WHY).
answer() { wait_for 5 has_window "$1" || fail "$2"; press_in "$1" Return; }
