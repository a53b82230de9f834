#pragma once

class QWidget;

// Moves a window, frame included, to the middle of the screen it is on.
void centreOnScreen(QWidget *window);
// Moves a window, frame included, to the middle of another window (shown or
// hidden), or of the screen when there is none.
void centreOver(QWidget *window, const QWidget *over);
