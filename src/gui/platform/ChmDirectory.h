#pragma once

#include <QByteArray>
#include <QList>

class QFile;

// The directory of a compiled help file (.chm), checked in full before the help
// library may look at the file: every offset, length and link of its headers,
// directory chunks and compressed space is held against the file, so that a
// damaged, cut or made-up file is refused instead of crashing or hanging the
// library.
namespace ChmDirectory {

// One file inside the archive, as its directory lists it.
struct Entry {
    QByteArray name; // as stored, with the leading "/"
    quint64 space = 0;
    quint64 start = 0;
    quint64 length = 0;
    bool readable = false;
};

enum Result { Ok, NotHelpFile, Damaged, Truncated, ReadFailed };

// The largest object the reader hands out.
constexpr quint64 kMaxObjectLength = 256ull << 20;

// Checks the open file's structure; when it holds, `entries` gets the
// directory's entries in its own order, each marked readable or not.
Result inspect(QFile &file, QList<Entry> *entries);

// ASCII letter case folded, as the help library compares names.
QByteArray foldCase(QByteArray name);

} // namespace ChmDirectory
