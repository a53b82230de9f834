// The reminder records in the store: a record's values, slots and holes, damaged
// counts and whole-or-nothing writes. (Appends, copies, consuming, deleting and removing days in
// every order, each step checked against the store's invariants: the model of a reminder's life.)
#include "StoreInvariants.h"
#include "TestRegistry.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/ReminderStore.h"

namespace {

const QString kDay = u"12/4/2026"_s;

ReminderRecord record(const QString &note, const QString &time = u"3:05:00 PM"_s)
{
    return {note, u"BEEP"_s, u"One-Time Reminder"_s, time};
}

} // namespace

class TstReminderStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aRecordsValuesSlotsAndHoles()
    {
        MemorySettingsStore settings;
        ReminderStore store(settings);
        // The copy of a recurring reminder writes the count first but lands the same, UID and all.
        ReminderRecord copy = record(u"a"_s);
        copy.uid = u"a@example.com"_s;
        QCOMPARE(store.appendReminder(kDay, record(u"a"_s)), 1);
        QCOMPARE(store.appendCopy(kDay, copy), 2); // same note, own slot
        QCOMPARE(*store.readRecord(kDay, 2), copy);
        // clang-format off
        QCOMPARE(*settings.listValues(ReminderStore::recordSection(kDay, 1)),
                 (QList<StoreValue>{{u"Reminder"_s, u"a"_s}, {u"Sound"_s, u"BEEP"_s},
                                    {u"Recurrance"_s, u"One-Time Reminder"_s}, {u"Time"_s, u"3:05:00 PM"_s}}));
        // clang-format on
        QCOMPARE(settings.get(u"Reminders"_s, kDay), u"2"_s);
        // Holes are skipped and their slots never reused; a record whose note is empty is
        // a hole even with its other values.
        QVERIFY(store.deleteFromList(kDay, u"2"_s));
        QCOMPARE(store.appendReminder(kDay, record(QString())), 3);
        QCOMPARE(*store.readRecord(kDay, 3), ReminderRecord());
        QCOMPARE(*store.liveReminders(kDay, 3), QList<LiveReminder>({{kDay, 1, record(u"a"_s)}}));
        QVERIFY(store.deleteRecord(kDay, 1)); // as the look-back deletes: not counted
        QCOMPARE(*store.numReminders(kDay) * 10 + *store.numViewed(kDay), 31);
        QCOMPARE(reminderStoreViolation(settings), QString());
    }

    void damagedCountsNeitherHangNorOverwrite()
    {
        const std::pair<const char *, QList<qint64>> cases[] = {
            {"abc", {}}, {"1", {1}}, {"2000000000", {1, 2, 10}}, {"1e300", {1, 2, 10}}};
        for (const auto &[count, visited] : cases) {
            MemorySettingsStore settings;
            ReminderStore store(settings);
            store.appendReminder(kDay, record(u"one"_s));
            store.appendReminder(kDay, record(u"two"_s));
            // A slot section a hand edit left behind, and names that are not slots.
            for (const QString &child : {u"\\10"_s, u"\\07"_s, u"\\two"_s})
                settings.save(ReminderStore::daySection(kDay) + child, u"Reminder"_s, u"ten"_s);
            settings.save(ReminderStore::daySection(kDay), u"NumReminders"_s,
                          QString::fromLatin1(count));

            QList<qint64> slots; // read without a walk to two billion
            const auto live = store.liveReminders(kDay, *store.numReminders(kDay));
            for (const LiveReminder &r : *live)
                slots << r.slot;
            QCOMPARE(slots, visited);

            // An append lands past every slot that exists and repairs the count.
            const auto slot = store.appendReminder(kDay, record(u"new"_s));
            QVERIFY(slot && *slot >= 11);
            for (const auto &[kept, note] : {std::pair{1, u"one"_s}, {2, u"two"_s}, {10, u"ten"_s}})
                QCOMPARE(store.readRecord(kDay, kept)->reminder, note);
            QCOMPARE(store.readRecord(kDay, *slot)->reminder, u"new"_s);
            QCOMPARE(settings.get(u"Reminders"_s, kDay), QString::number(*slot));
        }
    }

    void aWriteThatFailsHalfWayLeavesNothing()
    {
        // Fail the append at each of its writes in turn.
        for (int works = 0; works < 6; ++works) {
            MemorySettingsStore settings;
            ReminderStore store(settings);
            QVERIFY(store.appendReminder(kDay, record(u"kept"_s)));
            settings.failWritesAfter(works);
            const auto slot = store.appendReminder(kDay, record(u"new"_s));
            settings.failWritesAfter(-1);
            QVERIFY(!slot);
            QCOMPARE(*store.numReminders(kDay), 1);
            QCOMPARE(settings.listValues(ReminderStore::recordSection(kDay, 2))->size(), 0);
            QCOMPARE(reminderStoreViolation(settings), QString());
        }
        // The same for consuming and removing.
        MemorySettingsStore settings;
        ReminderStore store(settings);
        store.appendReminder(kDay, record(u"a"_s));
        settings.failWritesAfter(1);
        QVERIFY(!store.consumeSlot(kDay, 1, 0));
        QVERIFY(!store.removeDay(kDay));
        QVERIFY(!store.deleteFromList(kDay, u"1"_s));
        settings.failWritesAfter(-1);
        QCOMPARE(store.readRecord(kDay, 1)->reminder, u"a"_s);
        QCOMPARE(*store.numViewed(kDay), 0);
        settings.setBroken(true);
        QVERIFY(!store.appendReminder(kDay, record(u"b"_s)));
        QVERIFY(!store.readRecord(kDay, 1));
        QVERIFY(!store.numReminders(kDay));
    }
};

PINGALO_TEST(TstReminderStore)
#include "tst_reminderstore.moc"
