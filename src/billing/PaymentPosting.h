#pragma once

#include "library/Money.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// One class paid on a bill: its row number in the payment list, the class and
// the amount paid now.
struct PaymentLine {
    int item = 0;
    QString courseNo;
    Money amount;
};

struct PaymentResult {
    enum class Status {
        Posted,
        // A registration was gone or its balance was below the amount: nothing written.
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
};

// Writes one payment as a bill: the bill counter, the bill, its lines and the
// registrations' paid amounts, all in one transaction. Lines not above zero are
// skipped; the others must add up to the total the user confirmed, when given.
// Throws DbError when the database fails; nothing is written then.
class PaymentPosting {
public:
    PaymentPosting(QString stdId, QString docNo, QList<PaymentLine> lines,
                   std::optional<Money> confirmedTotal = std::nullopt);

    PaymentResult post();

    // Called with the line's item number just before its registration is updated.
    std::function<void(int item)> beforeRegistrationUpdate;

    // The address text printed on a bill: ShopAddr, then a line with the
    // telephone and fax when either is set.
    static QString addressText(const QString& shopAddr, const QString& shopTel,
                               const QString& shopFax);

private:
    QString m_stdId;
    QString m_docNo;
    QList<PaymentLine> m_lines;
    std::optional<Money> m_confirmedTotal;
};
