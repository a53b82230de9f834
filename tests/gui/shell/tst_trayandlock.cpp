// The tray icon's clicks, lock-down and its unlock window, and the About box.
#include "ShellFixture.h"
#include "TestRegistry.h"
#include "gui/authoring/NoteMaker.h"
#include "gui/authoring/SettingsMenu.h"
#include "gui/platform/TrayClickDecoder.h"
#include "gui/shell/About.h"
#include "gui/shell/FolderSync.h"
#include "gui/shell/HelpWindow.h"

class TstTrayAndLock : public QObject {
    Q_OBJECT

    QList<QUrl> m_handedToDesktop;

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

    void lockDownAndTheUnlockWindow()
    {
        ShellFixture f(u"-SU"_s);
        f.setPassword(u"pw"_s);
        whenModal<PassFormEnter>([](PassFormEnter *gate) {
            gate->PasswordIn->setText(u"pw"_s);
            gate->Command1->click();
        });
        f.form.Form_Load();
        f.form.LockItem->trigger();
        QVERIFY(f.form.isLockedDown() && f.form.unlockFlag() == 0);
        // The tick does nothing while locked.
        f.add(u"10:05:00 AM"_s, u"due now"_s);
        f.form.scheduler().Timer1_Timer();
        QVERIFY(!f.form.reminders()->isVisible());

        // A right press brings the unlock window, not the menu; again, the same one.
        f.form.Picture1_RightPress();
        PassFormLock *lock = f.form.passFormLock();
        QVERIFY(lock->isVisible() && !f.form.mnuFile->isVisible());
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
        f.form.Picture1_RightPress(); // the menu again
        QTRY_VERIFY(f.form.mnuFile->isVisible());
        f.form.mnuFile->hide();

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

    // Chosen in a folder dialog, after a word on plain text when a password is
    // set; the dialog cancelled switches the folder off.
    void theCalendarFolderItsDialogChooses()
    {
        MemorySettingsStore settings;
        ReminderStore store(settings);
        ProgramSettings program(settings);
        program.setStoredPassword(*ScrambleText(u"pw"_s, u"1"_s));
        FolderSync sync(
            store, program, [] { return true; }, nullptr);
        QTemporaryDir dir;
        MessageRecorder warned;
        whenModal<QFileDialog>([&](QFileDialog *d) {
            d->setDirectory(dir.path()), static_cast<QDialog *>(d)->accept();
        });
        QVERIFY(sync.choose(nullptr));
        QCOMPARE(program.calendarFolder().value_or(QString()), dir.path());
        QCOMPARE(warned.texts(), QStringList({FolderSync::kPlainText}));
        whenModal<QFileDialog>([&](QFileDialog *d) { d->reject(); });
        QVERIFY(!sync.choose(nullptr) && program.calendarFolder().value_or(QString()).isEmpty());
    }
};

PINGALO_TEST(TstTrayAndLock)
#include "tst_trayandlock.moc"
