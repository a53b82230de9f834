// The password windows and the queue file: the window that sets the password,
// with its refusals and their focus; the gate, with right and wrong passwords;
// and the queue file shown after the right password, where
// a bad line never hides the good ones.
#include "ModalHelpers.h"
#include "SchedulerFixture.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ScrambleText.h"
#include "core/system/QueueFile.h"
#include "gui/password/PassFormCreate.h"
#include "gui/password/PassFormEnter.h"

#include <QSignalSpy>

namespace {

QStringList notes(const QList<QueuedReminder> &entries)
{
    QStringList result;
    for (const QueuedReminder &e : entries)
        result << e.note;
    return result;
}

void typeAndPress(PassFormEnter *gate, const QString &password, bool enter = false)
{
    gate->PasswordIn->setText(password);
    enter ? QTest::keyClick(gate->PasswordIn, Qt::Key_Return) : gate->Command1->click();
}

} // namespace

class TstPassword : public QObject {
    Q_OBJECT

    QWidget m_owner;

    // A gate over `f`, with `stored` as the stored password.
    PassFormEnter *makeGate(SchedulerFixture &f, const QString &stored)
    {
        f.program.setStoredPassword(*ScrambleText(stored, u"1"_s));
        return new PassFormEnter(
            f.program, [&f](const auto &entries) { f.scheduler.ShowQueuedReminders(entries); },
            &m_owner);
    }

private Q_SLOTS:
    void refusalsAndSaves()
    {
        struct Case {
            QString stored, current, newA, newB, said, focus; // no focus: saved
        };
        const QString none = u"You must enter a password."_s,
                      saved = u"Your password has been saved."_s,
                      notWritten = u"Pingalo! could not write its settings. Nothing was changed."_s;
        // clang-format off
        const Case cases[] = {
            {u""_s,    u""_s,    u""_s,        u""_s,        none, u"NewPassA"_s},
            {u""_s,    u""_s,    u"pw"_s,      u""_s,        none, u"NewPassB"_s},
            {u"old"_s, u"Old"_s, u"pw"_s,      u"pw"_s,      u"The password you entered is invalid. Please try again."_s, u"CurrentPass"_s},
            {u"old"_s, u"old"_s, u"pw"_s,      u"PW"_s,      u"The passwords you entered do not match."_s, u"NewPassB"_s},
            {u""_s,    u""_s,    u"a\u2603"_s, u"a\u2603"_s, u"The new password holds \"\u2603\", a character that Pingalo! cannot store in a password. Please choose a password without it."_s, u"NewPassA"_s},
            {u"old"_s, u"old"_s, u"  "_s,      u"  "_s,      saved, {}},
            // A store that refuses the write: said, and the window stays as it was.
            {u""_s,    u""_s,    u"pw"_s,      u"pw"_s,      notWritten, u"CurrentPass"_s}};
        // clang-format on
        for (const Case &c : cases) {
            MemorySettingsStore store;
            ProgramSettings settings(store);
            settings.setStoredPassword(*ScrambleText(c.stored, u"1"_s));
            store.failWritesAfter(c.said == notWritten ? 0 : -1);
            QWidget owner;
            auto *w = new PassFormCreate(settings, &owner);
            w->show();
            w->CurrentPass->setText(c.current), w->NewPassA->setText(c.newA);
            w->NewPassB->setText(c.newB);
            MessageRecorder messages;
            w->Command1->click();
            QCOMPARE(messages.texts(), QStringList({c.said}));
            QCOMPARE(messages.messages.first().icon, QMessageBox::Warning);
            // A save replaces the password and closes the window; a refusal changes nothing.
            const QString now = c.focus.isEmpty() ? c.newA : c.stored;
            QCOMPARE(*settings.storedPassword(), *ScrambleText(now, u"1"_s));
            QCOMPARE(w->isVisible() ? w->focusWidget()->objectName() : QString(), c.focus);
        }
    }

