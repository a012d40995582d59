#include "billing/CourseTableStore.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "support/TestSupport.h"

#include <QTest>

class tst_course_table_store : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    CourseClass sample;

    static int teachers(const QString& courseNo) {
        return Fixture::count(QStringLiteral("TeacherCourse"), QStringLiteral("CourseNo = ?"),
                              {courseNo});
    }

private slots:
    void init() {
        db = std::make_unique<TestDatabase>(); // clock 06/12/2026: year 69
        sample.courseId = QStringLiteral("C01");
        sample.teachers = {{QStringLiteral("001"), Money()}};
    }
    void cleanup() { db.reset(); }

    void numbering() {
        Fixture::classRow(QStringLiteral("6800007"), QStringLiteral("C01"), Money());
        QCOMPARE(CourseTableStore::add(sample, Seams::today()), QStringLiteral("6900001"));
        QCOMPARE(CourseTableStore::add(sample, Seams::today()), QStringLiteral("6900002"));
        // The clock's year counts, not the working date.
        db->setNow(QDateTime(QDate(2027, 1, 2), QTime(8, 0)));
        Library::gToday = QStringLiteral("20261231");
        QCOMPARE(CourseTableStore::add(sample, Seams::today()), QStringLiteral("7000001"));
        // Clock set back: the year's own series goes on; a number taken meanwhile is skipped.
        db->setNow(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
        QCOMPARE(CourseTableStore::proposedNumber(Seams::today()), QStringLiteral("6900003"));
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C09"), Money());
        QCOMPARE(CourseTableStore::add(sample, Seams::today()), QStringLiteral("6900004"));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable"), QStringLiteral("CourseID = 'C09'")),
                 1);
    }

    void failedWriteChangesNothing() {
        CourseClass twice = sample;
        twice.courseNo = CourseTableStore::add(sample, Seams::today());
        twice.subject = QStringLiteral("เคมี");
        twice.teachers = {{QStringLiteral("002"), Money()}, {QStringLiteral("002"), Money()}};
        QVERIFY_THROWS_EXCEPTION(DbError, CourseTableStore::update(twice));
        QVERIFY_THROWS_EXCEPTION(DbError, CourseTableStore::add(twice, Seams::today()));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable"), QStringLiteral("Subject = 'เคมี'")),
                 0);
        QCOMPARE(teachers(twice.courseNo), 1);
    }

    void deleteRefusedWhileNamed() {
        for (const char* use : {"StudentCourse (StdID, CourseNo) VALUES ('6900001', ?)",
                                "[TimeStamp] (StmID, CourseNo) VALUES ('1', ?)",
                                "StatementSub (StmID, StmItem, CourseNo) VALUES ('1', 1, ?)"}) {
            const QString no = CourseTableStore::add(sample, Seams::today());
            Fixture::value(QStringLiteral("INSERT INTO ") + QLatin1String(use), {no});
            QCOMPARE(CourseTableStore::remove(no), CourseTableStore::DeleteResult::InUse);
            QCOMPARE(teachers(no), 1);
        }
        const QString unused = CourseTableStore::add(sample, Seams::today());
        QCOMPARE(CourseTableStore::remove(unused), CourseTableStore::DeleteResult::Deleted);
        QCOMPARE(teachers(unused), 0);
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 3);
        QCOMPARE(CourseTableStore::remove(unused), CourseTableStore::DeleteResult::Gone);
        // Its number is not given to the next class, so an edit of the old row writes nothing.
        QVERIFY(CourseTableStore::add(sample, Seams::today()) > unused);
        CourseClass stale = sample;
        stale.courseNo = unused;
        QVERIFY(!CourseTableStore::update(stale));
    }
};

QTEST_MAIN(tst_course_table_store)
#include "tst_course_table_store.moc"
