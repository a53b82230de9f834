// The queue file: which lines are entries, which entries are due, and that a
// bad line never hides the good ones.
#include "SchedulerFixture.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "password/QueueFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString write(const QTemporaryDir &dir, const QByteArray &content)
{
    return writeFile(dir.filePath(QueueFile::kFileName), content);
}

QStringList notes(const QList<QueuedReminder> &entries)
{
    QStringList result;
    for (const QueuedReminder &e : entries)
        result << e.note;
    return result;
}

} // namespace

class TstQueueFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void onlyEntriesOfTheComingDayAndAHalfAreShown()
    {
        QTemporaryDir dir;
        const QByteArray content =
            queueLine("12/4/2026 11:29:00 PM", u"a minute ago"_s) + "\r\n" +
            queueLine("12/4/2026 11:30:00 PM", u"now"_s, "SIREN") + "\r\n" +
            queueLine("12/5/2026 12:10:00 AM", u"after midnight"_s, "No Sound") + "\r\n" +
            queueLine("12/5/2026 11:59:00 PM", u"end of tomorrow"_s) + "\r\n" +
            queueLine("12/6/2026", u"the day after"_s) + "\r\n";
        const QString path = write(dir, content);
        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(23, 30, 45)));
        f.scheduler.ShowQueuedReminders(QueueFile::read(path));
        QCOMPARE(f.host.notes(),
                 QStringList({u"now"_s, u"after midnight"_s, u"end of tomorrow"_s}));
        QCOMPARE(f.host.shownTexts.at(1),
                 u"Date and Time: 12/5/2026 12:10:00 AM\r\nReminder Note: after midnight"_s);
        QVERIFY(f.host.events.contains(u"sound:No Sound"_s));
        QVERIFY(f.host.timerWasOffWhileShown);
        QCOMPARE(readFile(path), content); // never touched

        // Due is decided when an entry's turn comes: a slow OK lets the next one pass.
        SchedulerFixture slow(QDateTime(QDate(2026, 12, 4), QTime(23, 29, 50)));
        slow.host.whileShown = [&] {
            slow.clock.set(QDateTime(QDate(2026, 12, 4), QTime(23, 31)));
        };
        slow.scheduler.ShowQueuedReminders(QueueFile::read(path));
        QCOMPARE(slow.host.notes().first(), u"a minute ago"_s);
        QVERIFY(!slow.host.notes().contains(u"now"_s));
    }

    void onlyCarriageReturnAndLineFeedEndALine()
    {
        const QByteArray a = queueLine("12/4/2026 11:40:00 PM", u"first"_s);
        const QByteArray b = queueLine("12/4/2026 11:50:00 PM", u"second"_s);
        QCOMPARE(notes(QueueFile::parse(a + "\r\n" + b + "\r\n")),
                 QStringList({u"first"_s, u"second"_s}));
        QCOMPARE(notes(QueueFile::parse(a + "\r\n" + b)), QStringList({u"first"_s, u"second"_s}));
        // Line feeds alone: one line; its first three fields make the one entry.
        const auto single = QueueFile::parse(a + "\n" + b + "\n");
        QCOMPARE(single.size(), 1);
        QCOMPARE(single.first().note, u"first"_s);
        QCOMPARE(single.first().sound, u"BEEP\n12/4/2026 11:50:00 PM"_s);
    }

    // (Any bytes at all: the fuzz target's.)
    void badLinesAreSkippedAndTheRestShown()
    {
        const QByteArray good = queueLine("12/4/2026 11:40:00 PM", u"good"_s);
        const QByteArray content = QByteArray("12/4/2026 11:45:00 PM|only two fields\r\n") +
                                   queueLine("the 4th of December", u"no date"_s) + "\r\n" +
                                   "12/4/2026 11:45:00 PM|!!!|BEEP\r\n" + // does not unscramble
                                   QByteArray(100, '1') + "|x|BEEP\r\n" + // too long a moment
                                   good + "|extra|fields\r\n" + "\r\n";
        QCOMPARE(notes(QueueFile::parse(content)), QStringList({u"good"_s}));
    }

    void filesThatAreNotThereOrNotReadyGiveNothing()
    {
        QTemporaryDir dir;
        QCOMPARE(QueueFile::read(dir.filePath(QueueFile::kFileName)), QList<QueuedReminder>());
        QCOMPARE(QueueFile::read(write(dir, QByteArray())), QList<QueuedReminder>());
        QTemporaryDir other;
        QVERIFY(QDir(other.path()).mkdir(QueueFile::kFileName)); // cannot be opened for writing
        QCOMPARE(QueueFile::read(other.filePath(QueueFile::kFileName)), QList<QueuedReminder>());
        const QString path = write(dir, queueLine("12/4/2026 11:40:00 PM", u"ready"_s));
        QCOMPARE(notes(QueueFile::read(path)), QStringList({u"ready"_s}));
        // Too large to be a queue: refused whole, its good first line included.
        QFile big(path);
        QVERIFY(big.open(QIODevice::Append) && big.resize(QueueFile::kMaxSize + 1));
        big.close();
        QCOMPARE(QueueFile::read(path), QList<QueuedReminder>());
    }
};

PINGALO_TEST(TstQueueFile)
#include "tst_queuefile.moc"
