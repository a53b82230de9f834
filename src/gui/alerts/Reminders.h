#pragma once

#include "core/store/ReminderRecord.h"

#include <QDialog>
#include <optional>

class ProgramSettings;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class ReminderStore;
class Sounds;

// The reminder window: the date and time of a due reminder and its note,
// above every other window, until OK. Made once and only hidden after each
// reminder, so later reminders reuse it. A reminder that came due can also be
// snoozed: OK, and the same note and sound once more a while later.
class Reminders : public QDialog {
    Q_OBJECT

public:
    static inline const QString kSnoozeNotStored =
        QStringLiteral("The reminder could not be snoozed: Pingalo! could not write to its store. "
                       "It stays on screen; press OK to dismiss it, or try Snooze again.");

    // `timer1` is the scheduler's timer, switched on again by OK; the store
    // and the settings keep what Snooze adds and the choice it last used.
    Reminders(Sounds &sounds, QTimer &timer1, ReminderStore &store, ProgramSettings &settings,
              QWidget *owner);

    QGroupBox *Frame1;
    QPlainTextEdit *ReminderText;
    QPushButton *Reminded;
    QPushButton *SnoozeBttn;
    QComboBox *SnoozeTime; // how long, offered at the choice last used

    // Shows the window modally until it is dismissed. `due` is the reminder
    // that came due, as stored: Snooze is offered for it; without one the
    // window has OK alone.
    void showModal(const std::optional<ReminderRecord> &due);

    // OK: stops the sound, hides the window and switches the scheduler on.
    void Reminded_Click();
    // What OK does, once a one-time copy of the reminder is stored for the
    // chosen time. A copy the store refuses is said, and the window stays.
    void SnoozeBttn_Click();

    // The close box and Escape do what OK does.
    void reject() override;

Q_SIGNALS:
    // OK (or the close box) took the window off the screen.
    void dismissed();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // OK alone in the middle, or OK, Snooze and its time centred together.
    void placeButtons(bool snooze);

    Sounds &m_sounds;
    QTimer &m_timer1;
    ReminderStore &m_store;
    ProgramSettings &m_settings;
    std::optional<ReminderRecord> m_due;
};
