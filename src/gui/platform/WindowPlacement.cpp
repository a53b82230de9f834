#include "gui/platform/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

namespace {

void moveCentreTo(QWidget *window, const QPoint &centre)
{
    QRect frame = window->frameGeometry();
    frame.moveCenter(centre);
    window->move(frame.topLeft());
}

} // namespace

void centreOnScreen(QWidget *window)
{
    if (const QScreen *screen = window->screen())
        moveCentreTo(window, screen->availableGeometry().center());
}

void centreOver(QWidget *window, const QWidget *over)
{
    if (over)
        moveCentreTo(window, over->window()->frameGeometry().center());
    else
        centreOnScreen(window);
}
