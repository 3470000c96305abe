#pragma once

#include <QString>

// Writes the desktop shortcut that starts the program in its own directory,
// replacing the previous one. A failure goes unnoticed.
void writeDesktopShortcut();

// Where the shortcut is written.
QString desktopShortcutPath();
