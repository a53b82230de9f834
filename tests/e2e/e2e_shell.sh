#!/bin/bash
# The real program in a tray, driven as a user would:
#   the icon appears (and a crash would leave no core file); a double-click on it says "No immediate reminders.";
#   a second start is refused and the first goes on; Exit ends the program;
#   a log-on start ("-SU") with "Start Up" at "False" ends at once, with no window.
# (A reminder coming up at its minute is the note maker's end-to-end test.)
#
#   e2e_shell.sh PINGALO
PINGALO=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
cd "$(dirname "$PINGALO")" || fail "no run folder"

start_desktop

"$PINGALO" >"$WORK/first.log" 2>&1 &
FIRST=$!
PIDS+=($FIRST)

wait_for 10 has_tray_icon || fail "the tray icon did not appear"
echo "ok: the icon is in the tray"
grep -Eq '^Max core file size +0 +0 ' "/proc/$FIRST/limits" || fail "a crash would write the notes to a core file"

# The splash has gone (it lasts two seconds); now the double-click.
wait_for 5 lacks_window 'Pingalo! Vantor'
click_tray 1 2
wait_for 5 has_window 'Pingalo!' || fail "no message after the double-click"
press_in 'Pingalo!' Return
wait_for 5 lacks_window 'Pingalo!' || fail "the message did not go"
echo "ok: double-click says there are no immediate reminders"

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

# Another program's write to the store, as the store's schema allows.
sqlite3 "$PINGALO_STORE" "INSERT OR REPLACE INTO entries VALUES('Pingalo!', 'Settings', 'Start Up', 'False')" ||
    fail "could not set Start Up"
timeout 10 "$PINGALO" -SU >"$WORK/logon.log" 2>&1 || fail "the log-on start did not end by itself"
[ -z "$(xdotool search --onlyvisible --classname pingalo 2>/dev/null)" ] || fail "the log-on start left a window"
echo "ok: -SU with Start Up False ends by itself"
