#include "Clock.h"

namespace {
std::function<QDateTime()> &source() {
    static std::function<QDateTime()> s;
    return s;
}
} // namespace

QDateTime Clock::now() {
    return source() ? source()() : QDateTime::currentDateTime();
}

void Clock::setSource(std::function<QDateTime()> s) {
    source() = std::move(s);
}

QString receiptNumber(const QDateTime &when) {
    return when.toString(QStringLiteral("yyyyMMddhhmmss"));
}

QString timeText(const QDateTime &when) {
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
