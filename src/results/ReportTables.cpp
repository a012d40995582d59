#include "results/ReportTables.h"

#include "core/Seams.h"
#include "frame/Library.h"
#include "platform/LibraryReports.h"

#include <iterator>

const QList<DailyReport>& dailyReports() {
    static const QList<DailyReport> reports = {
        {QStringLiteral("รายงาน รับ/จ่าย อื่นๆ"), QStringLiteral("rep12.rpt"),
         QStringLiteral("SELECT  * From   Expense   Where  ExpDate "),
         QStringLiteral("รายงาน รับ/จ่าย อื่นๆ ประจำวันที่  "),
         QStringLiteral("รายงาน รับ/จ่าย อื่นๆ ระหว่างวันที่  ")},
        {QStringLiteral("รายงานใบเสร็จรับเงิน"), QStringLiteral("rep10.rpt"),
         QStringLiteral(
             "SELECT  StdID, StmNetAmt, StmDocNo, StmDate, IsCancel, UserID, UserCancelID, StdName "
             "From   QStatementStudent Where StmDate "),
         QStringLiteral("รายงานใบเสร็จรับเงิน  ประจำวันที่  "),
         QStringLiteral("รายงานใบเสร็จรับเงิน  ระหว่างวันที่  ")},
        {QStringLiteral("รายงานการลงทะเบียนประจำวัน"), QStringLiteral("rep11.rpt"),
         QStringLiteral(
             "SELECT  StdID, StdName, CourseLevel, CourseRegDate, Subject, CoursePrice, CourseName "
             "From   QStudentCourse3 Where CourseRegDate "),
         QStringLiteral("รายงานการลงทะเบียน  ประจำวันที่  "),
         QStringLiteral("รายงานการลงทะเบียน  ระหว่างวันที่  ")},
        {QStringLiteral("รายงานการเข้าสอน"), QStringLiteral("rep14.rpt"),
         QStringLiteral("SELECT  * From   qTeacherTimeStamp   Where  StmDate "),
         QStringLiteral("รายงานการเข้าสอนของอาจารย์ ประจำวันที่  "),
         QStringLiteral("รายงานการเข้าสอนของอาจารย์  ระหว่างวันที่  ")},
    };
    return reports;
}

namespace {

struct SummaryFile {
    const char16_t* file;
    const char16_t* sql;
    const char16_t* title;
};

// In the order of SummaryReport.
const SummaryFile summaryFiles[] = {
    {u"rep0.rpt", u"SELECT  *  From   Student  Order By StdID",
     u"รายงานชื่อและที่อยู่นักศึกษา เรียงตามรหัสนักศึกษา  ณ วันที่  "},
    {u"rep0.rpt", u"SELECT  *  From   Student  Order By StdName COLLATE THAI",
     u"รายงานชื่อและที่อยู่นักศึกษา เรียงตามชื่อนักศึกษา  ณ วันที่  "},
    {u"rep0.rpt", u"SELECT  *  From   Student  Order By StdLevel COLLATE THAI",
     u"รายงานชื่อและที่อยู่นักศึกษา เรียงตามระดับการเรียน  ณ วันที่  "},
    {u"rep1.rpt", u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' ",
     u"รายงานสรุปจำนวนนักศึกษาในแต่ละวิชา, ระดับ, คอร์ส  ณ วันที่  "},
    {u"rep6.rpt",
     u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' and CoursePrice > CoursePayAmt "
     u" ",
     u"รายชื่อนักศึกษาที่ค้างชำระค่าเรียน  ณ วันที่  "},
    {u"rep2.rpt", u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' ",
     u"รายงานสรุปรายได้ต่อ คอร์ส  ณ วันที่  "},
    {u"rep3.rpt", u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' ",
     u"รายงานสรุปรายได้ต่อ ระดับ  ณ วันที่  "},
    {u"rep4.rpt", u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' ",
     u"รายงานสรุปรายได้ต่อ วิชา  ณ วันที่  "},
    {u"rep5.rpt",
     u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' and CoursePrice > CoursePayAmt "
     u" ",
     u"รายงานสรุปยอดค้างชำระค่าเรียน  ณ วันที่  "},
};
static_assert(std::size(summaryFiles) ==
              static_cast<std::size_t>(SummaryReport::UnpaidPerLevel) + 1);

} // namespace

void showSummaryReport(SummaryReport report) {
    const SummaryFile& summary = summaryFiles[static_cast<std::size_t>(report)];
    Library::ShowTitledReport(QString::fromUtf16(summary.file),
                              QString::fromUtf16(summary.title) +
                                  Library::DateToThaiDate(Seams::today()),
                              QString::fromUtf16(summary.sql));
}
