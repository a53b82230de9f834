#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: the logo, the version, three credit lines and the link to
// the program's web site, which opens in the user's browser.
class About : public QDialog {
    Q_OBJECT

public:
    static inline const QString kWebAddress = QStringLiteral("https://pingalo.example.org/");

    explicit About(QWidget *owner);

    // The About box on screen, whoever opened it; null when none is.
    static About *openBox();

    QLabel *Image1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    QPushButton *OKBttn;

    void Label4_Click();
    void OKBttn_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
