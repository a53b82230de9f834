#pragma once

#include "core/scheduler/SchedulerHost.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class About;
class Editor;
class NoteMaker;
class FolderSync;
class HelpModule;
class PassFormEnter;
class PassFormLock;
class ProgramFiles;
class ProgramSettings;
class QAction;
class QMenu;
class QMessageBox;
class ReminderStore;
class Reminders;
class Scheduler;
class SettingsStore;
class SingleInstance;
class SoundOutput;
class Sounds;
class TrayIcon;

// The hidden main form: it is the program. Its load is the whole start-up
// (single instance, "-SU", splash, settings, the password gate, the tray
// icon and the first check); it owns the scheduler with its timer `Timer1`,
// the tray icon with its menu `mnuFile`, and the windows the program keeps
// for the whole run (the reminder window and the password gate). It is never
// shown. Closing it ends the program.
class AForm : public QWidget, public SchedulerHost {
    Q_OBJECT

public:
    static inline const QString kTitle = QStringLiteral("Pingalo! Vantor");
    static inline const QString kLoadingTitle = QStringLiteral("Loading Pingalo!");

    // What a start may ask for besides starting: an item of the tray menu, by
    // an option that makes the whole command line (the desktop entry's
    // actions). A later start hands it to the running copy.
    enum class Request { None, NewReminder, List, Check, Exit };
    static Request requestOf(const QString &commandLine);

    struct Services {
        SettingsStore &store;
        SoundOutput &sound;
        // Where sounds and the help file are looked for after "Locale".
        const ProgramFiles &files;
        // The program's arguments as one text, without its own path.
        QString commandLine;
        // Where the single-instance lock lives.
        QString runtimeFolder;
    };

    explicit AForm(const Services &services);
    ~AForm() override;

    // The start-up sequence; the program ends (ended()) when it refuses to go on.
    void Form_Load();
    // The tray's "&Exit": removes the icon, closes the password, lock and
    // reminder windows, then the main form.
    void ExitItem_Click();
    // Every closing of the main form: stops the sound, removes the icon,
    // closes every other window; then the program ends.
    void Form_Unload();

    void CreateIcon(const QString &ShowTip);
    void DeleteIcon();

    // The tray menu and its items.
    QMenu *mnuFile = nullptr;
    QAction *CheckItem = nullptr;
    QAction *NoteMakerItem = nullptr;
    QAction *ListEditItem = nullptr;
    QAction *LockItem = nullptr;
    QAction *HelpItem = nullptr;
    QAction *AboutPingalo = nullptr;
    QAction *ExitItem = nullptr;

    void CheckItem_Click();
    // Shows the note maker without waiting, or brings it to the front.
    void NoteMakerItem_Click();
    // Shows the list viewer without waiting, or brings it to the front unread.
    void ListEditItem_Click();
    void LockItem_Click();
    void HelpItem_Click();
    void AboutPingalo_Click();
    // A right press on the icon: the menu, or the unlock window during lock-down.
    void Picture1_RightPress();
    // Does what a start asked for, as the tray would: once start-up is through,
    // never while a window waits for an answer, and during lock-down the
    // check shows the password gate and the other items the unlock window.
    void runRequest(Request request);

    // The unlock flag `Stat` of the password gate, made when first asked for.
    PassFormEnter *passFormEnter();
    PassFormLock *passFormLock() const;
    Reminders *reminders();
    About *about() const;
    NoteMaker *noteMaker() const;
    Editor *editor() const;
    // What was said at start-up when there was no notification area.
    QMessageBox *noTrayNote() const;
    Scheduler &scheduler() { return *m_scheduler; }
    ProgramSettings &settings() { return *m_settings; }
    ReminderStore &reminderStore() { return *m_reminderStore; }
    Sounds &sounds() { return *m_sounds; }
    HelpModule &help() { return *m_help; }
    TrayIcon &tray() { return *m_tray; }
    const QString &applicationTitle() const { return m_applicationTitle; }
    bool hasEnded() const { return m_ended; }

    // SchedulerHost
    void setReminderText(const QString &text) override;
    void showReminderWindow(const std::optional<LiveReminder> &due) override;
    bool reminderWindowBusy() const override;
    void playSound(const QString &name) override;
    bool isLockedDown() const override;
    int unlockFlag() const override;
    void showPasswordGate() override;
    void showNoImmediateReminders() override;
    QString commandLine() const override { return m_commandLine; }
    void syncStore() override;

Q_SIGNALS:
    // The program is over: the main form was closed.
    void ended();

private:
    void setApplicationTitle(const QString &title);
    void buildMenu();
    void finishStartUp();
    void sayThereIsNoTray();
    void showUnlockWindow();
    // While a window waits for an answer, the tray and the desktop's actions
    // bring it to the front instead of acting: true when there was one.
    static bool bringWaitingWindowToFront();
    // The note maker removed password protection.
    void passwordProtectionRemoved();

    QString m_commandLine;
    QString m_applicationTitle;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<ReminderStore> m_reminderStore;
    std::unique_ptr<ProgramSettings> m_settings;
    std::unique_ptr<Sounds> m_sounds;
    std::unique_ptr<Scheduler> m_scheduler;
    std::unique_ptr<FolderSync> m_folderSync;
    std::unique_ptr<HelpModule> m_help;
    TrayIcon *m_tray = nullptr;
    QPointer<Reminders> m_reminders;
    QPointer<PassFormEnter> m_passFormEnter;
    QPointer<PassFormLock> m_passFormLock;
    QPointer<About> m_about;
    QPointer<NoteMaker> m_noteMaker;
    QPointer<Editor> m_editor;
    QPointer<QMessageBox> m_noTrayNote;
    // The note maker's pending bill reminder day, kept for the whole run.
    QString m_billDate;
    bool m_ended = false;
    bool m_started = false;
    // Asked for on the command line, or handed over during start-up.
    Request m_pendingRequest = Request::None;
};
