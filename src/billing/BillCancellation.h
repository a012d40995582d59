#pragma once

#include <QString>

// Takes a bill back: flags it cancelled by the user and lowers the paid amount of
// every registration it paid by that line's amount. Runs in one transaction and
// throws DbError on failure, leaving the bill valid and every paid amount as it was.
namespace BillCancellation {

enum class Outcome {
    Cancelled,
    // The bill was no longer valid (cancelled or removed elsewhere): nothing written.
    NotValid,
};

Outcome cancel(const QString& stmId, const QString& userId);

} // namespace BillCancellation
