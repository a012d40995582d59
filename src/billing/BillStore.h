#pragma once

#include <QString>

// Takes a bill back: flags it cancelled by the user and lowers the paid amount of
// every registration it paid by that line's amount; the registration's paid date becomes
// that of its latest bill still valid. Runs in one transaction and
// throws DbError on failure, leaving the bill valid and every paid amount as it was.
namespace BillStore {

enum class Outcome {
    Cancelled,
    // The bill was cancelled already (at another desk): nothing written.
    AlreadyCancelled,
    // No bill of that code, bill number and pupil is stored any more: nothing written.
    Gone,
};

// Cancels only the bill that the caller shows: the one of that code, bill number and
// pupil, while it is still valid.
Outcome cancel(const QString& stmId, const QString& docNo, const QString& stdId,
               const QString& userId);

} // namespace BillStore
