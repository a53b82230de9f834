#pragma once

#include <QString>

// The texts of pingalo-ctl's --help: the whole tool, and each command.
namespace CtlHelp {

QString general();
// A command's own help; empty for a command the tool does not have.
QString of(const QString &command);

} // namespace CtlHelp
