#pragma once

class QWidget;

// Keeps a window above every other application's windows, while they are
// active too. Call before the window is first shown.
void MakeTopmost(QWidget *window);
