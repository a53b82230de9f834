#include "gui/shell/AForm.h"

#include "core/scheduler/Scheduler.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "gui/alerts/Reminders.h"
#include "gui/alerts/Sounds.h"
#include "gui/authoring/NoteMaker.h"
#include "gui/list/Editor.h"
#include "gui/password/PassFormEnter.h"
#include "gui/password/PassFormLock.h"
#include "gui/platform/MessageBoxes.h"
#include "gui/platform/SingleInstance.h"
#include "gui/platform/TrayIcon.h"
#include "gui/shell/About.h"
#include "gui/shell/FolderSync.h"
#include "gui/shell/HelpModule.h"
#include "gui/shell/OwnedWindows.h"
#include "gui/shell/ProgramPictures.h"
#include "gui/shell/SplashScreen.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QHash>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <utility>

namespace {
const QString kStartUpSwitch = QStringLiteral("-SU");
} // namespace

AForm::Request AForm::requestOf(const QString &commandLine)
{
    static const QHash<QString, Request> options = {
        {QStringLiteral("--new-reminder"), Request::NewReminder},
        {QStringLiteral("--list"), Request::List},
        {QStringLiteral("--check"), Request::Check},
        {QStringLiteral("--exit"), Request::Exit},
    };
    return options.value(commandLine, Request::None);
}

AForm::AForm(const Services &services)
    : m_commandLine(services.commandLine)
    , m_instance(std::make_unique<SingleInstance>(services.runtimeFolder))
    , m_reminderStore(std::make_unique<ReminderStore>(services.store))
    , m_settings(std::make_unique<ProgramSettings>(services.store))
    , m_sounds(std::make_unique<Sounds>(*m_settings, services.sound, services.files))
    , m_scheduler(std::make_unique<Scheduler>(*m_reminderStore, *m_settings, *this))
    , m_folderSync(std::make_unique<FolderSync>(*m_reminderStore, *m_settings,
                                                // Not before the start-up password is given (during
                                                // lock-down it still writes what the program does).
                                                [this] {
                                                    return !m_settings->hasPassword() ||
                                                           unlockFlag() != 0 ||
                                                           LockItem->isChecked();
                                                }))
    , m_help(std::make_unique<HelpModule>(*m_settings, services.files))
{
    setObjectName(QStringLiteral("AForm"));
    m_tray = new TrayIcon(ProgramPictures::icon(), this);
    connect(m_tray, &TrayIcon::rightPressed, this, &AForm::Picture1_RightPress);
    // Queued: the later start that handed it over ends before the request runs.
    connect(
        m_instance.get(), &SingleInstance::received, this,
        [this](const QString &message) { runRequest(requestOf(message)); }, Qt::QueuedConnection);
    connect(m_tray, &TrayIcon::doubleClicked, this, [this] {
        if (!bringWaitingWindowToFront())
            CheckItem_Click();
    });
    buildMenu();
    connect(LockItem, &QAction::toggled, m_scheduler.get(), [this](bool locked) {
        if (!locked)
            m_scheduler->lockDownEnded();
    });
}

AForm::~AForm()
{
    // The windows that hold references into this form go first.
    delete m_reminders;
    delete m_passFormEnter;
    delete m_passFormLock;
    delete m_about;
    delete m_noteMaker;
    delete m_editor;
    delete m_noTrayNote;
}

