#!/bin/bash
# The real program in a tray, driven as a user would:
#   the icon appears (and a crash would leave no core file); a double-click on it says "No immediate reminders.";
#   a second start is refused and the first goes on; Exit ends the program;
#   a log-on start ("-SU") with "Start Up" at "False" ends at once, with no window.
# (A reminder coming up at its minute is the note maker's end-to-end test.)
#
#   e2e_shell.sh PINGALO
. "$(dirname "$0")/lib.sh"
"$PINGALO" --version | grep -Eqx 'pingalo [0-9.]+' || fail "--version did not give the version"
"$PINGALO" --help | grep -q -- --new-reminder || fail "--help did not give the options"
env -u DISPLAY "$PINGALO" 2>&1 | grep -q "there is no display" || fail "no word of a missing display"
in_tray first
FIRST=$PID
grep -Eq '^Max core file size +0 +0 ' "/proc/$FIRST/limits" || fail "a crash would write the notes to a core file"

# The splash has gone (it lasts two seconds); now the double-click.
wait_for 5 lacks_window 'Pingalo! Vantor'
click_tray 1 2
answer 'Pingalo!' "no message after the double-click"
wait_for 5 lacks_window 'Pingalo!' || fail "the message did not go"

run_pingalo second
answer 'Pingalo!' "the second start said nothing"
wait_for 5 has_ended "$PID" || fail "the second instance did not end"
kill -0 "$FIRST" && has_tray_icon || fail "the first instance ended or lost its icon"

menu e # Exit
wait_for 10 has_ended "$FIRST" || fail "Exit did not end the program"

# Another program's write to the store, as the store's schema allows.
sqlite3 "$PINGALO_STORE" "INSERT OR REPLACE INTO entries VALUES('Pingalo!', 'Settings', 'Start Up', 'False')" ||
    fail "could not set Start Up"
timeout 10 "$PINGALO" -SU >"$WORK/logon.log" 2>&1 || fail "the log-on start did not end by itself"
[ -z "$(xdotool search --onlyvisible --classname pingalo 2>/dev/null)" ] || fail "the log-on start left a window"
