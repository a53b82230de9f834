#pragma once

class QDialog;
class QLineEdit;
class QPushButton;

// The look shared by the password gate and the unlock window: caption
// "Pingalo! - Password", a fixed dialog frame, the icon at the left, the
// label "Password:" beside a box that shows "*" for each character, and the
// buttons "&OK" and "&Cancel", neither of them a default button.
struct PasswordWindowLayout {
    QLineEdit *passwordIn = nullptr;
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;

    static PasswordWindowLayout build(QDialog *window);
};
