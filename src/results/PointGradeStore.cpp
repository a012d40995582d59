#include "results/PointGradeStore.h"

#include "core/Database.h"
#include "core/Decimal.h"
#include "core/LibraryCore.h"

#include <QRegularExpression>
#include <optional>
#include <stdexcept>

namespace PointGradeStore {
namespace {

// A stored number keeps 15 significant digits exactly.
constexpr int storedDigits = 15;

// The digits of a plain number that carry its value: no sign, separators, leading or
// trailing zeros.
qsizetype significantDigits(QString plain) {
    plain.remove(QRegularExpression(QStringLiteral("[^0-9.]")));
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    QString digits = point < 0 ? plain : plain.left(point);
    if (point >= 0) {
        QString fraction = plain.mid(point + 1);
        while (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
        digits += fraction;
    }
    qsizetype first = 0;
    while (first < digits.size() && digits.at(first) == QLatin1Char('0'))
        ++first;
    return digits.size() - first;
}

// The value of a typed text: 0 for an empty box or a text that is no number at all;
// nothing for a number that cannot be stored as typed.
std::optional<double> typedValue(const QString& typed) {
    static const QRegularExpression numberLike(QStringLiteral("^[+-]?[0-9.,]*[0-9][0-9.,]*$"));
    const QString text = typed.trimmed();
    if (!numberLike.match(text).hasMatch())
        return 0.0;
    std::int64_t whole = 0;
    if (!Library::ParseDecimal(text, 0, whole) || significantDigits(text) > storedDigits)
        return std::nullopt;
    return Library::NumValue(text);
}

Written writeNumber(const QString& sql, const QString& typed, const QVariantList& keys) {
    const std::optional<double> value = typedValue(typed);
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
    return stored.isNull() ? QStringLiteral("0")
                           : QString::number(stored.toDouble(), 'g', storedDigits);
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
