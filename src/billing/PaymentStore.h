#pragma once

#include "core/Money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// One class paid on a bill: its row number in the payment list, the class and
// the amount paid now.
struct PaymentLine {
    int item = 0;
    QString courseNo;
    Money amount;
};

// A payment as the payment window confirms it.
struct Payment {
    QString stdId;
    QString docNo; // the printed bill number
    QList<PaymentLine> lines;
    QString workingDate; // yyyymmdd: the bill's date and the classes' date of payment
    QString userId;
    // The total the user confirmed for the bill; the lines must add up to it when given.
    std::optional<Money> confirmedTotal;
    // The bill number the dialog proposed. Confirmed unchanged, the bill gets the counter's
    // next number as it stands when the bill is written, which is the proposal unless another
    // desk took it meanwhile; a number typed otherwise is kept as typed.
    QString proposedDocNo = {};
};

struct PaymentResult {
    enum class Status {
        Posted,
        // A registration was gone, or its balance was below what the lines pay on it:
        // nothing written.
        CourseChanged,
        // No line above zero: nothing written.
        NothingToPay,
        // The lines do not add up to the total confirmed for the bill: nothing written.
        TotalChanged,
    };
    Status status = Status::Posted;
    QString stmId;
    // The sum of the lines written: the bill's StmNetAmt and printed total.
    Money total;
    // The school's address for the bill, from the settings row.
    QString addressText;
    // The bill number stored, to print on the bill.
    QString docNo;
};

namespace PaymentStore {

// Writes one payment as a bill: the bill counter, the bill, its lines and the
// registrations' paid amounts, all in one transaction. Lines not above zero are
// skipped; the lines of one class together may pay at most its balance, and all of
// them must add up to the total the user confirmed, when one is given. Throws DbError
// when the database fails, or when the proposed bill number was taken and this year's
// numbers are used up; nothing is written then. The Buddhist-era year of numberingDate
// (the window passes the clock's day) starts the first bill key ever and the counter's
// next bill number.
PaymentResult post(const Payment& payment, const QDate& numberingDate);

// The address text printed on a bill: ShopAddr, then a line with the
// telephone and fax when either is set.
QString addressText(const QString& shopAddr, const QString& shopTel, const QString& shopFax);

} // namespace PaymentStore
