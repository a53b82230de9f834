#!/bin/bash
# The pictures of the program's windows in docs/ (shown by the README and
# listed in the AppStream metainfo), taken from the real program: it runs
# under Xvfb with trayer as its tray host, on a demonstration store made with
# pingalo-ctl, its clock set to 4 December 2026, 10:05 (libfaketime), so that
# every run draws the same windows. `make screenshots` runs it.
#
#   make-screenshots.sh PINGALO PINGALO_CTL [FOLDER]     (FOLDER: docs/ of the source tree)
#
# Needs xvfb, trayer, xdotool, libfaketime, xwd (x11-apps) and netpbm.
PINGALO=$(realpath "$1")
CTL=$(realpath "$2")
OUT=$(realpath "${3:-$(dirname "$0")/../docs}")
. "$(dirname "$0")/../tests/e2e/lib.sh" # the end-to-end tests' desktop and helpers
mkdir -p "$OUT"
cd "$(dirname "$PINGALO")" || fail "no run folder"
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$FAKETIME_LIB" ] || fail "libfaketime is not installed"
faked() { LD_PRELOAD=$FAKETIME_LIB FAKETIME='@2026-12-04 10:05:00' FAKETIME_DONT_FAKE_MONOTONIC=1 "$@"; }

# The demonstration store; the first reminder is of the current hour, so that
# the start-up check brings it up at once.
while IFS='|' read -r options note; do
    eval "faked \"\$CTL\" add $options -- \"\$note\"" >/dev/null || fail "could not add: $note"
done <<'EOF'
-t 10:30 -s CUCKOO_LOOP                          | Call the dentist to move Thursday's appointment
-t 15:00 -s BEEP                                 | Pick up the photos
-d tomorrow -t 9:00 -r weekly -s PAGER_1_LOOP    | Team meeting: bring the budget figures
-d 12/20/2026 -r bill                            | Phone bill
-d 2027-01-31 -t 8:00 -r monthly -s ROOSTER      | Pay the rent
-d 2027-03-14 -t 7:30 -r annual -s HEY_1         | Ann's birthday
EOF

faked "$PINGALO" -SU >"$WORK/pingalo.log" 2>&1 &
PIDS+=($!)
wait_for 10 has_tray_icon || fail "the tray icon did not appear"

# Right-clicks the icon and chooses the menu's item by its key.
tray() { click_tray 3; sleep 0.7; [ $# -eq 0 ] || xdotool key "$@"; }
# write TITLE TEXT: clicks the window's note box (near its lower right) and types TEXT.
write() {
    eval "$(xdotool getwindowgeometry --shell "$(window_titled "$1")")"
    xdotool mousemove $((X + WIDTH - 120)) $((Y + HEIGHT - 160)) click 1
    xdotool type --delay 20 "$2"
}
# The tray menu and the icon above it: the top right of the screen.
menu_area() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^pingalo$'); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$HEIGHT" -gt 100 ] && echo "-left $((X - 12)) -top 0 -right -1 -bottom $((Y + HEIGHT + 12))" && return
    done
    return 1
}
# shot NAME WINDOW OPEN CLOSE: runs OPEN, waits for the window titled WINDOW
# (or the tray menu, for "menu"), saves it as NAME.png and closes it with the keys CLOSE.
shot() {
    eval "$3"
    if [ "$2" = menu ]; then
        wait_for 5 menu_area || fail "the tray menu did not open"
        sleep 0.5
        xwd -silent -root | xwdtopnm 2>/dev/null | pamcut $(menu_area) | pnmtopng -compression 9 >"$OUT/$1.png"
    else
        wait_for 10 has_window "$2" || fail "'$2' did not open"
        sleep 0.5
        xwd -silent -id "$(window_titled "$2")" | xwdtopnm 2>/dev/null | pnmtopng -compression 9 >"$OUT/$1.png"
    fi
    [ -s "$OUT/$1.png" ] || fail "no picture of '$2'"
    [ "$2" = menu ] || xdotool windowfocus --sync "$(window_titled "$2")" 2>/dev/null
    xdotool key $4
    sleep 0.5
    echo "$OUT/$1.png"
}

# One line a picture: file, window, how it opens, how it closes.
shot reminder-window 'Pingalo! Vantor - Reminder'   ':'      Return
shot tray-menu       menu                           'tray'   Escape
shot reminder-list   'Pingalo! Vantor - List Viewer' 'tray v' Escape
shot note-maker      'Pingalo! Vantor - Note Maker' 'tray n; sleep 0.5; write "Pingalo! Vantor - Note Maker" "Water the plants"' 'alt+f e'
