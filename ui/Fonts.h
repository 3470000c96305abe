#pragma once

#include <QFont>
#include <QString>

// The Windows face names used by the windows and receipts (宋体, 黑体, …) have no
// fontconfig alias here: map them onto the Song and Hei faces that are installed.
void installFontSubstitutions();

// A font of the given face and pixel size.
QFont pixelFont(const QString &family, int pixels, bool bold = false);
