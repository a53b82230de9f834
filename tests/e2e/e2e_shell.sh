#!/bin/bash
# The real program in a tray, driven as a user would:
#   the icon appears; a double-click on it says "No immediate reminders.";
#   a reminder added with pingalo-ctl for the coming minute comes up at that
#   minute, and another of that minute, deleted with pingalo-ctl, does not;
#   a second start is refused and the first goes on; Exit ends the program;
#   a log-on start ("-SU") with "Start Up" at "False" ends at once, with no window.
#
#   e2e_shell.sh PINGALO PINGALO_CTL STORE_TOOL
PINGALO=$(realpath "$1")
CTL=$(realpath "$2")
TOOL=$(realpath "$3")
. "$(dirname "$0")/lib.sh"
cd "$(dirname "$PINGALO")" || fail "no run folder"

start_desktop

# Start at a second of the minute that puts the first tick (59.5 s later)
# safely inside the next minute.
while :; do s=$(date +%-S); [ "$s" -ge 1 ] && [ "$s" -le 50 ] && break; sleep 0.5; done
"$PINGALO" >"$WORK/first.log" 2>&1 &
FIRST=$!
PIDS+=($FIRST)
NEXT_MINUTE=$(date -d "+60 seconds" '+%-m/%-d/%Y %-I:%M:00 %p')

wait_for 10 has_tray_icon || fail "the tray icon did not appear"
echo "ok: the icon is in the tray"

# The splash has gone (it lasts two seconds); now the double-click.
wait_for 5 lacks_window 'Pingalo! Vantor'
click_tray 1 2
wait_for 5 has_window 'Pingalo!' || fail "no message after the double-click"
press_in 'Pingalo!' Return
wait_for 5 lacks_window 'Pingalo!' || fail "the message did not go"
echo "ok: double-click says there are no immediate reminders"

DAY=${NEXT_MINUTE%% *}
TIME=${NEXT_MINUTE#* }
"$CTL" add --day "$DAY" --time "$TIME" --sound BEEP Water the plants >/dev/null ||
    fail "pingalo-ctl could not add a reminder"
"$CTL" add --day "$DAY" --time "$TIME" Feed the fish >/dev/null || fail "could not add another"
"$CTL" delete "$DAY" 2 >/dev/null || fail "pingalo-ctl could not delete a reminder"
wait_for 80 has_window 'Pingalo! Vantor - Reminder' || fail "the reminder for $NEXT_MINUTE did not come up"
now=$(date '+%-m/%-d/%Y %-I:%M:00 %p')
[ "$now" = "$NEXT_MINUTE" ] || fail "the reminder came up at $now, not at $NEXT_MINUTE"
[ "$("$CTL" list)" = "No reminders are waiting." ] || fail "the reminder on screen was not consumed"
press_in 'Pingalo! Vantor - Reminder' Return
wait_for 5 lacks_window 'Pingalo! Vantor - Reminder' || fail "OK did not close the reminder"
! wait_for 3 has_window 'Pingalo! Vantor - Reminder' || fail "the deleted reminder came up"
echo "ok: the reminder added with pingalo-ctl came up at its minute, $NEXT_MINUTE; the deleted one did not"

"$PINGALO" >"$WORK/second.log" 2>&1 &
SECOND=$!
wait_for 10 has_window 'Pingalo!' || fail "the second start said nothing"
press_in 'Pingalo!' Return
wait_for 5 has_ended "$SECOND" || fail "the second instance did not end"
kill -0 "$FIRST" || fail "the first instance ended too"
[ -n "$(tray_icon)" ] || fail "the first instance lost its icon"
echo "ok: a second start is refused and the first goes on"

click_tray 3
sleep 1 # the menu
xdotool key e
wait_for 10 has_ended "$FIRST" || fail "Exit did not end the program"
echo "ok: Exit ends the program"

"$TOOL" "$PINGALO_STORE" set Settings "Start Up" False || fail "could not set Start Up"
started=$(date +%s%N)
timeout 10 "$PINGALO" -SU >"$WORK/logon.log" 2>&1 || fail "the log-on start did not end by itself"
took=$(( ($(date +%s%N) - started) / 1000000 ))
[ "$took" -lt 3000 ] || fail "the log-on start took $took ms to end"
[ -z "$(xdotool search --onlyvisible --classname pingalo 2>/dev/null)" ] || fail "the log-on start left a window"
echo "ok: -SU with Start Up False ends at once ($took ms)"
