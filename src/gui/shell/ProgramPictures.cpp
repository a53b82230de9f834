#include "gui/shell/ProgramPictures.h"

namespace ProgramPictures {

QIcon icon()
{
    QIcon result;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        result.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/pingalo.png").arg(size),
                       QSize(size, size));
    return result;
}

QCursor handCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/cursors/hand.png")), 12, 1);
}

QPixmap logo()
{
    return QPixmap(QStringLiteral(":/logo.png"));
}

QPixmap splash()
{
    return QPixmap(QStringLiteral(":/splash.png"));
}

} // namespace ProgramPictures
