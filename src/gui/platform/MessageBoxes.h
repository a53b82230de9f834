#pragma once

#include <QMessageBox>

class QWidget;

// The program's message boxes, all titled "Pingalo!", and its one input box.
// Each returns when the box is dismissed.
namespace MessageBoxes {

inline const QString kTitle = QStringLiteral("Pingalo!");
inline const QString kInputTitle = QStringLiteral("Pingalo! Vantor");
// Said, with the exclamation icon, when a setting could not be written.
inline const QString kSettingsNotWritten =
    QStringLiteral("Pingalo! could not write its settings. Nothing was changed.");

// One OK button.
void exclamation(QWidget *parent, const QString &text);
void information(QWidget *parent, const QString &text);
void critical(QWidget *parent, const QString &text);
// The information box without waiting for it: a note that blocks nothing. It
// deletes itself when dismissed.
QMessageBox *informationWithoutWaiting(const QString &text);

// Yes and No, the question icon unless another is given: true for Yes.
bool yesNo(QWidget *parent, const QString &text, QMessageBox::Icon icon = QMessageBox::Question);
// OK and Cancel with the exclamation icon: true for OK.
bool okCancel(QWidget *parent, const QString &text);

// A one-line input box titled "Pingalo! Vantor" that proposes `preset`: the
// answer, or the empty text when the user cancels.
QString input(QWidget *parent, const QString &prompt, const QString &preset);

} // namespace MessageBoxes
