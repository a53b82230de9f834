#include "gui/authoring/NoteMaker.h"

#include "core/scheduler/Recurrence.h"
#include "core/scheduler/ReminderCreation.h"
#include "core/scheduler/TimerPause.h"
#include "core/store/ReminderStore.h"
#include "core/system/Clock.h"
#include "gui/alerts/Sounds.h"
#include "gui/authoring/BillForm.h"
#include "gui/authoring/ChoiceBox.h"
#include "gui/authoring/SettingsMenu.h"
#include "gui/authoring/SoundBox.h"
#include "gui/authoring/SoundSelection.h"
#include "gui/platform/FixedLayout.h"
#include "gui/platform/MessageBoxes.h"
#include "gui/platform/WindowPlacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <algorithm>

namespace {

QGroupBox *frame(QWidget *parent, const QString &title, int left, int top, int width, int height)
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(QStringLiteral("Frame1"));
    group->setGeometry(left, top, width, height);
    return group;
}

} // namespace

NoteMaker::NoteMaker(const Services &services, QWidget *owner)
    : QMainWindow(owner)
    , BillDate(services.billDate)
    , m_services(services)
{
    setObjectName(QStringLiteral("NoteMaker"));
    setWindowTitle(QStringLiteral("Pingalo! Vantor - Note Maker"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    FixedLayout::useFont(this);
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(425, 249);
    setCentralWidget(client);
    buildControls(client);
    buildMenus();
    Form_Load();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void NoteMaker::buildControls(QWidget *client)
{
    Frame1Date = frame(client, QStringLiteral("Reminder Date and Time"), 8, 8, 201, 57);
    Frame1Recurring = frame(client, QStringLiteral("Recurring Reminder Options"), 8, 72, 201, 57);
    Frame1Options = frame(client, QStringLiteral("Reminder Options"), 8, 136, 201, 81);
    Frame1Note = frame(client, QStringLiteral("Reminder Note"), 216, 8, 201, 169);

    // Formats first: they decide how wide a picker must be.
    auto *datePicker = new QDateEdit(Frame1Date);
    datePicker->setCalendarPopup(true);
    datePicker->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    DTPicker1 = FixedLayout::place(datePicker, "DTPicker1", 8, 24, 89, 25);
    auto *timePicker = new QTimeEdit(Frame1Date);
    timePicker->setDisplayFormat(QStringLiteral("h:mm AP"));
    DTPicker2 = FixedLayout::place(timePicker, "DTPicker2", 104, 24, 89, 25);

    Combo2 = FixedLayout::place(new ChoiceBox(Frame1Recurring), "Combo2", 8, 24, 185, 21);
    Combo2->addItems(Recurrence::names());
    Combo2->setCurrentIndex(0);
    connect(Combo2, &ChoiceBox::chosen, this, &NoteMaker::Combo2_Click);

    Check1 = FixedLayout::place(new QCheckBox(QStringLiteral("Play Reminder Sound"), Frame1Options),
                                "Check1", 8, 24, 137, 17,
                                QStringLiteral("Check to have reminder play a sound."));
    // Over the options group, in the window's own coordinates.
    Combo1 = FixedLayout::place(new SoundBox(client), "Combo1", 16, 184, 105, 21,
                                QStringLiteral("Reminder sounds."));
    SndPreviewBttn =
        FixedLayout::place(new QPushButton(SoundSelection::kPreview, client), "SndPreviewBttn", 128,
                           182, 73, 25, QStringLiteral("Preview selected sound."));

    // A text box scrolls: it keeps its place exactly.
    NoteEdit = new QPlainTextEdit(Frame1Note);
    NoteEdit->setObjectName(QStringLiteral("NoteEdit"));
    NoteEdit->setGeometry(8, 24, 185, 137);
    NoteEdit->setToolTip(QStringLiteral("What you want to be reminded of."));
    NoteEdit->setTabChangesFocus(true);
    PingaloBttn =
        FixedLayout::place(new QPushButton(QStringLiteral("&Pingalo!"), client), "PingaloBttn", 240,
                           184, 89, 33, QStringLiteral("Activate the current reminder."));
    connect(PingaloBttn, &QPushButton::clicked, this, &NoteMaker::PingaloBttn_Click);
    ResetBttn = FixedLayout::place(new QPushButton(QStringLiteral("&Reset"), client), "ResetBttn",
                                   336, 184, 57, 33, QStringLiteral("Reset the form."));
    connect(ResetBttn, &QPushButton::clicked, this, &NoteMaker::ResetBttn_Click);
    Status = FixedLayout::place(new QLineEdit(QStringLiteral("Reminder Status"), client), "Status",
                                8, 224, 409, 19, QStringLiteral("Status of the current reminder."));
    Status->setReadOnly(true);

    QWidget *order[] = {DTPicker1,      DTPicker2, Combo2,      Check1,    Combo1,
                        SndPreviewBttn, NoteEdit,  PingaloBttn, ResetBttn, Status};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void NoteMaker::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    RemindItem = file->addAction(QStringLiteral("&Pingalo!"), this, &NoteMaker::PingaloBttn_Click);
    RemindItem->setObjectName(QStringLiteral("RemindItem"));
    ResetItem = file->addAction(QStringLiteral("&Reset"), this, &NoteMaker::ResetBttn_Click);
    ResetItem->setObjectName(QStringLiteral("ResetItem"));
    file->addSeparator();
    ExitItem = file->addAction(QStringLiteral("&Exit"), this, &QWidget::close);
    ExitItem->setObjectName(QStringLiteral("ExitItem"));

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    EditListItem =
        edit->addAction(QStringLiteral("&Reminder List"), this, &NoteMaker::EditListItem_Click);
    EditListItem->setObjectName(QStringLiteral("EditListItem"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    ContentsItem =
        help->addAction(QStringLiteral("&Help Contents"), this, [this] { m_services.showHelp(); });
    ContentsItem->setObjectName(QStringLiteral("ContentsItem"));
    ContentsItem->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    AboutItem =
        help->addAction(QStringLiteral("&About Pingalo!"), this, &NoteMaker::AboutItem_Click);
    AboutItem->setObjectName(QStringLiteral("AboutItem"));

    m_settingsMenu = new SettingsMenu(m_services.store.settingsStore(), m_services.lockItem,
                                      m_services.settings, this);
    menuBar()->insertMenu(help->menuAction(), m_settingsMenu);
}

void NoteMaker::Form_Load()
{
    const QDate today = Clock::today();
    DTPicker1->setDate(today);
    DTPicker2->setTime(QTime(0, 0));
    m_settingsMenu->Form_Load();
    m_soundSelection = new SoundSelection(Check1, Combo1, SndPreviewBttn, m_services.sounds, this);
}

void NoteMaker::PingaloBttn_Click()
{
    const TimerPause pause(m_services.timer1); // on again however this ends
    ReminderCreation::Input input;
    input.soundChecked = Check1->isChecked();
    input.soundText = Combo1->currentText();
    input.noteText = NoteEdit->toPlainText();
    input.recurrenceText = Combo2->currentText();
    input.pickedDate = DTPicker1->date();
    input.pickedTime = DTPicker2->time();
    const auto result = ReminderCreation::create(input, BillDate, m_services.store);

    using Outcome = ReminderCreation::Outcome;
    if (const QString status = ReminderCreation::status(result); !status.isEmpty())
        Status->setText(status);
    switch (result.outcome) {
    case Outcome::Stored:
        return;
    case Outcome::NoteNotHeld: // the error message, then what in the note is at fault
        MessageBoxes::critical(this, ReminderCreation::message(result.outcome) +
                                         QStringLiteral("\n\n") + result.why);
        return;
    case Outcome::Failed:
        MessageBoxes::critical(this, ReminderCreation::message(result.outcome));
        return;
    case Outcome::NoSound:
    case Outcome::NoNote:
    case Outcome::Past:
    case Outcome::CurrentTime:
        break;
    }
    MessageBoxes::exclamation(this, ReminderCreation::message(result.outcome));
    QWidget *fault = result.outcome == Outcome::NoSound  ? static_cast<QWidget *>(Combo1)
                     : result.outcome == Outcome::NoNote ? static_cast<QWidget *>(NoteEdit)
                                                         : static_cast<QWidget *>(DTPicker1);
    fault->setFocus();
}

void NoteMaker::ResetBttn_Click()
{
    const QDate today = Clock::today();
    DTPicker1->setDate(today);
    DTPicker2->setTime(QTime(0, 0));
    Combo1->setEditText(SoundSelection::kPlaceholder);
    Combo2->setCurrentIndex(0);
    Combo2_Click(); // as choosing it does: nothing for a one-time reminder
    Check1->setChecked(false);
    NoteEdit->clear();
    Status->setText(QStringLiteral("Reminder Status"));
    DTPicker1->setFocus();
}

void NoteMaker::Combo2_Click()
{
    if (Combo2->currentText() != Recurrence::kBill)
        return;
    auto *wizard = new BillForm(this);
    wizard->exec(); // destroys itself when it closes
}

void NoteMaker::AboutItem_Click()
{
    m_services.showAbout(this);
}

void NoteMaker::EditListItem_Click()
{
    m_services.showList(this);
}

void NoteMaker::closeEvent(QCloseEvent *event)
{
    m_soundSelection->Form_Unload();
    QMainWindow::closeEvent(event);
}

void NoteMaker::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    centreOnScreen(this);
}
