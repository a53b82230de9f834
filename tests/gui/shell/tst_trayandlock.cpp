// The tray icon's clicks and menu, lock-down and its unlock window, the About
// box and the help.
#include "ShellFixture.h"
#include "TestRegistry.h"
#include "core/store/SoundNames.h"
#include "gui/authoring/NoteMaker.h"
#include "gui/authoring/SettingsMenu.h"
#include "gui/platform/TrayClickDecoder.h"
#include "gui/shell/About.h"
#include "gui/shell/HelpWindow.h"

class TstTrayAndLock : public QObject {
    Q_OBJECT

    QList<QUrl> m_handedToDesktop;

    static void loadWithPassword(ShellFixture &f)
    {
        f.setPassword(u"pw"_s);
        whenModal<PassFormEnter>([](PassFormEnter *gate) {
            gate->PasswordIn->setText(u"pw"_s);
            gate->Command1->click();
        });
        f.form.Form_Load();
    }

    // Pops the menu with a right press on the icon and says whether it came.
    static bool menuComes(ShellFixture &f)
    {
        f.form.Picture1_RightPress();
        const bool shown = QTest::qWaitFor([&] { return f.form.mnuFile->isVisible(); });
        f.form.mnuFile->hide();
        return shown;
    }

public Q_SLOTS:
    // Stands in for the desktop's handler of web addresses.
    void open(const QUrl &url) { m_handedToDesktop.append(url); }

private Q_SLOTS:
    void onlyARightPressAndADoubleClickAct()
    {
        using E = TrayClickDecoder::Event;
        using A = TrayClickDecoder::Act;
        TrayClickDecoder d(400);
        // A single click, one too late for a pair, a pair just in time, a third click afresh; the
        // other buttons; then a host that decodes double-clicks itself: click,
        // double-click, click.
        // clang-format off
        const std::tuple<E, int, A> clicks[] = {
            {E::Trigger, 1000, A::Nothing}, {E::Trigger, 1500, A::Nothing},
            {E::Trigger, 1900, A::DoubleClick}, {E::Trigger, 2000, A::Nothing},
            {E::Context, 5000, A::Menu}, {E::Middle, 5100, A::Nothing}, {E::Other, 5200, A::Nothing},
            {E::Trigger, 9000, A::Nothing}, {E::DoubleClick, 9100, A::DoubleClick}, {E::Trigger, 9150, A::Nothing}};
        // clang-format on
        for (const auto &[event, ms, act] : clicks)
            QVERIFY2(d.decode(event, ms) == act, qPrintable(QString::number(ms)));
    }

    void theMenuAndTheDoubleClick()
    {
        ShellFixture f(u"-SU"_s);
        f.form.Form_Load();
        QStringList captions;
        for (QAction *a : f.form.mnuFile->actions())
            captions << (a->isSeparator() ? u"-"_s : a->text());
        QCOMPARE(captions,
                 QStringList({u"&Check Reminders"_s, u"-"_s, u"Create &New Reminder"_s,
                              u"&View Reminder List"_s, u"-"_s, u"Lock &Down"_s, u"-"_s,
                              u"&Help Contents"_s, u"&About Pingalo!"_s, u"-"_s, u"&Exit"_s}));
        QCOMPARE(f.form.mnuFile->defaultAction(), f.form.CheckItem);
        QVERIFY(menuComes(f));
        // (A double-click's check, and its message: the end-to-end tests, and the start-up
        // test's --check handed over, which runs the same menu item.)
    }

    void whileAWindowWaitsTheTrayBringsItToTheFront()
    {
        // The note maker's list is modal to the note maker only: a double-click and a
        // right press on the icon bring it to the front, and neither check nor pop the menu.
        ShellFixture f(u"-SU"_s);
        f.form.Form_Load();
        f.form.NoteMakerItem_Click();
        QWidget other; // another program's window, in front
        other.show();
        QStringList seen;
        whenModal<Editor>([&](Editor *list) {
            MessageRecorder messages;
            for (int press = 0; press < 2; ++press) {
                other.activateWindow();
                const bool otherInFront = QTest::qWaitForWindowActive(&other);
                press ? f.form.Picture1_RightPress() : Q_EMIT f.form.tray().doubleClicked();
                seen << (otherInFront && QTest::qWaitForWindowActive(list) ? u"list in front"_s
                                                                           : u"?"_s);
            }
            seen << messages.texts() << (f.form.mnuFile->isVisible() ? u"menu"_s : u""_s);
            list->close();
        });
        f.form.noteMaker()->EditListItem->trigger();
        QCOMPARE(seen, QStringList({u"list in front"_s, u"list in front"_s, u""_s}));
    }

