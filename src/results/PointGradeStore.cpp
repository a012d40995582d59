#include "results/PointGradeStore.h"

#include "core/Database.h"
#include "core/Decimal.h"
#include "core/LibraryCore.h"

#include <optional>
#include <stdexcept>

namespace PointGradeStore {
namespace {

Written writeNumber(const QString& sql, const QString& typed, const QVariantList& keys) {
    const std::optional<double> value = Library::TypedNumber(typed);
    if (!value)
        return {Outcome::Refused, {}};
    const Query update = Connection::shared().exec(sql, QVariantList{*value} + keys);
    if (update.numRowsAffected() == 0)
        return {Outcome::Gone, {}};
    return {Outcome::Stored, numberText(*value)};
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
    // A stored number keeps 15 significant digits exactly.
    return stored.isNull() ? QStringLiteral("0") : QString::number(stored.toDouble(), 'g', 15);
}

Written writeTestMax(const QString& courseNo, int test, const QString& typed) {
    return writeNumber(QStringLiteral("UPDATE CourseTable SET ") + testColumn("TestMax", test) +
                           QStringLiteral(" = ? WHERE CourseNo = ?"),
                       typed, {courseNo});
}

Written writeTestPoint(const QString& courseNo, const QString& stdId, int test,
                       const QString& typed) {
    return writeNumber(QStringLiteral("UPDATE StudentCourse SET ") + testColumn("TestPoint", test) +
                           QStringLiteral(" = ? WHERE CourseNo = ? AND StdID = ?"),
                       typed, {courseNo, stdId});
}

Written writeCoursePoint(const QString& courseNo, const QString& stdId, const QString& typed) {
    return writeNumber(
        QStringLiteral("UPDATE StudentCourse SET CoursePoint = ? WHERE CourseNo = ? AND StdID = ?"),
        typed, {courseNo, stdId});
}

Outcome writeCourseGrade(const QString& courseNo, const QString& stdId, const QString& grade) {
    // An empty grade is stored as empty text, never NULL.
    const Query update = Connection::shared().exec(
        QStringLiteral("UPDATE StudentCourse SET CourseGrade = ? WHERE CourseNo = ? AND StdID = ?"),
        {grade.isNull() ? QStringLiteral("") : grade, courseNo, stdId});
    return update.numRowsAffected() == 0 ? Outcome::Gone : Outcome::Stored;
}

} // namespace PointGradeStore
