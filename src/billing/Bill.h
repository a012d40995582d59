#pragma once

#include "core/Money.h"

#include <QDate>
#include <QString>
#include <memory>

class Report;

// The printed bill of a stored payment, and its number: no window involved, so a
// payment, a reprint or a cancellation can use it alike.
namespace Bill {

// What the bill number dialog starts with, from the settings row.
struct Proposal {
    // The next number of this year's series when numbering is automatic; empty
    // when the user types it (or there is no settings row).
    QString docNo;
    // Whether the print box starts ticked.
    bool print = false;
    // Why no number is proposed although numbering is automatic: this year's are used up.
    QString usedUp;
};
// The series is yy-nnnnn, yy the last two digits of today's Buddhist-era year;
// it starts again at 00001 when the stored year is another.
Proposal propose(const QDate& today);

// The texts printed on a bill besides its lines.
struct Header {
    QString stmId;
    QString addressText; // the school's address; CR LF between lines
    QString studentName;
    QString studentAddress;
    QString docNo;
    Money total;
};
// Bill.rpt with the bill's lines and formula fields, ready to print. Throws
// ReportError (or DbError) when it cannot be made.
std::unique_ptr<Report> document(const Header& header, const QDate& printedOn);
// Prints the bill (every page of a bill too long for page 1), waits and offers to
// print it again until the user declines. False (after an error box naming the
// bill number) when it could not be printed.
bool PrintBiLL(const Header& header);

} // namespace Bill
