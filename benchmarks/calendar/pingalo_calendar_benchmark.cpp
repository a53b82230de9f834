// Prints how long pingalo-ctl's calendar work takes on a store of 10,000
// reminders over 365 days, as medians in milliseconds: exporting them all
// (reading the store, unscrambling, writing the iCalendar text) and importing
// that file into an empty store (reading it, the creation rules for each
// event, one transaction with full durability). Then the time to import
// other programs' files: 100,000 events of the kinds calendar programs write,
// and a set of hostile files of about 10 MB each (which must each take
// seconds at most and add nothing).
#include "BenchmarkStore.h"
#include "TestClock.h"
#include "calendar/CalendarImport.h"
#include "calendar/CalendarWriter.h"
#include "core/store/SqliteSettingsStore.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

namespace {

double medianMs(std::vector<qint64> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2] / 1e6;
}

// A calendar file of `count` items made by `item` (given its number).
QByteArray calendarOf(int count, const std::function<QString(int)> &item)
{
    QString text = QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\n");
    for (int i = 0; i < count; ++i)
        text += item(i);
    return (text + QStringLiteral("END:VCALENDAR\r\n")).toUtf8();
}

QString event(const QString &lines)
{
    return QStringLiteral("BEGIN:VEVENT\r\n") + lines + QStringLiteral("END:VEVENT\r\n");
}

// Imports `file` into an empty store once and prints the time it took.
void timeImport(const QTemporaryDir &dir, const char *what, const QByteArray &file)
{
    static int run = 0;
    SqliteSettingsStore fresh(dir.filePath(QStringLiteral("other-%1.db").arg(++run)));
    ReminderStore target(fresh);
    QElapsedTimer t;
    t.start();
    const CalendarImport::Report report = CalendarImport::import(file, target);
    const double ms = t.nsecsElapsed() / 1e6;
    int skipped = 0;
    for (int count : report.skipped)
        skipped += count;
    std::printf("import %-44s %6.1f MB: %8.1f ms   (%d added, %d skipped%s)\n", what,
                file.size() / 1e6, ms, report.added, skipped,
                report.refusal.isEmpty() ? "" : ", refused");
}

} // namespace

int main()
{
    // A week before the first reminder, so that every one is still ahead.
    const QDate first(2027, 1, 1);
    TestClock clock(QDateTime(first.addDays(-7), QTime(12, 0)));
    QTemporaryDir dir;
    SqliteSettingsStore settings(dir.filePath(QStringLiteral("from.db")));
    ReminderStore store(settings);
    std::printf("made %d reminders\n",
                fillStore(settings, store, first, TextForms::dayKey(first.addDays(100))));

    std::vector<qint64> exports;
    CalendarWriter::Result file;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        file = CalendarWriter::write(store.allLiveReminders().value_or(QList<LiveReminder>()),
                                     clock.now());
        exports.push_back(t.nsecsElapsed());
    }

    std::vector<qint64> imports;
    CalendarImport::Report report;
    for (int run = 0; run < 3; ++run) {
        SqliteSettingsStore fresh(dir.filePath(QStringLiteral("to-%1.db").arg(run)));
        ReminderStore target(fresh);
        QElapsedTimer t;
        t.start();
        report = CalendarImport::import(file.text, target);
        imports.push_back(t.nsecsElapsed());
    }

    std::printf("export %d reminders (%lld KiB):  median %8.1f ms\n", file.written,
                static_cast<long long>(file.text.size() / 1024), medianMs(exports));
    std::printf("import them into an empty store:   median %8.1f ms   (%d added)\n",
                medianMs(imports), report.added);

    // What calendar programs write: one-time events with alarms, weekly and
    // monthly series, in a zone and floating, over the next two years.
    const QDateTime from = clock.now();
    timeImport(
        dir, "100,000 events of calendar programs", calendarOf(100'000, [&](int i) -> QString {
            const QString start = from.addSecs(3600LL * (1 + i % 17'000))
                                      .toString(QStringLiteral("yyyyMMdd'T'hh0000"));
            const QString rules[] = {QString(), QString(), QString(),
                                     QStringLiteral("RRULE:FREQ=WEEKLY;BYDAY=MO,WE\r\n"),
                                     QStringLiteral("RRULE:FREQ=MONTHLY;BYDAY=2TU;COUNT=20\r\n")};
            return event(QStringLiteral("UID:%1@bench\r\nDTSTART%2:%3\r\nSUMMARY:Event %1\r\n%4"
                                        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\n"
                                        "END:VALARM\r\n")
                             .arg(i)
                             .arg(i % 2 ? QStringLiteral(";TZID=Europe/Berlin") : QString(), start,
                                  rules[i % 5]));
        }));

    // Hostile files: time zones changing every minute since 1601 (1,000 of
    // them, each part of 20 with its own rule, and 50,000 events in them;
    // then 20,000 zones), parts nested 300,000 deep, a line of 10 MB, and
    // rules that would be walked for hours (a billion times a second from
    // 1970, a day that never comes, hourly on 29 February).
    const auto zone = [](int i) -> QString {
        QString parts;
        for (int part = 0; part < 20; ++part)
            parts += QStringLiteral("BEGIN:STANDARD\r\nDTSTART:16010101T0000%1\r\n"
                                    "RRULE:FREQ=%2\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0%3"
                                    "00\r\nEND:STANDARD\r\n")
                         .arg(part, 2, 10, QLatin1Char('0'))
                         .arg(part % 2 ? QStringLiteral("MINUTELY")
                                       : QStringLiteral("YEARLY;BYHOUR=0,1,2,3,4,5,6,7,8,9"))
                         .arg(part % 10);
        return QStringLiteral("BEGIN:VTIMEZONE\r\nTZID:Z%1\r\n").arg(i) + parts +
               QStringLiteral("END:VTIMEZONE\r\n");
    };
    timeImport(
        dir, "1,000 zones changing every minute", calendarOf(51'000, [&](int i) -> QString {
            if (i < 1000)
                return zone(i);
            return event(
                QStringLiteral("DTSTART;TZID=Z%1:20200101T100000\r\nSUMMARY:z\r\n").arg(i % 1000));
        }));
    timeImport(dir, "20,000 zones", calendarOf(20'000, zone));
    timeImport(dir, "parts nested 300,000 deep", calendarOf(300'000, [](int) -> QString {
                   return QStringLiteral("BEGIN:VEVENT\r\n");
               }));
    timeImport(dir, "a line of 10 MB", calendarOf(1, [](int) -> QString {
                   return event(QStringLiteral("SUMMARY:") + QString(10'000'000, QLatin1Char('a')) +
                                QStringLiteral("\r\n"));
               }));
    const QString walked[] = {
        QStringLiteral("DTSTART:19700101T000000Z\r\nRRULE:FREQ=SECONDLY;COUNT=1000000000\r\n"),
        QStringLiteral("DTSTART:19700101T000000\r\nRRULE:FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30\r\n"),
        QStringLiteral("DTSTART:19700101T000000\r\nRRULE:FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=29\r\n"),
        QStringLiteral("DTSTART:19700101T000000\r\nRRULE:FREQ=DAILY;BYHOUR=0,3,6,9,12,15,18,21;"
                       "COUNT=1000000000\r\n")};
    timeImport(dir, "100,000 rules walked for hours", calendarOf(100'000, [&](int i) -> QString {
                   return event(walked[i % 4] + QStringLiteral("SUMMARY:r\r\n"));
               }));
    return 0;
}
