#include "password/PasswordWindow.h"

#include "store/ProgramSettings.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

PasswordWindow::PasswordWindow(ProgramSettings &settings, const QString &objectName, QWidget *owner)
    : QDialog(owner)
    , m_settings(settings)
{
    setObjectName(objectName);
    setWindowTitle(QStringLiteral("Pingalo! - Password"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    icon->setFixedSize(32, 32);

    auto *label = new QLabel(QStringLiteral("&Password:"), this);
    label->setObjectName(QStringLiteral("Label1"));

    PasswordIn = new QLineEdit(this);
    PasswordIn->setObjectName(QStringLiteral("PasswordIn"));
    PasswordIn->setEchoMode(QLineEdit::Password);
    PasswordIn->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    PasswordIn->setMinimumWidth(180);
    label->setBuddy(PasswordIn);

    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton *button : {Command1, Command2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setMinimumWidth(73);
    }

    auto *grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(10);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(label, 0, 1);
    grid->addWidget(PasswordIn, 0, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, 1, 1, 1, 2);

    QWidget::setTabOrder(PasswordIn, Command1);
    QWidget::setTabOrder(Command1, Command2);
}

bool PasswordWindow::passwordIsRight() const
{
    return m_settings.isPassword(PasswordIn->text());
}

void PasswordWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
