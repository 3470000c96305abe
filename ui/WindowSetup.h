#pragma once

#include "TitleBar.h"

class QWidget;

// Gives a window its fixed client size, no system frame and the skinned title bar
// across its top (the title bar draws inside the client area; the form leaves room
// for it), and centres it on the screen.
void setupFixedWindow(QWidget *window, int width, int height,
                      TitleBar::Buttons buttons = TitleBar::Menu | TitleBar::Close,
                      int titleHeight = 30);

// Centres a window on the screen it is on.
void centreOnScreen(QWidget *window);
