#include "gui/authoring/SettingsMenu.h"

#include "core/store/TextForms.h"
#include "gui/platform/MessageBoxes.h"

SettingsMenu::SettingsMenu(SettingsStore &store, QAction *lockItem, const Shell &shell,
                           QWidget *owner)
    : QMenu(QStringLiteral("&Settings"), owner)
    , m_settings(store)
    , m_lockItem(lockItem)
    , m_shell(shell)
{
    setObjectName(QStringLiteral("SettingsMenu"));
    StartupItem = checkItem(this, QStringLiteral("&Pingalo! at Startup"), "StartupItem",
                            &SettingsMenu::StartupItem_Click);

    PasswordItem = addMenu(QStringLiteral("&Password Protection"));
    PasswordItem->setObjectName(QStringLiteral("PasswordItem"));
    EnablePassItem = checkItem(PasswordItem, QStringLiteral("&Enable Password Protection"),
                               "EnablePassItem", &SettingsMenu::EnablePassItem_Click);
    SetPassItem = PasswordItem->addAction(QStringLiteral("&Set/Change Password"), this,
                                          &SettingsMenu::SetPassItem_Click);
    SetPassItem->setObjectName(QStringLiteral("SetPassItem"));
    SetPassItem->setEnabled(false);

    OutDRem = addAction(QStringLiteral("&Missed Reminders"), this, &SettingsMenu::OutDRem_Click);
    OutDRem->setObjectName(QStringLiteral("OutDRem"));

    // Beyond the settings the rules name: the calendar folder (see FolderSync).
    FolderItem = checkItem(this, QStringLiteral("Calendar &Folder..."), "FolderItem",
                           &SettingsMenu::FolderItem_Click);
}

QAction *SettingsMenu::checkItem(QMenu *menu, const QString &caption, const char *name,
                                 void (SettingsMenu::*handler)())
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setCheckable(true);
    // A checkable action flips its own mark before `triggered`: put it back,
    // so that the handler sees what the user saw and sets the mark itself.
    connect(item, &QAction::triggered, this, [this, item, handler](bool checked) {
        item->setChecked(!checked);
        (this->*handler)();
    });
    return item;
}

void SettingsMenu::Form_Load()
{
    StartupItem->setChecked(m_settings.startupItemChecked());
    const bool password = m_settings.hasPassword();
    EnablePassItem->setChecked(password);
    SetPassItem->setEnabled(password);
    FolderItem->setChecked(!m_settings.calendarFolder().value_or(QString()).isEmpty());
}

void SettingsMenu::StartupItem_Click()
{
    const bool on = !StartupItem->isChecked();
    if (!m_settings.setStartUp(on))
        return MessageBoxes::exclamation(parentWidget(), MessageBoxes::kSettingsNotWritten);
    StartupItem->setChecked(on);
}

void SettingsMenu::OutDRem_Click()
{
    for (;;) {
        const QString stored = m_settings.checkMissed().value_or(QString());
        const QString proposal = stored.isEmpty() ? ProgramSettings::kDefaultCheckMissed : stored;
        const QString answer = MessageBoxes::input(parentWidget(), kMissedPrompt, proposal);
        if (answer.isEmpty())
            return;
        const double days = TextForms::leadingNumber(answer);
        if (days >= 1 && days <= 30) {
            if (!m_settings.setCheckMissed(TextForms::numberText(days)))
                MessageBoxes::exclamation(parentWidget(), MessageBoxes::kSettingsNotWritten);
            return;
        }
        if (!MessageBoxes::okCancel(parentWidget(), kMissedRange))
            return;
    }
}

void SettingsMenu::EnablePassItem_Click()
{
    if (!EnablePassItem->isChecked()) {
        SetPassItem->setEnabled(true);
        if (!m_settings.hasPassword())
            showPassFormCreate(); // checks the item if a password is saved
        else
            EnablePassItem->setChecked(true);
        return;
    }
    if (!MessageBoxes::yesNo(parentWidget(), kRemoveQuestion, QMessageBox::Warning))
        return;
    if (!m_settings.setStoredPassword(QString()))
        return MessageBoxes::exclamation(parentWidget(), MessageBoxes::kSettingsNotWritten);
    EnablePassItem->setChecked(false);
    SetPassItem->setEnabled(false);
    if (m_lockItem)
        m_lockItem->setEnabled(false);
    if (m_shell.protectionRemoved)
        m_shell.protectionRemoved();
}

void SettingsMenu::SetPassItem_Click()
{
    showPassFormCreate();
}

void SettingsMenu::showPassFormCreate()
{
    if (!m_shell.setPassword(parentWidget()))
        return;
    if (m_lockItem)
        m_lockItem->setEnabled(true);
    EnablePassItem->setChecked(true);
}

void SettingsMenu::FolderItem_Click()
{
    FolderItem->setChecked(m_shell.chooseCalendarFolder(parentWidget()));
}
