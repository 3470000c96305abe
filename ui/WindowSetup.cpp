#include "WindowSetup.h"

#include "TitleBar.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void setupFixedWindow(QWidget *window, int width, int height, TitleBar::Buttons buttons,
                      int titleHeight) {
    window->setFixedSize(width, height);
    window->setWindowFlag(Qt::FramelessWindowHint, true);
    auto *bar = new TitleBar(window, buttons, titleHeight);
    bar->setObjectName(QStringLiteral("TitleBar"));
    centreOnScreen(window);
}

void centreOnScreen(QWidget *window) {
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}
