#pragma once

#include <QDialog>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class Sounds;

// The reminder window: the date and time of a due reminder and its note,
// above every other window, until OK. Made once and only hidden after each
// reminder, so later reminders reuse it.
class Reminders : public QDialog {
    Q_OBJECT

public:
    // `timer1` is the scheduler's timer, switched on again by OK.
    Reminders(Sounds &sounds, QTimer &timer1, QWidget *owner);

    QGroupBox *Frame1;
    QPlainTextEdit *ReminderText;
    QPushButton *Reminded;

    // OK: stops the sound, hides the window and switches the scheduler on.
    void Reminded_Click();

    // The close box and Escape do what OK does.
    void reject() override;

Q_SIGNALS:
    // OK (or the close box) took the window off the screen.
    void dismissed();

protected:
    void showEvent(QShowEvent *event) override;

private:
    Sounds &m_sounds;
    QTimer &m_timer1;
};
