// The password gate: right and wrong passwords, its keys, Cancel, and the
// queue file shown after the right password.
#include "ModalHelpers.h"
#include "SchedulerFixture.h"
#include "TestRegistry.h"
#include "password/PassFormEnter.h"
#include "password/QueueFile.h"
#include "platform/Cp1252.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void typeAndPress(PassFormEnter *gate, const QString &password, bool enter = false) {
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

    static void setPassword(SchedulerFixture &f, const QString &password) {
        f.program.setStoredPassword(*ScrambleText(password, u"1"_s));
    }

private Q_SLOTS:
    void aWrongPasswordBringsTheGateBackUntilTheRightOne() {
        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
        setPassword(f, u"Secret"_s);
        auto *gate = new PassFormEnter(f.program, f.scheduler, &m_owner);
        QPointer<PassFormEnter> alive(gate);
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
        QVERIFY(alive);
        QCOMPARE(messages.texts(), QStringList({u"The password you entered is incorrect."_s}));
        QCOMPARE(messages.messages.first().icon, QMessageBox::Warning);
        QCOMPARE(messages.messages.first().title, u"Pingalo!"_s);
        QCOMPARE(gate->Stat(), u"1"_s);
        QCOMPARE(gate->statNumber(), 1);
        QCOMPARE(given.size(), 1);
        QVERIFY(!gate->isVisible()); // only hidden: the flag lives on
        delete gate;
    }

    void escapeAndEnterOutsideTheBoxDoNothingAndCancelDestroysTheFlag() {
        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
        setPassword(f, u"pw"_s);
        QPointer<PassFormEnter> gate = new PassFormEnter(f.program, f.scheduler, &m_owner);
        MessageRecorder messages;
        QVERIFY(!gate->Command1->isDefault() && !gate->Command1->autoDefault());
        QVERIFY(!gate->Command2->isDefault() && !gate->Command2->autoDefault());
        QCOMPARE(gate->PasswordIn->echoMode(), QLineEdit::Password);
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

    void aDamagedStoredPasswordIsJustWrong() {
        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
        f.program.setStoredPassword(u"!!!"_s); // never scrambled: cannot unscramble
        auto *gate = new PassFormEnter(f.program, f.scheduler, &m_owner);
        MessageRecorder messages;
        whenModal<PassFormEnter>([&](PassFormEnter *shown) {
            whenModal<PassFormEnter>([](PassFormEnter *again) { again->close(); });
            typeAndPress(shown, u"!!!"_s);
        });
        gate->exec();
        QCOMPARE(messages.texts(), QStringList({u"The password you entered is incorrect."_s}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void theRightPasswordShowsTheQueueFileEveryTime() {
        QTemporaryDir dir;
        QFile queue(dir.filePath(QueueFile::kFileName));
        QVERIFY(queue.open(QIODevice::WriteOnly));
        for (const auto &[when, note] : {std::pair{"12/4/2026 11:00:00 AM", "dentist"},
                                         {"12/4/2026 9:00:00 AM", "past"},
                                         {"garbage", "skipped"},
                                         {"12/5/2026 8:00:00 AM", "tomorrow"}}) {
            QByteArray line = QByteArray(when) + '|';
            const QString scrambled = *ScrambleText(QString::fromLatin1(note), u"1"_s);
            for (QChar c : scrambled)
                line.append(char(Cp1252::code(c)));
            queue.write(line + "|BEEP\r\n");
        }
        queue.close();
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());

        SchedulerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
        setPassword(f, u"pw"_s);
        auto *gate = new PassFormEnter(f.program, f.scheduler, &m_owner);
        for (int round = 0; round < 2; ++round) {
            whenModal<PassFormEnter>([](PassFormEnter *shown) { typeAndPress(shown, u"pw"_s); });
            gate->exec();
        }
        QDir::setCurrent(previous);
        QCOMPARE(f.host.notes(),
                 QStringList({u"dentist"_s, u"tomorrow"_s, u"dentist"_s, u"tomorrow"_s}));
        QVERIFY(f.host.timerWasOffWhileShown);
        QCOMPARE(f.host.events.at(1), u"sound:BEEP"_s);
        delete gate;
    }
};

PINGALO_TEST(TstPassFormEnter)
#include "tst_passformenter.moc"
