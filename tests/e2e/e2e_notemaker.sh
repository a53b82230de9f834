#!/bin/bash
# A reminder made in the note maker, as a user makes it: opened from the tray
# menu, set for the next minute with a looping sound, it comes up in the
# reminder window at that minute, playing its own sound. A second one of that
# minute, deleted in the list viewer, does not. The program is started from an
# empty folder, as from a terminal in the home folder, so its sounds come from
# beside it (or from its installed data folder).
#
#   e2e_notemaker.sh PINGALO PINGALO_CTL [DATA_FOLDER]
. "$(dirname "$0")/lib.sh"
CTL=$2
mkdir "$WORK/empty" && cd "$WORK/empty" || fail "no empty folder"
sounds=("$(dirname "$PINGALO")/snds")
[ -d "${3:-}/snds" ] && sounds+=("$3/snds")
inotifywait -q -m -e open --format %w%f "${sounds[@]}" >"$WORK/opened.log" 2>&1 &
PIDS+=($!)

# Early enough in the minute to make the reminder before it ends, and for the
# first tick (59.5 s after the start) to fall in the next one.
while :; do s=$(date +%-S); [ "$s" -ge 1 ] && [ "$s" -le 30 ] && break; sleep 0.5; done
run_pingalo pingalo -SU
TARGET=$(date -d "+60 seconds" '+%-m/%-d/%Y %-I:%M:00 %p')
HOUR=$(date -d "+60 seconds" '+%-H')
MINUTE=$(date -d "+60 seconds" '+%-M')
wait_for 10 has_tray_icon || fail "the tray icon did not appear"

menu n
wait_for 5 has_window 'Pingalo! Vantor - Note Maker' || fail "the note maker did not open"
eval "$(xdotool getwindowgeometry --shell "$(window_titled 'Pingalo! Vantor - Note Maker')")"
TOP=$((Y + HEIGHT - 249)) # the client area, below the menu bar
at() { xdotool mousemove $((X + $1)) $((TOP + $2)) click 1; sleep 0.2; }
# The time picker starts at 12:00 AM: up to the hour, on to the minutes, up to the minute.
at 120 44
xdotool key --delay 20 --repeat "$HOUR" Up
xdotool key Tab
xdotool key --delay 20 --repeat "$MINUTE" Up
# The sound: check the box, drop the list down, take PAGER_1_LOOP (the tenth sound).
at 24 168
at 110 194
xdotool key Home
xdotool key --delay 30 --repeat 9 Down
xdotool key Return
sleep 0.3
# The note, then "Pingalo!".
at 300 80
xdotool type --delay 20 'Feed the cat'
at 284 200
wait_for 5 bash -c "'$CTL' list | grep -q 'Feed the cat'"
stored=$("$CTL" list | sed -n 2p | tr -s ' ')
[ "$stored" = "$TARGET 1 One-Time Reminder Feed the cat PAGER_1_LOOP" ] ||
    fail "the note maker stored '$stored', not the reminder for $TARGET"

"$CTL" add -d "${TARGET%% *}" -t "${TARGET#* }" -s BEEP Water the plants >/dev/null
menu v
wait_for 5 has_window 'Pingalo! Vantor - List Viewer' || fail "the list viewer did not open"
press_in 'Pingalo! Vantor - List Viewer' End # the last row: the plants
press_in 'Pingalo! Vantor - List Viewer' alt+d
answer 'Pingalo!' "no question before deleting"
wait_for 5 bash -c "! '$CTL' list | grep -q 'Water the plants'" || fail "the list did not delete"
press_in 'Pingalo! Vantor - List Viewer' Escape

wait_for 80 has_window 'Pingalo! Vantor - Reminder' || fail "the reminder did not come up"
now=$(date '+%-m/%-d/%Y %-I:%M:00 %p')
[ "$now" = "$TARGET" ] || fail "the reminder came up at $now, not at $TARGET"
wait_for 5 grep -q '/PAGER_1_LOOP.wav$' "$WORK/opened.log" || fail "PAGER_1_LOOP.wav was not opened"
! grep -q 'bell' "$WORK/pingalo.log" || fail "the bell rang instead: $(grep bell "$WORK/pingalo.log")"
press_in 'Pingalo! Vantor - Reminder' Return
wait_for 5 lacks_window 'Pingalo! Vantor - Reminder' || fail "OK did not close the reminder"
! wait_for 3 has_window 'Pingalo! Vantor - Reminder' || fail "the deleted reminder came up"