void AForm::buildMenu()
{
    mnuFile = new QMenu(QStringLiteral("Menu"), this);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    CheckItem =
        mnuFile->addAction(QStringLiteral("&Check Reminders"), this, &AForm::CheckItem_Click);
    CheckItem->setObjectName(QStringLiteral("CheckItem"));
    mnuFile->setDefaultAction(CheckItem);
    mnuFile->addSeparator();
    NoteMakerItem = mnuFile->addAction(QStringLiteral("Create &New Reminder"), this,
                                       &AForm::NoteMakerItem_Click);
    NoteMakerItem->setObjectName(QStringLiteral("NoteMakerItem"));
    ListEditItem =
        mnuFile->addAction(QStringLiteral("&View Reminder List"), this, &AForm::ListEditItem_Click);
    ListEditItem->setObjectName(QStringLiteral("ListEditItem"));
    mnuFile->addSeparator();
    LockItem = mnuFile->addAction(QStringLiteral("Lock &Down"), this, &AForm::LockItem_Click);
    LockItem->setObjectName(QStringLiteral("LockItem"));
    LockItem->setCheckable(true);
    LockItem->setEnabled(false);
    mnuFile->addSeparator();
    HelpItem = mnuFile->addAction(QStringLiteral("&Help Contents"), this, &AForm::HelpItem_Click);
    HelpItem->setObjectName(QStringLiteral("HelpItem"));
    AboutPingalo =
        mnuFile->addAction(QStringLiteral("&About Pingalo!"), this, &AForm::AboutPingalo_Click);
    AboutPingalo->setObjectName(QStringLiteral("AboutPingalo"));
    mnuFile->addSeparator();
    ExitItem = mnuFile->addAction(QStringLiteral("&Exit"), this, &AForm::ExitItem_Click);
    ExitItem->setObjectName(QStringLiteral("ExitItem"));
}

void AForm::setApplicationTitle(const QString &title)
{
    m_applicationTitle = title;
    setWindowTitle(title);
}

bool AForm::bringWaitingWindowToFront()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    modal->raise();
    modal->activateWindow();
    return true;
}

void AForm::Form_Load()
{
    setApplicationTitle(kLoadingTitle);
    if (!m_instance->tryAcquire()) {
        // Asked for an item of the menu: the running copy does it.
        if (requestOf(m_commandLine) != Request::None && m_instance->send(m_commandLine)) {
            // This copy opened nothing and played nothing: it only ends.
            m_ended = true;
            Q_EMIT ended();
            return;
        }
        MessageBoxes::exclamation(nullptr, QStringLiteral("Pingalo! Vantor is already running."));
        Form_Unload();
        return;
    }
    setApplicationTitle(kTitle);
    m_pendingRequest = requestOf(m_commandLine);
    if (m_pendingRequest == Request::Exit) {
        Form_Unload(); // nothing runs that it could end
        return;
    }
    // The due check runs from here on; a copy refused above never ticks.
    m_scheduler->Timer1().start();

    if (m_commandLine == kStartUpSwitch) {
        if (!m_settings->logonStartAllowed()) {
            ExitItem_Click();
            return;
        }
    } else {
        (new SplashScreen(this))->exec(); // deletes itself when it closes
        if (m_ended)
            return; // the program was ended while the splash was up
    }

    const QString folder = QDir::currentPath();
    if (m_settings->locale() != folder)
        m_settings->setLocale(folder);
    if (const auto days = m_settings->checkMissed(); days && days->isEmpty())
        m_settings->setCheckMissed(ProgramSettings::kDefaultCheckMissed);

    if (!m_settings->hasPassword()) {
        passFormEnter()->setStat(QStringLiteral("1"));
        CreateIcon(kTitle);
        m_scheduler->StartReminderCheck();
        finishStartUp();
        return;
    }
    passFormEnter()->exec();
    if (m_ended)
        return;
    if (m_passFormEnter && m_passFormEnter->statNumber() == 1) {
        CreateIcon(kTitle);
        LockItem->setEnabled(true);
        finishStartUp();
        return;
    }
    Form_Unload();
}

void AForm::finishStartUp()
{
    if (m_ended)
        return;
    m_started = true;
    if (!TrayIcon::trayAvailable())
        sayThereIsNoTray();
    runRequest(std::exchange(m_pendingRequest, Request::None));
}

