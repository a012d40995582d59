#pragma once

#include "core/Money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// One lesson held for a class, with the teachers and pupils listed for it.
struct Lesson {
    struct Person {
        QString id; // TechID or StdID
        bool present = true;
    };
    QString stmId; // empty for a new lesson: save() draws its code
    QString courseNo;
    QString date; // yyyymmdd
    double item = 0;
    QString time1;
    QString time2;
    double hours = 0;
    QList<Person> teachers;
    QList<Person> students;
};

// Reads and writes of lessons. Each write runs in one transaction and throws
// DbError on failure, leaving the stored lessons as they were.
namespace LessonStore {

// The largest lesson number or hours that every reader of the lessons (the lesson list,
// the dialog, the reports) reads back exactly.
constexpr double largestValue = Money::maxBaht;

// What a new lesson of the class starts with: the next lesson number and the
// largest hours taught so far, each rounded to a whole number (halves to even).
// Nothing is proposed that would be beyond largestValue (the numbers are used up).
struct Proposal {
    std::optional<double> item = 1;
    std::optional<double> hours = 1;
};
Proposal propose(const QString& courseNo);

// True when a lesson of the class other than exceptStmId already has this number.
bool numberTaken(const QString& courseNo, double item, const QString& exceptStmId = {});

enum class SaveResult {
    Saved,
    NumberTaken,
    Gone,      // the edited lesson is no longer stored: nothing written
    ClassGone, // the class of a new lesson is no longer stored: nothing written
};
struct SaveOutcome {
    SaveResult result = SaveResult::Saved;
    QString stmId; // the saved lesson's code
};

// Writes the lesson and one attendance row for every person listed, replacing
// their earlier rows; rows of people not listed stay. A new lesson gets the code after the
// largest, or the first code of numberingDate's year (the window passes the clock's day)
// when that is larger, only while its class is stored. An edited lesson no longer
// stored is not written again.
SaveOutcome save(const Lesson& lesson, const QString& userId, const QDate& numberingDate);

// Deletes the lesson with all its attendance rows; false (nothing written) when the
// lesson is no longer stored.
bool remove(const QString& stmId);

} // namespace LessonStore
