#include "shell/MenuRights.h"

#include "core/Database.h"
#include "core/Numbering.h"

#include <algorithm>

namespace MenuRights {

const QList<MenuItem>& menuItems() {
    static const QList<MenuItem> items = {
        {QStringLiteral("mnuRegister"), QStringLiteral("1.1 ลงทะเบียนเรียน")},
        {QStringLiteral("mnuPay"), QStringLiteral("1.2 ชำระเงินค่าเรียน")},
        {QStringLiteral("mnuExp"), QStringLiteral("1.3 รับ/จ่าย อื่นๆ")},
        {QStringLiteral("mnuBiLLCancel"), QStringLiteral("1.4 ยกเลิกใบเสร็จ")},
        {QStringLiteral("mnuPoint"), QStringLiteral("1.5 ลงคะแนน")},
        {QStringLiteral("mnuGrade"), QStringLiteral("1.6 ลงเกรด")},
        {QStringLiteral("mnuTimeStamp"), QStringLiteral("1.7 บันทึกการเข้าชั้นเรียน")},
        {QStringLiteral("mnuQuery"), QStringLiteral("1.8 สอบถามข้อมูลนักศึกษา")},
        {QStringLiteral("mnuDailyRep"), QStringLiteral("2.1 รายงานประจำวัน")},
        {QStringLiteral("mnuRepStdOrder1"), QStringLiteral("2.2.1 เรียงตามรหัสนักศึกษา")},
        {QStringLiteral("mnuRepStdOrder2"), QStringLiteral("2.2.2 เรียงตามชื่อ")},
        {QStringLiteral("mnuRepStdOrder3"), QStringLiteral("2.2.3 เรียงตามระดับการเรียน")},
        {QStringLiteral("mnuCountStdCourse"),
         QStringLiteral("2.3 รายงานสรุปจำนวนนักศึกษาในแต่ละวิชา, ระดับ, คอร์ส")},
        {QStringLiteral("mnuRemainStdRep"), QStringLiteral("2.4 รายชื่อนักศึกษาที่ค้างชำระค่าเรียน")},
        {QStringLiteral("mnuCourseReceiptRep"), QStringLiteral("2.5 รายงานรายได้ต่อคอร์ส")},
        {QStringLiteral("mnuLevelReceiptRep"), QStringLiteral("2.6 รายงานรายได้ต่อระดับ")},
        {QStringLiteral("mnuSubjectReceiptRep"), QStringLiteral("2.7 รายงานรายได้ต่อวิชา")},
        {QStringLiteral("mnuRemainLevelRep"), QStringLiteral("2.8 รายงานยอดค้างชำระ")},
        {QStringLiteral("mnuCourseTable"), QStringLiteral("3.4 วิชาที่เปิดสอน")},
        {QStringLiteral("mnuDelStatement"), QStringLiteral("4.1 ลบใบเสร็จเก่า")},
        {QStringLiteral("mnuDelALLTable"), QStringLiteral("4.2 ล้างข้อมูลทั้งหมด")},
    };
    return items;
}

QString caption(const QString& menuName) {
    for (const MenuItem& item : menuItems())
        if (item.name == menuName)
            return item.caption;
    return {};
}

namespace {

QSet<QString> presentNames(Connection& db) {
    Query query = db.exec(QStringLiteral("SELECT MnuName FROM CtrlMenu"));
    QSet<QString> names;
    while (query.next())
        names.insert(query.value(0).toString());
    return names;
}

bool allPresent(Connection& db) {
    const QSet<QString> present = presentNames(db);
    return std::all_of(menuItems().cbegin(), menuItems().cend(),
                       [&present](const MenuItem& item) { return present.contains(item.name); });
}

} // namespace

void fillMenuTable() {
    Connection& db = Connection::shared();
    // A start that finds every item writes nothing, also while another desk writes.
    if (allPresent(db))
        return;
    Transaction transaction;
    const QSet<QString> present = presentNames(db); // again: another desk may have added some
    int order = 0;
    for (const MenuItem& item : menuItems()) {
        ++order;
        if (present.contains(item.name))
            continue;
        const QString id = Numbering::takeAfterLargest(
            QStringLiteral("CtrlMenu"), QStringLiteral("MnuID"), QStringLiteral("01"), 2);
        db.exec(QStringLiteral("INSERT INTO CtrlMenu (MnuID, MnuName, MnuCaption, MnuOrder) "
                               "VALUES (?, ?, ?, ?)"),
                {id, item.name, item.caption, order});
    }
    transaction.commit();
}

void grantAll(const QString& userId) {
    Connection::shared().exec(QStringLiteral("INSERT OR IGNORE INTO UserMenu (UserID, MnuID) "
                                             "SELECT ?, MnuID FROM CtrlMenu"),
                              {userId});
}

QSet<QString> granted(const QString& userId) {
    Query query = Connection::shared().exec(
        QStringLiteral("SELECT m.MnuName FROM UserMenu u JOIN CtrlMenu m ON m.MnuID = u.MnuID "
                       "WHERE u.UserID = ?"),
        {userId});
    QSet<QString> names;
    while (query.next())
        names.insert(query.value(0).toString());
    return names;
}

} // namespace MenuRights