// Said once, at start-up; the icon goes in by itself when a tray comes. At
// log-on the panel may simply not be up yet, so only standard error hears it.
void AForm::sayThereIsNoTray()
{
    qWarning("pingalo: there is no notification area; the program runs on without its icon "
             "and brings up reminders as usual. Reach its windows with pingalo --new-reminder, "
             "--list, --check or --exit (also the actions of its menu entry); the icon comes "
             "as soon as a notification area does.");
    if (m_commandLine == kStartUpSwitch)
        return;
    m_noTrayNote = MessageBoxes::informationWithoutWaiting(QStringLiteral(
        "This desktop has no notification area, so Pingalo! has no icon to click. It keeps "
        "running and brings up your reminders at their time.\n\n"
        "Reach its windows through the actions of its entry in your desktop's menu "
        "(right-click \"Pingalo! Vantor\" there), or from a terminal:\n"
        "pingalo --new-reminder\npingalo --list\npingalo --check\n"
        "pingalo --exit (to end it)\n\n"
        "The icon comes as soon as a notification area does."));
}

void AForm::runRequest(Request request)
{
    if (m_ended || request == Request::None)
        return;
    if (!m_started) {
        m_pendingRequest = request;
        return;
    }
    // As with the icon, nothing happens while a window waits for an answer:
    // that window comes to the front instead.
    if (bringWaitingWindowToFront())
        return;
    if (request == Request::Check) {
        CheckItem_Click();
        return;
    }
    // The other items are on the menu, which lock-down replaces with the unlock window.
    if (LockItem->isChecked() && unlockFlag() == 0) {
        showUnlockWindow();
        return;
    }
    if (request == Request::NewReminder)
        NoteMakerItem_Click();
    else if (request == Request::List)
        ListEditItem_Click();
    else if (request == Request::Exit)
        ExitItem_Click();
}

void AForm::ExitItem_Click()
{
    DeleteIcon();
    for (QWidget *window :
         std::initializer_list<QWidget *>{m_passFormEnter, m_passFormLock, m_reminders})
        if (window)
            window->close();
    Form_Unload();
}

void AForm::Form_Unload()
{
    if (m_ended)
        return;
    m_ended = true;
    m_sounds->PlayReminderSound(Sounds::kStopLoop);
    DeleteIcon();
    // Every window goes with the main form, those of the note maker and the
    // help included, so that the process always ends.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        if (window != this && window->isVisible())
            window->close();
    // Last, as closing a reminder window switches the timer on: the timer
    // stops for good, and a check that is showing reminders stops before its
    // next one, so nothing more is consumed that the user will not see.
    m_scheduler->stop();
    Q_EMIT ended();
}

void AForm::CreateIcon(const QString &ShowTip)
{
    m_tray->create(ShowTip);
}

void AForm::DeleteIcon()
{
    m_tray->remove();
}

void AForm::CheckItem_Click()
{
    m_scheduler->setManualCheck(1);
    m_scheduler->StartReminderCheck();
}

void AForm::NoteMakerItem_Click()
{
    if (!m_noteMaker)
        m_noteMaker = new NoteMaker(
            {*m_reminderStore,
             *m_sounds,
             m_scheduler->Timer1(),
             m_billDate,
             LockItem,
             [this] { HelpItem_Click(); },
             &OwnedWindows::showAbout,
             [this](QWidget *owner) {
                 OwnedWindows::showList({*m_reminderStore, *this, [this] { HelpItem_Click(); }},
                                        owner);
             },
             {[this](QWidget *owner) { return OwnedWindows::setPassword(*m_settings, owner); },
              [this] { passwordProtectionRemoved(); },
              [this](QWidget *owner) { return m_folderSync->choose(owner); }}},
            this);
    m_noteMaker->show();
    m_noteMaker->raise();
    m_noteMaker->activateWindow();
}

