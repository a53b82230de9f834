// The help file reader on any file: opening it, and reading its title, default
// topic, table of contents and every page it lists, never crashes or hangs.
// The first byte chooses whether the rest is a whole help file or the text of
// a table of contents.
#include "gui/platform/ChmArchive.h"

#include <QTemporaryFile>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (data[0] & 1) {
        (void)ChmArchive::parseSitemap(rest);
        return 0;
    }
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open())
        return 0;
    file.resize(0);
    file.seek(0);
    file.write(rest);
    file.flush();
    ChmArchive archive;
    if (!archive.open(file.fileName()))
        return 0;
    (void)archive.title();
    (void)archive.read(archive.defaultTopic());
    for (const ChmTopic &topic : archive.contents())
        (void)archive.read(ChmArchive::normalizedPath(topic.local));
    int pages = 0;
    for (const QString &name : archive.files())
        if (++pages <= 64)
            (void)archive.read(name);
    return 0;
}
