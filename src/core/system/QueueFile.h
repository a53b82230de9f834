#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// One entry of the queue file: the due moment, the note (unscrambled) and the
// sound name.
struct QueuedReminder {
    QDateTime when;
    QString note;
    QString sound;
    bool operator==(const QueuedReminder &) const = default;
};

// The queue file "az.pgl": pending reminders written by another program, one
// per line, "moment|scrambled note|sound" (further fields are ignored), lines
// ending with carriage return and line feed, single-byte Windows-1252 text.
// The program only reads it; it never changes, empties or deletes it.
namespace QueueFile {

inline const QString kFileName = QStringLiteral("az.pgl");
// The largest queue file read, in bytes.
inline constexpr qint64 kMaxSize = 4 * 1024 * 1024;

// The entries of the file at `path`, in file order. Nothing when the file
// does not exist, cannot be opened for writing (the sign that its writer is
// done with it), is empty or is larger than kMaxSize. A line that is not an entry (fewer than three
// fields, a first field that is not a moment, a note that does not
// unscramble) is skipped and the others are still read.
QList<QueuedReminder> read(const QString &path);

// The entries of a file's content, as `read` takes them.
QList<QueuedReminder> parse(const QByteArray &content);

// An entry is due when its moment lies in the current minute or later, on
// today's or tomorrow's date.
bool isDue(const QueuedReminder &entry, const QDateTime &now);

} // namespace QueueFile
