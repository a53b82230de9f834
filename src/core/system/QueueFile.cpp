#include "core/system/QueueFile.h"

#include "core/store/ScrambleText.h"
#include "core/store/TextForms.h"
#include "core/system/Cp1252.h"

#include <QByteArrayView>
#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString fromSingleBytes(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = Cp1252::character(static_cast<unsigned char>(bytes[i]));
    return text;
}

std::optional<QueuedReminder> parseLine(QByteArrayView line)
{
    // Only the first three fields are read.
    QByteArrayView fields[3];
    qsizetype start = 0;
    for (int i = 0; i < 3; ++i) {
        if (start > line.size())
            return std::nullopt;
        qsizetype bar = line.indexOf('|', start);
        if (bar < 0) {
            if (i < 2)
                return std::nullopt;
            bar = line.size();
        }
        fields[i] = line.sliced(start, bar - start);
        start = bar + 1;
    }
    // A moment is short: a long first field is not one, whatever it holds.
    if (fields[0].size() > 64)
        return std::nullopt;
    const auto when = TextForms::parseMoment(fromSingleBytes(fields[0]));
    if (!when)
        return std::nullopt;
    const auto note = ScrambleText(fromSingleBytes(fields[1]), QStringLiteral("0"));
    if (!note)
        return std::nullopt;
    return QueuedReminder{*when, *note, fromSingleBytes(fields[2])};
}

} // namespace

namespace QueueFile {

QList<QueuedReminder> parse(const QByteArray &content)
{
    QList<QueuedReminder> entries;
    const QByteArrayView all(content);
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf("\r\n", start); // a lone line feed does not end a line
        if (end < 0)
            end = all.size();
        const QByteArrayView line = all.sliced(start, end - start);
        if (!line.isEmpty())
            if (auto entry = parseLine(line))
                entries.append(std::move(*entry));
        start = end + 2;
    }
    return entries;
}

QList<QueuedReminder> read(const QString &path)
{
    // Opened for writing without creating or truncating it: a file another
    // program still holds read-only, or one that is not there, gives nothing.
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
    ::close(fd);
    if (!regular)
        return {};
    // A queue of pending reminders is small; a huge file is not one, and is
    // refused before anything of it is read.
    if (st.st_size > kMaxSize) {
        std::fprintf(stderr, "pingalo: the queue file %s is larger than %lld bytes; not read\n",
                     name.constData(), static_cast<long long>(kMaxSize));
        return {};
    }
    // Read whole into memory, never mapped: its writer may still truncate or
    // rewrite it while it is parsed.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.read(kMaxSize + 1);
    if (content.size() > kMaxSize)
        return {}; // it grew past the limit while being read
    return parse(content);
}

bool isDue(const QueuedReminder &entry, const QDateTime &now)
{
    const qint64 days = TextForms::daysBetween(now.date(), entry.when.date());
    return days >= 0 && days <= 1 && TextForms::hoursBetween(now, entry.when) >= 0 &&
           TextForms::minutesBetween(now, entry.when) >= 0;
}

} // namespace QueueFile
