#include "results/LessonStore.h"

#include "core/ClassLookup.h"
#include "core/Database.h"
#include "core/Numbering.h"

#include <cmath>

namespace LessonStore {
namespace {

// Whole number nearest to value, an exact half going to the even neighbour.
double roundHalfEven(double value) {
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0.0))
        return down + 1;
    return down;
}

std::optional<double> storable(double value) {
    return value <= largestValue ? std::optional(value) : std::nullopt;
}

QString status(const Lesson::Person& person) {
    return person.present ? QStringLiteral("1") : QStringLiteral("0");
}

void writeAttendance(Connection& db, const Lesson& lesson, const QString& stmId) {
    for (const Lesson::Person& teacher : lesson.teachers) {
        db.exec(QStringLiteral("Delete From TimeStampTeacher Where StmID = ? And TechID = ?"),
                {stmId, teacher.id});
        db.exec(QStringLiteral("Insert Into TimeStampTeacher (StmID, TechID, StmAmt, StmIsPay, "
                               "StmStatus) Values (?, ?, 0, '0', ?)"),
                {stmId, teacher.id, status(teacher)});
    }
    for (const Lesson::Person& student : lesson.students) {
        db.exec(QStringLiteral("Delete From TimeStampStudent Where StmID = ? And StdID = ?"),
                {stmId, student.id});
        db.exec(QStringLiteral("Insert Into TimeStampStudent (StmID, StdID, StmStatus) "
                               "Values (?, ?, ?)"),
                {stmId, student.id, status(student)});
    }
}

} // namespace

Proposal propose(const QString& courseNo) {
    Query query = Connection::shared().exec(
        QStringLiteral("Select Max(StmItem), Max(StmHour) From [TimeStamp] Where CourseNo = ?"),
        {courseNo});
    Proposal proposal;
    if (query.next() && !query.isNull(0)) {
        proposal.item = storable(roundHalfEven(query.value(0).toDouble() + 1));
        proposal.hours = storable(roundHalfEven(query.value(1).toDouble()));
    }
    return proposal;
}

bool numberTaken(const QString& courseNo, double item, const QString& exceptStmId) {
    return Connection::shared()
        .scalar(QStringLiteral("Select 1 From [TimeStamp] Where CourseNo = ? And StmItem = ? "
                               "And StmID Is Not ?"),
                {courseNo, item, exceptStmId})
        .isValid();
}

SaveOutcome save(const Lesson& lesson, const QString& userId, const QDate& numberingDate) {
    Connection& db = Connection::shared();
    Transaction transaction;
    if (numberTaken(lesson.courseNo, lesson.item, lesson.stmId))
        return {SaveResult::NumberTaken, lesson.stmId};
    const QVariantList values{lesson.item, lesson.time1, lesson.time2,   lesson.hours,
                              lesson.date, userId,       lesson.courseNo};
    QString stmId = lesson.stmId;
    if (stmId.isEmpty()) {
        if (!ClassLookup::isStored(lesson.courseNo))
            return {SaveResult::ClassGone, stmId};
        // The year's first code, unless a code of this year or a later one goes on.
        const QString first =
            QStringLiteral("%1").arg(numberingDate.year(), 4, 10, QLatin1Char('0')) +
            QStringLiteral("000001");
        stmId = Numbering::takeFromFirstOrAfterLargest(QStringLiteral("TimeStamp"),
                                                       QStringLiteral("StmID"), first, 10);
        db.exec(QStringLiteral("Insert Into [TimeStamp] (StmItem, StmTime1, StmTime2, StmHour, "
                               "StmDate, UserID, CourseNo, StmID) Values (?, ?, ?, ?, ?, ?, ?, ?)"),
                values + QVariantList{stmId});
    } else {
        const Query changed = db.exec(
            QStringLiteral("Update [TimeStamp] Set StmItem = ?, StmTime1 = ?, StmTime2 = ?, "
                           "StmHour = ?, StmDate = ?, UserID = ? Where CourseNo = ? And StmID = ?"),
            values + QVariantList{stmId});
        if (changed.numRowsAffected() != 1)
            return {SaveResult::Gone, stmId};
    }
    writeAttendance(db, lesson, stmId);
    transaction.commit();
    return {SaveResult::Saved, stmId};
}

bool remove(const QString& stmId) {
    Connection& db = Connection::shared();
    Transaction transaction;
    const Query deleted =
        db.exec(QStringLiteral("Delete From [TimeStamp] Where StmID = ?"), {stmId});
    if (deleted.numRowsAffected() != 1)
        return false;
    db.exec(QStringLiteral("Delete From TimeStampTeacher Where StmID = ?"), {stmId});
    db.exec(QStringLiteral("Delete From TimeStampStudent Where StmID = ?"), {stmId});
    transaction.commit();
    return true;
}

} // namespace LessonStore
