#pragma once

#include "core/Money.h"

#include <QDate>
#include <QString>

// One row of other income and expenses as the window saves it.
struct ExpenseEntry {
    QString expId;
    QString description;
    Money received;
    Money paid;
};

// Writes of the cash book of other income and expenses. Each throws DbError on
// failure and leaves the stored rows as they were.
namespace ExpenseStore {

// The code a new row would get now: the Buddhist-era year of numberingDate (the window
// passes the clock's day), then the next running number of that year.
QString proposedNumber(const QDate& numberingDate);

// Adds the row for the day under the next free code of numberingDate's year, drawn
// inside the transaction, and returns that code. A year whose codes are used up throws
// DbError.
QString add(const ExpenseEntry& entry, const QString& day, const QString& userId,
            const QDate& numberingDate);

// Rewrites the description, the amounts and the user; the code and the day stay.
// False (nothing written) when the row is no longer stored.
bool update(const ExpenseEntry& entry, const QString& userId);

// False (nothing written) when the row is no longer stored.
bool remove(const QString& expId);

} // namespace ExpenseStore
