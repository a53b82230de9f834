#pragma once

#include <QDialog>

class NoteMaker;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The bill reminder wizard: asks for the payee, the due date and the days of
// notice, and prepares the note maker: the payee as the note, and the day of
// the reminder in its `BillDate`. It stores nothing itself.
class BillForm : public QDialog {
    Q_OBJECT

public:
    explicit BillForm(NoteMaker *noteMaker);

    QLabel *Label4;
    QGroupBox *Frame1;
    QLineEdit *Text1;
    QDateEdit *DTPicker1;
    QLineEdit *Text2;
    QPushButton *Command1;
    QPushButton *Command2;

    // "&Add Bill": the checks, then the hand-back.
    void Command1_Click();
    // "&Cancel": the recurrence box back to "One-Time Reminder", then close.
    void Command2_Click();

private:
    NoteMaker *m_noteMaker;
};
