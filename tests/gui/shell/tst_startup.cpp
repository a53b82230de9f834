// The start-up roads of the main form, the single instance, and ending during start-up.
#include "ShellFixture.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "gui/shell/SplashScreen.h"

#include <QLocalSocket>

class TstStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theLogOnSwitch()
    {
        // "Start Up" as stored ("" for absent), whether the program runs, and
        // whether it shows the splash (only when started by hand).
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
            // Settings already there are never overwritten, except "Locale" by a run.
            f.program.setCheckMissed(u"7"_s);
            f.program.setLocale(u"/somewhere/else"_s);
            QObject context; // the splash's wait ends with the row
            bool splash = false;
            whenModal<SplashScreen>([&](SplashScreen *s) { splash = true, s->Timer1_Timer(); },
                                    &context);
            MessageRecorder messages;
            if (c.runs)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no notification area"_s));
            f.form.Form_Load();
            // No note of a missing tray at log-on: the panel may be late. Ending at
            // once touches no setting and says nothing.
            QVERIFY2(f.ended.size() == !c.runs && f.form.tray().isShown() == c.runs &&
                         splash == c.splash && (f.form.noTrayNote() != nullptr) == c.splash &&
                         messages.messages.isEmpty() && *f.program.checkMissed() == u"7"_s &&
                         *f.program.locale() ==
                             (c.runs ? QDir::currentPath() : u"/somewhere/else"_s) &&
                         f.form.scheduler().Timer1().isActive() == c.runs,
                     qPrintable(row));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void aSecondInstanceIsRefusedOrHandsOverAndAStaleLockIsNot()
    {
        ShellFixture first(u"-SU"_s);
        first.form.Form_Load();
        QVERIFY(first.ended.isEmpty()); // the first copy runs
        ShellFixture second(u"-SU"_s, first.runtimeDir.path());
        MessageRecorder messages;
        bool ticking = true; // while its message is open, the refused copy must not tick
        messages.onMessage = [&](QMessageBox *) {
            ticking = second.form.scheduler().Timer1().isActive();
        };
        second.form.Form_Load(); // (its message and the first going on: the end-to-end test)
        QVERIFY(!ticking && second.ended.size() == 1 && second.program.locale()->isEmpty());
        // Something else on its socket that writes on and on is cut off at once.
        QLocalSocket flood;
        flood.connectToServer(first.runtimeDir.filePath(u"pingalo.socket"_s));
        flood.write(QByteArray(1 << 20, 'x'));
        QTRY_VERIFY_WITH_TIMEOUT(flood.state() == QLocalSocket::UnconnectedState, 2500);

        // With an item's option it hands that over, and the running copy does
        // it as its tray would: during lock-down the unlock window or the gate.
        const auto later = [&](const QString &option) {
            ShellFixture(option, first.runtimeDir.path()).form.Form_Load();
        };
        later(u"--list"_s);
        later(u"--check"_s);
        QTRY_COMPARE(messages.texts().last(), u"No immediate reminders."_s);
        QCOMPARE(messages.messages.last().icon, QMessageBox::Information);
        QVERIFY(first.form.editor()->isVisible());
        first.form.editor()->close();
        first.setPassword(u"pw"_s);
        first.form.LockItem->setEnabled(true);
        first.form.LockItem->trigger();
        later(u"--new-reminder"_s);
        later(u"--check"_s);
        QTRY_VERIFY(first.form.passFormLock() && first.form.passFormEnter()->isVisible());
        QVERIFY(!first.form.noteMaker() && messages.messages.size() == 2);

        // A lock left behind by a killed instance: its process is gone.
        QTemporaryDir runtime;
        writeFile(runtime.filePath(u"pingalo.lock"_s),
                  "999999\npingalo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        ShellFixture afterCrash(u"-SU"_s, runtime.path());
        afterCrash.form.Form_Load();
        QVERIFY(afterCrash.ended.isEmpty() && afterCrash.form.tray().isShown());
    }

    // A termination signal (or the session ending) in the middle of start-up.
    void endingDuringTheSplashOrACheckLosesNothing()
    {
        ShellFixture splash;
        splash.add(u"10:45:00 AM"_s, u"this hour"_s);
        whenModal<SplashScreen>([&](SplashScreen *) { splash.form.Form_Unload(); });
        splash.form.Form_Load();
        QVERIFY(!splash.form.tray().isShown() && splash.reminders.allLiveReminders()->size() == 1);
        QVERIFY(splash.program.locale()->isEmpty() && splash.program.checkMissed()->isEmpty());

        // Ending while the first of four reminders is on screen: it was seen;
        // the others, of the look-back and of today, all stay in the store.
        ShellFixture check(u"-SU"_s);
        for (const QString &note : {u"a"_s, u"b"_s, u"c"_s})
            check.add(u"9:00:00 AM"_s, note, u"BEEP"_s, u"One-Time Reminder"_s, -1);
        check.add(u"10:45:00 AM"_s, u"this hour"_s);
        int shown = 0;
        whenModal<Reminders>([&](Reminders *) { ++shown, check.form.Form_Unload(); });
        check.form.Form_Load();
        QVERIFY(shown == 1 && !check.form.scheduler().Timer1().isActive());
        QCOMPARE(check.reminders.allLiveReminders()->size(), 3);
    }
};

PINGALO_TEST(TstStartup)
#include "tst_startup.moc"
