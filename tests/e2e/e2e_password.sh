#!/bin/bash
# Password protection set up from the program's own menus, as a user does it:
# a password set through the note maker's Settings menu, lock-down from the
# tray ended by that password in the unlock window, and the next start asking
# for it in the password gate, centred on the screen with its message over it.
# A screen reader (AT-SPI, on a private session bus) hears each box's name.
#
#   e2e_password.sh PINGALO
[ -n "${E2E_ON_BUS:-}" ] || E2E_ON_BUS=1 exec dbus-run-session -- bash "$0" "$@"
. "$(dirname "$0")/lib.sh"
# The accessibility bus, up before the program so that it joins it.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
    fail "no accessibility bus"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
accessible() { # "role: name" of each part of the program's windows, as a screen reader hears them
    /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0"); from gi.repository import Atspi
def walk(n): return [f"{n.get_role_name()}: {n.get_name()}"] + [line for i in range(n.get_child_count()) for line in walk(n.get_child_at_index(i))]
d = Atspi.get_desktop(0)
print("\n".join(line for i in range(d.get_child_count()) if d.get_child_at_index(i).get_name() == "pingalo" for line in walk(d.get_child_at_index(i))))'
}
PASSWORD='Open sesame'
centre() { eval "$(xdotool getwindowgeometry --shell "$1")"; echo $((X + WIDTH / 2)) $((Y + HEIGHT / 2)); }
near() { set -- $1 $2; [ $((($1 - $3) ** 2 + ($2 - $4) ** 2)) -le 18 ]; } # near "X Y" "X Y"
type_in() { press_in "$1" End; xdotool type --delay 20 "$2"; } # type_in TITLE TEXT

in_tray first
FIRST=$PID
menu n
wait_for 5 has_window 'Pingalo! Vantor - Note Maker' || fail "the note maker did not open"
press_in 'Pingalo! Vantor - Note Maker' alt+s # Settings, Password Protection, Enable
sleep 0.5; xdotool key p; sleep 0.5; xdotool key e
wait_for 5 has_window 'Pingalo! - New Password' || fail "the password window did not open"
[ "$(accessible | grep -c '^password text: .')" = 3 ] || fail "a password box has no name: $(accessible)"
press_in 'Pingalo! - New Password' Tab # no current password; the new one twice
xdotool type --delay 20 "$PASSWORD"; xdotool key Tab; xdotool type --delay 20 "$PASSWORD"
xdotool key Tab space # "Set Password"
answer 'Pingalo!' "no message after Set Password"
wait_for 5 lacks_window 'Pingalo! - New Password' || fail "the password window stayed open"

menu d # Lock Down
sleep 0.5; click_tray 3
wait_for 5 has_window 'Pingalo! - Password' || fail "no unlock window while locked down"
type_in 'Pingalo! - Password' "$PASSWORD"; xdotool key Tab space
wait_for 5 lacks_window 'Pingalo! - Password' || fail "the new password did not end lock-down"
sleep 0.5; menu e # the menu is back: Exit
wait_for 10 has_ended "$FIRST" || fail "the menu did not come back after unlocking"

run_pingalo second -SU
wait_for 10 has_window 'Pingalo! - Password' || fail "the next start did not ask for the password"
GATE=$(window_titled 'Pingalo! - Password')
near "$(centre "$GATE")" "512 350" || fail "the gate is not centred on the screen: $(centre "$GATE")"
type_in 'Pingalo! - Password' 'open sesame'; xdotool key Return # the first message box of the run
wait_for 5 has_window 'Pingalo!' || fail "a wrong password said nothing"
near "$(centre "$(window_titled 'Pingalo!')")" "$(centre "$GATE")" || fail "the message is not over the gate"
press_in 'Pingalo!' Return
wait_for 5 has_window 'Pingalo! - Password' || fail "the gate did not come back"
press_in 'Pingalo! - Password' ctrl+a; xdotool type --delay 20 "$PASSWORD"; xdotool key Return
wait_for 10 has_tray_icon || fail "the password did not open the gate"
