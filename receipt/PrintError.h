#pragma once

#include <QString>
#include <stdexcept>

// A failure of the printing layer: no printer to print on, a printer that refuses
// the job, an output that cannot be written. what() is the UTF-8 message for the
// error box.
class PrintError : public std::runtime_error {
public:
    explicit PrintError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};
