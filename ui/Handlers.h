#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs an event handler. An error it raises (data layer, number conversion,
// printing) ends the handler at that step and is shown in the error box; the
// program goes on. This is the one place where such errors are caught.
void runHandler(QWidget *owner, const std::function<void()> &handler);

// Connects a signal to a handler of the window, through runHandler().
template <typename Sender, typename Signal, typename Window>
QMetaObject::Connection connectHandler(Sender *sender, Signal signal, Window *window,
                                       void (Window::*handler)()) {
    return QObject::connect(sender, signal, window, [window, handler]() {
        runHandler(window, [&] { (window->*handler)(); });
    });
}
