#include "results/PointGradeStore.h"

#include "core/Database.h"
#include "frame/Library.h"

#include <stdexcept>

namespace PointGradeStore {
namespace {

QString writeNumber(const QString& sql, const QString& typed, const QVariantList& keys) {
    const double value = Library::NumValue(typed);
    Connection::shared().exec(sql, QVariantList{value} + keys);
    return numberText(value);
}

} // namespace

bool isTestNumber(int test) {
    return test >= firstTest && test <= lastTest;
}

QString testColumn(const char* prefix, int test) {
    if (!isTestNumber(test))
        throw std::out_of_range("test number outside 1..9");
    return QString::fromLatin1(prefix) + QString::number(test);
}

QString numberText(const QVariant& stored) {
    return stored.isNull() ? QStringLiteral("0") : QString::number(stored.toDouble(), 'g', 15);
}

QString writeTestMax(const QString& courseNo, int test, const QString& typed) {
    return writeNumber(QStringLiteral("UPDATE CourseTable SET ") + testColumn("TestMax", test) +
                           QStringLiteral(" = ? WHERE CourseNo = ?"),
                       typed, {courseNo});
}

QString writeTestPoint(const QString& courseNo, const QString& stdId, int test,
                       const QString& typed) {
    return writeNumber(QStringLiteral("UPDATE StudentCourse SET ") + testColumn("TestPoint", test) +
                           QStringLiteral(" = ? WHERE CourseNo = ? AND StdID = ?"),
                       typed, {courseNo, stdId});
}

QString writeCoursePoint(const QString& courseNo, const QString& stdId, const QString& typed) {
    return writeNumber(
        QStringLiteral("UPDATE StudentCourse SET CoursePoint = ? WHERE CourseNo = ? AND StdID = ?"),
        typed, {courseNo, stdId});
}

void writeCourseGrade(const QString& courseNo, const QString& stdId, const QString& grade) {
    // An empty grade is stored as empty text, never NULL.
    Connection::shared().exec(
        QStringLiteral("UPDATE StudentCourse SET CourseGrade = ? WHERE CourseNo = ? AND StdID = ?"),
        {grade.isNull() ? QStringLiteral("") : grade, courseNo, stdId});
}

} // namespace PointGradeStore
