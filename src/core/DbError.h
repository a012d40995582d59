#pragma once

#include <QString>
#include <stdexcept>

// A failing statement; what() carries the statement's purpose and the driver's text.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// Another desk held the file's lock for longer than a statement waits for it.
class DbBusyError : public DbError {
public:
    using DbError::DbError;
};

// The file holds no school: it does not exist, or it is empty.
class NoSchoolError : public DbError {
public:
    using DbError::DbError;
};
