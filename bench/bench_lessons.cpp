// Times the lesson windows' two hot paths on a large school, each beside the bare
// SQLite C API running the same statements (each prepared once, on a connection set up
// as the program's): opening one class's lesson list, the two taking turns at going
// first, and saving a lesson of 25 pupils with its attendance, each save right after the
// other side's. Run it from a Release build.

#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "results/LessonStore.h"
#include "results/frmTimeStamp.h"
#include "support/TestSupport.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace {

constexpr int classes = 2'000;
constexpr int pupilsPerClass = 25;
constexpr int teachersPerClass = 3;
constexpr int lessonsPerClass = 100;
constexpr int rounds = 300;

QString code(int n) {
    return QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0'));
}

const char* const listSql =
    "SELECT StmID, StmDate, StmItem, StmTime1, StmTime2, StmHour, (SELECT Count(*) FROM "
    "TimeStampStudent s WHERE s.StmID = ts.StmID AND IfNull(s.StmStatus, '1') = '1') AS "
    "Attended FROM [TimeStamp] ts WHERE CourseNo = ? ORDER BY StmDate, StmItem, StmTime1";
const char* const registeredSql = "Select Count(*) From StudentCourse Where CourseNo = ?";
const char* const classSql = "Select * From QCourseTable Where CourseNo = ?";

// Every class has three teachers and 25 pupils; each of its 100 lessons has a row
// for each of them, one pupil in eight absent.
void seed() {
    Connection& db = Connection::shared();
    Transaction transaction;
    const char* const statements[] = {
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40) "
        "INSERT INTO Course (CourseID, CourseName, CourseStartDate, CourseEndDate, CourseStatus) "
        "SELECT printf('C%02d', i), 'คอร์สที่ ' || i, '20250101', '', '1' FROM n",
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
        "INSERT INTO CourseTable (CourseNo, CourseID, CourseLevel, Subject, CourseDate, "
        "CourseTime, CoursePrice, DateStart, DateEnd, TimeHour, RoomNo) "
        "SELECT printf('%07d', i), printf('C%02d', i % 40 + 1), 'ม.3', 'คณิตศาสตร์', 'ส-อา', "
        "'09.00-12.00', 3000, '20250101', '20271231', 30, '101' FROM n",
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
        "INSERT INTO Teacher (TechID, TechName, TechRateAmt, TechSts) "
        "SELECT printf('T%03d', i), 'อาจารย์ ' || i, 300, '1' FROM n",
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 5999) "
        "INSERT INTO TeacherCourse (CourseNo, TechID, TechRateAmt) "
        "SELECT printf('%07d', i / 3 + 1), printf('T%03d', (i * 7) % 300 + 1), 350 FROM n",
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000) "
        "INSERT INTO Student (StdID, StdName, StdNickName, StdLevel) "
        "SELECT printf('%07d', i), 'นักเรียน ทดสอบที่ ' || i, 'เล่น', 'ม.3' FROM n",
        "INSERT INTO StudentCourse (StdID, CourseNo, CourseRegDate, CoursePayAmt, CourseGrade) "
        "SELECT StdID, printf('%07d', (CAST(StdID AS INTEGER) - 1) % 2000 + 1), '20250101', "
        "3000, '' FROM Student",
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 199999) "
        "INSERT INTO [TimeStamp] (StmID, CourseNo, StmDate, StmItem, StmTime1, StmTime2, "
        "StmHour, UserID) SELECT printf('2025%06d', i + 1), printf('%07d', i % 2000 + 1), "
        "strftime('%Y%m%d', '2025-01-01', '+' || (i / 2000) || ' days'), i / 2000 + 1, "
        "'09.00', '12.00', 3, 'admin' FROM n",
        "INSERT INTO TimeStampTeacher (StmID, TechID, StmAmt, StmIsPay, StmStatus) "
        "SELECT ts.StmID, tc.TechID, 0, '0', '1' FROM [TimeStamp] ts "
        "JOIN TeacherCourse tc ON tc.CourseNo = ts.CourseNo",
        "INSERT INTO TimeStampStudent (StmID, StdID, StmStatus) "
        "SELECT ts.StmID, sc.StdID, CASE WHEN (ts.rowid + sc.rowid) % 8 = 0 THEN '0' ELSE '1' "
        "END FROM [TimeStamp] ts JOIN StudentCourse sc ON sc.CourseNo = ts.CourseNo",
    };
    for (const char* sql : statements)
        db.exec(QString::fromUtf8(sql));
    transaction.commit();
    // As a desk leaves the school: a class looked up, then the school closed, which keeps
    // the query planner's statistics as the program keeps them.
    Library::OpenRecordset(QString::fromUtf8(listSql), {code(1)});
    Library::OpenRecordset(QString::fromUtf8(classSql), {code(1)});
    db.close();
}

