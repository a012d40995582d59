#pragma once

#include "core/Money.h"

#include <QString>

// The writes of the registration window. Each runs in its own transaction and
// throws DbError when the database fails.
namespace RegistrationStore {

enum class Addition {
    Added,
    Duplicate, // the pair is registered already, from before or from another desk meanwhile
    ClassGone, // the class was deleted meanwhile; nothing written
};

// Registers a student on a class: paid 0, no grade, registered and "paid" on
// the working date.
Addition add(const QString& stdId, const QString& courseNo, const QString& workingDate);

enum class Removal {
    Removed,
    Paid, // something is paid on it now; the row stays
    Gone, // no such registration any more
};

struct RemoveResult {
    Removal outcome = Removal::Removed;
    Money paid; // the amount paid now, for Paid
};

// Removes a registration only while nothing is paid on it in the database.
RemoveResult remove(const QString& stdId, const QString& courseNo);

} // namespace RegistrationStore
