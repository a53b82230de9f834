#pragma once

class QWidget;

// Moves a window, frame included, to the middle of the screen it is on.
void centreOnScreen(QWidget *window);
