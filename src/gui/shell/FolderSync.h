#pragma once

#include "sync/CalendarSync.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>

class ProgramSettings;
class QWidget;
class ReminderStore;

// The calendar folder while the program runs: a merge when the folder
// changes, soon after the program changes a reminder, and whenever the
// scheduler is about to read the store; the alarm of a reminder answered in
// the reminder window marked answered in its item. Problems are said once,
// on standard error.
class FolderSync : public QObject {
    Q_OBJECT

public:
    static inline const QString kPlainText = QStringLiteral(
        "Pingalo! keeps your notes in the calendar folder as plain text, so that other calendar "
        "programs can read them: your password does not protect them there. Choose a folder "
        "anyway?");

    // `mayMerge` says whether the store may be merged now (not before the
    // start-up password is given).
    FolderSync(ReminderStore &store, ProgramSettings &settings, std::function<bool()> mayMerge,
               QObject *parent = nullptr);
    ~FolderSync() override;

    void mergeNow();
    // A reminder that came due was answered in the reminder window: its
    // occurrence is done, even one that came up before its minute (a check
    // of the current hour).
    void answered(const LiveReminder &due);
    // "Calendar Folder...": a folder dialog over `owner`; choosing none
    // switches the folder off. Gives whether a folder is set afterwards.
    bool choose(QWidget *owner);

private:
    void said(const CalendarSync::Report &report);
    void watch();

    ReminderStore &m_store;
    CalendarSync m_sync;
    ProgramSettings &m_settings;
    std::function<bool()> m_mayMerge;
    QFileSystemWatcher m_watcher;
    QTimer m_soon; // merges a moment after a change, once for a burst of them
};
