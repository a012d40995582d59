#pragma once

#include <QString>
#include <QVariant>

// The writes of the test points and grades windows: full marks of a class's tests,
// a student's test points, final points and grade. Each is one bound UPDATE and
// throws DbError when the database fails. Typed numbers are read the same way
// whatever the locale: "1,000" is 1000, "7.5" is 7.5, an empty box or a text that
// is no number is 0. A number is stored as typed or not at all: one with more
// than 15 digits, or with its separators out of place ("12,34", "1.2.3"), is refused.
namespace PointGradeStore {

// Test numbers name the columns TestMax1..TestMax9 and TestPoint1..TestPoint9.
constexpr int firstTest = 1;
constexpr int lastTest = 9;
bool isTestNumber(int test);
// "TestMax" or "TestPoint" with the test number; throws std::out_of_range outside 1..9.
QString testColumn(const char* prefix, int test);

// A stored number as lists show it: 7.5, 20, 1000; "0" for no value.
QString numberText(const QVariant& stored);

enum class Outcome {
    Stored,
    Refused, // a number that cannot be stored as typed; nothing written
    Gone,    // no such class or registration any more (deleted meanwhile); nothing written
};

struct Written {
    Outcome outcome = Outcome::Stored;
    QString shown; // the stored number as lists show it, once stored
};

// Full marks of test N of a class. Throws std::out_of_range for N outside 1..9.
Written writeTestMax(const QString& courseNo, int test, const QString& typed);
// A student's points in test N of a class. Throws std::out_of_range for N outside 1..9.
Written writeTestPoint(const QString& courseNo, const QString& stdId, int test,
                       const QString& typed);
Written writeCoursePoint(const QString& courseNo, const QString& stdId, const QString& typed);
// The grade is stored exactly as typed: neither trimmed nor changed. Stored or Gone.
Outcome writeCourseGrade(const QString& courseNo, const QString& stdId, const QString& grade);

} // namespace PointGradeStore
