#include "gui/platform/FixedLayout.h"

namespace FixedLayout {

void useFont(QWidget *window)
{
    QFont font = window->font();
    if (font.pointSizeF() > kMostPoints) {
        font.setPointSizeF(kMostPoints);
        window->setFont(font);
    }
}

} // namespace FixedLayout
