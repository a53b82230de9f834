#pragma once

#include <QMessageBox>

class QWidget;

// The program's message boxes, all titled "Pingalo!" with one OK button, or
// Yes and No for a question. Each returns when the box is dismissed.
namespace MessageBoxes {

inline const QString kTitle = QStringLiteral("Pingalo!");

void exclamation(QWidget *parent, const QString &text);
void information(QWidget *parent, const QString &text);
void critical(QWidget *parent, const QString &text);
// Asks with Yes and No; true only when the answer is Yes.
bool askYesNo(QWidget *parent, QMessageBox::Icon icon, const QString &text);

} // namespace MessageBoxes
