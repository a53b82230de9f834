#pragma once

#include <QString>
#include <optional>

// Asks for the password on the terminal of standard input, showing the prompt
// on standard error and not echoing what is typed. Nullopt when nothing could
// be read (end of input).
std::optional<QString> askPasswordOnTerminal(const QString &prompt);
