#pragma once

#include "gui/list/Editor.h"

class ProgramSettings;
class QWidget;

// The windows of other parts that the note maker's menus open over it, made
// here so that the note maker knows none of them: the shell hands it these.
namespace OwnedWindows {

// The About box over `owner`, modal; the one on screen (the tray's, say) is
// brought up instead, as there is only ever one.
void showAbout(QWidget *owner);
// The reminder list, modal to `owner` alone so that the help it opens can be used.
void showList(const Editor::Services &services, QWidget *owner);
// The password window over `owner`; true when it saved a password.
bool setPassword(ProgramSettings &settings, QWidget *owner);

} // namespace OwnedWindows
