#include "gui/platform/ChmArchive.h"

#include "gui/platform/ChmDirectory.h"
#include "gui/platform/ChmSitemap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <chm_lib.h>
#include <cstring>

// open() lets the help library see a file only after ChmDirectory has checked
// its whole structure; then it reads the file's #SYSTEM record for the
// contents file, the default topic and the title.

using ChmDirectory::Entry;
using ChmDirectory::foldCase;
using ChmSitemap::cString;

namespace {

bool isPageName(const QString &path)
{
    return path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
}

} // namespace

struct ChmArchive::Private {
    chmFile *handle = nullptr;
    QList<Entry> entries;          // in directory order
    QHash<QByteArray, int> byName; // folded name -> index into entries
    QString defaultTopic;
    QString title;
    QList<ChmTopic> contents;

    ~Private()
    {
        if (handle)
            chm_close(handle);
    }

    // The readable file at a path inside the archive, or null.
    const Entry *file(const QString &path) const;
};

ChmArchive::ChmArchive() = default;

ChmArchive::~ChmArchive() = default;

bool ChmArchive::open(const QString &path)
{
    close();
    m_fileName = path;
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        m_errorString = QStringLiteral("The file %1 does not exist.").arg(shown);
        return false;
    }
    if (info.isDir()) {
        m_errorString = QStringLiteral("%1 is a folder, not a compiled help file.").arg(shown);
        return false;
    }
    if (!info.isFile()) {
        m_errorString =
            QStringLiteral("%1 is not a regular file, so it cannot be a compiled help file.")
                .arg(shown);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_errorString =
            QStringLiteral("The file %1 could not be read: %2.").arg(shown, file.errorString());
        return false;
    }
    if (file.size() == 0) {
        m_errorString = QStringLiteral("The file %1 is empty.").arg(shown);
        return false;
    }

    QList<Entry> entries;
    switch (ChmDirectory::inspect(file, &entries)) {
    case ChmDirectory::Ok:
        break;
    case ChmDirectory::NotHelpFile:
        m_errorString = QStringLiteral("The file %1 is not a compiled help file.").arg(shown);
        return false;
    case ChmDirectory::Damaged:
        m_errorString =
            QStringLiteral("The file %1 is a damaged compiled help file: its inner structure "
                           "is not valid.")
                .arg(shown);
        return false;
    case ChmDirectory::Truncated:
        m_errorString = QStringLiteral("The file %1 is incomplete: it ends before the help it "
                                       "should hold. It may not have been copied completely.")
                            .arg(shown);
        return false;
    case ChmDirectory::ReadFailed:
        m_errorString =
            QStringLiteral("The file %1 could not be read: %2.").arg(shown, file.errorString());
        return false;
    }
    file.close();

    auto d = std::make_unique<Private>();
    d->handle = chm_open(QFile::encodeName(path).constData());
    if (!d->handle) {
        m_errorString =
            QStringLiteral("The file %1 could not be opened as a compiled help file.").arg(shown);
        return false;
    }
    d->entries = std::move(entries);
    for (int i = 0; i < d->entries.size(); ++i)
        d->byName.insert(foldCase(d->entries.at(i).name), i);
    m_d = std::move(d);

    // #SYSTEM: a version number, then records of a 16-bit code, a 16-bit length
    // and that many bytes. Code 0 names the contents file, 2 the default topic
    // and 3 the title.
    QString contentsFile;
    QString systemTopic;
    if (const auto system = read(QStringLiteral("/#SYSTEM")); system && system->size() >= 4) {
        const QByteArray &s = *system;
        qsizetype pos = 4;
        while (pos + 4 <= s.size()) {
            const auto *p = reinterpret_cast<const unsigned char *>(s.constData()) + pos;
            const int code = p[0] | p[1] << 8;
            const qsizetype length = p[2] | p[3] << 8;
            pos += 4;
            if (length > s.size() - pos)
                break; // a record running past the end: stop reading
            const QString value = cString(s.mid(pos, length));
            pos += length;
            if (code == 0 && contentsFile.isEmpty())
                contentsFile = value;
            else if (code == 2 && systemTopic.isEmpty())
                systemTopic = value;
            else if (code == 3 && m_d->title.isEmpty())
                m_d->title = value;
        }
    }

    std::optional<QByteArray> sitemap;
    if (!contentsFile.isEmpty())
        sitemap = read(contentsFile);
    if (!sitemap) {
        for (const Entry &e : std::as_const(m_d->entries)) {
            if (e.readable && foldCase(e.name).endsWith(".hhc")) {
                sitemap = read(QString::fromUtf8(e.name));
                if (sitemap)
                    break;
            }
        }
    }
    if (sitemap)
        m_d->contents = parseSitemap(*sitemap);

    const QString systemPage = normalizedPath(systemTopic);
    if (!systemPage.isEmpty() && contains(systemPage)) {
        m_d->defaultTopic =
            systemTopic.startsWith(QLatin1Char('/')) ? systemTopic.mid(1) : systemTopic;
    }
    // The first page of the contents, in reading order.
    const QString firstContentsName =
        m_d->contents.isEmpty() ? QString() : m_d->contents.first().name;
    QString firstContentsPage;
    const auto findPage = [this, &firstContentsPage](const QList<ChmTopic> &topics,
                                                     const auto &self) -> void {
        for (const ChmTopic &t : topics) {
            if (!firstContentsPage.isEmpty())
                return;
            if (contains(normalizedPath(t.local)))
                firstContentsPage = t.local.startsWith(QLatin1Char('/')) ? t.local.mid(1) : t.local;
            else
                self(t.children, self);
        }
    };
    findPage(m_d->contents, findPage);
    QString firstPage;
    for (const QString &f : files()) {
        if (isPageName(f) && contains(f)) {
            firstPage = f;
            break;
        }
    }
    if (m_d->defaultTopic.isEmpty())
        m_d->defaultTopic = !firstContentsPage.isEmpty() ? firstContentsPage : firstPage;
    if (m_d->title.isEmpty())
        m_d->title = firstContentsName;
    if (m_d->title.isEmpty() && !firstPage.isEmpty()) {
        const auto html = read(firstPage);
        m_d->title = html ? ChmSitemap::pageTitle(*html) : QString();
        if (m_d->title.isEmpty())
            m_d->title = QFileInfo(firstPage).completeBaseName();
    }
    m_errorString.clear();
    return true;
}

