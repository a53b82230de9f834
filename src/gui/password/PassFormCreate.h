#pragma once

#include "gui/password/PasswordDialog.h"

class ProgramSettings;

// The window that sets the first password or replaces the stored one: the
// current password (when one is stored) and the new one twice. It is made
// afresh at each opening, modal over the note maker, and destroyed when it
// closes; a refusal keeps it open with what was typed.
class PassFormCreate : public PasswordDialog {
    Q_OBJECT

public:
    PassFormCreate(ProgramSettings &settings, QWidget *owner);

    QLabel *Label1;
    QLineEdit *CurrentPass;
    QLineEdit *NewPassA;
    QLineEdit *NewPassB;
    QPushButton *Command1;
    QPushButton *Command2;

    // "&Set Password": checks the current password, then saves.
    void Command1_Click();
    void SavePassword();
    // "&Cancel" (and the close box): nothing is stored.
    void Command2_Click();

Q_SIGNALS:
    // A new password was stored: the lock-down item becomes available and
    // protection shows as on.
    void passwordSaved();

private:
    // A refusal: the message, and the focus to the box at fault.
    void refuse(const QString &message, QLineEdit *fault);

    ProgramSettings &m_settings;
};
