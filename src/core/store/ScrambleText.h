#pragma once

#include <QString>
#include <optional>

// The reversible scrambling of note texts and the password: each character's
// Windows-1252 code has the code of the key character at its position added
// (mode "1") or taken away (any other mode). The key is 975 printable
// characters and repeats for longer texts.
//
// No result (nullopt) when a character has no Windows-1252 code, when a result
// code falls outside 0..255 (scrambling a high accented letter, unscrambling a
// text that was never scrambled), or when the text is longer than 32,767
// characters. The result has as many characters as the text. Without a
// result, `failedAt` (when given) receives the position, from 0, of the
// character that could not be taken, or the text's length when it is too long.
std::optional<QString> ScrambleText(const QString &text, const QString &mode,
                                    qsizetype *failedAt = nullptr);

// The longest text that can be scrambled: the position counter is a signed
// 16-bit number.
constexpr qsizetype kScrambleMaxLength = 32'767;

// The key's length; characters from 976 on use the key from its start again.
inline constexpr int kScrambleKeyLength = 975;
// The code of the key character used at position `position` (counted from 1).
int scrambleKeyCode(int position);
