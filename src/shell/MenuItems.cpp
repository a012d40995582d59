#include "shell/MenuItems.h"

#include "billing/frmBiLLCancel.h"
#include "billing/frmCourseTable.h"
#include "billing/frmExp.h"
#include "billing/frmPay.h"
#include "billing/frmRegister.h"
#include "results/ReportTables.h"
#include "results/frmGrade.h"
#include "results/frmPoint.h"
#include "results/frmQuery.h"
#include "results/frmReport.h"
#include "results/frmTimeStamp.h"
#include "shell/MDIForm1.h"
#include "shell/WindowRegistry.h"

namespace {

template <class Window> std::function<QWidget*()> opens() {
    return [] { return new Window; };
}

std::function<void(MDIForm1&)> shows(SummaryReport report) {
    return [report](MDIForm1&) { showSummaryReport(report); };
}

const MenuHead dailyMenu{QStringLiteral("mnuDaily"), QStringLiteral("1. งานประจำวัน")};
const MenuHead reportsMenu{QStringLiteral("mnuReport"), QStringLiteral("2. รายงาน")};
const MenuHead studentsMenu{QStringLiteral("mnuStudentRep"),
                            QStringLiteral("2.2 รายชื่อและที่อยู่นักศึกษา"), &reportsMenu};
const MenuHead masterMenu{QStringLiteral("mnuMaster"), QStringLiteral("3. ข้อมูลหลัก")};
const MenuHead systemMenu{QStringLiteral("mnuSystem"), QStringLiteral("4. ระบบ")};

} // namespace

