#pragma once

#include <QDialog>
#include <QTimer>

// The start-up picture: a window without frame, centred on the screen, that
// closes itself 2,000 ms after it was loaded. It has no button.
class SplashScreen : public QDialog {
    Q_OBJECT

public:
    static constexpr int kShowMs = 2000;

    explicit SplashScreen(QWidget *owner);

    QTimer Timer1;
    void Timer1_Timer();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
