#include "gui/password/PasswordWindow.h"

#include "core/store/ProgramSettings.h"
#include "gui/platform/WindowPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

PasswordWindow::PasswordWindow(ProgramSettings &settings, const QString &objectName, QWidget *owner)
    : PasswordDialog(objectName, QStringLiteral("Pingalo! - Password"), owner)
    , m_settings(settings)
{
    auto *label = new QLabel(QStringLiteral("Password:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    PasswordIn = passwordBox("PasswordIn");
    label->setBuddy(PasswordIn); // the box's name, for screen readers too
    Command1 = button(QStringLiteral("&OK"), "Command1");
    Command2 = button(QStringLiteral("&Cancel"), "Command2");

    auto *grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(10);
    grid->addWidget(iconLabel(), 0, 0, 2, 1, Qt::AlignTop);
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

void PasswordWindow::showEmpty()
{
    PasswordIn->clear();
    PasswordIn->setFocus();
    show();
    raise();
    activateWindow();
}

bool PasswordWindow::passwordIsRight() const
{
    return m_settings.isPassword(PasswordIn->text());
}

void PasswordWindow::showEvent(QShowEvent *event)
{
    PasswordDialog::showEvent(event);
    centreOnScreen(this);
}
