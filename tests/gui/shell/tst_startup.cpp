// The start-up roads of the main form, the single instance, and shutdown.
#include "ModalHelpers.h"
#include "ShellFixture.h"
#include "TestRegistry.h"
#include "core/scheduler/Scheduler.h"
#include "gui/alerts/Reminders.h"
#include "gui/list/Editor.h"
#include "gui/password/PassFormEnter.h"
#include "gui/password/PassFormLock.h"
#include "gui/platform/TrayIcon.h"
#include "gui/shell/SplashScreen.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QLocalSocket>
#include <QPushButton>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTest>

namespace {

// Closes the splash at once when it shows, and says whether it did.
struct SplashWatch {
    bool shown = false;
    QObject context; // stops the watch with it
    SplashWatch()
    {
        whenModal<SplashScreen>(
            [this](SplashScreen *splash) {
                shown = true;
                splash->Timer1_Timer();
            },
            &context);
    }
};

} // namespace

class TstStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void withoutPasswordTheIconComesAndTheCheckRuns()
    {
        ShellFixture f(u"--list"_s); // a desktop entry's action: the list, after start-up
        f.addToday(u"10:45:00 AM"_s, u"this hour"_s);
        bool splashTimed = false, splashGone = false;
        whenModal<SplashScreen>([&](SplashScreen *splash) {
            // It closes by itself, once, two seconds after it came.
            splashTimed = splash->Timer1.isActive() && splash->Timer1.isSingleShot() &&
                          splash->Timer1.interval() == SplashScreen::kShowMs;
            connect(splash, &QObject::destroyed, [&] { splashGone = true; });
        });
        bool reminderShown = false;
        whenModal<Reminders>([&](Reminders *window) {
            // The splash has gone and the icon is there before the check runs.
            reminderShown = f.form.tray().isShown() && !f.form.editor();
            window->Reminded->click();
        });
        MessageRecorder messages;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no notification area"_s));
        f.form.Form_Load();
        // No notification area offscreen: a note says so, waiting for nothing.
        QVERIFY(!f.form.noTrayNote()->isModal());
        QVERIFY(f.form.noTrayNote()->text().contains(u"pingalo --new-reminder"_s));
        QVERIFY(f.form.editor() && f.form.editor()->isVisible());
        QVERIFY(splashTimed && splashGone);
        QVERIFY(reminderShown);
        QVERIFY(messages.messages.isEmpty()); // start-up says nothing of an empty day
        QCOMPARE(*f.program.locale(), QDir::currentPath());
        QCOMPARE(*f.program.checkMissed(), u"14"_s);
        QVERIFY(!f.form.LockItem->isEnabled());
        QVERIFY(f.form.scheduler().Timer1().isActive());
        QCOMPARE(f.ended.size(), 0);

        // Settings already there are never overwritten, except "Locale".
        ShellFixture again(u"-SU"_s);
        again.program.setCheckMissed(u"7"_s);
        again.program.setLocale(u"/somewhere/else"_s);
        again.form.Form_Load();
        QCOMPARE(*again.program.checkMissed(), u"7"_s);
        QCOMPARE(*again.program.locale(), QDir::currentPath());
    }

    void theLogOnSwitch()
    {
        // "Start Up" as stored ("" for absent), whether the program runs, and whether
        // it shows the splash (only when started by hand).
        const struct {
            const char *commandLine, *startUp;
            bool runs, splash;
        } cases[] = {{"-SU", "False", false, false}, {"-SU", "True", true, false},
                     {"-SU", "", true, false},       {"-SU", "false", true, false},
                     {"-su", "False", true, true},   {"-SU ", "False", true, true},
                     {"", "False", true, true}};
        for (const auto &c : cases) {
            const QString row =
                QString::fromLatin1(c.commandLine) + u'/' + QLatin1String(c.startUp);
            ShellFixture f(QString::fromLatin1(c.commandLine));
            if (*c.startUp)
                f.store.save(u"Settings"_s, u"Start Up"_s, QString::fromLatin1(c.startUp));
            SplashWatch watch;
            MessageRecorder messages;
            if (c.runs)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no notification area"_s));
            f.form.Form_Load();
            // No note of a missing tray at log-on: the panel may be late.
            QVERIFY2((f.form.noTrayNote() != nullptr) == c.splash, qPrintable(row));
            QVERIFY2(f.ended.size() == (c.runs ? 0 : 1), qPrintable(row));
            QVERIFY2(f.form.tray().isShown() == c.runs && watch.shown == c.splash, qPrintable(row));
            // Ending at once touches no setting and says nothing.
            QVERIFY2(f.program.locale()->isEmpty() == !c.runs, qPrintable(row));
            QVERIFY2(messages.messages.isEmpty(), qPrintable(row));
            QVERIFY2(c.runs || !f.form.scheduler().Timer1().isActive(), qPrintable(row));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void withAPasswordTheGateComesFirst()
    {
        ShellFixture f(u"-SU"_s);
        f.setPassword(u"pw"_s);
        f.addToday(u"10:45:00 AM"_s, u"this hour"_s);
        MessageRecorder messages;
        bool iconBefore = true;
        whenModal<PassFormEnter>([&](PassFormEnter *gate) {
            iconBefore = f.form.tray().isShown();
            gate->PasswordIn->setText(u"pw"_s);
            gate->Command1->click();
        });
        f.form.Form_Load();
        QVERIFY(!iconBefore);
        QVERIFY(messages.messages.isEmpty()); // (a wrong password: the gate's own test)
        QVERIFY(f.form.tray().isShown());
        QVERIFY(f.form.LockItem->isEnabled());
        QCOMPARE(f.form.unlockFlag(), 1);
        // No check at start-up with a password: the reminder of this hour waits.
        QCOMPARE(f.reminders.readRecord(u"12/4/2026"_s, 1)->isHole(), false);
        QCOMPARE(f.ended.size(), 0);
    }

    void cancellingTheGateEndsTheProgram()
    {
        for (bool closeBox : {false, true}) {
            ShellFixture f(u"-SU"_s);
            f.setPassword(u"pw"_s);
            whenModal<PassFormEnter>([&](PassFormEnter *gate) {
                if (closeBox)
                    gate->close();
                else
                    gate->Command2->click();
            });
            f.form.Form_Load();
            QCOMPARE(f.ended.size(), 1);
            QVERIFY(!f.form.tray().isShown());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void aSecondInstanceIsRefusedOrHandsOverAndAStaleLockIsNot()
    {
        ShellFixture first(u"-SU"_s);
        first.form.Form_Load();
        QVERIFY(first.form.tray().isShown());

        ShellFixture second(u"-SU"_s, QDateTime(QDate(2026, 12, 4), QTime(10, 5)),
                            first.runtimeDir.path());
        MessageRecorder messages;
        bool ticking = true; // while its message is open, the refused copy must not tick
        messages.onMessage = [&](QMessageBox *) {
            ticking = second.form.scheduler().Timer1().isActive();
        };
        second.form.Form_Load();
        QVERIFY(!ticking);
        QCOMPARE(messages.texts(), QStringList({u"Pingalo! Vantor is already running."_s}));
        QCOMPARE(messages.messages.first().icon, QMessageBox::Warning);
        QCOMPARE(messages.messages.first().title, u"Pingalo!"_s);
        QCOMPARE(second.ended.size(), 1);
        QVERIFY(second.program.locale()->isEmpty()); // nothing read or written
        QVERIFY(first.form.tray().isShown());
        QCOMPARE(first.ended.size(), 0);
        // Something else on its socket that writes on and on is cut off at once.
        QLocalSocket flood;
        flood.connectToServer(first.runtimeDir.filePath(u"pingalo.socket"_s));
        flood.write(QByteArray(1 << 20, 'x'));
        QTRY_VERIFY_WITH_TIMEOUT(flood.state() == QLocalSocket::UnconnectedState, 2500);

        // With an item's option it hands that over, and the running copy does
        // it as its tray would: during lock-down the unlock window or the gate.
        const auto later = [&](const QString &option) {
            ShellFixture(option, QDateTime(QDate(2026, 12, 4), QTime(10, 5)),
                         first.runtimeDir.path())
                .form.Form_Load();
        };
        later(u"--list"_s);
        later(u"--check"_s);
        QTRY_COMPARE(messages.texts().last(), u"No immediate reminders."_s);
        QVERIFY(first.form.editor()->isVisible());
        first.form.editor()->close();
        first.setPassword(u"pw"_s);
        first.form.LockItem->setEnabled(true);
        first.form.LockItem->trigger();
        later(u"--new-reminder"_s);
        later(u"--check"_s);
        QTRY_VERIFY(first.form.passFormLock() && first.form.passFormEnter()->isVisible());
        QVERIFY(!first.form.noteMaker());
        QCOMPARE(messages.texts().size(), 2);

        // A lock left behind by a killed instance: its process is gone.
        QTemporaryDir runtime;
        {
            QFile lock(runtime.filePath(u"pingalo.lock"_s));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("999999\npingalo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        }
        ShellFixture afterCrash(u"-SU"_s, QDateTime(QDate(2026, 12, 4), QTime(10, 5)),
                                runtime.path());
        afterCrash.form.Form_Load();
        QCOMPARE(afterCrash.ended.size(), 0);
        QVERIFY(afterCrash.form.tray().isShown());
    }

    // A termination signal (or the session ending) in the middle of start-up.
    void endingDuringTheSplashOrACheckLosesNothing()
    {
        ShellFixture splash;
        splash.addToday(u"10:45:00 AM"_s, u"this hour"_s);
        whenModal<SplashScreen>([&](SplashScreen *) { splash.form.Form_Unload(); });
        splash.form.Form_Load();
        QVERIFY(!splash.form.tray().isShown());
        QVERIFY(splash.program.locale()->isEmpty() && splash.program.checkMissed()->isEmpty());
        QVERIFY(!splash.reminders.readRecord(u"12/4/2026"_s, 1)->isHole());

        // Ending while the first of four reminders is on screen: it was seen;
        // the others, of the look-back and of today, all stay in the store.
        ShellFixture check(u"-SU"_s);
        const QString yesterday = u"12/3/2026"_s;
        for (const QString &note : {u"a"_s, u"b"_s, u"c"_s})
            check.reminders.appendReminder(yesterday, {*ScrambleText(note, u"1"_s), u"BEEP"_s,
                                                       u"One-Time Reminder"_s, u"9:00:00 AM"_s});
        check.addToday(u"10:45:00 AM"_s, u"this hour"_s);
        int shown = 0;
        whenModal<Reminders>([&](Reminders *) {
            ++shown;
            check.form.Form_Unload();
        });
        check.form.Form_Load();
        QCOMPARE(shown, 1);
        QCOMPARE(check.reminders.liveReminders(yesterday, 3)->size(), 2);
        QCOMPARE(check.reminders.liveReminders(u"12/4/2026"_s, 1)->size(), 1);
        QVERIFY(!check.form.scheduler().Timer1().isActive());
    }

    void exitStopsTheSoundAndClosesEverything()
    {
        ShellFixture f(u"-SU"_s);
        f.form.Form_Load();
        f.form.passFormEnter()->show(); // e.g. the gate of lock-down
        f.form.reminders();
        QWidget other; // a window of the note maker's kind
        other.show();
        f.sound.calls.clear();
        f.form.ExitItem->trigger();
        QCOMPARE(f.sound.calls, QStringList({u"stop"_s}));
        QVERIFY(!f.form.tray().isShown());
        QVERIFY(!other.isVisible());
        QCOMPARE(f.ended.size(), 1);
        QVERIFY(!f.form.scheduler().Timer1().isActive());
    }
};

PINGALO_TEST(TstStartup)
#include "tst_startup.moc"
