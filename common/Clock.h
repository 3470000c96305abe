#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

// The local clock, replaceable by tests.
namespace Clock {
QDateTime now();
// Sets a fixed time source (tests); an empty function restores the system clock.
void setSource(std::function<QDateTime()> source);
} // namespace Clock

// Receipt number "yyyyMMddhhmmss" of the given (default: current) local time.
QString receiptNumber(const QDateTime &when = Clock::now());
// Time text "yyyy-MM-dd hh:mm:ss".
QString timeText(const QDateTime &when = Clock::now());
