#include "gui/shell/OwnedWindows.h"

#include "gui/password/PassFormCreate.h"
#include "gui/shell/About.h"

namespace OwnedWindows {

void showAbout(QWidget *owner)
{
    if (About *open = About::openBox()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto *about = new About(owner);
    about->exec();
}

void showList(const Editor::Services &services, QWidget *owner)
{
    auto *list = new Editor(services, owner);
    list->setWindowModality(Qt::WindowModal);
    list->exec(); // destroys itself when it closes
}

bool setPassword(ProgramSettings &settings, QWidget *owner)
{
    bool saved = false;
    auto *window = new PassFormCreate(settings, owner);
    QObject::connect(window, &PassFormCreate::passwordSaved, [&saved] { saved = true; });
    window->exec(); // destroys itself when it closes
    return saved;
}

} // namespace OwnedWindows
