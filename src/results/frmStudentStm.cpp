#include "results/frmStudentStm.h"

#include "core/Recordset.h"
#include "frame/Library.h"

frmStudentStm::frmStudentStm(QWidget* parent)
    : HistoryDialog({{QStringLiteral("วันที่ชำระเงิน"), 1300, Qt::AlignLeft},
                     {QStringLiteral("เลขที่ใบเสร็จ"), 1200, Qt::AlignHCenter},
                     {QStringLiteral("คอร์ส"), 3800, Qt::AlignLeft},
                     {QStringLiteral("ระดับ"), 900, Qt::AlignHCenter},
                     {QStringLiteral("วิชา"), 900, Qt::AlignHCenter},
                     {QStringLiteral("จำนวนเงิน"), 1200, Qt::AlignRight},
                     {QStringLiteral("ยอดคงเหลือ"), 1200, Qt::AlignRight}},
                    parent) {}

void frmStudentStm::InitData(const QString& stdId, const QString& title) {
    begin(title);
    Recordset rs = Library::OpenRecordset(
        QStringLiteral("Select StmDate, StmDocNo, CourseName, CourseLevel, Subject, StmAmt, "
                       "StmOBal From qStatementCourse Where StdID = ? And IsCancel = '0' "
                       "Order By StmID, CourseNo"),
        {stdId});
    for (; !rs.isEOF(); rs.MoveNext()) {
        const Money paid = rs.money(QStringLiteral("StmAmt"));
        const Money owed = rs.money(QStringLiteral("StmOBal"));
        ListView::addRow(
            ListView1, {Library::KeyToThaiDate(rs.text(QStringLiteral("StmDate"))),
                        rs.text(QStringLiteral("StmDocNo")), rs.text(QStringLiteral("CourseName")),
                        rs.text(QStringLiteral("CourseLevel")), rs.text(QStringLiteral("Subject")),
                        paid.toText(true), (owed - paid).toText(true)});
    }
}
