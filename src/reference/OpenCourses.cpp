#include "reference/OpenCourses.h"

#include "frame/Library.h"

#include <QComboBox>

namespace OpenCourses {

void fill(QComboBox* box, int blanks) {
    box->clear();
    // A course without an end date runs on; some rows keep that as empty text.
    Recordset courses = Library::OpenRecordset(
        QStringLiteral("Select CourseID, CourseName, CourseStartDate, CourseEndDate From Course "
                       "Where CourseStatus='1' and (CourseEndDate >= ? "
                       "or CourseEndDate is null or CourseEndDate = '') Order By CourseID"),
        {Library::gToday});
    for (courses.MoveFirst(); !courses.isEOF(); courses.MoveNext()) {
        QString caption = courses.text(QStringLiteral("CourseName"));
        const QString start = courses.text(QStringLiteral("CourseStartDate"));
        const QString end = courses.text(QStringLiteral("CourseEndDate"));
        if (!start.isEmpty() && !end.isEmpty())
            caption += QStringLiteral(" (") + Library::KeyToShortThaiDate(start) +
                       QStringLiteral(" - ") + Library::KeyToShortThaiDate(end) +
                       QStringLiteral(")");
        Library::AddKeyedItem(box, caption, blanks, courses.text(QStringLiteral("CourseID")));
    }
}

} // namespace OpenCourses
