#include "password/PassFormEnter.h"

#include "password/PasswordWindowLayout.h"
#include "password/QueueFile.h"
#include "platform/MessageBoxes.h"
#include "scheduler/Scheduler.h"
#include "store/ProgramSettings.h"
#include "store/ScrambleText.h"
#include "store/TextForms.h"

#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QPointer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

PassFormEnter::PassFormEnter(ProgramSettings &settings, Scheduler &scheduler, QWidget *owner)
    : QDialog(owner)
    , m_settings(settings)
    , m_scheduler(scheduler)
{
    setObjectName(QStringLiteral("PassFormEnter"));
    const PasswordWindowLayout layout = PasswordWindowLayout::build(this);
    PasswordIn = layout.passwordIn;
    Command1 = layout.ok;
    Command2 = layout.cancel;
    PasswordIn->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, &PassFormEnter::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PassFormEnter::Command2_Click);
}

int PassFormEnter::statNumber() const { return int(TextForms::wholeNumber(m_stat)); }

bool PassFormEnter::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the password box is OK; every other key goes to the box.
    if (watched == PasswordIn && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command1_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PassFormEnter::keyPressEvent(QKeyEvent *event)
{
    // Neither Enter nor Escape has a meaning of its own here.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PassFormEnter::Command1_Click()
{
    PasswordIn->setFocus();
    hide();
    CheckPassword();
}

void PassFormEnter::Command2_Click() { close(); }

void PassFormEnter::closeEvent(QCloseEvent *event)
{
    // Cancel and the close box destroy the window object, and with it the
    // flag. (Not WA_DeleteOnClose: exec() would then destroy the window after
    // every modal showing, the right password's included.)
    QDialog::closeEvent(event);
    if (event->isAccepted())
        deleteLater();
}

void PassFormEnter::CheckPassword()
{
    // A stored password that cannot be unscrambled (a damaged store) matches
    // nothing: it is a wrong password, as is a store that cannot be read.
    const auto stored = m_settings.storedPassword();
    const auto expected = stored ? ScrambleText(*stored, QStringLiteral("0")) : std::nullopt;
    if (!expected || PasswordIn->text() != *expected) {
        m_stat = QStringLiteral("0");
        MessageBoxes::exclamation(parentWidget(), QStringLiteral("The password you entered is incorrect."));
        showModally(); // again, until the right password or Cancel
        return;
    }
    m_stat = QStringLiteral("1");
    Q_EMIT passwordGiven();
    hide();
    ShowQueuedReminders();
}

void PassFormEnter::showModally()
{
    // Not exec(): this runs inside the handler of a modal showing that is
    // still on the stack, and a dialog's exec() does not nest.
    QPointer<PassFormEnter> self(this);
    QEventLoop loop;
    connect(this, &PassFormEnter::hidden, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    setWindowModality(Qt::ApplicationModal);
    show();
    loop.exec(QEventLoop::DialogExec);
}

void PassFormEnter::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    Q_EMIT hidden();
}

void PassFormEnter::ShowQueuedReminders()
{
    m_scheduler.ShowQueuedReminders(
        QueueFile::read(QDir::current().filePath(QueueFile::kFileName)));
}
