#include "sync/CalendarFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CalendarFolder::Entry entryOf(const QString &name, const struct stat &st)
{
    return {name, qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

} // namespace

bool CalendarFolder::create(QString *error) const
{
    if (!QDir().mkpath(m_path)) {
        *error = QStringLiteral("cannot make the folder %1").arg(m_path);
        return false;
    }
    if (::chmod(QFile::encodeName(m_path).constData(), 0700) != 0) {
        *error = QStringLiteral("cannot make the folder %1 private: %2")
                     .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

std::optional<QList<CalendarFolder::Entry>> CalendarFolder::list() const
{
    DIR *dir = ::opendir(QFile::encodeName(m_path).constData());
    if (!dir)
        return std::nullopt;
    QList<Entry> entries;
    const int fd = ::dirfd(dir);
    while (const dirent *e = ::readdir(dir)) {
        const size_t length = std::strlen(e->d_name);
        if (e->d_name[0] == '.' || length < 5 || std::strcmp(e->d_name + length - 4, ".ics") != 0)
            continue;
        struct stat st;
        if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        entries.append(entryOf(QFile::decodeName(e->d_name), st));
    }
    ::closedir(dir);
    return entries;
}

std::optional<CalendarFolder::Entry> CalendarFolder::entry(const QString &name) const
{
    struct stat st;
    if (::lstat(QFile::encodeName(m_path + QLatin1Char('/') + name).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return std::nullopt;
    return entryOf(name, st);
}

std::optional<QByteArray> CalendarFolder::read(const QString &name, QString *error) const
{
    QFile file(m_path + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QByteArray content = file.read(kMaxItemSize + 1);
    if (content.size() > kMaxItemSize) {
        *error =
            QStringLiteral("larger than %1 bytes, which no calendar item needs").arg(kMaxItemSize);
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return std::nullopt;
    }
    return content;
}

bool CalendarFolder::write(const QString &name, const QByteArray &content, QString *error) const
{
    const QByteArray target = QFile::encodeName(m_path + QLatin1Char('/') + name);
    const QByteArray temporary = QFile::encodeName(m_path + QStringLiteral("/.") + name +
                                                   QStringLiteral(".part"));
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool written = fd >= 0;
    for (qsizetype done = 0; written && done < content.size();) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        written = n > 0 || (n < 0 && errno == EINTR);
        done += std::max<ssize_t>(n, 0);
    }
    if (fd >= 0 && ::close(fd) != 0)
        written = false;
    if (written && ::rename(temporary.constData(), target.constData()) == 0)
        return true;
    *error = QString::fromLocal8Bit(std::strerror(errno));
    ::unlink(temporary.constData());
    return false;
}

void CalendarFolder::flush() const
{
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}

bool CalendarFolder::remove(const QString &name) const
{
    return QFile::remove(m_path + QLatin1Char('/') + name);
}

QString CalendarFolder::fileNameFor(const QString &uid)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9@_-][A-Za-z0-9@._-]{0,150}$"));
    if (plain.match(uid).hasMatch())
        return uid + QStringLiteral(".ics");
    return QString::fromLatin1(
               QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".ics");
}