// The floor's statements, each prepared once on the bare connection.
struct Floor {
    explicit Floor(sqlite3* db)
        : klass(db, classSql), registered(db, registeredSql), list(db, listSql),
          begin(db, "BEGIN IMMEDIATE"), commit(db, "COMMIT"),
          taken(db, "Select 1 From [TimeStamp] Where CourseNo = ? And StmItem = ? And StmID Is "
                    "Not ?"),
          classThere(db, "Select 1 From CourseTable Where CourseNo = ?"),
          largest(db, "SELECT MAX([StmID]) FROM [TimeStamp] WHERE length([StmID]) = ? AND "
                      "[StmID] NOT GLOB '*[^0-9]*'"),
          lastGiven(db, "SELECT LastCode FROM CodeSeries WHERE Series = ? AND Prefix = ?"),
          given(db, "INSERT INTO CodeSeries (Series, Prefix, LastCode) VALUES (?, ?, ?) ON "
                    "CONFLICT (Series, Prefix) DO UPDATE SET LastCode = excluded.LastCode"),
          lesson(db, "Insert Into [TimeStamp] (StmItem, StmTime1, StmTime2, StmHour, StmDate, "
                     "UserID, CourseNo, StmID) Values (?, ?, ?, ?, ?, ?, ?, ?)"),
          dropTeacher(db, "Delete From TimeStampTeacher Where StmID = ? And TechID = ?"),
          teacher(db, "Insert Into TimeStampTeacher (StmID, TechID, StmAmt, StmIsPay, StmStatus) "
                      "Values (?, ?, 0, '0', ?)"),
          dropStudent(db, "Delete From TimeStampStudent Where StmID = ? And StdID = ?"),
          student(db, "Insert Into TimeStampStudent (StmID, StdID, StmStatus) Values (?, ?, ?)") {}
    Stmt klass, registered, list, begin, commit, taken, classThere, largest, lastGiven, given,
        lesson, dropTeacher, teacher, dropStudent, student;
};

void bareList(Floor& floor, const QByteArray& courseNo) {
    floor.klass.bind(1, courseNo).drain();
    floor.registered.bind(1, courseNo).drain();
    floor.list.bind(1, courseNo).drain();
}

Lesson newLesson(int klass, int round) {
    Lesson lesson;
    lesson.courseNo = code(klass);
    lesson.date = QStringLiteral("20261206");
    lesson.item = 1000 + round;
    lesson.time1 = QStringLiteral("09.00");
    lesson.time2 = QStringLiteral("12.00");
    lesson.hours = 1.5;
    const Recordset teachers = Recordset::open(
        QStringLiteral("SELECT TechID FROM TeacherCourse WHERE CourseNo = ? ORDER BY TechID"),
        {lesson.courseNo}, true);
    for (const QVariantList& row : teachers.rows())
        lesson.teachers.append({row.at(0).toString(), true});
    const Recordset pupils = Recordset::open(
        QStringLiteral("SELECT StdID FROM StudentCourse WHERE CourseNo = ? ORDER BY StdID"),
        {lesson.courseNo}, true);
    for (const QVariantList& row : pupils.rows())
        lesson.students.append({row.at(0).toString(), row.at(0).toString().endsWith(u'7')});
    return lesson;
}

// The statements a save of a new lesson runs.
void bareSave(Floor& floor, const Lesson& lesson) {
    const QByteArray courseNo = lesson.courseNo.toUtf8();
    floor.begin.run();
    floor.taken.bind(1, courseNo).bind(2, lesson.item).drain();
    floor.classThere.bind(1, courseNo).drain();
    // The lesson code: after the last handed out and the largest stored (the program reads
    // them in that order), or the year's first code when that is larger.
    const QByteArray series = QByteArrayLiteral("TimeStamp.StmID");
    const QByteArray noPrefix = QByteArrayLiteral("");
    auto text = [](Stmt& stmt) {
        const QByteArray found =
            stmt.step()
                ? QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0)))
                : QByteArray();
        stmt.reset();
        return found;
    };
    floor.lastGiven.bind(1, series).bind(2, noPrefix);
    const QByteArray last = text(floor.lastGiven);
    floor.largest.bind(1, sqlite3_int64(10));
    const QByteArray stored = text(floor.largest);
    const QByteArray after =
        QByteArray::number(std::max(stored, last).toULongLong() + 1).rightJustified(10, '0');
    const QByteArray stmId = std::max(after, QByteArrayLiteral("2026000001"));
    floor.given.bind(1, series).bind(2, noPrefix).bind(3, stmId).run();
    floor.lesson.bind(1, lesson.item)
        .bind(2, QByteArrayLiteral("09.00"))
        .bind(3, QByteArrayLiteral("12.00"))
        .bind(4, lesson.hours)
        .bind(5, QByteArrayLiteral("20261206"))
        .bind(6, QByteArrayLiteral("admin"))
        .bind(7, courseNo)
        .bind(8, stmId)
        .run();
    for (const Lesson::Person& teacher : lesson.teachers) {
        const QByteArray id = teacher.id.toUtf8();
        floor.dropTeacher.bind(1, stmId).bind(2, id).run();
        floor.teacher.bind(1, stmId).bind(2, id).bind(3, QByteArrayLiteral("1")).run();
    }
    for (const Lesson::Person& student : lesson.students) {
        const QByteArray id = student.id.toUtf8();
        floor.dropStudent.bind(1, stmId).bind(2, id).run();
        floor.student.bind(1, stmId)
            .bind(2, id)
            .bind(3, student.present ? QByteArrayLiteral("1") : QByteArrayLiteral("0"))
            .run();
    }
    floor.commit.run();
}

