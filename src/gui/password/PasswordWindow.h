#pragma once

#include "gui/password/PasswordDialog.h"

class ProgramSettings;

// What the password gate and the unlock window share: caption
// "Pingalo! - Password", the icon at the left, the label "Password:" beside
// the box, and the buttons "&OK" and "&Cancel". Both come up centred on the
// screen.
class PasswordWindow : public PasswordDialog {
    Q_OBJECT

public:
    QLineEdit *PasswordIn;
    QPushButton *Command1;
    QPushButton *Command2;

    // Shows the window, or brings it to the front, with an empty box: a box
    // never offers a password the user did not just type.
    void showEmpty();

protected:
    PasswordWindow(ProgramSettings &settings, const QString &objectName, QWidget *owner);

    // Whether the box holds the stored password.
    bool passwordIsRight() const;

    void showEvent(QShowEvent *event) override;

    ProgramSettings &m_settings;
};
