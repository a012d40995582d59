#include "billing/CourseTableStore.h"
#include "billing/ExpenseStore.h"
#include "billing/PaymentStore.h"
#include "core/Database.h"
#include "core/SampleData.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "results/LessonStore.h"
#include "support/TestSupport.h"

#include <QTest>

class tst_sample : public QObject {
    Q_OBJECT

private slots:
    void init() { database = std::make_unique<TestDatabase>(); }
    void cleanup() { database.reset(); }

    // The demo school loads once into a new database (three courses open on the tests' working
    // date); a second load and a missing script are errors that change nothing.
    void demoSchoolLoadsOnce() {
        const QString script = QStringLiteral(VADEL_SOURCE_DIR "/sample/demo.sql");
        SampleData::load(script);
        QVERIFY_THROWS_EXCEPTION(DbError, SampleData::load(script));
        QVERIFY_THROWS_EXCEPTION(DbError, SampleData::load(script + QStringLiteral(".none")));

        const std::tuple<const char*, const char*, int> counts[] = {
            {"CtrlSetup",
             "ShopName = 'สถาบันกวดวิชาปัญญาเลิศ' And ShopPrintBiLL = '1' And ShopBiLLAutoRun = '1' "
             "And ShopBiLLYY = '69' And ShopBiLLNo = '00041' And ShopTel <> '' And ShopFax <> '' "
             "And length(ShopAddr) - length(replace(ShopAddr, char(13, 10), '')) = 2",
             1},
            {"Course", "CourseStatus = '1' And ifnull(CourseEndDate, '9') >= '20261206'", 3},
            // The windows and reports put "คอร์ส" before a course's name themselves.
            {"Course", "CourseName Like 'คอร์ส%'", 0},
            {"Teacher", "TechSts = '1'", 5},
            {"Student", "", 40},
            {"Student",
             "length(StdID) = 7 And StdName <> '' And StdNickName <> '' And StdAddr Like '%' || "
             "char(13, 10) || '%' And StdLevel In (Select CourseLevel From CourseLevel)",
             40},
            {"CourseTable", "", 10},
            {"StudentCourse", "", 50},
            {"StudentCourse", "CoursePayAmt = 0", 11},
            {"Statement", "IsCancel = '1'", 1},
            // Every registration's paid amount is what its valid bill lines say.
            {"StudentCourse",
             "CoursePayAmt <> (Select ifnull(Sum(l.StmAmt), 0) From StatementSub l Join Statement "
             "s "
             "On s.StmID = l.StmID Where s.IsCancel = '0' And s.StdID = StudentCourse.StdID And "
             "l.CourseNo = StudentCourse.CourseNo)",
             0},
            {"Student", "StdID Not In (Select StdID From StudentCourse)", 12},
            {"TimeStamp", "", 40},
            {"Expense", "", 9},
            {"CtrlUser", "", 0}};
        for (const auto& [table, where, expected] : counts)
            QCOMPARE(Fixture::count(QString::fromLatin1(table), QString::fromUtf8(where)),
                     expected);
    }

    // The demo school's codes were not handed out by the program: deleting its newest class,
    // expense, lesson and bill does not free their codes for the next new ones.
    void demoSchoolCodesGoOn() {
        SampleData::load(QStringLiteral(VADEL_SOURCE_DIR "/sample/demo.sql"));
        for (const char* newest : {"DELETE FROM CourseTable WHERE CourseNo = '6900010'",
                                   "DELETE FROM Expense WHERE ExpID = '69000009'",
                                   "DELETE FROM [TimeStamp] WHERE StmID = '2026000040'",
                                   "DELETE FROM Statement WHERE StmID = '69000041'"})
            Fixture::exec(QString::fromLatin1(newest));
        CourseClass course;
        course.courseId =
            Fixture::value(QStringLiteral("SELECT min(CourseID) FROM Course")).toString();
        QCOMPARE(CourseTableStore::add(course, Seams::today()), QStringLiteral("6900011"));
        QCOMPARE(ExpenseStore::add({QString(), QStringLiteral("x"), Money::fromBaht(1), Money()},
                                   Library::gToday, Library::gUserID, Seams::today()),
                 QStringLiteral("69000010"));
        Lesson lesson;
        lesson.courseNo = QStringLiteral("6900011");
        lesson.date = Library::gToday;
        lesson.item = 1;
        lesson.hours = 1;
        QCOMPARE(LessonStore::save(lesson, Library::gUserID, Seams::today()).stmId,
                 QStringLiteral("2026000041"));
        const QString pupil =
            Fixture::value(QStringLiteral("SELECT min(StdID) FROM Student")).toString();
        Fixture::exec(QStringLiteral("UPDATE CourseTable SET CoursePrice = 100 WHERE CourseNo = "
                                     "'6900011'"));
        Fixture::registration(pupil, QStringLiteral("6900011"));
        QCOMPARE(PaymentStore::post({pupil,
                                     QStringLiteral("69-00042"),
                                     {{1, QStringLiteral("6900011"), Money::fromBaht(100)}},
                                     Library::gToday,
                                     Library::gUserID,
                                     {}},
                                    Seams::today())
                     .stmId,
                 QStringLiteral("69000042"));
    }

private:
    std::unique_ptr<TestDatabase> database;
};

QTEST_MAIN(tst_sample)
#include "tst_sample.moc"
