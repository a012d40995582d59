#include "results/frmStudentHis.h"

#include "core/Recordset.h"
#include "frame/Library.h"

#include <optional>

namespace {

constexpr int tests = 9;

QList<ListView::Column> columns() {
    QList<ListView::Column> list = {{QStringLiteral("คอร์ส"), 3300, Qt::AlignLeft},
                                    {QStringLiteral("ระดับ"), 1200, Qt::AlignHCenter},
                                    {QStringLiteral("วิชา"), 900, Qt::AlignHCenter},
                                    {QStringLiteral("วันที่เริ่ม"), 1200, Qt::AlignHCenter},
                                    {QStringLiteral("เกรด"), 600, Qt::AlignHCenter}};
    for (int n = 1; n <= tests; ++n)
        list.append({QStringLiteral("สอบ %1").arg(n), 800, Qt::AlignHCenter});
    return list;
}

// A recorded number in its plain form (8, 7.5, 10); nothing when not recorded.
QString plainNumber(const QVariant& value) {
    if (value.isNull())
        return {};
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    return isNumber ? QString::number(number, 'g', 15) : value.toString().trimmed();
}

} // namespace

frmStudentHis::frmStudentHis(QWidget* parent) : HistoryDialog(columns(), parent) {}

void frmStudentHis::InitData(const QString& stdId, const QString& status, const QString& title) {
    begin(title);
    Recordset rs = Library::OpenRecordset(
        QStringLiteral("Select * From qStudentCourse Where StdID = ? And CourseStatus = ? "
                       "Order By CourseID, CourseNo"),
        {stdId, status});
    std::optional<QString> previousCourse;
    for (; !rs.isEOF(); rs.MoveNext()) {
        const QString courseId = rs.text(QStringLiteral("CourseID"));
        QString course = QStringLiteral(" ");
        if (courseId != previousCourse) {
            previousCourse = courseId;
            course = rs.text(QStringLiteral("CourseName"));
        }
        QStringList cells = {course, rs.text(QStringLiteral("CourseLevel")),
                             rs.text(QStringLiteral("Subject")),
                             Library::KeyToThaiDate(rs.text(QStringLiteral("CourseStartDate"))),
                             rs.text(QStringLiteral("CourseGrade"))};
        for (int n = 1; n <= tests; ++n)
            cells << plainNumber(rs.value(QStringLiteral("TestPoint%1").arg(n))) +
                         QLatin1Char('/') +
                         plainNumber(rs.value(QStringLiteral("TestMax%1").arg(n)));
        ListView::addRow(ListView1, cells);
    }
}
