#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// What every password window shares: a fixed dialog frame, the program's
// icon, boxes that show "*" for each character, buttons that are never the
// default, and neither Enter nor Escape meaning anything to the window itself.
class PasswordDialog : public QDialog {
    Q_OBJECT

protected:
    PasswordDialog(const QString &objectName, const QString &caption, QWidget *owner);

    QLabel *iconLabel();
    QLineEdit *passwordBox(const char *name, const QString &toolTip = QString());
    QPushButton *button(const QString &caption, const char *name);

    void keyPressEvent(QKeyEvent *event) override;
};
