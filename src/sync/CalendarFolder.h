#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// A calendar folder in the vdir layout that calendar tools share: one .ics
// file per item, each written whole (a temporary file in the folder, then a
// rename), so that a reader never sees half of one. Files starting with "."
// and files not ending in ".ics" are not items. The folder is private to its
// user (0700) and so are the files the program writes (0600).
class CalendarFolder {
public:
    // An item file as the folder lists it: what a change shows in, without reading it.
    struct Entry {
        QString name;
        qint64 size = 0;
        qint64 modified = 0; // nanoseconds since the epoch
        bool operator==(const Entry &) const = default;
    };

    // No item file is read past this size: no calendar item needs more.
    static constexpr qint64 kMaxItemSize = 1 << 20;

    explicit CalendarFolder(const QString &path)
        : m_path(path)
    {
    }

    const QString &path() const { return m_path; }

    // Makes the folder (and its parents) if need be, private to its user.
    bool create(QString *error) const;
    // The item files, in no particular order; none when the folder cannot be
    // read or is not there (an unmounted disk, say).
    std::optional<QList<Entry>> list() const;
    // One item file as list() gives it; none when it is not there.
    std::optional<Entry> entry(const QString &name) const;
    // An item file's content; none, with the reason, when it cannot be read or
    // is larger than kMaxItemSize.
    std::optional<QByteArray> read(const QString &name, QString *error) const;
    // Writes an item whole: a hidden temporary file, renamed over the item's
    // name. Not yet on the disk: flush() puts every write there.
    bool write(const QString &name, const QByteArray &content, QString *error) const;
    // Puts what was written on the disk (one sync of the folder's file system
    // for many items, rather than one for each).
    void flush() const;
    bool remove(const QString &name) const;

    // The file name the program gives the item of a UID: the UID itself when
    // it is short and plain, else a digest of it.
    static QString fileNameFor(const QString &uid);

private:
    QString m_path;
};
