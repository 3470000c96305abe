#include "FormLook.h"

#include "Fonts.h"
#include "TitleBar.h"

#include <QLabel>

void useSongFont(QWidget *window, int pixels) {
    const QFont font = pixelFont(QStringLiteral("宋体"), pixels);
    for (QWidget *control : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<TitleBar *>(control))
            control->setFont(font);
    }
}

void paintRed(QLabel *label) {
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(colours);
}