const QList<MenuItem>& menuItems() {
    static const QList<MenuItem> items = {
        {.name = QStringLiteral("mnuRegister"),
         .caption = QStringLiteral("1.1 ลงทะเบียนเรียน"),
         .menu = &dailyMenu,
         .toolKey = QStringLiteral("Register"),
         .toolCaption = QStringLiteral("ลงทะเบียน"),
         .window = opens<frmRegister>()},
        {.name = QStringLiteral("mnuPay"),
         .caption = QStringLiteral("1.2 ชำระเงินค่าเรียน"),
         .menu = &dailyMenu,
         .toolKey = QStringLiteral("Pay"),
         .toolCaption = QStringLiteral("ชำระเงิน"),
         .window = opens<frmPay>()},
        {.name = QStringLiteral("mnuExp"),
         .caption = QStringLiteral("1.3 รับ/จ่าย อื่นๆ"),
         .menu = &dailyMenu,
         .toolKey = QStringLiteral("Exp"),
         .toolCaption = QStringLiteral("รับ/จ่าย"),
         .window = opens<frmExp>()},
        {.name = QStringLiteral("mnuBiLLCancel"),
         .caption = QStringLiteral("1.4 ยกเลิกใบเสร็จ"),
         .menu = &dailyMenu,
         .window = opens<frmBiLLCancel>()},
        {.name = QStringLiteral("mnuPoint"),
         .caption = QStringLiteral("1.5 ลงคะแนน"),
         .menu = &dailyMenu,
         .toolKey = QStringLiteral("Point"),
         .toolCaption = QStringLiteral("คะแนน"),
         .window = opens<frmPoint>()},
        {.name = QStringLiteral("mnuGrade"),
         .caption = QStringLiteral("1.6 ลงเกรด"),
         .menu = &dailyMenu,
         .toolKey = QStringLiteral("Grade"),
         .toolCaption = QStringLiteral("เกรด"),
         .window = opens<frmGrade>()},
        {.name = QStringLiteral("mnuTimeStamp"),
         .caption = QStringLiteral("1.7 บันทึกการเข้าชั้นเรียน"),
         .menu = &dailyMenu,
         .toolKey = QStringLiteral("TimeStamp"),
         .toolCaption = QStringLiteral("เข้าชั้นเรียน"),
         .window = opens<frmTimeStamp>()},
        {.name = QStringLiteral("mnuQuery"),
         .caption = QStringLiteral("1.8 สอบถามข้อมูลนักศึกษา"),
         .menu = &dailyMenu,
         .toolKey = QStringLiteral("Query"),
         .toolCaption = QStringLiteral("สอบถาม"),
         .window = opens<frmQuery>()},
        {.name = QStringLiteral("mnuDailyRep"),
         .caption = QStringLiteral("2.1 รายงานประจำวัน"),
         .menu = &reportsMenu,
         .lineAfter = QStringLiteral("mnuLine21"),
         .window = opens<frmReport>()},
        {.name = QStringLiteral("mnuRepStdOrder1"),
         .caption = QStringLiteral("2.2.1 เรียงตามรหัสนักศึกษา"),
         .menu = &studentsMenu,
         .action = shows(SummaryReport::StudentsByCode)},
        {.name = QStringLiteral("mnuRepStdOrder2"),
         .caption = QStringLiteral("2.2.2 เรียงตามชื่อ"),
         .menu = &studentsMenu,
         .action = shows(SummaryReport::StudentsByName)},
        {.name = QStringLiteral("mnuRepStdOrder3"),
         .caption = QStringLiteral("2.2.3 เรียงตามระดับการเรียน"),
         .menu = &studentsMenu,
         .action = shows(SummaryReport::StudentsByLevel)},
        {.name = QStringLiteral("mnuCountStdCourse"),
         .caption = QStringLiteral("2.3 รายงานสรุปจำนวนนักศึกษาในแต่ละวิชา, ระดับ, คอร์ส"),
         .menu = &reportsMenu,
         .lineAfter = QStringLiteral("mnuLine22"),
         .action = shows(SummaryReport::StudentsPerClass)},
        {.name = QStringLiteral("mnuRemainStdRep"),
         .caption = QStringLiteral("2.4 รายชื่อนักศึกษาที่ค้างชำระค่าเรียน"),
         .menu = &reportsMenu,
         .action = shows(SummaryReport::UnpaidStudents)},
        {.name = QStringLiteral("mnuCourseReceiptRep"),
         .caption = QStringLiteral("2.5 รายงานรายได้ต่อคอร์ส"),
         .menu = &reportsMenu,
         .action = shows(SummaryReport::IncomePerCourse)},
        {.name = QStringLiteral("mnuLevelReceiptRep"),
         .caption = QStringLiteral("2.6 รายงานรายได้ต่อระดับ"),
         .menu = &reportsMenu,
         .action = shows(SummaryReport::IncomePerLevel)},
        {.name = QStringLiteral("mnuSubjectReceiptRep"),
         .caption = QStringLiteral("2.7 รายงานรายได้ต่อวิชา"),
         .menu = &reportsMenu,
         .action = shows(SummaryReport::IncomePerSubject)},
        {.name = QStringLiteral("mnuRemainLevelRep"),
         .caption = QStringLiteral("2.8 รายงานยอดค้างชำระ"),
         .menu = &reportsMenu,
         .action = shows(SummaryReport::UnpaidPerLevel)},
        {.name = QStringLiteral("mnuCourseTable"),
         .caption = QStringLiteral("3.4 วิชาที่เปิดสอน"),
         .menu = &masterMenu,
         .window = opens<frmCourseTable>()},
        {.name = QStringLiteral("mnuDelStatement"),
         .caption = QStringLiteral("4.1 ลบใบเสร็จเก่า"),
         .menu = &systemMenu,
         .action = &MDIForm1::mnuDelStatement_Click},
        {.name = QStringLiteral("mnuDelALLTable"),
         .caption = QStringLiteral("4.2 ล้างข้อมูลทั้งหมด"),
         .menu = &systemMenu,
         .action = &MDIForm1::mnuDelALLTable_Click},
    };
    return items;
}

const MenuItem* menuItem(const QString& name) {
    for (const MenuItem& item : menuItems())
        if (item.name == name)
            return &item;
    return nullptr;
}

const MenuItem* toolbarItem(const QString& toolKey) {
    for (const MenuItem& item : menuItems())
        if (!item.toolKey.isEmpty() && item.toolKey == toolKey)
            return &item;
    return nullptr;
}

// Each task window exists once: opening it again brings the open one forward.
void registerTaskWindows() {
    for (const MenuItem& item : menuItems())
        if (item.window)
            registerWindow(item.name, item.window, true);
}
