#include "password/PassFormLock.h"

#include "password/PasswordWindowLayout.h"
#include "platform/MessageBoxes.h"
#include "store/ProgramSettings.h"
#include "store/ScrambleText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

PassFormLock::PassFormLock(ProgramSettings &settings, QWidget *owner)
    : QDialog(owner)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("PassFormLock"));
    setAttribute(Qt::WA_DeleteOnClose);
    const PasswordWindowLayout layout = PasswordWindowLayout::build(this);
    PasswordIn = layout.passwordIn;
    Command1 = layout.ok;
    Command2 = layout.cancel;
    connect(Command1, &QPushButton::clicked, this, &PassFormLock::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PassFormLock::Command2_Click);
}

void PassFormLock::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PassFormLock::Command1_Click()
{
    PasswordIn->setFocus();
    CheckUnlockPassword();
}

void PassFormLock::Command2_Click() { close(); }

void PassFormLock::CheckUnlockPassword()
{
    // A stored password that cannot be unscrambled matches nothing.
    const auto stored = m_settings.storedPassword();
    const auto expected = stored ? ScrambleText(*stored, QStringLiteral("0")) : std::nullopt;
    if (!expected || PasswordIn->text() != *expected) {
        MessageBoxes::exclamation(this, QStringLiteral("The password you entered is incorrect."));
        return;
    }
    Q_EMIT unlocked();
    close();
}
