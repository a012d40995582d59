#include "library/Database.h"
#include "library/Library.h"
#include "library/Numbering.h"
#include "library/Recordset.h"
#include "library/Seams.h"
#include "support/TestSupport.h"

#include <QTest>

namespace {

Connection& db() {
    return Connection::shared();
}

QStringList texts(const QString& sql, const QString& column, const QVariantList& params = {}) {
    Recordset rs = Recordset::open(sql, params, true);
    QStringList result;
    for (; !rs.isEOF(); rs.MoveNext())
        result << rs.text(column);
    return result;
}

// One of everything: a course with a class, a student registered and billed,
// a lesson with its teacher and student.
void oneOfEverything() {
    Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตเข้ม ม.3"));
    Fixture::teacher(QStringLiteral("T01"), QStringLiteral("ครูสมศักดิ์ ใจดี"));
    Fixture::student(QStringLiteral("6900001"), QStringLiteral("เด็กชายกล้า หาญ"),
                     QStringLiteral("กล้า"));
    Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(3500));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"),
                          Money::fromBaht(1000));
    db().exec(QStringLiteral("INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, "
                             "IsCancel, UserID, UserCancelID) VALUES (?, ?, ?, ?, ?, '0', ?, '')"),
              {QStringLiteral("69000001"), QStringLiteral("20261206"), QStringLiteral("6900001"),
               Money::fromBaht(1000).toVariant(), QStringLiteral("69-00001"),
               QStringLiteral("admin")});
    db().exec(QStringLiteral("INSERT INTO StatementSub (StmID, StmItem, CourseNo, StmAmt, "
                             "StmOBal) VALUES (?, 1, ?, ?, ?)"),
              {QStringLiteral("69000001"), QStringLiteral("6900001"),
               Money::fromBaht(1000).toVariant(), Money::fromBaht(3500).toVariant()});
    db().exec(
        QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo, StmDate, StmItem, "
                       "StmTime1, StmTime2, StmHour, UserID) VALUES (?, ?, ?, 1, '09.00', "
                       "'12.00', 3, 'admin')"),
        {QStringLiteral("2026000001"), QStringLiteral("6900001"), QStringLiteral("20261206")});
    db().exec(QStringLiteral("INSERT INTO TimeStampTeacher (StmID, TechID, StmAmt, StmIsPay, "
                             "StmStatus) VALUES (?, ?, 0, '0', '1')"),
              {QStringLiteral("2026000001"), QStringLiteral("T01")});
    db().exec(QStringLiteral("INSERT INTO TimeStampStudent (StmID, StdID, StmStatus) "
                             "VALUES (?, ?, '1')"),
              {QStringLiteral("2026000001"), QStringLiteral("6900001")});
}

QStringList numbered(const QString& stem, int from, int to) {
    QStringList names;
    for (int i = from; i <= to; ++i)
        names << stem + QString::number(i);
    return names;
}

} // namespace

class TestDatabaseLayer : public QObject {
    Q_OBJECT

private slots:
    void init() { database = std::make_unique<TestDatabase>(); }
    void cleanup() { database.reset(); }

