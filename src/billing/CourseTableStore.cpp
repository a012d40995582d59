#include "billing/CourseTableStore.h"

#include "core/ClassLookup.h"
#include "core/Database.h"
#include "core/LibraryCore.h"
#include "core/Numbering.h"

namespace CourseTableStore {
namespace {

const QString table = QStringLiteral("CourseTable");
const QString column = QStringLiteral("CourseNo");

QVariantList classValues(const CourseClass& course) {
    return {course.courseId,          course.level,     course.subject, course.days,  course.time,
            course.price.toVariant(), course.dateStart, course.dateEnd, course.hours, course.room,
            course.courseNo};
}

void writeTeachers(Connection& db, const CourseClass& course) {
    db.exec(QStringLiteral("Delete From TeacherCourse Where CourseNo = ?"), {course.courseNo});
    for (const CourseClass::Teacher& teacher : course.teachers)
        db.exec(QStringLiteral("Insert Into TeacherCourse (CourseNo, TechID, TechRateAmt) "
                               "Values (?, ?, ?)"),
                {course.courseNo, teacher.techId, teacher.rate.toVariant()});
}

} // namespace

QString proposedNumber(const QDate& numberingDate) {
    return Numbering::nextInSeries(table, column, Library::BuddhistYY(numberingDate), 7);
}

QString add(const CourseClass& course, const QDate& numberingDate) {
    Connection& db = Connection::shared();
    Transaction transaction;
    CourseClass stored = course;
    stored.courseNo = Numbering::takeInSeries(table, column, Library::BuddhistYY(numberingDate), 7);
    db.exec(QStringLiteral("Insert Into CourseTable (CourseID, CourseLevel, Subject, CourseDate, "
                           "CourseTime, CoursePrice, DateStart, DateEnd, TimeHour, RoomNo, "
                           "CourseNo) Values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            classValues(stored));
    writeTeachers(db, stored);
    transaction.commit();
    return stored.courseNo;
}

bool update(const CourseClass& course) {
    Connection& db = Connection::shared();
    Transaction transaction;
    const Query changed =
        db.exec(QStringLiteral("Update CourseTable Set CourseID = ?, CourseLevel = ?, Subject = ?, "
                               "CourseDate = ?, CourseTime = ?, CoursePrice = ?, DateStart = ?, "
                               "DateEnd = ?, TimeHour = ?, RoomNo = ? Where CourseNo = ?"),
                classValues(course));
    if (changed.numRowsAffected() != 1)
        return false;
    writeTeachers(db, course);
    transaction.commit();
    return true;
}

DeleteResult remove(const QString& courseNo) {
    Connection& db = Connection::shared();
    Transaction transaction;
    if (!ClassLookup::isStored(courseNo))
        return DeleteResult::Gone;
    const int users =
        db.scalar(QStringLiteral("Select (Select Count(*) From StudentCourse Where CourseNo = ?) "
                                 "+ (Select Count(*) From [TimeStamp] Where CourseNo = ?) "
                                 "+ (Select Count(*) From StatementSub Where CourseNo = ?)"),
                  {courseNo, courseNo, courseNo})
            .toInt();
    if (users > 0)
        return DeleteResult::InUse;
    db.exec(QStringLiteral("Delete From TeacherCourse Where CourseNo = ?"), {courseNo});
    db.exec(QStringLiteral("Delete From CourseTable Where CourseNo = ?"), {courseNo});
    transaction.commit();
    return DeleteResult::Deleted;
}

} // namespace CourseTableStore