    void wrongAndRightPasswordsKeysAndCancel()
    {
        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
        QPointer<PassFormEnter> gate = makeGate(f, u"Secret"_s);
        QSignalSpy given(gate, &PassFormEnter::passwordGiven);
        MessageRecorder messages;
        whenModal<PassFormEnter>([&](PassFormEnter *shown) {
            whenModal<PassFormEnter>([&](PassFormEnter *again) {
                QCOMPARE(again->PasswordIn->text(), u"secret"_s); // keeps the wrong text
                QCOMPARE(again->Stat(), u"0"_s);
                typeAndPress(again, u"Secret"_s, true); // Enter is OK
            });
            typeAndPress(shown, u"secret"_s); // wrong case
        });
        gate->exec();
        QVERIFY(gate && !gate->isVisible()); // only hidden: the flag lives on
        QCOMPARE(messages.texts(), QStringList({u"The password you entered is incorrect."_s}));
        QCOMPARE(messages.messages.first().icon, QMessageBox::Warning);
        QCOMPARE(gate->Stat(), u"1"_s);
        QCOMPARE(given.size(), 1);
        delete gate;

        // The right password shows the queue file every time. (Which entries are due is
        // the queue file's test.)
        QTemporaryDir dir;
        writeFile(dir.filePath(QueueFile::kFileName),
                  queueLine("12/4/2026 11:00:00 AM", u"dentist"_s) + "\r\n" +
                      queueLine("12/5/2026 8:00:00 AM", u"tomorrow"_s) + "\r\n");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        std::unique_ptr<PassFormEnter> right(makeGate(f, u"pw"_s));
        for (int round = 0; round < 2; ++round) {
            whenModal<PassFormEnter>([](PassFormEnter *shown) { typeAndPress(shown, u"pw"_s); });
            right->exec();
        }
        QDir::setCurrent(previous);
        QCOMPARE(f.host.notes().join(u'|'), u"dentist|tomorrow|dentist|tomorrow"_s);
    }

    void whichLinesAndFilesGiveEntriesAndWhichAreShown()
    {
        const QByteArray a = queueLine("12/4/2026 11:40:00 PM", u"first"_s);
        const QByteArray b = queueLine("12/4/2026 11:50:00 PM", u"second"_s);
        // (Ended by a pair or by the end of the file.)
        QCOMPARE(notes(QueueFile::parse(a + "\r\n" + b)), QStringList({u"first"_s, u"second"_s}));

        // Bad lines are skipped and the rest shown. (Any bytes at all: the fuzz target's.)
        const QByteArray content = QByteArray("12/4/2026 11:45:00 PM|only two fields\r\n") +
                                   queueLine("the 4th of December", u"no date"_s) + "\r\n" +
                                   "12/4/2026 11:45:00 PM|!!!|BEEP\r\n" + // does not unscramble
                                   QByteArray(100, '1') + "|x|BEEP\r\n" + // too long a moment
                                   a + "|extra|fields\r\n" + "\r\n";
        QCOMPARE(notes(QueueFile::parse(content)), QStringList({u"first"_s}));

        QTemporaryDir dir;
        QVERIFY(QueueFile::read(dir.filePath(u"missing"_s)).isEmpty());

        // Only entries of the coming day and a half are shown.
        const QByteArray queue =
            queueLine("12/4/2026 11:29:00 PM", u"a minute ago"_s) + "\r\n" +
            queueLine("12/4/2026 11:30:00 PM", u"now"_s, "SIREN") + "\r\n" +
            queueLine("12/5/2026 12:10:00 AM", u"after midnight"_s, "No Sound") + "\r\n" +
            queueLine("12/5/2026 11:59:00 PM", u"end of tomorrow"_s) + "\r\n" +
            queueLine("12/6/2026", u"the day after"_s) + "\r\n";
        const QString path = writeFile(dir.filePath(QueueFile::kFileName), queue);
        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(23, 30, 45)));
        f.scheduler.ShowQueuedReminders(QueueFile::read(path));
        QCOMPARE(f.host.notes().join(u'|'), u"now|after midnight|end of tomorrow"_s);
        QVERIFY(f.host.shownTexts.at(1).contains(u"12/5/2026 12:10:00 AM"_s)); // the entry's moment
        QVERIFY(f.host.events.contains(u"sound:No Sound"_s));
        QVERIFY(f.host.timerWasOffWhileShown);
        QCOMPARE(readFile(path), queue); // never touched

        // Too large to be a queue: refused whole, its good lines included.
        QVERIFY(QFile::resize(path, QueueFile::kMaxSize + 1));
        QCOMPARE(QueueFile::read(path), QList<QueuedReminder>());
    }
};

PINGALO_TEST(TstPassword)
#include "tst_password.moc"
