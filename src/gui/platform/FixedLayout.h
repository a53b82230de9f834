#pragma once

#include <QString>
#include <QWidget>
#include <algorithm>

// Windows whose controls sit at fixed places, in pixels at 96 dots per inch
// (Qt scales them on denser screens). Their type is the desktop's, at most
// 8 points, the size those places were drawn for.
namespace FixedLayout {

inline constexpr qreal kMostPoints = 8.0;

// Gives a window the type its fixed places were drawn for.
void useFont(QWidget *window);

// Places a control at its left and top, as wide and as tall as given or as
// its type needs, whichever is more, so that nothing is cut off. (A text box
// has no width of its own to need: the one given stands.)
template<class Widget>
Widget *place(Widget *widget, const char *name, int left, int top, int width, int height,
              const QString &toolTip = QString())
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, std::max(width, widget->minimumSizeHint().width()),
                        std::max(height, widget->sizeHint().height()));
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

} // namespace FixedLayout
