#!/bin/bash
# Reminders on two machines through a CalDAV server: a Radicale server on a
# free localhost port, homes A and B with their own stores and calendar
# folders, vdirsyncer carrying each folder to one calendar of the server, and
# the real program under Xvfb on a clock moved by libfaketime. A reminder added
# on A comes up on B when B's clock has moved on past its minute (as after a
# sleep); its OK there keeps A from bringing it up;
# one deleted on A goes from B; an event a phone puts on the server comes up
# on A and stays there marked answered; khal reads A's folder.
#
#   e2e_sync.sh PINGALO PINGALO_CTL
PINGALO=$(realpath "$1")
CTL=$(realpath "$2")
. "$(dirname "$0")/lib.sh"
for tool in radicale vdirsyncer khal curl; do
    command -v $tool >/dev/null || fail "$tool is not installed"
done
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$FAKETIME_LIB" ] || fail "libfaketime is not installed"
export TZ=UTC
DAY=$(date -d tomorrow +%Y-%m-%d)
set_clock() { # set_clock TIME: the fake clock reads TIME of tomorrow from now on
    local offset=$(($(date -d "$DAY $1" +%s) - $(date +%s)))
    echo "+$offset" >"$WORK/faketime"
}
faked() {
    LD_PRELOAD=$FAKETIME_LIB FAKETIME_TIMESTAMP_FILE=$WORK/faketime FAKETIME_NO_CACHE=1 \
        FAKETIME_DONT_FAKE_MONOTONIC=1 ASAN_OPTIONS=${ASAN_OPTIONS:-}:verify_asan_link_order=0 "$@"
}
on() { # on HOME COMMAND...: runs COMMAND with the store and runtime folder of HOME
    local home=$1; shift
    PINGALO_STORE=$WORK/$home/store.db XDG_RUNTIME_DIR=$WORK/$home/run faked "$@"
}
sync_home() { vdirsyncer -c "$WORK/$1/vdirsyncer.conf" sync >>"$WORK/vdirsyncer.log" 2>&1 || fail "vdirsyncer sync $1"; }
carry() { sync_home "$1" && sync_home "$2"; } # carry FROM TO: through the server

# The server, with one calendar.
PORT=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
URL=http://127.0.0.1:$PORT/alice/reminders/
radicale --config "" --server-hosts "127.0.0.1:$PORT" --auth-type none --rights-type owner_only \
    --storage-filesystem-folder "$WORK/collections" --web-type none >"$WORK/radicale.log" 2>&1 &
PIDS+=($!)
wait_for 10 curl -sf -u alice:x -X PROPFIND "http://127.0.0.1:$PORT/alice/" || fail "radicale did not start"
curl -sf -u alice:x -X MKCALENDAR "$URL" >/dev/null || fail "no calendar on the server"

set_clock 09:00:00
for home in A B; do
    mkdir -p -m 700 "$WORK/$home/run"
    cat >"$WORK/$home/vdirsyncer.conf" <<EOF
[general]
status_path = "$WORK/$home/status"
[pair reminders]
a = "folder"
b = "server"
collections = null
[storage folder]
type = "filesystem"
path = "$WORK/$home/calendar"
fileext = ".ics"
[storage server]
type = "caldav"
url = "$URL"
username = "alice"
password = "x"
EOF
    on $home "$CTL" sync --folder "$WORK/$home/calendar" >/dev/null || fail "sync --folder on $home"
    vdirsyncer -c "$WORK/$home/vdirsyncer.conf" discover >>"$WORK/vdirsyncer.log" 2>&1 ||
        fail "vdirsyncer discover $home"
done

# Added on A, carried to B (the bank's is deleted on A later). (A weekly one keeps the folders from ever being
# emptied, which vdirsyncer would refuse to carry over without --force-delete.)
on A "$CTL" add -d "$(date -d "$DAY + 3 days" +%Y-%m-%d)" -t 9:00 -r weekly Weekly review >/dev/null
on A "$CTL" add -d "$DAY" -t 10:00 Water the plants >/dev/null || fail "could not add on A"
on A "$CTL" add -d "$DAY" -t 11:00 Call the bank >/dev/null || fail "could not add on A"
carry A B
on B "$CTL" sync | grep -q "Added 3 reminders" || fail "B did not take the reminders"

printf '[calendars]\n[[a]]\npath = %s\n' "$WORK/A/calendar" >"$WORK/khal.conf"
khal -c "$WORK/khal.conf" list tomorrow 1d 2>>"$WORK/khal.log" | grep -q "Water the plants" ||
    fail "khal does not show A's reminder"

# It comes up on B at the first tick after its minute; its OK goes back to the
# server, and A lets it go.
set_clock 09:51:00 # B runs, and its clock moves on ten minutes past it, as after a sleep
on B "$PINGALO" -SU >"$WORK/pingalo-B.log" 2>&1 &
PIDS+=($!)
wait_for 10 has_tray_icon || fail "B's icon did not appear"
set_clock 10:01:00
wait_for 90 has_window 'Pingalo! Vantor - Reminder' || fail "the reminder did not come up on B"
press_in 'Pingalo! Vantor - Reminder' Return
wait_for 10 lacks_window 'Pingalo! Vantor - Reminder' || fail "OK did not close the window"
wait_for 10 bash -c "! grep -q 'Water the plants' '$WORK/B/calendar/'*.ics" ||
    fail "B kept the answered item"
on B "$PINGALO" --exit
carry B A
on A "$CTL" sync | grep -q "Removed 1 reminder" || fail "A kept the reminder answered on B"

# Deleted on A, gone from B.
on A "$CTL" delete "$(date -d "$DAY" +%-m/%-d/%Y)" 2 >/dev/null || fail "could not delete on A"
carry A B
on B "$CTL" sync | grep -q "Removed 1 reminder" || fail "B kept the reminder deleted on A"

# A phone's event with an alarm, put straight on the server, comes up on A at
# start-up (its hour), and stays on the server marked answered.
stamp=$(date -d "$DAY" +%Y%m%d)
printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 PRODID:-//Phone//EN BEGIN:VEVENT UID:phone-1@example.com \
    "DTSTAMP:${stamp}T080000Z" "DTSTART:${stamp}T101000Z" SUMMARY:Dentist BEGIN:VALARM \
    ACTION:DISPLAY TRIGGER:-PT5M DESCRIPTION:Dentist END:VALARM END:VEVENT END:VCALENDAR >"$WORK/phone.ics"
curl -sf -u alice:x -X PUT -H 'Content-Type: text/calendar' --data-binary "@$WORK/phone.ics" \
    "${URL}phone-1.ics" >/dev/null || fail "the phone's event was not stored"
sync_home A
on A "$CTL" sync | grep -q "Added 1 reminder" || fail "A did not take the phone's event"
set_clock 10:04:30
on A "$PINGALO" -SU >"$WORK/pingalo-A.log" 2>&1 &
PIDS+=($!)
wait_for 20 has_window 'Pingalo! Vantor - Reminder' || fail "the phone's reminder did not come up on A"
press_in 'Pingalo! Vantor - Reminder' Return
wait_for 10 lacks_window 'Pingalo! Vantor - Reminder' || fail "OK did not close the window on A"
on A "$CTL" list | grep -q "Dentist" && fail "the answered reminder is still on A's list"
sync_home A
curl -sf -u alice:x "${URL}phone-1.ics" | grep -q '^ACKNOWLEDGED:' ||
    fail "the server's event is not marked answered"
on A "$PINGALO" --exit
echo "ok: added, answered, deleted and a phone's event, across two homes and a CalDAV server"
