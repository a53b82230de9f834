#!/bin/bash
# The program's wall clock moves on ten minutes while it runs, as after a
# sleep: a reminder of the skipped minutes comes up at the next tick. The clock
# is libfaketime's, read from a file that the test rewrites; timers keep real
# time.
#
#   e2e_sleep.sh PINGALO PINGALO_CTL
. "$(dirname "$0")/lib.sh"
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$FAKETIME_LIB" ] || fail "libfaketime is not installed"
set_clock() { # set_clock TIME: the fake clock reads TIME of today from now on
    local offset=$(($(date -d "today $1" +%s) - $(date +%s)))
    [ "$offset" -ge 0 ] && offset=+$offset
    echo "$offset" >"$WORK/faketime"
}
faked() { # (a sanitized build must be told that its runtime is not the first library)
    LD_PRELOAD=$FAKETIME_LIB FAKETIME_TIMESTAMP_FILE=$WORK/faketime FAKETIME_NO_CACHE=1 \
        FAKETIME_DONT_FAKE_MONOTONIC=1 ASAN_OPTIONS=${ASAN_OPTIONS:-}:verify_asan_link_order=0 "$@"
}
set_clock 10:00:05
LAUNCH=faked in_tray pingalo -SU
faked "$2" add --time 10:04 Stretch your legs >/dev/null || fail "could not add a reminder"
set_clock 10:10:10
jumped=$(date +%s)
wait_for 70 has_window 'Pingalo! Vantor - Reminder' || fail "the skipped reminder did not come up"
[ "$(faked "$2" list)" = "No reminders are waiting." ] || fail "the reminder was not consumed"
echo "ok: the reminder of 10:04 came up $(($(date +%s) - jumped)) s after the clock moved to 10:10"
