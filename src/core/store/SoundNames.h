#pragma once

#include <QStringList>

// The reminder sounds the program has, by name: one wave file each in the
// "snds" folder. Kept apart from the player so that code without a window
// (the creation rules, the command-line tool) knows them too.
namespace SoundNames {

// The sounds offered to the user, in list order ("No Sound" not included).
QStringList names();

// The sound stored for a reminder whose sound was not chosen: the text the
// note maker's sound box shows then. It is played as any other name (its
// file is not among the program's, so the bell rings).
inline const QString kNotChosen = QStringLiteral("Sounds");

} // namespace SoundNames
