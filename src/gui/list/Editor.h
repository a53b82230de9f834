#pragma once

#include <QDialog>
#include <functional>
#include <optional>

class QPushButton;
class QTreeView;
class ReminderListModel;
class ReminderStore;
class SchedulerHost;

// The list viewer: every live reminder of the store in a table, read once
// when the window opens. A row can be viewed in the reminder window (nothing
// in the store changes) or deleted for good. Reminders cannot be changed here.
class Editor : public QDialog {
    Q_OBJECT

public:
    static inline const QString kDeleteQuestion =
        QStringLiteral("Are you sure you want to permanently delete this reminder?");

    struct Services {
        ReminderStore &store;
        SchedulerHost &alerts;          // the reminder window and the sounds
        std::function<void()> showHelp; // F1: the help, opened by the shell
    };

    // Deletes itself when closed.
    Editor(const Services &services, QWidget *owner);

    QTreeView *RList;
    QPushButton *ViewBttn;
    QPushButton *DeleteSelected;
    QPushButton *Command1;

    const ReminderListModel &rows() const { return *m_rows; }

    // Shows the selected row in the reminder window, with its sound.
    void ViewBttn_Click();
    // Asks, then deletes the selected row's reminder from the store and the list.
    void DeleteSelected_Click();
    void Command1_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    std::optional<int> selectedRow() const;
    void setRowButtonsEnabled(bool enabled);

    Services m_services;
    ReminderListModel *m_rows;
    bool m_centred = false;
};
