#include "gui/password/PassFormLock.h"

#include "gui/platform/MessageBoxes.h"

#include <QLineEdit>
#include <QPushButton>

PassFormLock::PassFormLock(ProgramSettings &settings, QWidget *owner)
    : PasswordWindow(settings, QStringLiteral("PassFormLock"), owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    connect(Command1, &QPushButton::clicked, this, &PassFormLock::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PassFormLock::Command2_Click);
}

void PassFormLock::Command1_Click()
{
    PasswordIn->setFocus();
    CheckUnlockPassword();
}

void PassFormLock::Command2_Click()
{
    close();
}

void PassFormLock::CheckUnlockPassword()
{
    if (!passwordIsRight()) {
        MessageBoxes::exclamation(this, QStringLiteral("The password you entered is incorrect."));
        return;
    }
    Q_EMIT unlocked();
    close();
}