    void lockDownAndTheUnlockWindow()
    {
        ShellFixture f(u"-SU"_s);
        loadWithPassword(f);
        f.form.LockItem->trigger();
        QVERIFY(f.form.isLockedDown() && f.form.unlockFlag() == 0);
        // The tick does nothing while locked.
        f.add(u"10:05:00 AM"_s, u"due now"_s);
        f.form.scheduler().Timer1_Timer();
        QVERIFY(!f.form.reminders()->isVisible());

        // A right press brings the unlock window, centred on the screen, not the menu;
        // again, the same one.
        f.form.Picture1_RightPress();
        PassFormLock *lock = f.form.passFormLock();
        QVERIFY(lock->isVisible() && !f.form.mnuFile->isVisible());
        const QPoint centre = lock->screen()->availableGeometry().center();
        QVERIFY((lock->frameGeometry().center() - centre).manhattanLength() <= 4);
        f.form.Picture1_RightPress();
        QCOMPARE(f.form.passFormLock(), lock);

        // Enter submits nothing; a wrong password keeps the window, its text and the lock.
        MessageRecorder messages;
        lock->PasswordIn->setText(u"nope"_s);
        QTest::keyClick(lock->PasswordIn, Qt::Key_Return);
        QVERIFY(messages.messages.isEmpty());
        lock->Command1->click();
        QCOMPARE(messages.texts(), QStringList({u"The password you entered is incorrect."_s}));
        QVERIFY(lock->isVisible() && lock->PasswordIn->text() == u"nope"_s &&
                f.form.LockItem->isChecked());
        f.form.Picture1_RightPress(); // brought up again: with an empty box
        QVERIFY(lock->PasswordIn->text().isEmpty());

        lock->PasswordIn->setText(u"pw"_s);
        lock->Command1->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.form.passFormLock() && !f.form.LockItem->isChecked() &&
                f.form.unlockFlag() == 1);
        QVERIFY(menuComes(f));

