#include "core/Database.h"
#include "core/Seams.h"
#include "results/LessonStore.h"
#include "support/TestSupport.h"

#include <QTest>

namespace {

const QString classNo = QStringLiteral("6900001");

QString text(const QString& sql, const QVariantList& params = {}) {
    return Fixture::value(sql, params).toString();
}

// Attendance rows of a lesson as "id=status ..." in code order, teachers first.
QString attendance(const QString& stmId) {
    return text(QStringLiteral("SELECT group_concat(p, ' ') FROM ("
                               "SELECT 1 k, TechID || '=' || ifnull(StmStatus, '-') p "
                               "FROM TimeStampTeacher WHERE StmID = ? UNION ALL "
                               "SELECT 2, StdID || '=' || ifnull(StmStatus, '-') "
                               "FROM TimeStampStudent WHERE StmID = ? ORDER BY 1, 2)"),
                {stmId, stmId});
}

QString lessonRow(const QString& stmId) {
    return text(QStringLiteral("SELECT CourseNo || '|' || StmDate || '|' || StmItem || '|' || "
                               "StmTime1 || '|' || StmTime2 || '|' || StmHour || '|' || UserID "
                               "FROM [TimeStamp] WHERE StmID = ?"),
                {stmId});
}

QList<Lesson::Person> people(const QString& prefix, int count, int absentFrom = 1000) {
    QList<Lesson::Person> result;
    for (int i = 1; i <= count; ++i)
        result.append(
            {prefix + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')), i < absentFrom});
    return result;
}

Lesson lesson(double item, const QString& courseNo = classNo) {
    Lesson l;
    l.courseNo = courseNo;
    l.date = QStringLiteral("20261206");
    l.item = item;
    l.time1 = QStringLiteral("09.00");
    l.time2 = QStringLiteral("12.00");
    l.hours = 3;
    l.teachers = people(QStringLiteral("T"), 3);
    l.students = people(QStringLiteral("S"), 20);
    return l;
}

// The classes the lessons are saved for.
void classes() {
    for (const QString& courseNo : {classNo, QStringLiteral("6900002")})
        Fixture::classRow(courseNo, QStringLiteral("C01"), Money());
}

QString saved(const Lesson& l) {
    const LessonStore::SaveOutcome outcome =
        LessonStore::save(l, QStringLiteral("admin"), Seams::today());
    if (outcome.result != LessonStore::SaveResult::Saved)
        return QStringLiteral("not saved");
    return outcome.stmId;
}

} // namespace

class tst_lesson_store : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;

private slots:
    void init() { db = std::make_unique<TestDatabase>(); } // clock 06/12/2026
    void cleanup() { db.reset(); }

    void saveWritesOneRowPerListedPerson() {
        classes();
        Lesson l = lesson(1);
        l.students = people(QStringLiteral("S"), 20, 16);
        l.stmId = saved(l);
        QCOMPARE(l.stmId, QStringLiteral("2026000001"));
        QCOMPARE(lessonRow(l.stmId), QStringLiteral("6900001|20261206|1.0|09.00|12.00|3.0|admin"));
        QCOMPARE(
            Fixture::count(QStringLiteral("TimeStampTeacher"), QStringLiteral("StmStatus = '1'")),
            3);
        QCOMPARE(
            Fixture::count(QStringLiteral("TimeStampStudent"), QStringLiteral("StmStatus = '1'")),
            15);
        QCOMPARE(
            Fixture::count(QStringLiteral("TimeStampStudent"), QStringLiteral("StmStatus = '0'")),
            5);

        // A second save rewrites the rows; a teacher replaced on the class and a
        // pupil who left keep theirs, and the newcomer gets one.
        l.item = 1.5;
        l.hours = 2.5;
        l.teachers = {{QStringLiteral("T01"), false}, {QStringLiteral("T04"), true}};
        l.students = people(QStringLiteral("S"), 19);
        QCOMPARE(saved(l), l.stmId);
        QCOMPARE(lessonRow(l.stmId), QStringLiteral("6900001|20261206|1.5|09.00|12.00|2.5|admin"));
        const QString rows = attendance(l.stmId);
        QVERIFY2(rows.startsWith(QStringLiteral("T01=0 T02=1 T03=1 T04=1 S01=1")),
                 qPrintable(rows));
        QVERIFY2(rows.endsWith(QStringLiteral("S19=1 S20=0")), qPrintable(rows));
        QCOMPARE(Fixture::count(QStringLiteral("TimeStampTeacher")) +
                     Fixture::count(QStringLiteral("TimeStampStudent")),
                 24);
    }

    void lessonNumbersAndCodes() {
        classes();
        // A higher series of an earlier year does not carry over.
        Fixture::value(QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo, StmItem) "
                                      "VALUES ('2025000417', '6800001', 1)"));
        QCOMPARE(saved(lesson(1)), QStringLiteral("2026000001"));
        QCOMPARE(saved(lesson(2)), QStringLiteral("2026000002"));
        // A code taken at another desk meanwhile: the next free one.
        Fixture::value(QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo, StmItem) "
                                      "VALUES ('2026000003', '6900009', 1)"));
        QCOMPARE(saved(lesson(3)), QStringLiteral("2026000004"));
        db->setNow(QDateTime(QDate(2027, 1, 1), QTime(0, 5)));
        QCOMPARE(saved(lesson(4)), QStringLiteral("2027000001"));

        // A number another lesson of the class has is refused, with nothing written;
        // the lesson's own number and the same number in another class are not.
        QCOMPARE(LessonStore::save(lesson(2), QStringLiteral("admin"), Seams::today()).result,
                 LessonStore::SaveResult::NumberTaken);
        QCOMPARE(Fixture::count(QStringLiteral("TimeStamp")), 6);
        QVERIFY(LessonStore::numberTaken(classNo, 2));
        QVERIFY(!LessonStore::numberTaken(classNo, 2, QStringLiteral("2026000002")));
        QVERIFY(!LessonStore::numberTaken(classNo, 2.5));
        Lesson own = lesson(2);
        own.stmId = QStringLiteral("2026000002");
        QCOMPARE(saved(own), own.stmId);
        QCOMPARE(saved(lesson(2, QStringLiteral("6900002"))), QStringLiteral("2027000002"));
        own.item = 1;
        QCOMPARE(LessonStore::save(own, QStringLiteral("admin"), Seams::today()).result,
                 LessonStore::SaveResult::NumberTaken);
    }

    // A stored code of a later year than the clock's goes on in that year's series; a code
    // handed out and deleted since is not handed out again.
    void laterYearsCodesGoOn() {
        classes();
        Fixture::value(QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo, StmItem) "
                                      "VALUES ('2027000005', '6900002', 1)"));
        QCOMPARE(saved(lesson(1)), QStringLiteral("2027000006"));
        QVERIFY(LessonStore::remove(QStringLiteral("2027000006")));
        QVERIFY(LessonStore::remove(QStringLiteral("2027000005")));
        QCOMPARE(saved(lesson(1)), QStringLiteral("2027000007"));
    }

    void deleteTakesEveryRow() {
        classes();
        Lesson first = lesson(1);
        first.stmId = saved(first);
        saved(lesson(2));
        // Rows of a teacher no longer listed go with the lesson too.
        Fixture::value(
            QStringLiteral("INSERT INTO TimeStampTeacher (StmID, TechID) VALUES (?, 'X')"),
            {first.stmId});
        QVERIFY(LessonStore::remove(first.stmId));
        QCOMPARE(attendance(first.stmId), QString());
        QCOMPARE(Fixture::count(QStringLiteral("TimeStamp")) +
                     Fixture::count(QStringLiteral("TimeStampStudent")),
                 21);
        QCOMPARE(LessonStore::save(first, QStringLiteral("admin"), Seams::today()).result,
                 LessonStore::SaveResult::Gone);
        QCOMPARE(attendance(first.stmId), QString());
    }

    // A lesson deleted at one desk leaves its code unused: a new lesson gets the next one, so
    // that another desk's edit or delete of the old row finds nothing and writes nothing. A
    // new lesson of a class deleted meanwhile is not written at all.
    void staleLessonsAndDeletedClasses() {
        classes();
        Lesson old = lesson(1);
        old.stmId = saved(old);
        QVERIFY(LessonStore::remove(old.stmId));
        Lesson other = lesson(7, QStringLiteral("6900002"));
        other.stmId = saved(other);
        QCOMPARE(other.stmId, QStringLiteral("2026000002"));
        const QString before = lessonRow(other.stmId) + attendance(other.stmId);
        for (const QString& courseNo : {classNo, QStringLiteral("6900002")}) {
            old.courseNo = courseNo;
            QCOMPARE(LessonStore::save(old, QStringLiteral("admin"), Seams::today()).result,
                     LessonStore::SaveResult::Gone);
        }
        QVERIFY(!LessonStore::remove(old.stmId));
        QCOMPARE(lessonRow(other.stmId) + attendance(other.stmId), before);

        Fixture::value(QStringLiteral("DELETE FROM CourseTable WHERE CourseNo = ?"), {classNo});
        QCOMPARE(LessonStore::save(lesson(2), QStringLiteral("admin"), Seams::today()).result,
                 LessonStore::SaveResult::ClassGone);
        QCOMPARE(Fixture::count(QStringLiteral("TimeStamp")), 1);
        QCOMPARE(Fixture::count(QStringLiteral("TimeStampTeacher")) +
                     Fixture::count(QStringLiteral("TimeStampStudent")),
                 23);
        QCOMPARE(Fixture::count(QStringLiteral("CodeSeries")), 1);
        // The refused save took no code.
        QCOMPARE(saved(lesson(2, QStringLiteral("6900002"))), QStringLiteral("2026000003"));
    }

    void teacherLessonsView() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์ส 'พิเศษ'"));
        Fixture::classRow(classNo, QStringLiteral("C01"), Money());
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money());
        Fixture::teacher(QStringLiteral("T01"), QStringLiteral("ครูหนึ่ง"));
        Fixture::teacher(QStringLiteral("T02"), QStringLiteral("ครูสอง"));
        for (const char* rate : {"('6900001', 'T01', 350)", "('6900002', 'T02', 400)"})
            Fixture::value(QStringLiteral("INSERT INTO TeacherCourse (CourseNo, TechID, "
                                          "TechRateAmt) VALUES ") +
                           QLatin1String(rate));
        Lesson l = lesson(1);
        l.teachers = {{QStringLiteral("T01"), true}, {QStringLiteral("T02"), false}};
        l.stmId = saved(l);
        Lesson other = lesson(1, QStringLiteral("6900002"));
        other.teachers = {{QStringLiteral("T02"), true}};
        other.stmId = saved(other);
        Fixture::value(QStringLiteral("UPDATE TimeStampTeacher SET StmStatus = NULL WHERE TechID = "
                                      "'T02' AND StmID = ?"),
                       {other.stmId});
        // The second class and the first teacher have gone since.
        Fixture::value(QStringLiteral("DELETE FROM CourseTable WHERE CourseNo = '6900002'"));
        Fixture::value(QStringLiteral("DELETE FROM Teacher WHERE TechID = 'T01'"));
        const QString rows = text(QStringLiteral(
            "SELECT group_concat(r, ' / ') FROM (SELECT StmID || ' ' || StmDate || ' ' || "
            "StmTime1 || '-' || StmTime2 || ' ' || StmHour || ' ' || CourseNo || ' ' || "
            "ifnull(CourseName, '?') || ' ' || ifnull(CourseLevel, '?') || ' ' || "
            "ifnull(Subject, '?') || ' ' || TechID || ' ' || ifnull(TechName, '?') || ' ' || "
            "ifnull(TechRateAmt, '?') || ' ' || Status r "
            "FROM qTeacherTimeStamp ORDER BY StmID, TechID)"));
        QCOMPARE(rows, QStringLiteral("2026000001 20261206 09.00-12.00 3.0 6900001 คอร์ส 'พิเศษ' "
                                      "ม.1 คณิตศาสตร์ T01 ? 350.0 1 / "
                                      "2026000001 20261206 09.00-12.00 3.0 6900001 คอร์ส 'พิเศษ' "
                                      "ม.1 คณิตศาสตร์ T02 ครูสอง ? 0 / "
                                      "2026000002 20261206 09.00-12.00 3.0 6900002 ? ? ? T02 "
                                      "ครูสอง 400.0 1"));
    }
};

QTEST_MAIN(tst_lesson_store)
#include "tst_lesson_store.moc"
