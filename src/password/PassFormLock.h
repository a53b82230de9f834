#pragma once

#include <QDialog>

class ProgramSettings;
class QLineEdit;
class QPushButton;

// The unlock window of lock-down: only the stored password ends lock-down.
// It stays on screen after a wrong password; Enter and Escape do nothing.
class PassFormLock : public QDialog {
    Q_OBJECT

public:
    PassFormLock(ProgramSettings &settings, QWidget *owner);

    QLineEdit *PasswordIn;
    QPushButton *Command1;
    QPushButton *Command2;

    void Command1_Click();
    // Cancel: lock-down goes on.
    void Command2_Click();
    void CheckUnlockPassword();

Q_SIGNALS:
    // The right password: the owner marks the password as given and ends lock-down.
    void unlocked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    ProgramSettings &m_settings;
};
