#include "gui/shell/SplashScreen.h"

#include "gui/platform/WindowPlacement.h"
#include "gui/shell/ProgramPictures.h"

#include <QKeyEvent>
#include <QLabel>

SplashScreen::SplashScreen(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("SplashScreen"));
    setWindowTitle(QStringLiteral("Pingalo! Vantor"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(352, 185);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(0, 0, 352, 185);
    picture->setPixmap(ProgramPictures::splash());

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setSingleShot(true);
    Timer1.setTimerType(Qt::PreciseTimer); // a coarse timer may close it 100 ms early
    Timer1.setInterval(kShowMs);
    connect(&Timer1, &QTimer::timeout, this, &SplashScreen::Timer1_Timer);
    Timer1.start();
}

void SplashScreen::Timer1_Timer()
{
    close();
}

void SplashScreen::keyPressEvent(QKeyEvent *event)
{
    // Escape does not cut the two seconds short.
    event->accept();
}

void SplashScreen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}
