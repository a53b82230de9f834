// Scrambling both ways on any Windows-1252 text: whatever scrambles comes back
// unchanged, whatever unscrambles scrambles back to the same text, and the
// result always has the length of the input.
#include "core/store/ScrambleText.h"
#include "core/system/Cp1252.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text;
    for (size_t i = 0; i < size; ++i)
        text.append(Cp1252::character(data[i]));
    if (const auto scrambled = ScrambleText(text, QStringLiteral("1"))) {
        if (scrambled->size() != text.size() ||
            ScrambleText(*scrambled, QStringLiteral("0")) != text)
            std::abort();
    }
    if (const auto plain = ScrambleText(text, QStringLiteral("0"))) {
        if (plain->size() != text.size() || ScrambleText(*plain, QStringLiteral("1")) != text)
            std::abort();
    }
    // Characters outside Windows-1252 fail, never crash.
    (void)ScrambleText(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)),
                       QStringLiteral("1"));
    return 0;
}
