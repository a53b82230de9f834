// The next day of a recurring reminder and the copy written there.
#include "TestRegistry.h"
#include "platform/MemorySettingsStore.h"
#include "scheduler/Recurrence.h"
#include "scheduler/RescheduleReminder.h"
#include "store/ReminderStore.h"

#include <QTest>

class TstRecurrence : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nextDaysCarryOverMonthsAndYears_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDate>("firing");
        QTest::addColumn<QDate>("next");
        QTest::newRow("daily 31 Dec")
            << Recurrence::kDaily << QDate(2026, 12, 31) << QDate(2027, 1, 1);
        QTest::newRow("weekly over a month end")
            << Recurrence::kWeekly << QDate(2026, 2, 25) << QDate(2026, 3, 4);
        QTest::newRow("monthly 31 Jan")
            << Recurrence::kMonthly << QDate(2027, 1, 31) << QDate(2027, 3, 3);
        QTest::newRow("monthly 31 Jan leap")
            << Recurrence::kMonthly << QDate(2028, 1, 31) << QDate(2028, 3, 2);
        QTest::newRow("monthly 3 Mar")
            << Recurrence::kMonthly << QDate(2027, 3, 3) << QDate(2027, 4, 3);
        QTest::newRow("monthly 31 Dec")
            << Recurrence::kMonthly << QDate(2026, 12, 31) << QDate(2027, 1, 31);
        QTest::newRow("bill like monthly")
            << Recurrence::kBill << QDate(2026, 10, 31) << QDate(2026, 12, 1);
        QTest::newRow("annual 29 Feb")
            << Recurrence::kAnnual << QDate(2028, 2, 29) << QDate(2029, 3, 1);
        QTest::newRow("annual 1 Mar")
            << Recurrence::kAnnual << QDate(2029, 3, 1) << QDate(2030, 3, 1);
        QTest::newRow("one-time") << Recurrence::kOneTime << QDate(2026, 12, 4) << QDate();
        QTest::newRow("empty") << QString() << QDate(2026, 12, 4) << QDate();
        QTest::newRow("typed") << u"Every Tuesday"_s << QDate(2026, 12, 4) << QDate();
        QTest::newRow("wrong case") << u"daily reminder"_s << QDate(2026, 12, 4) << QDate();
        QTest::newRow("past the last date") << Recurrence::kAnnual << QDate(9999, 6, 1) << QDate();
    }

    void nextDaysCarryOverMonthsAndYears()
    {
        QFETCH(QString, name);
        QFETCH(QDate, firing);
        QFETCH(QDate, next);
        QCOMPARE(Recurrence::nextDay(name, firing), next);
        QCOMPARE(Recurrence::isOneTime(name), !next.isValid() && firing.year() < 9999);
    }

    void theCopyKeepsTheStoredTextAndTakesTheNextFreeSlot()
    {
        MemorySettingsStore settings;
        ReminderStore store(settings);
        const QString fired = u"12/31/2026"_s;
        const QString next = u"1/1/2027"_s;
        const QString scrambled = u"\u00A3\u0090xyz"_s; // as stored, never re-scrambled
        store.appendReminder(fired,
                             {scrambled, u"VITAL_LOOP"_s, Recurrence::kDaily, u"7:30:00 AM"_s});
        for (int i = 0; i < 3; ++i)
            store.appendReminder(next, {u"other"_s, QString(), QString(), QString()});

        const auto copy = RescheduleReminder(store, fired, 1, scrambled, u"7:30:00 AM"_s,
                                             Recurrence::kDaily, QDate(2026, 12, 31));
        QVERIFY(copy);
        QCOMPARE(copy->day, next);
        QCOMPARE(copy->slot, 4);
        QCOMPARE(*store.readRecord(next, 4),
                 (ReminderRecord{scrambled, u"VITAL_LOOP"_s, Recurrence::kDaily, u"7:30:00 AM"_s}));
        QCOMPARE(settings.get(u"Reminders"_s, next), u"4"_s);
        // The fired slot is the caller's to delete. (Counting from the firing date and
        // leaving no copy of a one-time reminder: the scheduler's look-back test.)
        QCOMPARE(store.readRecord(fired, 1)->reminder, scrambled);
    }
};

PINGALO_TEST(TstRecurrence)
#include "tst_recurrence.moc"
