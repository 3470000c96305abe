#pragma once

#include <QString>
#include <stdexcept>

// Any failure of the data layer: opening data.mdb, a statement, a write, a value
// that does not fit its column. what() is the UTF-8 message for the error box.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};
