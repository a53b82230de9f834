#include "gui/authoring/BillForm.h"

#include "core/store/TextForms.h"
#include "core/system/Clock.h"
#include "gui/authoring/ChoiceBox.h"
#include "gui/authoring/NoteMaker.h"
#include "gui/platform/FixedLayout.h"
#include "gui/platform/MessageBoxes.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top, int width)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setGeometry(left, top, width, result->sizeHint().height());
    return result;
}

} // namespace

BillForm::BillForm(NoteMaker *noteMaker)
    : QDialog(noteMaker)
    , m_noteMaker(noteMaker)
{
    setObjectName(QStringLiteral("BillForm"));
    setWindowTitle(QStringLiteral("Bill Reminder Wizard"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(313, 201);
    FixedLayout::useFont(this);

    // Form_Load
    Label4 =
        new QLabel(QStringLiteral("This wizard will help you setup your reminder as a Bill "
                                  "Reminder. Enter the information related to this bill below "
                                  "and click the ADD BILL button to create your bill reminder."),
                   this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setGeometry(8, 8, 297, 41);
    QFont small = Label4->font();
    // The description fills its three lines: smaller type where the desktop's is large.
    while (small.pointSizeF() > 6 && Label4->heightForWidth(297) > 41) {
        small.setPointSizeF(small.pointSizeF() - 0.5);
        Label4->setFont(small);
    }

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 48, 297, 113);
    Text1 = FixedLayout::place(new QLineEdit(Frame1), "Text1", 8, 32, 280, 19);
    // Each label names its box, for screen readers too.
    label(Frame1, "Label1", QStringLiteral("This bill is payable to:"), 8, 16, 280)
        ->setBuddy(Text1);
    // The format first: it decides how wide the picker must be.
    auto *duePicker = new QDateEdit(Clock::today(), Frame1);
    duePicker->setCalendarPopup(true);
    duePicker->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    DTPicker1 = FixedLayout::place(duePicker, "DTPicker1", 64, 56, 89, 25);
    label(Frame1, "Label2", QStringLiteral("Due date:"), 8, 62, 56)->setBuddy(DTPicker1);
    // Beside its small box: on two lines where the desktop's type is too wide
    // for one, kept inside the frame.
    QLabel *days =
        label(Frame1, "Label3",
              QStringLiteral("Number of days to be reminded before this bill is due:"), 8, 86, 252);
    days->setWordWrap(true);
    const int height = days->heightForWidth(252);
    days->setGeometry(8, std::min(86, Frame1->height() - 4 - height), 252, height);
    Text2 =
        FixedLayout::place(new QLineEdit(QStringLiteral("10"), Frame1), "Text2", 264, 84, 24, 19);
    days->setBuddy(Text2);

    Command1 = FixedLayout::place(new QPushButton(QStringLiteral("&Add Bill"), this), "Command1",
                                  80, 168, 73, 25);
    Command2 = FixedLayout::place(new QPushButton(QStringLiteral("&Cancel"), this), "Command2", 160,
                                  168, 73, 25);
    for (QPushButton *button : {Command1, Command2})
        button->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &BillForm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &BillForm::Command2_Click);
    QWidget::setTabOrder(Text1, DTPicker1);
    QWidget::setTabOrder(DTPicker1, Text2);
    QWidget::setTabOrder(Text2, Command1);
    QWidget::setTabOrder(Command1, Command2);
    Text1->setFocus();
}

void BillForm::Command1_Click()
{
    if (Text1->text().isEmpty()) {
        MessageBoxes::exclamation(this,
                                  QStringLiteral("Please enter the name of the company/person "
                                                 "this bill is payable to."));
        Text1->setFocus();
        return;
    }
    const QDate due = DTPicker1->date();
    if (due <= Clock::today())
        MessageBoxes::exclamation(this,
                                  QStringLiteral("This month's payment seems to be overdue."));
    const auto advance = TextForms::numericValue(Text2->text());
    if (!advance) {
        MessageBoxes::exclamation(this, QStringLiteral("Please enter a number."));
        Text2->setFocus();
        return;
    }
    if (*advance < 0 || *advance > 30) {
        MessageBoxes::exclamation(this, QStringLiteral("Please enter a number between 0 and 30."));
        Text2->setFocus();
        return;
    }
    m_noteMaker->NoteEdit->clear();
    m_noteMaker->NoteEdit->setPlainText(Text1->text());
    m_noteMaker->BillDate = TextForms::dayKey(due.addDays(-TextForms::roundHalfEven(*advance)));
    close();
}

void BillForm::Command2_Click()
{
    m_noteMaker->Combo2->setCurrentIndex(0);
    m_noteMaker->Combo2_Click(); // as choosing it does: nothing for a one-time reminder
    close();
}
