#pragma once

// A crash must not leave the notes in a core file: the program and
// pingalo-ctl switch core dumps off for themselves before they read anything.
namespace CoreDumps {

// No core file of this process, whatever the shell's limit or the system's
// crash handler: the process is not dumpable and its core size limit is 0.
void switchOff();

} // namespace CoreDumps
