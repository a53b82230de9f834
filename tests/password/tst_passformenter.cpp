// The password gate: right and wrong passwords, its keys, Cancel, and the
// queue file shown after the right password.
#include "ModalHelpers.h"
#include "SchedulerFixture.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "password/PassFormEnter.h"
#include "password/QueueFile.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

void typeAndPress(PassFormEnter *gate, const QString &password, bool enter = false)
{
    gate->PasswordIn->setText(password);
    if (enter)
        QTest::keyClick(gate->PasswordIn, Qt::Key_Return);
    else
        gate->Command1->click();
}

} // namespace

class TstPassFormEnter : public QObject {
    Q_OBJECT

    QWidget m_owner;

    // A gate over `f`, with `stored` as the stored password, scrambled or as it is.
    PassFormEnter *makeGate(SchedulerFixture &f, const QString &stored, bool scrambled = true)
    {
        f.program.setStoredPassword(scrambled ? *ScrambleText(stored, u"1"_s) : stored);
        return new PassFormEnter(f.program, f.scheduler, &m_owner);
    }

private Q_SLOTS:
    void aWrongPasswordBringsTheGateBackUntilTheRightOne()
    {
        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
        QPointer<PassFormEnter> gate = makeGate(f, u"Secret"_s);
        QSignalSpy given(gate, &PassFormEnter::passwordGiven);
        MessageRecorder messages;
        QCOMPARE(gate->Stat(), u"0"_s);
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
        QCOMPARE(gate->statNumber(), 1);
        QCOMPARE(given.size(), 1);
        delete gate;

        // A stored password that cannot be unscrambled is just wrong.
        QPointer<PassFormEnter> damaged = makeGate(f, u"!!!"_s, false);
        whenModal<PassFormEnter>([&](PassFormEnter *shown) {
            whenModal<PassFormEnter>([](PassFormEnter *again) { again->close(); });
            typeAndPress(shown, u"!!!"_s);
        });
        damaged->exec();
        QCOMPARE(messages.texts(), QStringList(2, u"The password you entered is incorrect."_s));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void escapeAndEnterOutsideTheBoxDoNothingAndCancelDestroysTheFlag()
    {
        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
        QPointer<PassFormEnter> gate = makeGate(f, u"pw"_s);
        MessageRecorder messages;
        whenModal<PassFormEnter>([&](PassFormEnter *shown) {
            QTest::keyClick(shown, Qt::Key_Escape);
            QTest::keyClick(shown->Command2, Qt::Key_Return);
            QVERIFY(shown->isVisible());
            shown->Command2->click();
        });
        QCOMPARE(gate->exec(), int(QDialog::Rejected));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gate.isNull());
        QVERIFY(messages.messages.isEmpty());
    }

    // Which entries are due is the queue file's test; here, that they come every time.
    void theRightPasswordShowsTheQueueFileEveryTime()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QueueFile::kFileName),
                  queueLine("12/4/2026 11:00:00 AM", u"dentist"_s) + "\r\n" +
                      queueLine("12/5/2026 8:00:00 AM", u"tomorrow"_s) + "\r\n");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
        std::unique_ptr<PassFormEnter> gate(makeGate(f, u"pw"_s));
        for (int round = 0; round < 2; ++round) {
            whenModal<PassFormEnter>([](PassFormEnter *shown) { typeAndPress(shown, u"pw"_s); });
            gate->exec();
        }
        QDir::setCurrent(previous);
        QCOMPARE(f.host.notes(),
                 QStringList({u"dentist"_s, u"tomorrow"_s, u"dentist"_s, u"tomorrow"_s}));
        QVERIFY(f.host.timerWasOffWhileShown);
        QCOMPARE(f.host.events.at(1), u"sound:BEEP"_s);
    }
};

PINGALO_TEST(TstPassFormEnter)
#include "tst_passformenter.moc"