void AForm::ListEditItem_Click()
{
    if (!m_editor)
        m_editor = new Editor({*m_reminderStore, *this, [this] { HelpItem_Click(); }}, this);
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

void AForm::LockItem_Click()
{
    // The action toggled its own check mark before this runs.
    if (LockItem->isChecked())
        passFormEnter()->setStat(QStringLiteral("0"));
}

void AForm::passwordProtectionRemoved()
{
    // No password is left to ask for: a lock-down ends as the right password
    // would end it, and the windows that asked for one go.
    passFormEnter()->setStat(QStringLiteral("1"));
    LockItem->setChecked(false);
    LockItem->setEnabled(false);
    if (m_passFormLock)
        m_passFormLock->close();
    if (m_passFormEnter->isVisible())
        m_passFormEnter->hide();
}

void AForm::HelpItem_Click()
{
    m_help->ShowHelpContents();
}

void AForm::AboutPingalo_Click()
{
    if (!m_about)
        m_about = new About(this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void AForm::Picture1_RightPress()
{
    if (bringWaitingWindowToFront())
        return;
    if (LockItem->isChecked() && unlockFlag() == 0) {
        showUnlockWindow();
        return;
    }
    // Right edge at the pointer.
    const QPoint pointer = QCursor::pos();
    mnuFile->popup(QPoint(pointer.x() - mnuFile->sizeHint().width(), pointer.y()));
}

void AForm::showUnlockWindow()
{
    if (!m_passFormLock) {
        m_passFormLock = new PassFormLock(*m_settings, this);
        connect(m_passFormLock, &PassFormLock::unlocked, this, [this] {
            passFormEnter()->setStat(QStringLiteral("1"));
            LockItem->setChecked(false);
        });
    }
    m_passFormLock->showEmpty();
}

PassFormEnter *AForm::passFormEnter()
{
    if (!m_passFormEnter) {
        m_passFormEnter = new PassFormEnter(
            *m_settings,
            [this](const QList<QueuedReminder> &entries) {
                m_scheduler->ShowQueuedReminders(entries);
            },
            this);
        connect(m_passFormEnter, &PassFormEnter::passwordGiven, this,
                [this] { LockItem->setEnabled(true); });
    }
    return m_passFormEnter;
}

PassFormLock *AForm::passFormLock() const
{
    return m_passFormLock;
}

About *AForm::about() const
{
    return m_about;
}

NoteMaker *AForm::noteMaker() const
{
    return m_noteMaker;
}

Editor *AForm::editor() const
{
    return m_editor;
}

QMessageBox *AForm::noTrayNote() const
{
    return m_noTrayNote;
}

Reminders *AForm::reminders()
{
    if (!m_reminders) {
        m_reminders =
            new Reminders(*m_sounds, m_scheduler->Timer1(), *m_reminderStore, *m_settings, this);
        // Queued: a held tick runs once the modal showing that OK ended has returned.
        connect(m_reminders, &Reminders::dismissed, m_scheduler.get(),
                &Scheduler::reminderWindowDismissed, Qt::QueuedConnection);
    }
    return m_reminders;
}

void AForm::setReminderText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    reminders()->ReminderText->setPlainText(shown);
}

void AForm::showReminderWindow(const std::optional<LiveReminder> &due)
{
    reminders()->showModal(due ? std::optional(due->record) : std::nullopt);
    if (due)
        m_folderSync->answered(*due);
}

void AForm::syncStore()
{
    m_folderSync->mergeNow();
}

bool AForm::reminderWindowBusy() const
{
    return m_reminders && m_reminders->isVisible();
}

void AForm::playSound(const QString &name)
{
    m_sounds->PlayReminderSound(name);
}

bool AForm::isLockedDown() const
{
    return LockItem->isChecked();
}

int AForm::unlockFlag() const
{
    return const_cast<AForm *>(this)->passFormEnter()->statNumber();
}

void AForm::showPasswordGate()
{
    PassFormEnter *gate = passFormEnter();
    gate->setWindowModality(Qt::NonModal);
    gate->showEmpty();
}

void AForm::showNoImmediateReminders()
{
    MessageBoxes::information(nullptr, QStringLiteral("No immediate reminders."));
}
