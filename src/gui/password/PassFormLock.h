#pragma once

#include "gui/password/PasswordWindow.h"

// The unlock window of lock-down: only the stored password ends lock-down.
// It stays on screen after a wrong password; Enter and Escape do nothing.
class PassFormLock : public PasswordWindow {
    Q_OBJECT

public:
    PassFormLock(ProgramSettings &settings, QWidget *owner);

    void Command1_Click();
    // Cancel: lock-down goes on.
    void Command2_Click();
    void CheckUnlockPassword();

Q_SIGNALS:
    // The right password: the owner marks the password as given and ends lock-down.
    void unlocked();
};
