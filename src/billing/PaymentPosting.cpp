#include "billing/PaymentPosting.h"

#include "library/Database.h"
#include "library/Library.h"
#include "library/Numbering.h"
#include "library/Recordset.h"
#include "library/Seams.h"

namespace {

// A line checked against the registration as it stands inside the transaction.
struct CheckedLine {
    PaymentLine line;
    Money balanceBefore;
};

} // namespace

PaymentPosting::PaymentPosting(QString stdId, QString docNo, QList<PaymentLine> lines,
                               std::optional<Money> confirmedTotal)
    : m_stdId(std::move(stdId)), m_docNo(std::move(docNo)), m_lines(std::move(lines)),
      m_confirmedTotal(confirmedTotal) {}

QString PaymentPosting::addressText(const QString& shopAddr, const QString& shopTel,
                                    const QString& shopFax) {
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

PaymentResult PaymentPosting::post() {
    Transaction transaction;
    PaymentResult result;

    // Another workstation may have paid or removed a class since the list was
    // loaded: every amount is checked against the balance stored now.
    QList<CheckedLine> checked;
    for (const PaymentLine& line : std::as_const(m_lines)) {
        if (line.amount <= Money())
            continue;
        const Recordset registration = Recordset::open(
            QStringLiteral("SELECT sc.CoursePayAmt, ct.CoursePrice FROM StudentCourse sc "
                           "JOIN CourseTable ct ON ct.CourseNo = sc.CourseNo "
                           "WHERE sc.StdID = ? AND sc.CourseNo = ?"),
            {m_stdId, line.courseNo}, true);
        if (registration.isEmpty()) {
            result.status = PaymentResult::Status::CourseChanged;
            return result;
        }
        const Money balance = registration.money(QStringLiteral("CoursePrice")) -
                              registration.money(QStringLiteral("CoursePayAmt"));
        if (line.amount > balance) {
            result.status = PaymentResult::Status::CourseChanged;
            return result;
        }
        checked << CheckedLine{line, balance};
        result.total += line.amount;
    }
    // A bill of nothing, or of another amount than the one confirmed, is never written.
    if (checked.isEmpty()) {
        result.status = PaymentResult::Status::NothingToPay;
        return result;
    }
    if (m_confirmedTotal && result.total != *m_confirmedTotal) {
        result.status = PaymentResult::Status::TotalChanged;
        return result;
    }

    const QString yy = Library::BuddhistYY(Seams::today());
    result.stmId = Numbering::nextAfterLargest(QStringLiteral("Statement"), QStringLiteral("StmID"),
                                               yy + QStringLiteral("000001"), 8);

    Recordset setup = Recordset::open(QStringLiteral("SELECT * FROM CtrlSetup"), {}, false);
    if (!setup.isEmpty()) {
        result.addressText = addressText(setup.text(QStringLiteral("ShopAddr")),
                                         setup.text(QStringLiteral("ShopTel")),
                                         setup.text(QStringLiteral("ShopFax")));
        if (!setup.isNull(QStringLiteral("ShopBiLLAutoRun")) &&
            setup.text(QStringLiteral("ShopBiLLAutoRun")) != QStringLiteral("0")) {
            const QString docYY = m_docNo.left(2);
            if (setup.isNull(QStringLiteral("ShopBiLLYY")) ||
                setup.text(QStringLiteral("ShopBiLLYY")).trimmed() != docYY)
                setup.setValue(QStringLiteral("ShopBiLLYY"), docYY);
            setup.setValue(QStringLiteral("ShopBiLLNo"), m_docNo.right(5));
            setup.Update();
        }
    }

    Recordset bill = Recordset::open(QStringLiteral("SELECT * FROM Statement WHERE StmID = ?"),
                                     {result.stmId}, false);
    bill.AddNew();
    bill.setValue(QStringLiteral("StmID"), result.stmId);
    bill.setValue(QStringLiteral("StmDate"), Library::gToday);
    bill.setValue(QStringLiteral("StdID"), m_stdId);
    bill.setValue(QStringLiteral("StmNetAmt"), result.total);
    bill.setValue(QStringLiteral("StmDocNo"), m_docNo);
    bill.setValue(QStringLiteral("IsCancel"), QStringLiteral("0"));
    bill.setValue(QStringLiteral("UserID"), Library::gUserID);
    bill.setValue(QStringLiteral("UserCancelID"), QStringLiteral(""));
    bill.Update();

    Recordset lines = Recordset::open(QStringLiteral("SELECT * FROM StatementSub WHERE StmID = ?"),
                                      {result.stmId}, false);
    for (const CheckedLine& entry : std::as_const(checked)) {
        lines.AddNew();
        lines.setValue(QStringLiteral("StmID"), result.stmId);
        lines.setValue(QStringLiteral("StmItem"), entry.line.item);
        lines.setValue(QStringLiteral("CourseNo"), entry.line.courseNo);
        lines.setValue(QStringLiteral("StmAmt"), entry.line.amount);
        lines.setValue(QStringLiteral("StmOBal"), entry.balanceBefore);
        lines.Update();

        if (beforeRegistrationUpdate)
            beforeRegistrationUpdate(entry.line.item);
        Recordset registration = Recordset::open(
            QStringLiteral("SELECT * FROM StudentCourse WHERE StdID = ? AND CourseNo = ?"),
            {m_stdId, entry.line.courseNo}, false);
        registration.setValue(QStringLiteral("CoursePayAmt"),
                              registration.money(QStringLiteral("CoursePayAmt")) +
                                  entry.line.amount);
        registration.setValue(QStringLiteral("CoursePayDate"), Library::gToday);
        registration.Update();
    }

    transaction.commit();
    return result;
}
