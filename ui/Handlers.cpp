#include "Handlers.h"

#include "Messages.h"

#include <QWidget>
#include <exception>

void runHandler(QWidget *owner, const std::function<void()> &handler) {
    try {
        handler();
    } catch (const std::exception &e) {
        Messages::error(owner, QString::fromUtf8(e.what()));
    }
}
