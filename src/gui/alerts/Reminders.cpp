#include "gui/alerts/Reminders.h"

#include "gui/alerts/Sounds.h"
#include "gui/platform/WindowPlacement.h"
#include "gui/platform/Zorderer.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

Reminders::Reminders(Sounds &sounds, QTimer &timer1, QWidget *owner)
    : QDialog(owner)
    , m_sounds(sounds)
    , m_timer1(timer1)
{
    setObjectName(QStringLiteral("Reminders"));
    setWindowTitle(QStringLiteral("Pingalo! Vantor - Reminder"));
    // A tool window: no task-bar entry, only a close box.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(305, 209);

    Frame1 = new QGroupBox(QStringLiteral("Current Reminder"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 8, 289, 159);

    ReminderText = new QPlainTextEdit(Frame1);
    ReminderText->setObjectName(QStringLiteral("ReminderText"));
    ReminderText->setGeometry(8, 16, 273, 134);
    ReminderText->setReadOnly(true);
    ReminderText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ReminderText->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    Reminded = new QPushButton(QStringLiteral("&OK"), this);
    Reminded->setObjectName(QStringLiteral("Reminded"));
    Reminded->setGeometry(120, 176, 65, 25);
    Reminded->setDefault(true);
    connect(Reminded, &QPushButton::clicked, this, &Reminders::Reminded_Click);

    MakeTopmost(this);
}

void Reminders::Reminded_Click()
{
    m_sounds.PlayReminderSound(Sounds::kStopLoop);
    hide(); // ends the caller's modal showing
    m_timer1.start();
    Q_EMIT dismissed();
}

void Reminders::reject()
{
    Reminded_Click();
}

void Reminders::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
    ReminderText->moveCursor(QTextCursor::Start);
    Reminded->setFocus();
    raise();
    activateWindow();
}
