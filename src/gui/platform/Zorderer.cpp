#include "gui/platform/Zorderer.h"

#include <QWidget>

void MakeTopmost(QWidget *window)
{
    const bool shown = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (shown) // changing the flags of a shown window hides it
        window->show();
}
