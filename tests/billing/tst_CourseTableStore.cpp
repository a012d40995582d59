#include "billing/CourseTableStore.h"
#include "library/Database.h"
#include "library/Library.h"
#include "support/TestSupport.h"

#include <QTest>

// The writes of the timetable on a real database file.
class tst_CourseTableStore : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;

    static CourseClass sample() {
        CourseClass course;
        course.courseId = QStringLiteral("C01");
        course.level = QStringLiteral("ม.3");
        course.subject = QStringLiteral("ฟิสิกส์");
        course.days = QStringLiteral("เสาร์'อาทิตย์");
        course.time = QStringLiteral("13.00-16.00");
        course.price = Money::fromText(QStringLiteral("12,500.50"));
        course.dateStart = QStringLiteral("20261210");
        course.dateEnd = QStringLiteral("20261105");
        course.hours = 22.5;
        course.room = QStringLiteral("201");
        course.teachers = {{QStringLiteral("001"), Money::fromBaht(1200)},
                           {QStringLiteral("003"), Money::fromText(QStringLiteral("350.25"))}};
        return course;
    }
    static QStringList teachersOf(const QString& courseNo) {
        QStringList rows;
        QSqlQuery query = Connection::shared().exec(
            QStringLiteral("SELECT TechID, TechRateAmt FROM TeacherCourse WHERE CourseNo = ? "
                           "ORDER BY rowid"),
            {courseNo});
        while (query.next())
            rows << query.value(0).toString() + QLatin1Char('=') +
                        Money::fromVariant(query.value(1)).toText(false);
        return rows;
    }

