#pragma once

class QLabel;
class QWidget;

// The look of the administration windows, set in code: a style sheet on a window
// would replace the read-only colours that the login gives its boxes.

// Gives the controls of a window the 宋体 face at `pixels`; the skinned title bar
// keeps its own font.
void useSongFont(QWidget *window, int pixels = 15);

// Shows a label's text in red.
void paintRed(QLabel *label);
