#include "billing/CourseTableStore.h"
#include "library/Database.h"
#include "library/Library.h"
#include "support/TestSupport.h"

#include <QTest>

namespace {

CourseClass sample(QList<CourseClass::Teacher> teachers = {}) {
    CourseClass course;
    course.courseId = QStringLiteral("C01");
    course.level = QStringLiteral("ม.3");
    course.subject = QStringLiteral("ฟิสิกส์");
    course.price = Money::fromBaht(12500);
    course.dateStart = QStringLiteral("20261210");
    course.dateEnd = QStringLiteral("20261105");
    course.teachers = std::move(teachers);
    return course;
}

int teachers(const QString& courseNo) {
    return Fixture::count(QStringLiteral("TeacherCourse"), QStringLiteral("CourseNo = ?"),
                          {courseNo});
}

} // namespace

class tst_CourseTableStore : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;

private slots:
    void init() { db = std::make_unique<TestDatabase>(); } // clock 06/12/2026: year 69
    void cleanup() { db.reset(); }

    void numbering() {
        Fixture::classRow(QStringLiteral("6800007"), QStringLiteral("C01"), Money());
        QCOMPARE(CourseTableStore::proposedNumber(), QStringLiteral("6900001"));
        QCOMPARE(CourseTableStore::add(sample()), QStringLiteral("6900001"));
        QCOMPARE(CourseTableStore::add(sample()), QStringLiteral("6900002"));
        // The clock's year counts, not the working date.
        db->setNow(QDateTime(QDate(2027, 1, 2), QTime(8, 0)));
        Library::gToday = QStringLiteral("20261231");
        QCOMPARE(CourseTableStore::add(sample()), QStringLiteral("7000001"));
        // Clock set back: the year's own series goes on.
        db->setNow(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
        QCOMPARE(CourseTableStore::proposedNumber(), QStringLiteral("6900003"));
        // A number taken meanwhile by another workstation is skipped, not overwritten.
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C09"), Money());
        QCOMPARE(CourseTableStore::add(sample()), QStringLiteral("6900004"));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable"), QStringLiteral("CourseID = 'C09'")),
                 1);
    }

    void failedWriteChangesNothing() {
        const QString no = CourseTableStore::add(sample({{QStringLiteral("001"), Money()}}));
        CourseClass twice = sample({{QStringLiteral("002"), Money::fromBaht(1)},
                                    {QStringLiteral("002"), Money::fromBaht(2)}});
        twice.courseNo = no;
        twice.subject = QStringLiteral("เคมี");
        QVERIFY_THROWS_EXCEPTION(DbError, CourseTableStore::update(twice));
        QVERIFY_THROWS_EXCEPTION(DbError, CourseTableStore::add(twice));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable"), QStringLiteral("Subject = 'ฟิสิกส์'")),
                 1);
        QCOMPARE(Fixture::count(QStringLiteral("TeacherCourse"), QStringLiteral("TechID = '001'")),
                 1);
    }

    void deleteRefusedWhileNamed() {
        QStringList numbers;
        for (int i = 0; i < 4; ++i)
            numbers << CourseTableStore::add(sample({{QStringLiteral("001"), Money()}}));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("เด็กชายทดสอบ"));
        Fixture::registration(QStringLiteral("6900001"), numbers[0]);
        Fixture::value(QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo) VALUES ('1', ?)"),
                       {numbers[1]});
        Fixture::value(QStringLiteral("INSERT INTO StatementSub (StmID, StmItem, CourseNo) "
                                      "VALUES ('6900001', 1, ?)"),
                       {numbers[2]});
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(CourseTableStore::remove(numbers[i]), CourseTableStore::DeleteResult::InUse);
            QCOMPARE(teachers(numbers[i]), 1);
        }
        QCOMPARE(CourseTableStore::remove(numbers[3]), CourseTableStore::DeleteResult::Deleted);
        QCOMPARE(teachers(numbers[3]), 0);
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 3);
    }
};

QTEST_MAIN(tst_CourseTableStore)
#include "tst_CourseTableStore.moc"
