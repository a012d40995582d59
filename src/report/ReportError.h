#pragma once

#include <QString>
#include <stdexcept>

// A report file that is missing or malformed, or a layout its data does not fit.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