double micros(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1000;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestDatabase database(QDateTime(QDate(2026, 12, 6), QTime(9, 0)));
    Fixture::school();

    QElapsedTimer timer;
    timer.start();
    seed();
    std::printf("seeded %d classes, %d lessons with %d teacher and %d pupil rows in %.1f s\n",
                classes, classes * lessonsPerClass, classes * lessonsPerClass * teachersPerClass,
                classes * lessonsPerClass * pupilsPerClass,
                static_cast<double>(timer.elapsed()) / 1000);

    sqlite3* bare = openBare(database.path());
    if (!bare)
        return 1;

    Floor floor(bare);
    QRandomGenerator random(20261206);
    frmTimeStamp window;
    {
        StatementTrace programTrace(programHandle());
        StatementTrace floorTrace(bare);
        const QString courseNo = code(classes);
        for (const char* sql : {classSql, registeredSql, listSql})
            Library::OpenRecordset(QString::fromUtf8(sql), {courseNo});
        bareList(floor, courseNo.toUtf8());
        sameStatements("a class's lesson list", programTrace.statements(), floorTrace.statements());
    }
    std::vector<double> programList, windowList, bareLists;
    int listed = 0;
    // The program and the floor take turns at going first.
    for (int i = 0; i < rounds; ++i) {
        const QString courseNo = code(random.bounded(1, classes + 1));
        auto floorSide = [&] {
            timer.restart();
            bareList(floor, courseNo.toUtf8());
            bareLists.push_back(micros(timer));
        };
        if (i % 2)
            floorSide();
        timer.restart();
        Library::OpenRecordset(QString::fromUtf8(classSql), {courseNo});
        Library::OpenRecordset(QString::fromUtf8(registeredSql), {courseNo});
        listed += Library::OpenRecordset(QString::fromUtf8(listSql), {courseNo}).RecordCount();
        programList.push_back(micros(timer));
        timer.restart();
        if (!window.ShowClass(courseNo))
            return 2;
        windowList.push_back(micros(timer));
        if (i % 2 == 0)
            floorSide();
    }
    std::printf("lessons listed per class: %.1f\n", static_cast<double>(listed) / rounds);
    report("open a class's lesson list (record sets)", summarise(programList),
           summarise(bareLists));
    report("open a class's lesson list (window filled)", summarise(windowList),
           summarise(bareLists));

    // In WAL mode a connection that begins a transaction after another connection committed
    // drops its page cache and memory map first, so each save is timed right after the other
    // side's save: the lessons are made beforehand, and nothing else runs on either
    // connection between the saves.
    std::vector<Lesson> lessons;
    for (int i = 0; i < 2 * rounds + 2; ++i)
        lessons.push_back(newLesson(i + 1, i));
    auto programSaves = [&](int i) {
        if (LessonStore::save(lessons.at(2 * i), QStringLiteral("admin"), Seams::today()).result !=
            LessonStore::SaveResult::Saved)
            throw std::runtime_error("the lesson was not saved");
    };
    auto floorSaves = [&](int i) { bareSave(floor, lessons.at(2 * i + 1)); };
    {
        StatementTrace programTrace(programHandle());
        StatementTrace floorTrace(bare);
        programSaves(rounds);
        floorSaves(rounds);
        sameStatements("save a lesson", programTrace.statements(), floorTrace.statements());
    }
    std::vector<double> programSave, bareSaves, programCpu, bareCpu;
    const auto timed = [&](std::vector<double>& clock, std::vector<double>& processor,
                           const std::function<void()>& save) {
        const double cpuAtStart = processorNanoseconds();
        timer.restart();
        save();
        clock.push_back(micros(timer));
        processor.push_back((processorNanoseconds() - cpuAtStart) / 1000);
    };
    for (int i = 0; i < rounds; ++i) {
        timed(programSave, programCpu, [&] { programSaves(i); });
        timed(bareSaves, bareCpu, [&] { floorSaves(i); });
    }
    report("save a lesson of 25 pupils", summarise(programSave), summarise(bareSaves));
    report("  in processor time (no disk flush)", summarise(programCpu), summarise(bareCpu));
    sqlite3_close(bare);
    return 0;
}
