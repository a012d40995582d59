#pragma once

#include "core/Money.h"

#include <QDate>
#include <QList>
#include <QString>

// One class of the timetable with its teachers, as the timetable window saves it.
struct CourseClass {
    struct Teacher {
        QString techId;
        Money rate;
    };
    QString courseNo; // drawn by add()
    QString courseId;
    QString level;
    QString subject;
    QString days;
    QString time;
    Money price;
    QString dateStart; // yyyymmdd
    QString dateEnd;   // yyyymmdd
    double hours = 0;
    QString room;
    QList<Teacher> teachers; // in row order, at most four, no code twice
};

// Writes of the timetable: each runs in one transaction and throws DbError on failure,
// leaving the stored classes as they were.
namespace CourseTableStore {

// The number a new class would get now: the Buddhist-era year of numberingDate (the
// window passes the clock's day), then the next running number of that year.
QString proposedNumber(const QDate& numberingDate);

// Adds the class under the next free number of numberingDate's year, drawn inside the
// transaction, and returns that number.
QString add(const CourseClass& course, const QDate& numberingDate);

// Rewrites the class and its teachers; false (nothing written) when the class is
// no longer stored.
bool update(const CourseClass& course);

enum class DeleteResult { Deleted, InUse, Gone };
// Deletes the class with its teachers, unless registrations, lessons or bill lines
// name it; Gone (nothing written) when the class is no longer stored.
DeleteResult remove(const QString& courseNo);

} // namespace CourseTableStore