    void viewsCarryTheirColumns_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QStringList>("columns");
        const QStringList tests = numbered(QStringLiteral("TestPoint"), 1, 9);
        const QStringList maxima = numbered(QStringLiteral("TestMax"), 1, 9);
        QTest::newRow("QCourseTable")
            << QStringLiteral("QCourseTable")
            << (QStringList{QStringLiteral("CourseNo"), QStringLiteral("CourseName"),
                            QStringLiteral("CourseLevel"), QStringLiteral("Subject"),
                            QStringLiteral("CourseDate"), QStringLiteral("CourseTime"),
                            QStringLiteral("TimeHour")} +
                maxima);
        QTest::newRow("qStudentCourse")
            << QStringLiteral("qStudentCourse")
            << (QStringList{QStringLiteral("StdID"), QStringLiteral("CourseNo"),
                            QStringLiteral("CourseRegDate"), QStringLiteral("CoursePayAmt"),
                            QStringLiteral("CoursePayDate"), QStringLiteral("CourseGrade"),
                            QStringLiteral("CourseID"), QStringLiteral("CourseLevel"),
                            QStringLiteral("Subject"), QStringLiteral("CourseDate"),
                            QStringLiteral("CourseTime"), QStringLiteral("DateStart"),
                            QStringLiteral("DateEnd"), QStringLiteral("CoursePrice"),
                            QStringLiteral("RoomNo"), QStringLiteral("CourseName"),
                            QStringLiteral("CourseStartDate"), QStringLiteral("CourseEndDate"),
                            QStringLiteral("CourseStatus")} +
                tests + maxima);
        QTest::newRow("QStudentCourse2")
            << QStringLiteral("QStudentCourse2")
            << (QStringList{QStringLiteral("StdID"), QStringLiteral("StdName"),
                            QStringLiteral("CourseNo"), QStringLiteral("CourseGrade"),
                            QStringLiteral("CoursePoint")} +
                tests);
        QTest::newRow("QStudentCourse3")
            << QStringLiteral("QStudentCourse3")
            << QStringList{QStringLiteral("StdID"),        QStringLiteral("StdName"),
                           QStringLiteral("CourseNo"),     QStringLiteral("CourseRegDate"),
                           QStringLiteral("CourseName"),   QStringLiteral("CourseLevel"),
                           QStringLiteral("Subject"),      QStringLiteral("CoursePrice"),
                           QStringLiteral("CoursePayAmt"), QStringLiteral("CourseStatus")};
        QTest::newRow("qStatementCourse")
            << QStringLiteral("qStatementCourse")
            << QStringList{QStringLiteral("StmID"),      QStringLiteral("StdID"),
                           QStringLiteral("StmDate"),    QStringLiteral("StmDocNo"),
                           QStringLiteral("IsCancel"),   QStringLiteral("CourseNo"),
                           QStringLiteral("CourseName"), QStringLiteral("CourseLevel"),
                           QStringLiteral("Subject"),    QStringLiteral("StmAmt"),
                           QStringLiteral("StmOBal")};
        QTest::newRow("QStatementStudent")
            << QStringLiteral("QStatementStudent")
            << QStringList{QStringLiteral("StdID"),        QStringLiteral("StmNetAmt"),
                           QStringLiteral("StmDocNo"),     QStringLiteral("StmDate"),
                           QStringLiteral("IsCancel"),     QStringLiteral("UserID"),
                           QStringLiteral("UserCancelID"), QStringLiteral("StdName")};
        QTest::newRow("qTeacherTimeStamp")
            << QStringLiteral("qTeacherTimeStamp")
            << QStringList{QStringLiteral("StmID"),       QStringLiteral("StmDate"),
                           QStringLiteral("StmItem"),     QStringLiteral("StmTime1"),
                           QStringLiteral("StmTime2"),    QStringLiteral("StmHour"),
                           QStringLiteral("CourseNo"),    QStringLiteral("CourseName"),
                           QStringLiteral("CourseLevel"), QStringLiteral("Subject"),
                           QStringLiteral("TechID"),      QStringLiteral("TechName"),
                           QStringLiteral("StmStatus")};
    }

    void viewsCarryTheirColumns() {
        QFETCH(QString, view);
        QFETCH(QStringList, columns);
        oneOfEverything();
        Recordset rs = Recordset::open(QStringLiteral("SELECT  *  From   ") + view, {}, true);
        QCOMPARE(rs.RecordCount(), 1);
        for (const QString& column : columns)
            QVERIFY2(rs.hasField(column), qPrintable(column));
        // Every fixed column holds a value in this row, except points not yet written.
        for (const QString& column : columns) {
            if (!column.startsWith(QStringLiteral("Test")) &&
                column != QStringLiteral("CoursePoint") &&
                column != QStringLiteral("CourseEndDate"))
                QVERIFY2(!rs.isNull(column), qPrintable(column));
        }
    }

    void viewsJoinTheRightRows() {
        oneOfEverything();
        Recordset course =
            Recordset::open(QStringLiteral("Select * From QCourseTable Where CourseNo = ?"),
                            {QStringLiteral("6900001")}, true);
        QCOMPARE(course.text(QStringLiteral("CourseName")), QStringLiteral("คณิตเข้ม ม.3"));
        QCOMPARE(course.text(QStringLiteral("CourseTime")), QStringLiteral("09.00-12.00"));
        QVERIFY(course.isNull(QStringLiteral("TestMax1")));

        // A class without a course still has its one row.
        Fixture::classRow(QStringLiteral("6900002"), QString(), Money::fromBaht(100));
        QCOMPARE(Fixture::count(QStringLiteral("QCourseTable")), 2);
        QCOMPARE(Fixture::count(QStringLiteral("QStudentCourse")), 1);

        Recordset reg = Recordset::open(
            QStringLiteral("Select * From qStudentCourse Where StdID = ? And CourseStatus='1' "
                           "Order By CourseID, CourseNo"),
            {QStringLiteral("6900001")}, true);
        QCOMPARE(reg.RecordCount(), 1);
        QCOMPARE(reg.money(QStringLiteral("CoursePrice")), Money::fromBaht(3500));
        QCOMPARE(reg.money(QStringLiteral("CoursePayAmt")), Money::fromBaht(1000));
        QCOMPARE(reg.text(QStringLiteral("CourseID")), QStringLiteral("C01"));

        Recordset unpaid = Recordset::open(
            QStringLiteral("SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' and "
                           "CoursePrice > CoursePayAmt  "),
            {}, true);
        QCOMPARE(unpaid.RecordCount(), 1);
        Recordset bill =
            Recordset::open(QStringLiteral("Select * From qStatementCourse Where StmID = ?"),
                            {QStringLiteral("69000001")}, true);
        QCOMPARE(bill.money(QStringLiteral("StmOBal")), Money::fromBaht(3500));
        QCOMPARE(bill.text(QStringLiteral("CourseName")), QStringLiteral("คณิตเข้ม ม.3"));
        Recordset lesson = Recordset::open(
            QStringLiteral("SELECT  *  From   qTeacherTimeStamp   Where  StmDate = ?"),
            {QStringLiteral("20261206")}, true);
        QCOMPARE(lesson.text(QStringLiteral("TechName")), QStringLiteral("ครูสมศักดิ์ ใจดี"));
        QCOMPARE(lesson.number(QStringLiteral("StmHour")), 3.0);
    }

    void keysRefuseDuplicates() {
        oneOfEverything();
        QVERIFY_THROWS_EXCEPTION(
            DbError, Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001")));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 Fixture::student(QStringLiteral("6900001"), QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(
            DbError, db().exec(QStringLiteral("INSERT INTO TeacherCourse (CourseNo, TechID) "
                                              "VALUES ('6900001', 'T01'), ('6900001', 'T01')")));
        QCOMPARE(Fixture::count(QStringLiteral("TeacherCourse")), 0);
    }

    void recordsetsReadAddAndUpdate() {
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("แก้วตา โอ'ไบรอัน"),
                         QStringLiteral("แก้ว"));
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("บุญมี ศรีสุข"));

        Recordset rs =
            Library::OpenRecordset(QStringLiteral("Select * From Student Order By StdID"), true);
        QCOMPARE(rs.RecordCount(), 2);
        QVERIFY(!rs.isEOF());
        QCOMPARE(rs.text(QStringLiteral("stdname")), QStringLiteral("แก้วตา โอ'ไบรอัน"));
        QCOMPARE(rs.text(QStringLiteral("STDID")), QStringLiteral("6900001"));
        rs.MoveNext();
        QCOMPARE(rs.value(QStringLiteral("StdId")).toString(), QStringLiteral("6900002"));
        rs.MoveNext();
        QVERIFY(rs.isEOF());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.AddNew());

        // A quote in a value, bound and through the quoting helper.
        QCOMPARE(texts(QStringLiteral("Select StdID From Student Where StdName = ?"),
                       QStringLiteral("StdID"), {QStringLiteral("แก้วตา โอ'ไบรอัน")}),
                 QStringList{QStringLiteral("6900001")});
        QCOMPARE(texts(QStringLiteral("Select StdID From Student Where StdName = ") +
                           Library::Quote(QStringLiteral("แก้วตา โอ'ไบรอัน")),
                       QStringLiteral("StdID")),
                 QStringList{QStringLiteral("6900001")});

        // Add through an updatable record set.
        Recordset add =
            Library::OpenRecordset(QStringLiteral("Select * From Expense Where ExpID = ?"), false,
                                   {QStringLiteral("none")});
        QCOMPARE(add.RecordCount(), 0);
        add.AddNew();
        add.setValue(QStringLiteral("expid"), QStringLiteral("69000001"));
        add.setValue(QStringLiteral("ExpDesc"), QStringLiteral("ค่าน้ำ 'ประปา'"));
        add.setValue(QStringLiteral("ExpDbAmt"), Money::fromText(QStringLiteral("1,234.35")));
        add.setValue(QStringLiteral("ExpCrAmt"), Money());
        QCOMPARE(add.text(QStringLiteral("ExpDesc")), QStringLiteral("ค่าน้ำ 'ประปา'"));
        add.Update();
        QCOMPARE(add.RecordCount(), 1);
        QCOMPARE(Fixture::value(QStringLiteral("Select ExpDesc From Expense")).toString(),
                 QStringLiteral("ค่าน้ำ 'ประปา'"));
        QCOMPARE(Money::fromVariant(Fixture::value(QStringLiteral("Select ExpDbAmt From Expense"))),
                 Money::fromSatang(123435));
        QVERIFY(Fixture::value(QStringLiteral("Select ExpDate From Expense")).isNull());

        // Change the row: the new value reads back before and after Update.
        add.setValue(QStringLiteral("ExpDesc"), QStringLiteral("ค่าไฟ"));
        QCOMPARE(add.text(QStringLiteral("ExpDesc")), QStringLiteral("ค่าไฟ"));
        add.Update();
        Recordset edit = Library::OpenRecordset(QStringLiteral("Select * From CtrlSetup"), false);
        QCOMPARE(edit.RecordCount(), 1);
        QCOMPARE(edit.text(QStringLiteral("ShopBiLLNo")), QStringLiteral("00000"));
        edit.setValue(QStringLiteral("ShopBiLLYY"), QStringLiteral("69"));
        edit.setValue(QStringLiteral("ShopBiLLNo"), QStringLiteral("00001"));
        edit.Update();
        QCOMPARE(Fixture::value(QStringLiteral("Select ShopBiLLYY || '-' || ShopBiLLNo From "
                                               "CtrlSetup"))
                     .toString(),
                 QStringLiteral("69-00001"));
        QCOMPARE(Fixture::value(QStringLiteral("Select ExpDesc From Expense")).toString(),
                 QStringLiteral("ค่าไฟ"));
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), 1);

        // A repeated column name reads the first column of that name.
        Recordset both =
            Recordset::open(QStringLiteral("Select 'first' AS Name, 'second' AS name"), {}, true);
        QCOMPARE(both.text(QStringLiteral("NAME")), QStringLiteral("first"));
    }

    void nullStaysApartFromEmptyText() {
        db().exec(QStringLiteral("INSERT INTO Course (CourseID, CourseName, CourseEndDate) "
                                 "VALUES ('A', ?, ?), ('B', ?, ?), ('C', ?, ?)"),
                  {QStringLiteral("ว่าง"), QStringLiteral(""), QStringLiteral("ไม่มี"), QVariant(),
                   QStringLiteral("สตริงว่าง"), QString()});
        Recordset rs =
            Recordset::open(QStringLiteral("Select * From Course Order By CourseID"), {}, true);
        QVERIFY(!rs.isNull(QStringLiteral("CourseEndDate")));
        QCOMPARE(rs.text(QStringLiteral("CourseEndDate")), QString());
        rs.MoveNext();
        QVERIFY(rs.isNull(QStringLiteral("CourseEndDate")));
        QCOMPARE(rs.text(QStringLiteral("CourseEndDate")), QString());
        rs.MoveNext();
        // A null QString binds as NULL.
        QVERIFY(rs.isNull(QStringLiteral("CourseEndDate")));
        QCOMPARE(Fixture::count(QStringLiteral("Course"), QStringLiteral("CourseEndDate is null")),
                 2);
        QCOMPARE(rs.money(QStringLiteral("CourseEndDate")), Money());
    }

    void failuresShowAnErrorAndRollBack() {
        ScriptedMessages messages;
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("ก"));
        try {
            Transaction transaction;
            Fixture::student(QStringLiteral("6900002"), QStringLiteral("ข"));
            Fixture::student(QStringLiteral("6900001"), QStringLiteral("ซ้ำ"));
            transaction.commit();
            QFAIL("a duplicate key must fail");
        } catch (const DbError& error) {
            QVERIFY(error.message().contains(QStringLiteral("UNIQUE")));
        }
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 1);

        try {
            Transaction transaction;
            Fixture::student(QStringLiteral("6900003"), QStringLiteral("ค"));
            throw std::runtime_error("stop");
        } catch (const std::runtime_error&) {
        }
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 1);
        {
            Transaction transaction;
            Fixture::student(QStringLiteral("6900004"), QStringLiteral("ง"));
            transaction.commit();
        }
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 2);

        QVERIFY(!Library::ExecSQL(QStringLiteral("Update Nowhere Set x = 1")));
        QCOMPARE(messages.errors.size(), 1);
        Recordset empty = Library::OpenRecordset(QStringLiteral("Select * From Nowhere"), true);
        QCOMPARE(empty.RecordCount(), 0);
        QVERIFY(empty.isEOF());
        QCOMPARE(messages.errors.size(), 2);
        QVERIFY(Library::ExecSQL(QStringLiteral("Update Student Set StdMemo = ? Where StdID = ?"),
                                 {QStringLiteral("it's fine"), QStringLiteral("6900004")}));
        QCOMPARE(messages.errors.size(), 2);
    }

    void numberingTakesTheLargestOfItsSeries() {
        const QString table = QStringLiteral("CourseTable");
        const QString column = QStringLiteral("CourseNo");
        // First of a year.
        QCOMPARE(Numbering::nextInSeries(table, column, QStringLiteral("69"), 7),
                 QStringLiteral("6900001"));
        // Last year's codes do not count.
        Fixture::classRow(QStringLiteral("6800041"), QString(), Money());
        QCOMPARE(Numbering::nextInSeries(table, column, QStringLiteral("69"), 7),
                 QStringLiteral("6900001"));
        Fixture::classRow(QStringLiteral("6900001"), QString(), Money());
        Fixture::classRow(QStringLiteral("6900009"), QString(), Money());
        QCOMPARE(Numbering::nextInSeries(table, column, QStringLiteral("69"), 7),
                 QStringLiteral("6900010"));
        // A later year's code (the clock was set back) neither moves nor collides.
        Fixture::classRow(QStringLiteral("7000003"), QString(), Money());
        Fixture::classRow(QStringLiteral("69ABCDE"), QString(), Money());
        QCOMPARE(Numbering::nextInSeries(table, column, QStringLiteral("69"), 7),
                 QStringLiteral("6900010"));
        QCOMPARE(Numbering::nextInSeries(table, column, QStringLiteral("70"), 7),
                 QStringLiteral("7000004"));
        // Lesson codes with the four-digit year.
        QCOMPARE(Numbering::nextInSeries(QStringLiteral("TimeStamp"), QStringLiteral("StmID"),
                                         QStringLiteral("2026"), 10),
                 QStringLiteral("2026000001"));
        // A used-up series is an error, not a longer code.
        Fixture::classRow(QStringLiteral("7199999"), QString(), Money());
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 Numbering::nextInSeries(table, column, QStringLiteral("71"), 7));

        const QString bills = QStringLiteral("Statement");
        const QString key = QStringLiteral("StmID");
        QCOMPARE(Numbering::nextAfterLargest(bills, key, QStringLiteral("69000001"), 8),
                 QStringLiteral("69000001"));
        db().exec(QStringLiteral("INSERT INTO Statement (StmID) VALUES ('69000001'), "
                                 "('69000123'), ('X9999999'), ('999')"));
        QCOMPARE(Numbering::nextAfterLargest(bills, key, QStringLiteral("70000001"), 8),
                 QStringLiteral("69000124"));

        // Inside a write transaction the code is taken and written together.
        {
            Transaction transaction;
            const QString next = Numbering::nextInSeries(table, column, QStringLiteral("69"), 7);
            Fixture::classRow(next, QString(), Money());
            transaction.commit();
        }
        QCOMPARE(Fixture::count(table, QStringLiteral("CourseNo = '6900010'")), 1);
    }

    void thaiNamesSortInDictionaryOrder() {
        const QStringList expected = {QStringLiteral("กนกพร ใจดี"),   QStringLiteral("กมล ทองดี"),
                                      QStringLiteral("เกศินี สายใจ"),  QStringLiteral("แก้วตา มณี"),
                                      QStringLiteral("ขวัญใจ ศรีสุข"),  QStringLiteral("เจริญ บุญมา"),
                                      QStringLiteral("ใจดี มีสุข"),     QStringLiteral("บุญมี ทองคำ"),
                                      QStringLiteral("ไพโรจน์ สุขใจ"), QStringLiteral("โสภา ใจงาม")};
        QStringList shuffled = expected;
        std::reverse(shuffled.begin(), shuffled.end());
        std::swap(shuffled[1], shuffled[6]);
        for (int i = 0; i < shuffled.size(); ++i) {
            const QString id = QStringLiteral("69000%1").arg(i, 2, 10, QLatin1Char('0'));
            Fixture::student(id, shuffled.at(i), shuffled.at(i));
        }
        QCOMPARE(texts(QStringLiteral("Select StdName From Student Order By StdName"),
                       QStringLiteral("StdName")),
                 expected);
        QCOMPARE(texts(QStringLiteral("Select StdNickName From Student Order By StdNickName"),
                       QStringLiteral("StdNickName")),
                 expected);

        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์ส"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(10));
        for (int i = 0; i < shuffled.size(); ++i)
            Fixture::registration(QStringLiteral("69000%1").arg(i, 2, 10, QLatin1Char('0')),
                                  QStringLiteral("6900001"));
        QCOMPARE(texts(QStringLiteral("SELECT * FROM QStudentCourse3 Order By StdName"),
                       QStringLiteral("StdName")),
                 expected);
    }

    void aReopenedFileKeepsItsData() {
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย"));
        db().close();
        QVERIFY(!db().isOpen());
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 1);
        QVERIFY(db().isOpen());
        QCOMPARE(Fixture::value(QStringLiteral("PRAGMA user_version")).toInt(), 1);
        QCOMPARE(Fixture::count(QStringLiteral("CtrlSetup")), 1);
        QCOMPARE(Fixture::value(QStringLiteral("PRAGMA journal_mode")).toString(),
                 QStringLiteral("wal"));
        QCOMPARE(Fixture::value(QStringLiteral("Select ShopBiLLNo From CtrlSetup")).toString(),
                 QStringLiteral("00000"));
        QVERIFY(Fixture::value(QStringLiteral("Select ShopBiLLAutoRun From CtrlSetup")).isNull());

        // A file that cannot be opened is an error and leaves no half-open connection.
        const QString good = Seams::databasePath();
        Seams::setDatabasePath(QStringLiteral("/nonexistent-folder/Vadel.db"));
        QVERIFY_THROWS_EXCEPTION(DbError, db().open());
        QVERIFY(!db().isOpen());
        Seams::setDatabasePath(good);
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 1);
    }

private:
    std::unique_ptr<TestDatabase> database;
};

QTEST_MAIN(TestDatabaseLayer)
#include "tst_database.moc"
