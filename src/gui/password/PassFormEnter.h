#pragma once

#include "core/system/QueueFile.h"
#include "gui/password/PasswordWindow.h"

#include <functional>

// The password gate: asks for the stored password at start-up and, during
// lock-down, for "Check Reminders". It holds the program's unlock flag `Stat`
// ("1" once the password was given, "0" while it is required), which lives as
// long as this window object: Cancel destroys the window and with it the flag.
// After a correct password it shows the due entries of the queue file.
class PassFormEnter : public PasswordWindow {
    Q_OBJECT

public:
    // Shows the due entries of the queue file, one after another (the
    // scheduler's, handed over by the shell).
    using QueuedReminderShow = std::function<void(const QList<QueuedReminder> &)>;

    PassFormEnter(ProgramSettings &settings, QueuedReminderShow showQueued, QWidget *owner);

    const QString &Stat() const { return m_stat; }
    void setStat(const QString &stat) { m_stat = stat; }
    // The flag read as a number, as its readers compare it.
    int statNumber() const;

    // OK: hides the window and checks the password.
    void Command1_Click();
    // Cancel (and the close box): closes and destroys the window.
    void Command2_Click();
    void CheckPassword();
    void ShowQueuedReminders();

Q_SIGNALS:
    // A correct password was given: the lock-down item becomes available.
    void passwordGiven();
    // The window was hidden or closed.
    void hidden();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // Shows the window modally and returns when it is hidden or closed.
    void showModally();

    QueuedReminderShow m_showQueued;
    QString m_stat = QStringLiteral("0");
};
