#!/bin/bash
# Prints the program's footprint as a log-on start ("-SU") in a tray:
# milliseconds from start to its icon being in the tray, resident memory after
# a minute of idling, and how often its main thread woke up in that minute.
# Targets: under 300 ms, under 35 MB, at most 2 wake-ups a minute.
#
#   footprint.sh PINGALO [IDLE-SECONDS]
PINGALO=$(realpath "$1")
IDLE=${2:-60}
. "$(dirname "$0")/../tests/e2e/lib.sh"
cd "$(dirname "$PINGALO")" || fail "no run folder"
start_desktop

started=$(date +%s%N)
"$PINGALO" -SU >"$WORK/pingalo.log" 2>&1 &
PID=$!
PIDS+=($PID)
until [ -n "$(tray_icon)" ]; do
    kill -0 $PID 2>/dev/null || fail "the program ended"
    [ $(( $(date +%s%N) - started )) -lt 10000000000 ] || fail "no icon after 10 s"
done
icon_ms=$(( ($(date +%s%N) - started) / 1000000 ))

# Let start-up settle, then count the main thread's context switches: every
# wake-up of a sleeping thread is one.
sleep 5
switches() {
    awk '/ctxt_switches/ { n += $2 } END { print n }' /proc/$PID/task/$PID/status
}
before=$(switches)
sleep "$IDLE"
after=$(switches)
rss_kb=$(awk '/VmRSS/ { print $2 }' /proc/$PID/status)
wakeups=$(( (after - before) * 60 / IDLE ))

printf 'start to tray icon:        %6d ms   (target < 300)\n' "$icon_ms"
printf 'resident memory, idle:     %6.1f MB   (target < 35)\n' "$(awk -v k="$rss_kb" 'BEGIN { print k / 1024 }')"
printf 'main thread wake-ups:      %6d a minute   (target <= 2)\n' "$wakeups"
