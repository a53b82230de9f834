#pragma once

#include "core/store/ReminderStore.h"
#include "sync/CalendarFolder.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <memory>
#include <optional>

class CalendarFolder;
class ProgramSettings;
struct CalendarItem;

// Keeps the reminders and a calendar folder (vdir: one .ics file per item)
// in step, so that a tool such as vdirsyncer can carry them to a CalDAV
// server and other machines. It only adds reminders to the store and removes
// them through the store's own operations; what comes up, and when, stays
// the scheduler's.
//
// Each merge compares both sides with what the last merge saw (kept in the
// store: per UID the item's file, its size, time and content digest, and a
// digest of the reminder), so an unchanged folder costs a look at each
// file's size and time, not a read:
//
//   changed in the store only    the item is written again (the program's own)
//   changed in the folder only   the reminder follows the item
//   changed on both sides        the store's change, the later one, wins
//   deleted on one side          deleted on the other, unless the other
//                                changed: then the change wins
//
// Items of other programs (without our recurrence property) are only read:
// the program never deletes or moves them, it only marks their alarm answered
// (acknowledge). An item without a DISPLAY or AUDIO alarm is an event, not a
// reminder, and is left alone. A file that cannot be read, or holds an item a
// reminder cannot be made of, is never deleted and takes nothing from the
// store: its reason is said once. A folder that is not there (a disk not
// mounted) takes nothing either: the merge waits for it.
class CalendarSync {
public:
    // What one merge did.
    struct Report {
        bool on = false;                         // a calendar folder is set
        bool folderThere = true;                 // false: it could not be read; nothing was done
        int added = 0, changed = 0, removed = 0; // reminders, in the store
        int written = 0, deleted = 0;            // items, in the folder
        // Files skipped, each with its reason ("name: why"), and of those the
        // ones found by this merge (said once, until the file changes).
        QStringList problems, fresh;
        // The report in words, a line each; empty when nothing happened.
        QStringList lines() const;
    };

    // The section of the store that remembers what the last merge saw.
    static inline const QString kSeenSection = QStringLiteral("Calendar Folder");

    CalendarSync(ReminderStore &store, ProgramSettings &settings);
    ~CalendarSync();

    // The folder set, or none when sync is off.
    std::optional<QString> folder() const;
    // Sets the folder and makes it (private to its user), or switches sync off
    // for the empty text; what the last merge saw goes with the old folder.
    bool setFolder(const QString &path, QString *error);

    Report merge();
    // The reminder of this UID came up and was answered at `when`: its item's
    // alarm is marked answered, then the merge runs. The program's own
    // one-time item goes, a recurring one follows its reminder to its next
    // day; another program's item is only marked, and its next occurrence,
    // if it has one, becomes the reminder.
    Report acknowledge(const QString &uid, const QDateTime &when);

private:
    struct Seen;
    struct FolderItem;
    struct StoreSide;

    Report run(const QString &answeredUid, const QDateTime &answeredAt);
    bool readStoreSide(StoreSide &side);

    ReminderStore &m_store;
    ProgramSettings &m_settings;
    // The store's side as the last merge left it, kept while the store's
    // version stays the same (an unchanged store is not read again).
    std::unique_ptr<StoreSide> m_cache;
    // After a merge that changed nothing on either side: the store's version
    // and the folder's files then, and what it could not read. A merge that
    // finds both as they were has nothing to do.
    struct Quiet {
        QString folder;
        qint64 version = -1;
        QList<CalendarFolder::Entry> files;
        QStringList problems;
    };
    std::optional<Quiet> m_quiet;
};
