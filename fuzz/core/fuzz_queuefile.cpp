// The queue file's parser on any bytes: every entry it gives has a moment and
// a note that scrambles back to the bytes of the line it came from.
#include "core/store/ScrambleText.h"
#include "core/system/QueueFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QueuedReminder &entry : QueueFile::parse(content)) {
        if (!entry.when.isValid())
            std::abort();
        const auto again = ScrambleText(entry.note, QStringLiteral("1"));
        if (!again || again->size() != entry.note.size())
            std::abort();
        (void)QueueFile::isDue(entry, entry.when);
    }
    return 0;
}
