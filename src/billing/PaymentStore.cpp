#include "billing/PaymentStore.h"

#include "core/Database.h"
#include "core/LibraryCore.h"
#include "core/Numbering.h"

#include <QHash>

namespace PaymentStore {
namespace {

// A line checked against its registration as it stands inside the transaction.
struct CheckedLine {
    PaymentLine line;
    Money owedBefore; // the class's balance before this line
    Money paidAfter;  // the class's paid total once this line is written
};

struct ClassAccount {
    Money price;
    Money paid; // as stored, then with the lines checked so far
};

// The lines above zero, each within what is still owed on its class once the lines
// before it are counted; false when a registration is gone or would be overpaid.
bool checkLines(const Payment& payment, QList<CheckedLine>& checked) {
    Connection& db = Connection::shared();
    QHash<QString, ClassAccount> registrations;
    for (const PaymentLine& line : payment.lines) {
        if (line.amount <= Money())
            continue;
        auto registration = registrations.find(line.courseNo);
        if (registration == registrations.end()) {
            Query stored = db.exec(
                QStringLiteral("SELECT ct.CoursePrice, sc.CoursePayAmt FROM StudentCourse sc "
                               "JOIN CourseTable ct ON ct.CourseNo = sc.CourseNo "
                               "WHERE sc.StdID = ? AND sc.CourseNo = ?"),
                {payment.stdId, line.courseNo});
            if (!stored.next())
                return false;
            registration =
                registrations.insert(line.courseNo, {Money::fromVariant(stored.value(0)),
                                                     Money::fromVariant(stored.value(1))});
        }
        const Money owed = registration->price - registration->paid;
        if (line.amount > owed)
            return false;
        registration->paid += line.amount;
        checked << CheckedLine{line, owed, registration->paid};
    }
    return true;
}

// The settings row: the bill's address, and the bill counter moved to the number used
// when numbers are proposed. A proposal confirmed unchanged becomes the counter's next
// number as it stands now, so that two desks confirming at once get two numbers.
QString countBill(const Payment& payment, const QString& numberingYY, QString& docNo) {
    Connection& db = Connection::shared();
    docNo = payment.docNo;
    Query setup = db.exec(QStringLiteral("SELECT rowid, ShopAddr, ShopTel, ShopFax, "
                                         "ShopBiLLAutoRun, ShopBiLLYY, ShopBiLLNo FROM CtrlSetup "
                                         "LIMIT 1"));
    if (!setup.next())
        return {};
    const QString address = addressText(setup.value(1).toString(), setup.value(2).toString(),
                                        setup.value(3).toString());
    if (setup.isNull(4) || setup.value(4).toString() == QStringLiteral("0"))
        return address;
    const QVariant row = setup.value(0);
    const QVariant storedYY = setup.value(5);
    if (!payment.proposedDocNo.isEmpty() && payment.docNo == payment.proposedDocNo)
        docNo =
            Numbering::nextBillNumber(numberingYY, storedYY.toString(), setup.value(6).toString());
    const QString docYY = docNo.left(2);
    const QVariant yy =
        storedYY.isNull() || storedYY.toString().trimmed() != docYY ? QVariant(docYY) : storedYY;
    setup = Query();
    db.exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLYY = ?, ShopBiLLNo = ? WHERE rowid = ?"),
            {yy, docNo.right(5), row});
    return address;
}

} // namespace

QString addressText(const QString& shopAddr, const QString& shopTel, const QString& shopFax) {
    QString text = shopAddr;
    const bool hasTel = !shopTel.trimmed().isEmpty();
    const bool hasFax = !shopFax.trimmed().isEmpty();
    if (hasTel || hasFax)
        text += QStringLiteral("\r\n");
    if (hasTel)
        text += QStringLiteral("โทร. ") + shopTel;
    if (hasFax)
        text += QStringLiteral("  แฟกซ์. ") + shopFax;
    return text;
}

PaymentResult post(const Payment& payment, const QDate& numberingDate) {
    Connection& db = Connection::shared();
    Transaction transaction;
    PaymentResult result;

    // Another workstation may have paid or removed a class since the list was
    // loaded: every amount is checked against the balance stored now.
    QList<CheckedLine> lines;
    if (!checkLines(payment, lines)) {
        result.status = PaymentResult::Status::CourseChanged;
        return result;
    }
    // A bill of nothing, or of another amount than the one confirmed, is never written.
    if (lines.isEmpty()) {
        result.status = PaymentResult::Status::NothingToPay;
        return result;
    }
    for (const CheckedLine& checked : std::as_const(lines))
        result.total += checked.line.amount;
    if (payment.confirmedTotal && result.total != *payment.confirmedTotal) {
        result.status = PaymentResult::Status::TotalChanged;
        return result;
    }

    const QString yy = Library::BuddhistYY(numberingDate);
    result.stmId = Numbering::takeAfterLargest(QStringLiteral("Statement"), QStringLiteral("StmID"),
                                               yy + QStringLiteral("000001"), 8);
    result.addressText = countBill(payment, yy, result.docNo);
    db.exec(QStringLiteral("INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, "
                           "IsCancel, UserID, UserCancelID) VALUES (?, ?, ?, ?, ?, '0', ?, '')"),
            {result.stmId, payment.workingDate, payment.stdId, result.total.toVariant(),
             result.docNo, payment.userId});
    for (const CheckedLine& checked : std::as_const(lines)) {
        db.exec(QStringLiteral("INSERT INTO StatementSub (StmID, StmItem, CourseNo, StmAmt, "
                               "StmOBal) VALUES (?, ?, ?, ?, ?)"),
                {result.stmId, checked.line.item, checked.line.courseNo,
                 checked.line.amount.toVariant(), checked.owedBefore.toVariant()});
        db.exec(QStringLiteral("UPDATE StudentCourse SET CoursePayAmt = ?, CoursePayDate = ? "
                               "WHERE StdID = ? AND CourseNo = ?"),
                {checked.paidAfter.toVariant(), payment.workingDate, payment.stdId,
                 checked.line.courseNo});
    }
    transaction.commit();
    return result;
}

} // namespace PaymentStore
