// A writer killed at random moments never leaves a half-written reminder and
// never loses one whose append had returned.
#include "StoreInvariants.h"
#include "TestRegistry.h"
#include "core/store/SqliteSettingsStore.h"

#include <QtCore>

class TstCrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWritersLoseNothingThatReturned()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"store.db"_s);
        QRandomGenerator random(20261206);
        QList<QPair<QString, qint64>> confirmed;
        for (int kill = 0; kill < 50; ++kill) {
            QProcess writer;
            writer.start(QStringLiteral(CRASH_WRITER), {path});
            QVERIFY(writer.waitForStarted());
            // Let it confirm an append, then kill it somewhere inside a later one.
            while (!writer.canReadLine() && writer.waitForReadyRead(5000)) {
            }
            QVERIFY2(writer.canReadLine(), "the writer appended nothing");
            QTest::qWait(int(random.bounded(0, 40)));
            // A writer that ended by itself (its store could not be opened) is a
            // failure, never a process id of 0 that would signal the whole group.
            QVERIFY2(writer.state() == QProcess::Running,
                     qPrintable(u"the writer ended by itself: "_s + writer.readAllStandardError()));
            writer.kill(); // SIGKILL to the writer itself
            QVERIFY(writer.waitForFinished(5000));
            // Only lines that ended are confirmed; the kill may have cut the last one.
            QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
            lines.removeLast();
            for (const QByteArray &line : std::as_const(lines)) {
                const QList<QByteArray> parts = line.split(' ');
                QCOMPARE(parts.size(), 2);
                confirmed.append({QString::fromLatin1(parts[0]), parts[1].toLongLong()});
            }

            SqliteSettingsStore settings(path);
            ReminderStore store(settings);
            QCOMPARE(reminderStoreViolation(settings), QString());
            for (const auto &[day, slot] : std::as_const(confirmed)) {
                const auto record = store.readRecord(day, slot);
                QVERIFY2(record && !record->isHole(),
                         qPrintable(u"%1 slot %2 is lost"_s.arg(day).arg(slot)));
                QCOMPARE(record->time + u'|' + record->recurrence, u"9:00:00 AM|Daily Reminder"_s);
            }
            // Every record that exists is whole, confirmed or not.
            const auto live = store.allLiveReminders();
            for (const LiveReminder &r : *live)
                QCOMPARE(settings.listValues(ReminderStore::recordSection(r.day, r.slot))->size(),
                         4);
        }
    }
};

PINGALO_TEST(TstCrash)
#include "tst_crash.moc"