private slots:
    void init() { db = std::make_unique<TestDatabase>(); } // clock 06/12/2026: year 69
    void cleanup() { db.reset(); }

    void numbering() {
        // Classes of other years do not move this year's series.
        Fixture::classRow(QStringLiteral("6800007"), QStringLiteral("C01"), Money());
        QCOMPARE(CourseTableStore::proposedNumber(), QStringLiteral("6900001"));
        QCOMPARE(CourseTableStore::add(sample()), QStringLiteral("6900001"));
        QCOMPARE(CourseTableStore::add(sample()), QStringLiteral("6900002"));
        QCOMPARE(CourseTableStore::proposedNumber(), QStringLiteral("6900003"));

        // The clock's year counts, not the working date.
        db->setNow(QDateTime(QDate(2027, 1, 2), QTime(8, 0)));
        Library::gToday = QStringLiteral("20261231");
        QCOMPARE(CourseTableStore::add(sample()), QStringLiteral("7000001"));

        // Clock set back a year: the year's own series goes on, nothing is overwritten.
        db->setNow(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
        QCOMPARE(CourseTableStore::proposedNumber(), QStringLiteral("6900003"));
        QCOMPARE(CourseTableStore::add(sample()), QStringLiteral("6900003"));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 5);

        // A number taken meanwhile by another workstation: the next free one is drawn.
        const QString proposed = CourseTableStore::proposedNumber();
        Fixture::classRow(proposed, QStringLiteral("C09"), Money::fromBaht(1));
        QCOMPARE(CourseTableStore::add(sample()), QStringLiteral("6900005"));
        QCOMPARE(
            Fixture::value(QStringLiteral("SELECT CourseID FROM CourseTable WHERE CourseNo = ?"),
                           {proposed})
                .toString(),
            QStringLiteral("C09"));
    }

    void addAndUpdate() {
        const QString no = CourseTableStore::add(sample());
        QSqlQuery row = Connection::shared().exec(
            QStringLiteral("SELECT CourseID, CourseLevel, Subject, CourseDate, CourseTime, "
                           "CoursePrice, DateStart, DateEnd, TimeHour, RoomNo, TestMax1 "
                           "FROM CourseTable WHERE CourseNo = ?"),
            {no});
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toString(), QStringLiteral("C01"));
        QCOMPARE(row.value(3).toString(), QStringLiteral("เสาร์'อาทิตย์"));
        QCOMPARE(Money::fromVariant(row.value(5)), Money::fromSatang(1250050));
        // A start after the end is stored as typed.
        QCOMPARE(row.value(6).toString(), QStringLiteral("20261210"));
        QCOMPARE(row.value(7).toString(), QStringLiteral("20261105"));
        QCOMPARE(row.value(8).toDouble(), 22.5);
        QVERIFY(row.value(10).isNull());
        QCOMPARE(teachersOf(no),
                 (QStringList{QStringLiteral("001=1200.00"), QStringLiteral("003=350.25")}));

        CourseClass changed = sample();
        changed.courseNo = no;
        changed.subject = QStringLiteral("เคมี");
        changed.teachers = {{QStringLiteral("002"), Money::fromBaht(500)}};
        QVERIFY(CourseTableStore::update(changed));
        QCOMPARE(Fixture::value(
                     QStringLiteral("SELECT Subject FROM CourseTable WHERE CourseNo = ?"), {no})
                     .toString(),
                 QStringLiteral("เคมี"));
        QCOMPARE(teachersOf(no), QStringList{QStringLiteral("002=500.00")});

        changed.teachers.clear();
        QVERIFY(CourseTableStore::update(changed));
        QCOMPARE(teachersOf(no), QStringList());

        // A class deleted meanwhile is not brought back.
        changed.courseNo = QStringLiteral("6999999");
        changed.teachers = {{QStringLiteral("002"), Money::fromBaht(500)}};
        QVERIFY(!CourseTableStore::update(changed));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 1);
        QCOMPARE(Fixture::count(QStringLiteral("TeacherCourse")), 0);
    }

    void failedSaveChangesNothing() {
        const QString no = CourseTableStore::add(sample());
        CourseClass twice = sample();
        twice.courseNo = no;
        twice.subject = QStringLiteral("เคมี");
        twice.teachers = {{QStringLiteral("002"), Money::fromBaht(1)},
                          {QStringLiteral("002"), Money::fromBaht(2)}};
        QVERIFY_THROWS_EXCEPTION(DbError, CourseTableStore::update(twice));
        QCOMPARE(Fixture::value(
                     QStringLiteral("SELECT Subject FROM CourseTable WHERE CourseNo = ?"), {no})
                     .toString(),
                 QStringLiteral("ฟิสิกส์"));
        QCOMPARE(teachersOf(no).size(), 2);

        QVERIFY_THROWS_EXCEPTION(DbError, CourseTableStore::add(twice));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 1);
    }

    void deleteRefusedWhileNamed() {
        const QString registered = CourseTableStore::add(sample());
        const QString taught = CourseTableStore::add(sample());
        const QString billed = CourseTableStore::add(sample());
        const QString unused = CourseTableStore::add(sample());
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("เด็กชายทดสอบ"));
        Fixture::registration(QStringLiteral("6900001"), registered);
        Fixture::value(QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo) VALUES ('1', ?)"),
                       {taught});
        Fixture::value(QStringLiteral("INSERT INTO StatementSub (StmID, StmItem, CourseNo, StmAmt) "
                                      "VALUES ('6900001', 1, ?, 100)"),
                       {billed});
        for (const QString& no : {registered, taught, billed}) {
            QCOMPARE(CourseTableStore::remove(no), CourseTableStore::DeleteResult::InUse);
            QCOMPARE(Fixture::count(QStringLiteral("TeacherCourse"), QStringLiteral("CourseNo = ?"),
                                    {no}),
                     2);
        }
        QCOMPARE(CourseTableStore::remove(unused), CourseTableStore::DeleteResult::Deleted);
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 3);
        QCOMPARE(Fixture::count(QStringLiteral("TeacherCourse"), QStringLiteral("CourseNo = ?"),
                                {unused}),
                 0);
    }
};

QTEST_MAIN(tst_CourseTableStore)
#include "tst_CourseTableStore.moc"
