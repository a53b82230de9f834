#!/bin/bash
# Desktops without an XEmbed tray, on a private session bus:
#   started with no notification area, the program says so and runs on, its
#   icon goes in when a tray host starts later; a later start with --check or
#   --exit hands it to the running copy;
#   with a StatusNotifierWatcher on the bus, the icon is a StatusNotifierItem:
#   two Activate calls are the double-click, SecondaryActivate (the middle
#   button) does nothing, ContextMenu pops the menu.
#
#   e2e_desktop.sh PINGALO FAKE_SNI_WATCHER
if [ -z "${E2E_ON_BUS:-}" ]; then
    E2E_ON_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'fd limit' >&2)
fi
PINGALO=$(realpath "$1")
WATCHER=$(realpath "$2")
. "$(dirname "$0")/lib.sh"
cd "$(dirname "$PINGALO")" || fail "no run folder"
start_desktop
kill "${PIDS[-1]}" # no tray host for now
wait "${PIDS[-1]}" 2>/dev/null

"$PINGALO" >"$WORK/first.log" 2>&1 &
FIRST=$!
PIDS+=($FIRST)
wait_for 10 has_window 'Pingalo!' || fail "nothing said there is no notification area"
grep -q 'no notification area' "$WORK/first.log" || fail "standard error did not say it"
press_in 'Pingalo!' Return
trayer --edge top --align right --widthtype request --height 28 >/dev/null 2>&1 &
PIDS+=($!)
wait_for 10 has_tray_icon || fail "the icon did not go in when the tray came"
echo "ok: without a tray it says so and runs on; the icon goes in when a tray comes"

"$PINGALO" --check >"$WORK/check.log" 2>&1 || fail "the start with --check failed"
wait_for 5 has_window 'Pingalo!' || fail "the running copy did not check"
press_in 'Pingalo!' Return
wait_for 5 lacks_window 'Pingalo!' || fail "the message did not go"
"$PINGALO" --exit || fail "the start with --exit failed"
wait_for 10 has_ended "$FIRST" || fail "the running copy did not end"
kill "${PIDS[-1]}" # the tray host
echo "ok: --check and --exit are handed to the running copy"

"$WATCHER" >"$WORK/items" &
PIDS+=($!)
sleep 0.5
"$PINGALO" -SU >"$WORK/sni.log" 2>&1 &
PIDS+=($!)
wait_for 10 test -s "$WORK/items" || fail "no StatusNotifierItem registered"
read -r SERVICE ITEM <"$WORK/items"
call() { # call METHOD: as a host does on a click
    dbus-send --session --type=method_call --dest="$SERVICE" "$ITEM" \
        "org.kde.StatusNotifierItem.$1" int32:500 int32:10 || fail "$1 could not be called"
}
call SecondaryActivate
call SecondaryActivate
! wait_for 2 has_window 'Pingalo!' || fail "the middle button did something"
call Activate
call Activate
wait_for 5 has_window 'Pingalo!' || fail "two Activate calls did not check"
press_in 'Pingalo!' Return
wait_for 5 lacks_window 'Pingalo!' || fail "the message did not go"
call ContextMenu
sleep 0.7
xdotool key a # About, from the menu
wait_for 5 has_window 'About Pingalo! Vantor' || fail "ContextMenu did not pop the menu"
echo "ok: the StatusNotifierItem's Activate twice checks, ContextMenu pops the menu"
