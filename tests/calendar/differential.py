# differential.py PINGALO_CTL LIBFAKETIME: seeded series (RRULE, EXDATE, RDATE, moved and cancelled
# instances, zones, alarms) imported by pingalo-ctl at a few moments must each come in as a recurrence
# giving the next five moments of dateutil's reading (the oracle), or once at the next one and counted.
import calendar, datetime as dt, itertools, json, os, random, re, subprocess, sys, tempfile
from dateutil import rrule, tz

LOCAL, UTC, DAY = tz.gettz('Europe/Berlin'), tz.UTC, dt.timedelta(days=1)
RULES = ['FREQ=DAILY', 'FREQ=WEEKLY', 'FREQ=WEEKLY;BYDAY={wd};WKST=SU', 'FREQ=MONTHLY', 'FREQ=YEARLY', 'FREQ=DAILY;INTERVAL=3',
         'FREQ=MONTHLY;BYMONTHDAY={day}', 'FREQ=YEARLY;BYMONTH={month};BYMONTHDAY={day}', 'FREQ=MONTHLY;BYDAY=2TU',
         'FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH', 'FREQ=MONTHLY;BYDAY=-1FR', 'FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR',
         'FREQ=MONTHLY;BYSETPOS=-1;BYDAY=MO,TU,WE,TH,FR', 'FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU', 'FREQ=DAILY;COUNT=40',
         'FREQ=WEEKLY;UNTIL={until}']
STEPS = {'Daily Reminder': (0, 1), 'Weekly Reminder': (0, 7), 'Monthly Reminder': (1, 0), 'Annual Reminder': (12, 0)}

def value(t, zone):
    return t.strftime('%Y%m%d' if zone == 'date' else '%Y%m%dT%H%M%S') + 'Z' * (zone == 'UTC')

def text(t, zone):  # a property's parameters and value
    return {'date': ';VALUE=DATE:', 'floating': ':', 'UTC': ':'}.get(zone, ';TZID=%s:' % zone) + value(t, zone)

def local(t, alarm):  # the local wall-clock moment of an occurrence's alarm
    return (t.astimezone(UTC) + alarm).astimezone(LOCAL).replace(tzinfo=None) if t.tzinfo else t + alarm

def series(i, rnd):
    zone = rnd.choice(['floating', 'date', 'Europe/Berlin', 'America/New_York', 'UTC'])
    alarm, trigger = rnd.choice([(DAY * 0, ''), (DAY / -96, '-PT15M'), (-DAY, '-P1D')])
    year, month, hour = rnd.randint(2025, 2027), rnd.randint(1, 12), rnd.randint(6, 21) * (zone != 'date')
    start = dt.datetime(year, month, min(rnd.randint(1, 31), calendar.monthrange(year, month)[1]), hour,
                        5 * rnd.randint(0, 11) * (zone != 'date'), tzinfo=tz.gettz(zone) if zone[0].isupper() else None)
    until = start + DAY * rnd.randint(30, 900)
    rule = rnd.choice(RULES).format(wd='MO TU WE TH FR SA SU'.split()[start.weekday()], day=start.day,
                                    month=start.month, until=value(until.astimezone(UTC), 'UTC')
                                    if start.tzinfo else value(until, zone))
    first = rrule.rrulestr(rule, dtstart=start)[0]  # a start the rule gives itself
    rules = rrule.rrulestr(rule, dtstart=first, forceset=True)
    valarm = 'BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:%s\nEND:VALARM\n' % trigger if trigger else ''
    body, more, once = 'RRULE:%s\n' % rule, '', []
    for kind in rnd.sample(['EXDATE', 'RDATE', 'MOVED', 'CANCELLED'], rnd.randint(0, 2)):
        t = rnd.choice(rules[:10])
        if kind == 'RDATE':
            t += DAY * rnd.randint(1, 400) + dt.timedelta(hours=zone != 'date')
        (rules.rdate if kind == 'RDATE' else rules.exdate)(t)
        moved = t + DAY + dt.timedelta(hours=2 * (zone != 'date'))
        body += kind + text(t, zone) + '\n' if kind in ('EXDATE', 'RDATE') else ''
        more += '' if kind in ('EXDATE', 'RDATE') else 'BEGIN:VEVENT\nUID:s%d\nRECURRENCE-ID%s\nDTSTART%s\n' \
            'SUMMARY:S%d moved\n%s%sEND:VEVENT\n' % (i, text(t, zone), text(moved, zone), i,
                                                      'STATUS:CANCELLED\n' * (kind == 'CANCELLED'), valarm)
        once += [moved] * (kind == 'MOVED')
    event = 'BEGIN:VEVENT\nUID:s%d\nDTSTART%s\nSUMMARY:S%d\n%s%sEND:VEVENT\n' % (i, text(first, zone), i, body, valarm)
    oracle['S%d' % i] = [local(t, alarm) for t in itertools.takewhile(lambda t: t.year < 2040, rules)]
    oracle['S%d moved' % i] = [local(t, alarm) for t in once]
    return event + more

def steps(t, name):  # our own steps: a date-serial that carries, from each day reached
    months, days = STEPS[name]
    for _ in range(5):
        yield t
        month = t.month - 1 + months
        t = t.replace(year=t.year + month // 12, month=month % 12 + 1, day=1) + DAY * (t.day - 1 + days)

rnd, oracle = random.Random(22), {}
ics = 'BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:differential\n%sEND:VCALENDAR\n' % ''.join(series(i, rnd) for i in range(300))
agreed = total = 0
with tempfile.TemporaryDirectory() as work:
    for now in [dt.datetime(2026, 12, 6, 10), dt.datetime(2027, 3, 28, 1), dt.datetime(2027, 10, 31, 12)]:
        env = dict(os.environ, TZ='Europe/Berlin', PINGALO_STORE=os.path.join(work, '%s.db' % now.date()),
                   LD_PRELOAD=sys.argv[2], FAKETIME=now.strftime('@%Y-%m-%d %H:%M:%S'),
                   ASAN_OPTIONS=os.environ.get('ASAN_OPTIONS', '') + ':verify_asan_link_order=0')
        run = lambda *command, **given: subprocess.run([sys.argv[1], *command], env=env, capture_output=True,
                                                        text=True, check=True, **given).stdout
        said, stored = run('import', '-', input=ics), {r['note']: r for r in json.loads(run('list', '--json'))}
        once = 0
        for note, moments in oracle.items():
            ahead, r = sorted(t for t in moments if t > now.replace(second=59)), stored.get(note)
            got = r and dt.datetime.fromisoformat(r.get('start') or r['date'])
            once += bool(r) and r['recurrence'] == 'One-Time Reminder' and ' moved' not in note
            ok = not ahead if not r else ahead[:5] == list(steps(got, r['recurrence'])) \
                if r['recurrence'] in STEPS else ahead[:1] == [got]
            agreed, total = agreed + ok, total + 1
            print('at %s %s: oracle %s, stored %s' % (now, note, [str(t) for t in ahead[:5]], r)) if not ok else None
        dropped = int((re.search(r'\((\d+) of them once only', said) or [0, 0])[1])
        agreed, total = agreed + (dropped == once), total + 1
        print('at %s: %d series once only, but said: %s' % (now, once, said)) if dropped != once else None
print('agreement: %d of %d (%.1f %%)' % (agreed, total, 100.0 * agreed / total))
sys.exit(agreed != total)
