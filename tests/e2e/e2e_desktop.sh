#!/bin/bash
# The icon as a StatusNotifierItem (Plasma, GNOME with AppIndicator): on a
# private session bus with a watcher of our own and no XEmbed tray, the item
# registers; two Activate calls are the double-click, SecondaryActivate (the
# middle button) does nothing, ContextMenu pops the menu.
#
#   e2e_desktop.sh PINGALO FAKE_SNI_WATCHER
[ -n "${E2E_ON_BUS:-}" ] || E2E_ON_BUS=1 exec dbus-run-session -- bash "$0" "$@"
. "$(dirname "$0")/lib.sh"
kill "${PIDS[-1]}" # trayer
"$2" >"$WORK/items" &
PIDS+=($!)
sleep 0.5
run_pingalo pingalo -SU
wait_for 10 test -s "$WORK/items" || fail "no StatusNotifierItem registered"
read -r SERVICE ITEM <"$WORK/items"
call() { dbus-send --session --type=method_call --dest="$SERVICE" "$ITEM" "org.kde.StatusNotifierItem.$1" int32:0 int32:0; }
call SecondaryActivate && call SecondaryActivate || fail "SecondaryActivate could not be called"
! wait_for 2 has_window 'Pingalo!' || fail "the middle button did something"
call Activate && call Activate || fail "Activate could not be called"
answer 'Pingalo!' "two Activate calls did not check"
call ContextMenu && sleep 0.7 && xdotool key a # About, from the menu
wait_for 5 has_window 'About Pingalo! Vantor' || fail "ContextMenu did not pop the menu"