        // Locked again, the unlock window up, and the note maker left open removes the
        // protection: lock-down ends with it, what came due meanwhile waits for a check
        // (across a jump of the clock too), and the next tick brings up what comes due.
        f.form.LockItem->trigger();
        f.form.Picture1_RightPress();
        f.form.NoteMakerItem_Click();
        f.add(u"10:20:00 AM"_s, u"held"_s);
        f.clock.set(QDateTime(QDate(2026, 12, 4), QTime(10, 30, 10)));
        messages.buttons = {QMessageBox::Yes};
        f.form.noteMaker()->settingsMenu()->EnablePassItem->trigger();
        QVERIFY(!f.form.LockItem->isChecked() && !f.form.LockItem->isEnabled() &&
                f.form.unlockFlag() == 1);
        QTRY_VERIFY(!f.form.passFormLock());
        f.add(u"10:40:00 AM"_s, u"next"_s);
        QStringList shown; // every window answered
        std::function<void(Reminders *)> answer = [&](Reminders *window) {
            shown << window->ReminderText->toPlainText();
            whenModal<Reminders>(answer, &f.form);
            window->Reminded->click();
        };
        whenModal<Reminders>(answer, &f.form);
        f.clock.set(QDateTime(QDate(2026, 12, 4), QTime(10, 40, 10)));
        f.form.scheduler().Timer1_Timer();
        QCOMPARE(shown,
                 QStringList({u"Date and Time: 12/4/2026 10:40:00 AM\nReminder Note: next"_s}));
    }

    // (Where the gate and its message lie: the password end-to-end test.)
    void theGateDuringLockDownGivesTheMenuBackButNotTheReminders()
    {
        ShellFixture f(u"-SU"_s);
        loadWithPassword(f);
        f.form.LockItem->trigger();
        // A double-click while locked opens the password gate, not the unlock window.
        Q_EMIT f.form.tray().doubleClicked();
        PassFormEnter *gate = f.form.passFormEnter();
        // Not the password given at start-up: the box is empty, and OK is a wrong password.
        QVERIFY(gate->isVisible() && !gate->isModal() && !f.form.passFormLock() &&
                gate->PasswordIn->text().isEmpty());
        QCOMPARE(gate->findChild<QLabel *>(u"Label1"_s)->text(), u"Password:"_s);
        MessageRecorder messages;
        whenModal<PassFormEnter>([](PassFormEnter *again) {
            again->PasswordIn->setText(u"pw"_s);
            again->Command1->click();
        });
        gate->Command1->click();
        QCOMPARE(messages.texts(), QStringList({u"The password you entered is incorrect."_s}));
        QVERIFY(f.form.unlockFlag() == 1 && f.form.LockItem->isChecked()); // still locked down
        QVERIFY(menuComes(f)); // ... but the menu is back
        f.form.LockItem->trigger();
        QVERIFY(!f.form.LockItem->isChecked() && f.form.unlockFlag() == 1);
    }

    void theAboutBox()
    {
        ShellFixture f(u"-SU"_s);
        f.form.Form_Load();
        f.form.AboutPingalo->trigger();
        QPointer<About> about = f.form.about();
        QVERIFY(about->isVisible() && !about->isModal());
        f.form.AboutPingalo->trigger();
        QCOMPARE(f.form.about(), about); // brought to the front, not made again
        // Every text fits its label.
        for (QLabel *label :
             {about->Label2, about->Label3, about->Label4, about->Label5, about->Label6})
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
        QDesktopServices::setUrlHandler(u"https"_s, this, "open");
        QTest::mouseClick(about->Label4, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(u"https"_s);
        QCOMPARE(m_handedToDesktop, QList<QUrl>({QUrl(About::kWebAddress)}));
        about->OKBttn->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about.isNull());
    }

    void soundsAndHelpComeFromLocaleThenDataThenBesideTheProgram()
    {
        ShellFixture f(u"-SU"_s);
        HelpModule &help = f.form.help();
        Sounds &sounds = f.form.sounds();
        // The help file and a sound in each folder, taken away one by one.
        QTemporaryDir locale;
        f.program.setLocale(locale.path());
        const QString resources = QStringLiteral(PINGALO_SOURCE_DIR "/resources/");
        const QStringList folders = {locale.path(), f.runtimeDir.filePath(u"data"_s),
                                     f.runtimeDir.filePath(u"program"_s)};
        const QStringList files = {u"/Pingalo_Help.chm"_s, u"/snds/BEEP.wav"_s};
        for (const QString &folder : folders) {
            QVERIFY(QDir().mkpath(folder + u"/snds"_s));
            for (const QString &file : files)
                QVERIFY(QFile::copy(resources + file, folder + file));
        }
        for (const QString &folder : folders) {
            QCOMPARE(help.helpPath(), folder + files[0]);
            QCOMPARE(sounds.playableNames(), QStringList({u"BEEP"_s}));
            sounds.PlayReminderSound(u"BEEP"_s);
            QCOMPARE(f.sound.calls.last(), u"play "_s + folder + files[1]);
            for (const QString &file : files)
                QVERIFY(QFile::remove(folder + file));
        }

        // Found nowhere: the bell rings for the "Locale" file, and the first miss of a
        // chosen sound says so.
        QCOMPARE(help.helpPath(), locale.path() + files[0]);
        QVERIFY(sounds.playableNames().isEmpty());
        sounds.PlayReminderSound(SoundNames::kNotChosen);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(
                                               folders.last() + u"/snds/BEEP.wav; the bell"_s)));
        sounds.PlayReminderSound(u"BEEP"_s);
        QTest::failOnWarning(QRegularExpression(u"bell"_s));
        sounds.PlayReminderSound(u"SIREN"_s);
        QCOMPARE(f.sound.calls.last(), u"play "_s + locale.path() + u"/snds/SIREN.wav"_s);
    }
};

PINGALO_TEST(TstTrayAndLock)
#include "tst_trayandlock.moc"
