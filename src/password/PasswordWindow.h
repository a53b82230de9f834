#pragma once

#include <QDialog>

class ProgramSettings;
class QLineEdit;
class QPushButton;

// What the password gate and the unlock window share: caption
// "Pingalo! - Password", a fixed dialog frame, the icon at the left, the
// label "Password:" beside a box that shows "*" for each character, and the
// buttons "&OK" and "&Cancel". Neither button is a default button, and
// neither Enter nor Escape means anything to the window itself.
class PasswordWindow : public QDialog {
    Q_OBJECT

public:
    QLineEdit *PasswordIn;
    QPushButton *Command1;
    QPushButton *Command2;

protected:
    PasswordWindow(ProgramSettings &settings, const QString &objectName, QWidget *owner);

    // Whether the box holds the stored password.
    bool passwordIsRight() const;

    void keyPressEvent(QKeyEvent *event) override;

    ProgramSettings &m_settings;
};
