#include "gui/password/PassFormEnter.h"

#include "core/store/TextForms.h"
#include "core/system/QueueFile.h"
#include "gui/platform/MessageBoxes.h"

#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

PassFormEnter::PassFormEnter(ProgramSettings &settings, QueuedReminderShow showQueued,
                             QWidget *owner)
    : PasswordWindow(settings, QStringLiteral("PassFormEnter"), owner)
    , m_showQueued(std::move(showQueued))
{
    PasswordIn->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, &PassFormEnter::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PassFormEnter::Command2_Click);
}

int PassFormEnter::statNumber() const
{
    return int(TextForms::wholeNumber(m_stat));
}

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
    return PasswordWindow::eventFilter(watched, event);
}

void PassFormEnter::Command1_Click()
{
    PasswordIn->setFocus();
    hide();
    CheckPassword();
}

void PassFormEnter::Command2_Click()
{
    close();
}

void PassFormEnter::closeEvent(QCloseEvent *event)
{
    // Cancel and the close box destroy the window object, and with it the
    // flag. (Not WA_DeleteOnClose: exec() would then destroy the window after
    // every modal showing, the right password's included.)
    PasswordWindow::closeEvent(event);
    if (event->isAccepted())
        deleteLater();
}

void PassFormEnter::CheckPassword()
{
    if (!passwordIsRight()) {
        m_stat = QStringLiteral("0");
        MessageBoxes::exclamation(this, QStringLiteral("The password you entered is incorrect."));
        showModally(); // again, until the right password or Cancel
        return;
    }
    m_stat = QStringLiteral("1");
    PasswordIn->clear(); // the hidden window keeps no password
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
    PasswordWindow::hideEvent(event);
    Q_EMIT hidden();
}

void PassFormEnter::ShowQueuedReminders()
{
    m_showQueued(QueueFile::read(QDir::current().filePath(QueueFile::kFileName)));
}
