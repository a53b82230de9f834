#pragma once

#include "gui/authoring/SettingsMenu.h"

#include <QMainWindow>
#include <functional>

class ChoiceBox;
class QAction;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QTimer;
class ReminderStore;
class SoundBox;
class SoundSelection;
class Sounds;

// The note maker: the window in which the user writes a reminder, picks its
// day, time, recurrence and sound, and sets it with "&Pingalo!". Choosing
// "Bill Reminder" opens the bill reminder wizard, which leaves the reminder's
// day in `BillDate` for the next creation. Its Settings menu holds the
// program's settings.
class NoteMaker : public QMainWindow {
    Q_OBJECT

public:
    struct Services {
        ReminderStore &store;
        Sounds &sounds;
        QTimer &timer1;    // the scheduler's timer, off while a reminder is written
        QString &billDate; // outlives the window: a pending bill day survives closing it
        // The tray's "Lock &Down": available while a password is set.
        QAction *lockItem = nullptr;
        // The windows of the program's other parts, which the shell opens for
        // the menus: the help, the About box, the reminder list (modal to the
        // note maker) and the password window (true when it saved a password).
        std::function<void()> showHelp;
        std::function<void(QWidget *owner)> showAbout;
        std::function<void(QWidget *owner)> showList;
        // What the Settings menu needs of the shell: the password window,
        // the end of a lock-down, the calendar folder.
        SettingsMenu::Shell settings;
    };

    NoteMaker(const Services &services, QWidget *owner);

    QGroupBox *Frame1Date;
    QGroupBox *Frame1Recurring;
    QGroupBox *Frame1Options;
    QGroupBox *Frame1Note;
    QDateEdit *DTPicker1;
    QTimeEdit *DTPicker2;
    ChoiceBox *Combo2;
    QCheckBox *Check1;
    SoundBox *Combo1;
    QPushButton *SndPreviewBttn;
    QPlainTextEdit *NoteEdit;
    QPushButton *PingaloBttn;
    QPushButton *ResetBttn;
    QLineEdit *Status;

    QAction *RemindItem;
    QAction *ResetItem;
    QAction *ExitItem;
    QAction *EditListItem;
    QAction *ContentsItem;
    QAction *AboutItem;

    // The pending bill reminder day (a day key), empty when none.
    QString &BillDate;

    void PingaloBttn_Click();
    void ResetBttn_Click();
    // An item was chosen from the recurrence list.
    void Combo2_Click();
    void AboutItem_Click();
    // Shows the list viewer modally, owned by the note maker.
    void EditListItem_Click();

    SoundSelection &soundSelection() const { return *m_soundSelection; }
    SettingsMenu *settingsMenu() const { return m_settingsMenu; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls(QWidget *client);
    void buildMenus();
    void Form_Load();

    Services m_services;
    SoundSelection *m_soundSelection = nullptr;
    SettingsMenu *m_settingsMenu = nullptr;
    bool m_centred = false;
};
