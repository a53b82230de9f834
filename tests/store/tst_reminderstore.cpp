// The reminder records in the store: slots, holes, counts, whole-or-nothing
// writes, damaged values, and the program settings beside them.
#include "StoreInvariants.h"
#include "TestRegistry.h"

#include "platform/MemorySettingsStore.h"
#include "store/ProgramSettings.h"
#include "store/ReminderStore.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

const QString kDay = QStringLiteral("12/4/2026");

ReminderRecord record(const QString &note, const QString &time = QStringLiteral("3:05:00 PM"))
{
    return {note, QStringLiteral("BEEP"), QStringLiteral("One-Time Reminder"), time};
}

QString value(SettingsStore &s, const QString &section, const QString &name)
{
    return s.get(section, name).value_or(QStringLiteral("<failed>"));
}

} // namespace

class TstReminderStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void appendsTakeTheNextSlotAndKeepTheIndex()
    {
        MemorySettingsStore settings;
        ReminderStore store(settings);
        QCOMPARE(store.appendReminder(kDay, record(QStringLiteral("a"))), 1);
        QCOMPARE(store.appendReminder(kDay, record(QStringLiteral("a"))), 2); // same note, own slot
        const auto values = settings.listValues(ReminderStore::recordSection(kDay, 1));
        QCOMPARE(values->size(), 4);
        QCOMPARE(values->at(0), (StoreValue{QStringLiteral("Reminder"), QStringLiteral("a")}));
        QCOMPARE(values->at(1).name, QStringLiteral("Sound"));
        QCOMPARE(values->at(2).name, QStringLiteral("Recurrance"));
        QCOMPARE(values->at(3), (StoreValue{QStringLiteral("Time"), QStringLiteral("3:05:00 PM")}));
        QCOMPARE(value(settings, ReminderStore::daySection(kDay), QStringLiteral("NumReminders")),
                 QStringLiteral("2"));
        QCOMPARE(value(settings, QStringLiteral("Reminders"), kDay), QStringLiteral("2"));
        QCOMPARE(*store.numViewed(kDay), 0); // absent reads as 0

        // The copy of a recurring reminder writes the count first but lands the same.
        QCOMPARE(store.appendCopy(kDay, record(QStringLiteral("c"))), 3);
        QCOMPARE(value(settings, QStringLiteral("Reminders"), kDay), QStringLiteral("3"));
        QCOMPARE(store.readRecord(kDay, 3)->reminder, QStringLiteral("c"));
        QCOMPARE(reminderStoreViolation(settings), QString());
    }

    void holesAreSkippedAndSlotsNeverReused()
    {
        MemorySettingsStore settings;
        ReminderStore store(settings);
        for (int i = 1; i <= 3; ++i)
            store.appendReminder(kDay, record(QString::number(i)));
        QVERIFY(store.deleteFromList(kDay, QStringLiteral("2")));
        QCOMPARE(*store.numReminders(kDay), 3);
        QCOMPARE(value(settings, QStringLiteral("Reminders"), kDay), QStringLiteral("3"));
        QCOMPARE(*store.numViewed(kDay), 1);
        QVERIFY(store.readRecord(kDay, 2)->isHole());
        QCOMPARE(*store.slotsToVisit(kDay, 3), QList<qint64>({1, 3}));
        QCOMPARE(store.appendReminder(kDay, record(QStringLiteral("4"))), 4);

        // A record whose note is empty is a hole even with its other values.
        store.appendReminder(kDay, record(QString()));
        QVERIFY(store.readRecord(kDay, 5)->isHole());
        QCOMPARE(*store.readRecord(kDay, 5), ReminderRecord());

        // Deleting the live slots one by one completes the day.
        for (const char *slot : {"1", "3", "4", "5"})
            QVERIFY(store.deleteFromList(kDay, QString::fromLatin1(slot)));
        QCOMPARE(*store.numViewed(kDay), *store.numReminders(kDay));
        QCOMPARE(reminderStoreViolation(settings), QString());

        QVERIFY(store.removeDay(kDay));
        QCOMPARE(settings.sectionCount(), 0);
    }

    void consumingAndRemovingTouchOnlyTheirDay()
    {
        MemorySettingsStore settings;
        ReminderStore store(settings);
        const QString other = QStringLiteral("12/4/20261"); // a prefix of it is kDay
        store.appendReminder(kDay, record(QStringLiteral("a")));
        store.appendReminder(kDay, record(QStringLiteral("b")));
        store.appendReminder(other, record(QStringLiteral("c")));
        QVERIFY(store.consumeSlot(kDay, 1, 0));
        QCOMPARE(*store.numViewed(kDay), 1);
        QVERIFY(store.readRecord(kDay, 1)->isHole());
        QVERIFY(store.deleteRecord(kDay, 2)); // the look-back deletes without counting
        QCOMPARE(*store.numViewed(kDay), 1);
        QVERIFY(store.removeDay(kDay));
        QCOMPARE(*store.dayIndex(), QList<StoreValue>({{other, QStringLiteral("1")}}));
        QCOMPARE(store.readRecord(other, 1)->reminder, QStringLiteral("c"));
        QCOMPARE(*store.storedDays(), QStringList({other}));
    }

    void damagedCountsNeitherHangNorOverwrite_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QList<qint64>>("visited");
        QTest::newRow("letters") << "abc" << QList<qint64>();
        QTest::newRow("negative") << "-5" << QList<qint64>();
        QTest::newRow("too small") << "1" << QList<qint64>({1});
        QTest::newRow("two billion") << "2000000000" << QList<qint64>({1, 2, 7});
        QTest::newRow("astronomic") << "1e300" << QList<qint64>({1, 2, 7});
    }

    void damagedCountsNeitherHangNorOverwrite()
    {
        QFETCH(QString, count);
        QFETCH(QList<qint64>, visited);
        MemorySettingsStore settings;
        ReminderStore store(settings);
        store.appendReminder(kDay, record(QStringLiteral("one")));
        store.appendReminder(kDay, record(QStringLiteral("two")));
        // A slot section a hand edit left behind, and names that are not slots.
        settings.save(ReminderStore::recordSection(kDay, 7), QStringLiteral("Reminder"),
                      QStringLiteral("seven"));
        settings.save(ReminderStore::daySection(kDay) + QStringLiteral("\\07"),
                      QStringLiteral("Reminder"), QStringLiteral("x"));
        settings.save(ReminderStore::daySection(kDay) + QStringLiteral("\\two"),
                      QStringLiteral("Reminder"), QStringLiteral("x"));
        settings.save(ReminderStore::daySection(kDay), QStringLiteral("NumReminders"), count);

        QElapsedTimer timer;
        timer.start();
        QCOMPARE(*store.slotsToVisit(kDay, *store.numReminders(kDay)), visited);
        QVERIFY(timer.elapsed() < 1000);

        // An append lands past every slot that exists and repairs the count.
        const auto slot = store.appendReminder(kDay, record(QStringLiteral("new")));
        QVERIFY(slot);
        QVERIFY(*slot >= 8);
        QCOMPARE(store.readRecord(kDay, 1)->reminder, QStringLiteral("one"));
        QCOMPARE(store.readRecord(kDay, 2)->reminder, QStringLiteral("two"));
        QCOMPARE(store.readRecord(kDay, 7)->reminder, QStringLiteral("seven"));
        QCOMPARE(store.readRecord(kDay, *slot)->reminder, QStringLiteral("new"));
        QCOMPARE(value(settings, QStringLiteral("Reminders"), kDay), QString::number(*slot));
    }

    void aWriteThatFailsHalfWayLeavesNothing()
    {
        // Fail the append at each of its writes in turn.
        for (int works = 0; works < 6; ++works) {
            MemorySettingsStore settings;
            ReminderStore store(settings);
            QVERIFY(store.appendReminder(kDay, record(QStringLiteral("kept"))));
            settings.failWritesAfter(works);
            const auto slot = store.appendReminder(kDay, record(QStringLiteral("new")));
            settings.failWritesAfter(-1);
            QCOMPARE(slot.has_value(), works >= 6);
            QCOMPARE(*store.numReminders(kDay), 1);
            QVERIFY(store.readRecord(kDay, 2)->isHole());
            QCOMPARE(settings.listValues(ReminderStore::recordSection(kDay, 2))->size(), 0);
            QCOMPARE(reminderStoreViolation(settings), QString());
        }
        // The same for consuming and removing.
        MemorySettingsStore settings;
        ReminderStore store(settings);
        store.appendReminder(kDay, record(QStringLiteral("a")));
        settings.failWritesAfter(1);
        QVERIFY(!store.consumeSlot(kDay, 1, 0));
        QVERIFY(!store.removeDay(kDay));
        QVERIFY(!store.deleteFromList(kDay, QStringLiteral("1")));
        settings.failWritesAfter(-1);
        QCOMPARE(store.readRecord(kDay, 1)->reminder, QStringLiteral("a"));
        QCOMPARE(*store.numViewed(kDay), 0);
        settings.setBroken(true);
        QVERIFY(!store.appendReminder(kDay, record(QStringLiteral("b"))));
        QVERIFY(!store.readRecord(kDay, 1));
        QVERIFY(!store.numReminders(kDay));
    }

    void settingsReadersUseTheirOwnDefaults()
    {
        MemorySettingsStore store;
        ProgramSettings settings(store);
        QVERIFY(settings.logonStartAllowed()); // absent: "True"
        QVERIFY(!settings.startupItemChecked()); // absent: "False"
        for (const auto &[text, allowed, checked] :
             {std::tuple{"True", true, true}, {"False", false, false}, {"true", true, false},
              {"false", true, false}, {"False ", true, false}}) {
            store.save(QStringLiteral("Settings"), QStringLiteral("Start Up"), QString::fromLatin1(text));
            QCOMPARE(settings.logonStartAllowed(), allowed);
            QCOMPARE(settings.startupItemChecked(), checked);
        }
        QVERIFY(settings.setStartUp(false));
        QCOMPARE(*settings.startUp(), QStringLiteral("False"));

        QCOMPARE(settings.lookBackDays(), 0);
        for (const auto &[text, days] : {std::pair{"14", 14}, {"2.5", 2}, {"3.5", 4}, {"abc", 0},
                                         {"-3", 0}, {"30 days", 30}}) {
            settings.setCheckMissed(QString::fromLatin1(text));
            QCOMPARE(settings.lookBackDays(), days);
        }
        settings.setCheckMissed(QStringLiteral("2000000000"));
        QVERIFY(settings.lookBackDays() < 4'000'000);

        store.setBroken(true);
        QVERIFY(settings.logonStartAllowed());
        QVERIFY(!settings.startupItemChecked());
        QCOMPARE(settings.lookBackDays(), 0);
        QVERIFY(!settings.storedPassword());
        QVERIFY(!settings.setLocale(QStringLiteral("/tmp")));
    }
};

PINGALO_TEST(TstReminderStore)
#include "tst_reminderstore.moc"
