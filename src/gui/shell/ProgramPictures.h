#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The program's own pictures, built into it.
namespace ProgramPictures {

// The program's icon, sharp from 16 to 256 pixels; every window carries it.
QIcon icon();
// The pointing hand over a link, its hot spot on the fingertip.
QCursor handCursor();
QPixmap logo();
QPixmap splash();

} // namespace ProgramPictures
