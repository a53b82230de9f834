#include "core/system/Cp1252.h"

namespace {

// Codes 0x80..0x9F; the others are the Unicode characters of the same number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

} // namespace

namespace Cp1252 {

int code(QChar character)
{
    const char16_t u = character.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == u)
            return 0x80 + i;
    return -1;
}

QChar character(int code)
{
    if (code < 0 || code > 0xFF)
        return QChar(QChar::ReplacementCharacter);
    if (code >= 0x80 && code < 0xA0)
        return QChar(kHighControls[code - 0x80]);
    return QChar(char16_t(code));
}

} // namespace Cp1252
