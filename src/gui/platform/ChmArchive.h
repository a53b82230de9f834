#pragma once

#include "gui/platform/ChmTopic.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// Read-only access to a compiled HTML help file (.chm): its pages, stylesheets
// and pictures, its title, default topic and table of contents.
//
// The file's structure is checked in full before the help library is allowed to
// look at it, so a damaged, truncated or made-up file is refused with a plain
// sentence in errorString() instead of crashing or hanging the program.
class ChmArchive {
public:
    ChmArchive();
    ~ChmArchive();

    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    // Opens the file, closing any file opened before. On failure the archive is
    // closed and errorString() says why.
    bool open(const QString &path);
    void close();

    bool isOpen() const;
    QString fileName() const;
    QString errorString() const;

    // The content of a file inside the archive, or nothing when there is no such
    // file or it cannot be read. The path may start with "/" or not; "." and ".."
    // components are resolved, letter case is ignored. Relative links of a page
    // must be resolved by the caller against that page's path.
    std::optional<QByteArray> read(const QString &path) const;
    bool contains(const QString &path) const;

    // The paths of all files in the archive, without the leading "/", in the
    // archive's own order. Internal files (names starting with "#" or "$" and the
    // storage entries) are left out.
    QStringList files() const;

    // The page shown first, as a path inside the archive without a leading "/".
    QString defaultTopic() const;
    QString title() const;
    QList<ChmTopic> contents() const;

    // Parses the text of a contents (.hhc) or index (.hhk) file. Exposed for
    // reuse and tests; never fails, at worst it returns an empty list.
    static QList<ChmTopic> parseSitemap(const QByteArray &text);

    // A path inside an archive in the form that read() and defaultTopic() use:
    // no leading "/", "." and ".." resolved, no "#anchor". Empty when the path
    // leaves the archive's root.
    static QString normalizedPath(const QString &path);

private:
    struct Private;
    std::unique_ptr<Private> m_d;
    QString m_fileName;
    QString m_errorString;
};
