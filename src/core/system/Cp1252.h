#pragma once

#include <QChar>

// The Windows-1252 character set, by our own table (Qt has no codec for it
// without ICU). The five codes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) stand for the control characters of the same number.
namespace Cp1252 {

// The code 0..255 of a character, or -1 when Windows-1252 cannot hold it.
int code(QChar character);

// The character of a code 0..255.
QChar character(int code);

} // namespace Cp1252
