#include "gui/alerts/Reminders.h"

#include "core/scheduler/Snooze.h"
#include "core/store/ProgramSettings.h"
#include "core/system/Clock.h"
#include "gui/alerts/Sounds.h"
#include "gui/platform/MessageBoxes.h"
#include "gui/platform/WindowPlacement.h"
#include "gui/platform/Zorderer.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {
constexpr int kClientWidth = 305;
constexpr int kButtonTop = 176;
constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 25;
} // namespace

Reminders::Reminders(Sounds &sounds, QTimer &timer1, ReminderStore &store,
                     ProgramSettings &settings, QWidget *owner)
    : QDialog(owner)
    , m_sounds(sounds)
    , m_timer1(timer1)
    , m_store(store)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("Reminders"));
    setWindowTitle(QStringLiteral("Pingalo! Vantor - Reminder"));
    // A tool window: no task-bar entry, only a close box.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, 209);

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
    Reminded->setDefault(true);
    connect(Reminded, &QPushButton::clicked, this, &Reminders::Reminded_Click);

    // Never the default, not even with the focus: Enter always means OK, so nothing is
    // put off by accident.
    SnoozeBttn = new QPushButton(QStringLiteral("&Snooze"), this);
    SnoozeBttn->setObjectName(QStringLiteral("SnoozeBttn"));
    SnoozeBttn->setAutoDefault(false);
    SnoozeBttn->setToolTip(QStringLiteral("OK, and show this reminder again after the time "
                                          "chosen beside it."));
    connect(SnoozeBttn, &QPushButton::clicked, this, &Reminders::SnoozeBttn_Click);
    SnoozeTime = new QComboBox(this);
    SnoozeTime->setObjectName(QStringLiteral("SnoozeTime"));
    SnoozeTime->setToolTip(QStringLiteral("How long Snooze puts this reminder off."));
    for (const Snooze::Choice &choice : Snooze::choices())
        SnoozeTime->addItem(choice.text, choice.minutes);
    placeButtons(false);

    MakeTopmost(this);
}

void Reminders::placeButtons(bool snooze)
{
    SnoozeBttn->setVisible(snooze);
    SnoozeTime->setVisible(snooze);
    const int timeWidth = std::max(90, SnoozeTime->sizeHint().width());
    const int rowWidth = snooze ? kButtonWidth * 2 + 12 + timeWidth : kButtonWidth;
    const int left = (kClientWidth - rowWidth) / 2;
    Reminded->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
    SnoozeBttn->setGeometry(left + kButtonWidth + 8, kButtonTop, kButtonWidth, kButtonHeight);
    SnoozeTime->setGeometry(left + kButtonWidth * 2 + 12, kButtonTop, timeWidth, kButtonHeight);
}

void Reminders::showModal(const std::optional<ReminderRecord> &due)
{
    m_due = due;
    placeButtons(due.has_value());
    if (due)
        SnoozeTime->setCurrentIndex(SnoozeTime->findData(Snooze::lastChoice(m_settings)));
    exec();
}

void Reminders::Reminded_Click()
{
    m_sounds.PlayReminderSound(Sounds::kStopLoop);
    hide(); // ends the caller's modal showing
    m_timer1.start();
    Q_EMIT dismissed();
}

void Reminders::SnoozeBttn_Click()
{
    if (!m_due)
        return;
    const int minutes = SnoozeTime->currentData().toInt();
    if (!Snooze::add(m_store, *m_due, minutes, Clock::now())) {
        MessageBoxes::exclamation(this, kSnoozeNotStored);
        return;
    }
    // Offered first next time; a refused write of it costs only that.
    m_settings.setSnooze(QString::number(minutes));
    Reminded_Click();
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
