# Shared by the end-to-end tests: a private X server with a tray host, and
# ways to find and drive the program's windows with xdotool.
#
# Each test runs in its own temporary folder with its own display, store and
# runtime folder, so tests may run side by side.

set -u
WORK=$(mktemp -d)
chmod 700 "$WORK"
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export PINGALO_STORE=$WORK/store.db
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
PIDS=()
KEEP_LOGS=${KEEP_LOGS:-}

fail() {
    echo "at $(date +%T.%N)" >&2
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && command -v xwininfo >/dev/null; then
        echo "--- windows:" >&2
        xwininfo -root -tree 2>/dev/null | grep -E '"[^"]+"' | head -30 >&2
        if [ -n "${E2E_SCREENSHOT:-}" ]; then
            xwd -root -silent > "$E2E_SCREENSHOT" 2>/dev/null
        fi
    fi
    for log in "$WORK"/*.log; do echo "--- $log:" >&2; tail -n 15 "$log" >&2; done
    exit 1
}

cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    [ -n "$KEEP_LOGS" ] && cat "$WORK"/*.log >&2
    rm -rf "$WORK"
}
trap cleanup EXIT

# Starts Xvfb on a free display and trayer on it.
start_desktop() {
    Xvfb -displayfd 6 -screen 0 1024x700x24 -nolisten tcp 6>"$WORK/display" 2>"$WORK/xvfb.log" &
    PIDS+=($!)
    for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.05; done
    [ -s "$WORK/display" ] || fail "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$WORK/display")
    trayer --edge top --align right --widthtype request --height 28 --transparent false \
        >"$WORK/trayer.log" 2>&1 &
    PIDS+=($!)
    sleep 1
}

# wait_for SECONDS COMMAND...: runs COMMAND every tenth of a second until it succeeds.
wait_for() {
    local seconds=$1; shift
    local tries=$((seconds * 10))
    for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

# The program's tray icon: its shown window that is no bigger than an icon.
tray_icon() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^pingalo$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -le 64 ] && [ "$WIDTH" -gt 1 ]; then
            echo "$w"
            return 0
        fi
    done
}

click_tray() { # click_tray BUTTON [REPEAT]
    local icon; icon=$(tray_icon)
    [ -n "$icon" ] || fail "no tray icon to click"
    eval "$(xdotool getwindowgeometry --shell "$icon")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    xdotool click --repeat "${2:-1}" --delay 80 "$1"
}

# A shown window whose title is exactly TITLE.
window_titled() { xdotool search --onlyvisible --name "^$(printf '%s' "$1" | sed 's/[]!.[^$*\\]/\\&/g')\$" | head -n1; }

# For wait_for, which runs a command again and again.
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
