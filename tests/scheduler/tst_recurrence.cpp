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
        QTest::newRow("daily 31 Dec") << Recurrence::kDaily << QDate(2026, 12, 31) << QDate(2027, 1, 1);
        QTest::newRow("weekly over a month end") << Recurrence::kWeekly << QDate(2026, 2, 25) << QDate(2026, 3, 4);
        QTest::newRow("monthly 31 Jan") << Recurrence::kMonthly << QDate(2027, 1, 31) << QDate(2027, 3, 3);
        QTest::newRow("monthly 31 Jan leap") << Recurrence::kMonthly << QDate(2028, 1, 31) << QDate(2028, 3, 2);
        QTest::newRow("monthly 3 Mar") << Recurrence::kMonthly << QDate(2027, 3, 3) << QDate(2027, 4, 3);
        QTest::newRow("monthly 31 Dec") << Recurrence::kMonthly << QDate(2026, 12, 31) << QDate(2027, 1, 31);
        QTest::newRow("bill like monthly") << Recurrence::kBill << QDate(2026, 10, 31) << QDate(2026, 12, 1);
        QTest::newRow("annual 29 Feb") << Recurrence::kAnnual << QDate(2028, 2, 29) << QDate(2029, 3, 1);
        QTest::newRow("annual 1 Mar") << Recurrence::kAnnual << QDate(2029, 3, 1) << QDate(2030, 3, 1);
        QTest::newRow("one-time") << Recurrence::kOneTime << QDate(2026, 12, 4) << QDate();
        QTest::newRow("empty") << QString() << QDate(2026, 12, 4) << QDate();
        QTest::newRow("typed") << QStringLiteral("Every Tuesday") << QDate(2026, 12, 4) << QDate();
        QTest::newRow("wrong case") << QStringLiteral("daily reminder") << QDate(2026, 12, 4) << QDate();
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
        const QString fired = QStringLiteral("12/31/2026");
        const QString next = QStringLiteral("1/1/2027");
        const QString scrambled = QStringLiteral("\u00A3\u0090xyz"); // as stored, never re-scrambled
        store.appendReminder(fired, {scrambled, QStringLiteral("VITAL_LOOP"), Recurrence::kDaily,
                                     QStringLiteral("7:30:00 AM")});
        for (int i = 0; i < 3; ++i)
            store.appendReminder(next, {QStringLiteral("other"), QString(), QString(), QString()});

        const auto copy = RescheduleReminder(store, fired, 1, scrambled, QStringLiteral("7:30:00 AM"),
                                             Recurrence::kDaily, QDate(2026, 12, 31));
        QVERIFY(copy);
        QCOMPARE(copy->day, next);
        QCOMPARE(copy->slot, 4);
        QCOMPARE(*store.readRecord(next, 4),
                 (ReminderRecord{scrambled, QStringLiteral("VITAL_LOOP"), Recurrence::kDaily,
                                 QStringLiteral("7:30:00 AM")}));
        QCOMPARE(settings.get(QStringLiteral("Reminders"), next), QStringLiteral("4"));
        // The fired slot is the caller's to delete.
        QCOMPARE(store.readRecord(fired, 1)->reminder, scrambled);

        // Counted from the firing date, not the stored day: the look-back case.
        store.appendReminder(QStringLiteral("12/1/2026"),
                             {QStringLiteral("w"), QStringLiteral("BEEP"), Recurrence::kWeekly,
                              QStringLiteral("9:00:00 AM")});
        const auto weekly = RescheduleReminder(store, QStringLiteral("12/1/2026"), 1,
                                               QStringLiteral("w"), QStringLiteral("9:00:00 AM"),
                                               Recurrence::kWeekly, QDate(2026, 12, 4));
        QCOMPARE(weekly->day, QStringLiteral("12/11/2026"));

        // A one-time reminder leaves no copy anywhere.
        const int sections = settings.sectionCount();
        QVERIFY(!RescheduleReminder(store, fired, 1, scrambled, QString(), Recurrence::kOneTime,
                                    QDate(2026, 12, 31)));
        QCOMPARE(settings.sectionCount(), sections);
    }
};

PINGALO_TEST(TstRecurrence)
#include "tst_recurrence.moc"
