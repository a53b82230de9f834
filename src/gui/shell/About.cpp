#include "gui/shell/About.h"

#include "gui/platform/FixedLayout.h"
#include "gui/platform/WindowPlacement.h"
#include "gui/shell/ProgramPictures.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

namespace {

// Placements in twips, as the box was drawn; 15 twips make a pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QLabel *centredLabel(QWidget *parent, const char *name, const QString &text, const QRect &place)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    // One line of the desktop's font: as tall as the font needs, centred on its place.
    const int height = std::max(place.height(), label->sizeHint().height());
    label->setGeometry(place.x(), place.center().y() - height / 2, place.width(), height);
    return label;
}

} // namespace

About::About(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Pingalo! Vantor"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips(0, 0, 4575, 3255).size());
    FixedLayout::useFont(this);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFrameShape(QFrame::Box);
    Image1->setLineWidth(1);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setGeometry(twips(120, 120, 3810, 945));
    Image1->setPixmap(ProgramPictures::logo());

    Label2 = centredLabel(this, "Label2",
                          QStringLiteral("Version %1").arg(QStringLiteral(PINGALO_VERSION)),
                          twips(360, 1200, 3855, 195));
    Label3 = centredLabel(this, "Label3", QStringLiteral("Reminders for your desktop"),
                          twips(810, 1440, 2940, 195));
    Label4 = centredLabel(this, "Label4", QStringLiteral("pingalo.example.org"),
                          twips(1245, 1680, 2085, 195));
    QFont link = Label4->font();
    link.setUnderline(true);
    Label4->setFont(link);
    QPalette palette = Label4->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 192));
    Label4->setPalette(palette);
    Label4->setCursor(ProgramPictures::handCursor());
    Label4->setToolTip(kWebAddress);
    Label4->installEventFilter(this);
    Label5 = centredLabel(this, "Label5", QStringLiteral("Made with Qt and SQLite"),
                          twips(945, 1920, 2670, 195));
    Label6 =
        centredLabel(this, "Label6", QStringLiteral("Thank you!"), twips(1590, 2160, 1395, 195));

    OKBttn = new QPushButton(QStringLiteral("&OK"), this);
    OKBttn->setObjectName(QStringLiteral("OKBttn"));
    OKBttn->setGeometry(twips(1740, 2520, 1095, 375));
    OKBttn->setDefault(true);
    OKBttn->setFocus();
    connect(OKBttn, &QPushButton::clicked, this, &About::OKBttn_Click);
}

void About::Label4_Click()
{
    QDesktopServices::openUrl(QUrl(kWebAddress));
}

void About::OKBttn_Click()
{
    close();
}

bool About::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label4 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
        Label4->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
        Label4_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void About::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Four thin lines frame the text below the logo.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    const QRect area = twips(120, 1140, 4335, 1260);
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.drawLine(area.topRight(), area.bottomRight());
}

void About::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

About *About::openBox()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        if (auto *about = qobject_cast<About *>(window); about && about->isVisible())
            return about;
    return nullptr;
}
