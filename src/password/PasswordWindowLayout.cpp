#include "password/PasswordWindowLayout.h"

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

PasswordWindowLayout PasswordWindowLayout::build(QDialog *window)
{
    window->setWindowTitle(QStringLiteral("Pingalo! - Password"));
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto *icon = new QLabel(window);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    icon->setFixedSize(32, 32);

    auto *label = new QLabel(QStringLiteral("&Password:"), window);
    label->setObjectName(QStringLiteral("Label1"));

    PasswordWindowLayout parts;
    parts.passwordIn = new QLineEdit(window);
    parts.passwordIn->setObjectName(QStringLiteral("PasswordIn"));
    parts.passwordIn->setEchoMode(QLineEdit::Password);
    parts.passwordIn->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    parts.passwordIn->setMinimumWidth(180);
    label->setBuddy(parts.passwordIn);

    parts.ok = new QPushButton(QStringLiteral("&OK"), window);
    parts.ok->setObjectName(QStringLiteral("Command1"));
    parts.cancel = new QPushButton(QStringLiteral("&Cancel"), window);
    parts.cancel->setObjectName(QStringLiteral("Command2"));
    for (QPushButton *button : {parts.ok, parts.cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setMinimumWidth(73);
    }

    auto *grid = new QGridLayout(window);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(10);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(label, 0, 1);
    grid->addWidget(parts.passwordIn, 0, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(parts.ok);
    buttons->addWidget(parts.cancel);
    grid->addLayout(buttons, 1, 1, 1, 2);

    QWidget::setTabOrder(parts.passwordIn, parts.ok);
    QWidget::setTabOrder(parts.ok, parts.cancel);
    return parts;
}
