#pragma once

#include <QMessageBox>

class QWidget;

// The program's message boxes, all titled "Pingalo!" with one OK button
// unless said otherwise. Each returns when the box is dismissed.
namespace MessageBoxes {

inline const QString kTitle = QStringLiteral("Pingalo!");

void exclamation(QWidget *parent, const QString &text);
void information(QWidget *parent, const QString &text);
void critical(QWidget *parent, const QString &text);
// Yes and No; true for Yes.
bool askYesNo(QWidget *parent, const QString &text, QMessageBox::Icon icon);
// OK and Cancel with the exclamation icon; true for OK.
bool askOkCancel(QWidget *parent, const QString &text);

} // namespace MessageBoxes
