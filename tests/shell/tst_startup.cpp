// The start-up roads of the main form, the single instance, and shutdown.
#include "ModalHelpers.h"
#include "ShellFixture.h"
#include "TestRegistry.h"

#include "alerts/Reminders.h"
#include "password/PassFormEnter.h"
#include "platform/TrayIcon.h"
#include "scheduler/Scheduler.h"
#include "shell/SplashScreen.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLockFile>
#include <QSysInfo>
#include <QPushButton>
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
        ShellFixture f;
        f.addToday(QStringLiteral("10:45:00 AM"), QStringLiteral("this hour"));
        QElapsedTimer clock;
        clock.start();
        qint64 splashGone = -1;
        bool splashShown = false;
        whenModal<SplashScreen>([&](SplashScreen *splash) {
            splashShown = true;
            connect(splash, &QObject::destroyed, [&] { splashGone = clock.elapsed(); });
        });
        bool reminderShown = false;
        whenModal<Reminders>([&](Reminders *window) {
            // The splash has gone and the icon is there before the check runs.
            reminderShown = f.form.tray().isShown();
            window->Reminded->click();
        });
        MessageRecorder messages;
        f.form.Form_Load();
        QVERIFY(splashShown);
        // It closed by itself after its two seconds.
        QVERIFY2(splashGone >= SplashScreen::kShowMs - 50 && splashGone < SplashScreen::kShowMs + 1000,
                 qPrintable(QString::number(splashGone)));
        QVERIFY(reminderShown);
        QVERIFY(messages.messages.isEmpty()); // start-up says nothing of an empty day
        QCOMPARE(f.form.applicationTitle(), QStringLiteral("Pingalo! Vantor"));
        QCOMPARE(f.form.windowTitle(), QStringLiteral("Pingalo! Vantor"));
        QCOMPARE(*f.program.locale(), QDir::currentPath());
        QCOMPARE(*f.program.checkMissed(), QStringLiteral("14"));
        QCOMPARE(f.form.passFormEnter()->Stat(), QStringLiteral("1"));
        QVERIFY(!f.form.LockItem->isEnabled());
        QVERIFY(!f.form.LockItem->isChecked());
        QVERIFY(f.form.scheduler().Timer1().isActive());
        QCOMPARE(f.form.scheduler().Timer1().interval(), 59'500);
        QCOMPARE(f.ended.size(), 0);
    }

    void theLogOnSwitch_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("startUp"); // "<absent>" for none
        QTest::addColumn<bool>("runs");
        QTest::addColumn<bool>("splash");
        QTest::newRow("-SU, False") << "-SU" << "False" << false << false;
        QTest::newRow("-SU, True") << "-SU" << "True" << true << false;
        QTest::newRow("-SU, absent") << "-SU" << "<absent>" << true << false;
        QTest::newRow("-SU, false in lower case") << "-SU" << "false" << true << false;
        QTest::newRow("-su is not the switch") << "-su" << "False" << true << true;
        QTest::newRow("-SU and a blank") << "-SU " << "False" << true << true;
        QTest::newRow("by hand, False") << "" << "False" << true << true;
    }

    void theLogOnSwitch()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, startUp);
        QFETCH(bool, runs);
        QFETCH(bool, splash);
        ShellFixture f(commandLine);
        if (startUp != QLatin1String("<absent>"))
            f.program.setStartUp(startUp == QLatin1String("True"));
        if (startUp == QLatin1String("false"))
            f.store.save(QStringLiteral("Settings"), QStringLiteral("Start Up"), startUp);
        SplashWatch watch;
        MessageRecorder messages;
        f.form.Form_Load();
        QCOMPARE(f.ended.size(), runs ? 0 : 1);
        QCOMPARE(f.form.tray().isShown(), runs);
        QCOMPARE(watch.shown, splash);
        // Ending at once touches no setting and says nothing.
        QCOMPARE(f.program.locale()->isEmpty(), !runs);
        QVERIFY(messages.messages.isEmpty());
        if (!runs)
            QVERIFY(!f.form.scheduler().Timer1().isActive());
    }

    void settingsAreFilledInButNeverOverwritten()
    {
        ShellFixture f(QStringLiteral("-SU"));
        f.program.setCheckMissed(QStringLiteral("7"));
        f.program.setLocale(QStringLiteral("/somewhere/else"));
        f.form.Form_Load();
        QCOMPARE(*f.program.checkMissed(), QStringLiteral("7"));
        QCOMPARE(*f.program.locale(), QDir::currentPath());
    }

    void withAPasswordTheGateComesFirst()
    {
        ShellFixture f(QStringLiteral("-SU"));
        f.setPassword(QStringLiteral("pw"));
        f.addToday(QStringLiteral("10:45:00 AM"), QStringLiteral("this hour"));
        MessageRecorder messages;
        whenModal<PassFormEnter>([&](PassFormEnter *gate) {
            QVERIFY(!f.form.tray().isShown()); // no icon before the password
            gate->PasswordIn->setText(QStringLiteral("wrong"));
            whenModal<PassFormEnter>([](PassFormEnter *again) {
                again->PasswordIn->setText(QStringLiteral("pw"));
                again->Command1->click();
            });
            gate->Command1->click();
        });
        f.form.Form_Load();
        QCOMPARE(messages.texts(), QStringList({QStringLiteral("The password you entered is incorrect.")}));
        QVERIFY(f.form.tray().isShown());
        QVERIFY(f.form.LockItem->isEnabled());
        QCOMPARE(f.form.unlockFlag(), 1);
        // No check at start-up with a password: the reminder of this hour waits.
        QCOMPARE(f.reminders.readRecord(QStringLiteral("12/4/2026"), 1)->isHole(), false);
        QCOMPARE(f.ended.size(), 0);
    }

    void cancellingTheGateEndsTheProgram()
    {
        for (bool closeBox : {false, true}) {
            ShellFixture f(QStringLiteral("-SU"));
            f.setPassword(QStringLiteral("pw"));
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

    void aSecondInstanceIsRefusedAndAStaleLockIsNot()
    {
        ShellFixture first(QStringLiteral("-SU"));
        first.form.Form_Load();
        QVERIFY(first.form.tray().isShown());

        ShellFixture second(QStringLiteral("-SU"), QDateTime(QDate(2026, 12, 4), QTime(10, 5)),
                            first.runtimeDir.path());
        MessageRecorder messages;
        second.form.Form_Load();
        QCOMPARE(messages.texts(), QStringList({QStringLiteral("Pingalo! Vantor is already running.")}));
        QCOMPARE(messages.messages.first().icon, QMessageBox::Warning);
        QCOMPARE(messages.messages.first().title, QStringLiteral("Pingalo!"));
        QCOMPARE(second.ended.size(), 1);
        QVERIFY(second.program.locale()->isEmpty()); // nothing read or written
        QVERIFY(first.form.tray().isShown());
        QCOMPARE(first.ended.size(), 0);

        // A lock left behind by a killed instance: its process is gone.
        QTemporaryDir runtime;
        {
            QFile lock(runtime.filePath(QStringLiteral("pingalo.lock")));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("999999\npingalo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        }
        ShellFixture afterCrash(QStringLiteral("-SU"), QDateTime(QDate(2026, 12, 4), QTime(10, 5)),
                                runtime.path());
        afterCrash.form.Form_Load();
        QCOMPARE(afterCrash.ended.size(), 0);
        QVERIFY(afterCrash.form.tray().isShown());
    }

    void exitStopsTheSoundAndClosesEverything()
    {
        ShellFixture f(QStringLiteral("-SU"));
        f.form.Form_Load();
        f.form.passFormEnter()->show(); // e.g. the gate of lock-down
        f.form.reminders();
        QWidget other; // a window of the note maker's kind
        other.show();
        f.sound.calls.clear();
        f.form.ExitItem->trigger();
        QCOMPARE(f.sound.calls, QStringList({QStringLiteral("stop")}));
        QVERIFY(!f.form.tray().isShown());
        QVERIFY(!other.isVisible());
        QCOMPARE(f.ended.size(), 1);
        QVERIFY(!f.form.scheduler().Timer1().isActive());
    }
};

PINGALO_TEST(TstStartup)
#include "tst_startup.moc"
