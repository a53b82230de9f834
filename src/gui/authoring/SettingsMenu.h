#pragma once

#include "core/store/ProgramSettings.h"

#include <QMenu>
#include <functional>

class QAction;
class SettingsStore;

// The note maker's "&Settings" menu: whether a start at log-on goes on, how
// many days back the missed-reminder check looks, and password protection.
// Each item writes its setting at once; the check marks are the only record
// of these states in the window.
class SettingsMenu : public QMenu {
    Q_OBJECT

public:
    static inline const QString kMissedPrompt = QStringLiteral(
        "Pingalo! Vantor can check for missed reminders that are up to 30 days old. Enter the "
        "number of days you would like Pingalo! to check for missed reminders:");
    static inline const QString kMissedRange =
        QStringLiteral("Please enter a number from 1 to 30, or click CANCEL.");
    static inline const QString kRemoveQuestion = QStringLiteral(
        "This will remove the password protection and delete your current password. If you "
        "want to password protect your Pingalo! notes in the future you will need to setup a "
        "new password. Are you sure you want to remove the password protection?");

    // What the shell does for the menu, over `owner` (the note maker).
    struct Shell {
        // Opens the password window; true when it saved a password.
        std::function<bool(QWidget *owner)> setPassword;
        // Password protection was removed: a lock-down on ends, as nothing is
        // left to end it with (may be empty).
        std::function<void()> protectionRemoved;
        // Asks for the calendar folder; true when one is set afterwards.
        std::function<bool(QWidget *owner)> chooseCalendarFolder;
    };

    // `lockItem` is the tray's "Lock &Down" (may be null). The owner is the
    // note maker, over which the menu's dialogs come.
    SettingsMenu(SettingsStore &store, QAction *lockItem, const Shell &shell, QWidget *owner);

    QAction *StartupItem;
    QMenu *PasswordItem;
    QAction *EnablePassItem;
    QAction *SetPassItem;
    QAction *OutDRem;
    QAction *FolderItem; // checked while a calendar folder is set

    // The marks and states from the stored settings, when the note maker loads.
    void Form_Load();

    // Each acts on the check marks as the user saw them before the click.
    void StartupItem_Click();
    void OutDRem_Click();
    void EnablePassItem_Click();
    void SetPassItem_Click();
    void FolderItem_Click();

private:
    // A checkable item whose handler, not the click, sets its mark.
    QAction *checkItem(QMenu *menu, const QString &caption, const char *name,
                       void (SettingsMenu::*handler)());
    void showPassFormCreate();

    ProgramSettings m_settings;
    QAction *m_lockItem;
    Shell m_shell;
};