void ChmArchive::close()
{
    m_d.reset();
    m_fileName.clear();
    m_errorString.clear();
}

bool ChmArchive::isOpen() const
{
    return m_d != nullptr;
}

QString ChmArchive::fileName() const
{
    return m_fileName;
}

QString ChmArchive::errorString() const
{
    return m_errorString;
}

QString ChmArchive::normalizedPath(const QString &path)
{
    QString p = path;
    const qsizetype hash = p.indexOf(QLatin1Char('#'), p.startsWith(QLatin1Char('/')) ? 2 : 1);
    if (hash > 0)
        p.truncate(hash);
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    p = QDir::cleanPath(QLatin1Char('/') + p);
    if (p.startsWith(QLatin1String("/..")) || p == QLatin1String("/"))
        return QString();
    return p.mid(1);
}

const Entry *ChmArchive::Private::file(const QString &path) const
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    p = QDir::cleanPath(QLatin1Char('/') + p);
    if (p == QLatin1String("/") || p.startsWith(QLatin1String("/..")))
        return nullptr;
    const auto it = byName.constFind(foldCase(p.toUtf8()));
    if (it == byName.constEnd())
        return nullptr;
    const Entry *e = &entries.at(it.value());
    return e->readable && !e->name.endsWith('/') ? e : nullptr;
}

std::optional<QByteArray> ChmArchive::read(const QString &path) const
{
    const Entry *e = m_d ? m_d->file(path) : nullptr;
    if (!e || e->length > ChmDirectory::kMaxObjectLength)
        return std::nullopt;
    if (e->length == 0)
        return QByteArray();

    chmUnitInfo unit{};
    unit.start = e->start;
    unit.length = e->length;
    unit.space = int(e->space);
    std::memcpy(unit.path, e->name.constData(),
                size_t(std::min<qsizetype>(e->name.size(), CHM_MAX_PATHLEN)));
    QByteArray data(qsizetype(e->length), Qt::Uninitialized);
    const LONGINT64 got =
        chm_retrieve_object(m_d->handle, &unit, reinterpret_cast<unsigned char *>(data.data()), 0,
                            LONGINT64(e->length));
    if (got != LONGINT64(e->length))
        return std::nullopt;
    return data;
}

bool ChmArchive::contains(const QString &path) const
{
    return m_d && m_d->file(path);
}

QStringList ChmArchive::files() const
{
    QStringList result;
    if (!m_d)
        return result;
    for (const Entry &e : std::as_const(m_d->entries)) {
        if (!e.name.startsWith('/') || e.name.endsWith('/') || e.name.startsWith("/#") ||
            e.name.startsWith("/$"))
            continue;
        result.append(QString::fromUtf8(e.name.mid(1)));
    }
    return result;
}

QString ChmArchive::defaultTopic() const
{
    return m_d ? m_d->defaultTopic : QString();
}

QString ChmArchive::title() const
{
    return m_d ? m_d->title : QString();
}

QList<ChmTopic> ChmArchive::contents() const
{
    return m_d ? m_d->contents : QList<ChmTopic>();
}

QList<ChmTopic> ChmArchive::parseSitemap(const QByteArray &bytes)
{
    return ChmSitemap::parse(bytes);
}
