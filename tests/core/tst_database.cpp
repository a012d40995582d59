#include "core/Database.h"
#include "core/Numbering.h"
#include "core/Recordset.h"
#include "core/Seams.h"
#include "core/ThaiOrder.h"
#include "frame/Library.h"
#include "support/TestSupport.h"

#include <QCollator>
#include <QLocale>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

namespace {

Connection& db() {
    return Connection::shared();
}

QStringList texts(const QString& sql, const QVariantList& params = {}) {
    Recordset rs = Recordset::open(sql, params, true);
    QStringList result;
    for (; !rs.isEOF(); rs.MoveNext())
        result << rs.value(0).toString();
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
    for (const char* sql :
         {"INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, IsCancel, UserID, "
          "UserCancelID) VALUES ('69000001', '20261206', '6900001', 1000, '69-00001', '0', "
          "'admin', '')",
          "INSERT INTO StatementSub (StmID, StmItem, CourseNo, StmAmt, StmOBal) VALUES "
          "('69000001', 1, '6900001', 1000, 3500)",
          "INSERT INTO [TimeStamp] (StmID, CourseNo, StmDate, StmItem, StmTime1, StmTime2, "
          "StmHour, UserID) VALUES ('2026000001', '6900001', '20261206', 1, '09.00', '12.00', 3, "
          "'admin')",
          "INSERT INTO TimeStampTeacher (StmID, TechID, StmAmt, StmIsPay, StmStatus) VALUES "
          "('2026000001', 'T01', 0, '0', '1')",
          "INSERT INTO TimeStampStudent (StmID, StdID, StmStatus) VALUES "
          "('2026000001', '6900001', '1')"})
        db().exec(QString::fromLatin1(sql));
}

} // namespace

class tst_database : public QObject {
    Q_OBJECT

private slots:
    void init() { database = std::make_unique<TestDatabase>(); }
    void cleanup() { database.reset(); }

    // Each view has its columns on a real row; all hold a value there except the points and
    // maxima not yet written and the open end date. "Name*" stands for Name1 to Name9.
    void viewsCarryTheirColumnsAndJoinTheRightRows() {
        oneOfEverything();
        const std::pair<const char*, const char*> views[] = {
            {"QCourseTable",
             "CourseNo CourseName CourseLevel Subject CourseDate CourseTime TimeHour TestMax*"},
            {"qStudentCourse",
             "StdID CourseNo CourseRegDate CoursePayAmt CoursePayDate CourseGrade CourseID "
             "CourseLevel Subject CourseDate CourseTime DateStart DateEnd CoursePrice RoomNo "
             "CourseName CourseStartDate CourseEndDate CourseStatus TestPoint* TestMax*"},
            {"QStudentCourse2", "StdID StdName CourseNo CourseGrade CoursePoint TestPoint*"},
            {"QStudentCourse3", "StdID StdName CourseNo CourseRegDate CourseName CourseLevel "
                                "Subject CoursePrice CoursePayAmt CourseStatus"},
            {"qStatementCourse", "StmID StdID StmDate StmDocNo IsCancel CourseNo CourseName "
                                 "CourseLevel Subject StmAmt StmOBal"},
            {"QStatementStudent",
             "StdID StmNetAmt StmDocNo StmDate IsCancel UserID UserCancelID StdName"},
            {"qTeacherTimeStamp", "StmID StmDate StmItem StmTime1 StmTime2 StmHour CourseNo "
                                  "CourseName CourseLevel Subject TechID TechName StmStatus"}};
        for (const auto& [view, columns] : views) {
            Recordset rs = Recordset::open(
                QStringLiteral("SELECT  *  From   ") + QString::fromLatin1(view), {}, true);
            QCOMPARE(rs.RecordCount(), 1);
            for (const QString& name : QString::fromLatin1(columns).split(u' ')) {
                const bool numbered = name.endsWith(u'*');
                const bool maybeNull = numbered || name == QStringLiteral("CoursePoint") ||
                                       name == QStringLiteral("CourseEndDate");
                for (int i = 1; i <= (numbered ? 9 : 1); ++i) {
                    const QString column = numbered ? name.chopped(1) + QString::number(i) : name;
                    const QByteArray where = view + QByteArray(".") + column.toLatin1();
                    QVERIFY2(rs.hasField(column) && (maybeNull || !rs.isNull(column)), where);
                }
            }
        }

        Recordset course = Recordset::open(QStringLiteral("Select * From QCourseTable"), {}, true);
        QCOMPARE(course.text(QStringLiteral("CourseTime")), QStringLiteral("09.00-12.00"));
        QVERIFY(course.isNull(QStringLiteral("TestMax1")));
        Recordset reg = Recordset::open(QStringLiteral("Select * From qStudentCourse"), {}, true);
        QCOMPARE(reg.money(QStringLiteral("CoursePrice")), Money::fromBaht(3500));
        QCOMPARE(reg.money(QStringLiteral("CoursePayAmt")), Money::fromBaht(1000));
        QCOMPARE(Money::fromVariant(Fixture::value(QStringLiteral("Select StmOBal From "
                                                                  "qStatementCourse"))),
                 Money::fromBaht(3500));

        // A class without a course still has its one row.
        Fixture::classRow(QStringLiteral("6900002"), QString(), Money::fromBaht(100));
        QCOMPARE(Fixture::count(QStringLiteral("QCourseTable")), 2);
        QCOMPARE(Fixture::count(QStringLiteral("QStudentCourse")), 1);

        // Keys refuse duplicates.
        QVERIFY_THROWS_EXCEPTION(
            DbError, Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001")));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 Fixture::student(QStringLiteral("6900001"), QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(
            DbError, db().exec(QStringLiteral("INSERT INTO TeacherCourse (CourseNo, TechID) "
                                              "VALUES ('6900001', 'T01'), ('6900001', 'T01')")));
        QCOMPARE(Fixture::count(QStringLiteral("TeacherCourse")), 0);
    }

    void recordsetsReadBindAndKeepNullApart() {
        const QString quoted = QStringLiteral("แก้วตา โอ'ไบรอัน");
        Fixture::student(QStringLiteral("6900001"), quoted, QStringLiteral("แก้ว"));
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("บุญมี ศรีสุข"));

        Recordset rs =
            Library::OpenRecordset(QStringLiteral("Select * From Student Order By StdID"));
        QCOMPARE(rs.RecordCount(), 2);
        QCOMPARE(rs.text(QStringLiteral("stdname")), quoted);
        rs.MoveNext();
        QCOMPARE(rs.value(QStringLiteral("StdId")).toString(), QStringLiteral("6900002"));
        rs.MoveNext();
        QVERIFY(rs.isEOF());

        // A quote in a value, bound and through the quoting helper.
        const QStringList found{QStringLiteral("6900001")};
        const QString byName = QStringLiteral("Select StdID From Student Where StdName = ");
        QCOMPARE(texts(byName + u'?', {quoted}), found);
        QCOMPARE(texts(byName + Library::Quote(quoted)), found);

        // Bound values of a write come back as they were; a record set never writes.
        db().exec(QStringLiteral("INSERT INTO Expense (ExpID, ExpDesc, ExpDbAmt) VALUES (?, ?, ?)"),
                  {QStringLiteral("69000001"), QStringLiteral("ค่าน้ำ 'ประปา'"),
                   Money::fromText(QStringLiteral("1,234.35")).toVariant()});
        QCOMPARE(texts(QStringLiteral("Select ExpDesc From Expense")),
                 QStringList{QStringLiteral("ค่าน้ำ 'ประปา'")});
        QCOMPARE(Money::fromVariant(Fixture::value(QStringLiteral("Select ExpDbAmt From Expense"))),
                 Money::fromSatang(123435));
        QVERIFY(Fixture::value(QStringLiteral("Select ExpDate From Expense")).isNull());
        QVERIFY_THROWS_EXCEPTION(
            DbError, Recordset::open(QStringLiteral("Select * From CtrlSetup"), {}, false));

        // Empty text, NULL, and a null QString (which binds as NULL) stay apart.
        db().exec(QStringLiteral("INSERT INTO Course (CourseID, CourseName, CourseEndDate) "
                                 "VALUES ('A', 'ก', ?), ('B', 'ข', ?), ('C', 'ค', ?)"),
                  {QStringLiteral(""), QVariant(), QString()});
        rs = Recordset::open(QStringLiteral("Select * From Course Order By CourseID"), {}, true);
        for (bool null : {false, true, true}) {
            QCOMPARE(rs.isNull(QStringLiteral("CourseEndDate")), null);
            QCOMPARE(rs.text(QStringLiteral("CourseEndDate")), QString());
            QCOMPARE(rs.money(QStringLiteral("CourseEndDate")), Money());
            rs.MoveNext();
        }
        QCOMPARE(Fixture::count(QStringLiteral("Course"), QStringLiteral("CourseEndDate is null")),
                 2);
    }

    void statementsPreparedOnceReadForwardOrHeld() {
        for (int i : {3, 1, 2})
            Fixture::student(QStringLiteral("690000") + QString::number(i),
                             QStringLiteral("ชื่อ %1").arg(i % 2), QStringLiteral("เล่น"));
        const QString byCode =
            QStringLiteral("SELECT StdID, StdNickName FROM Student ORDER BY StdID");

        // Forward only: no count, each row once, no way back; the same statement read
        // meanwhile by another record set gives that one its own rows.
        Recordset walk = Recordset::forwardOnly(byCode);
        QVERIFY(walk.RecordCount() == -1 && !walk.isEmpty());
        QStringList codes;
        for (walk.MoveFirst(); !walk.isEOF(); walk.MoveNext()) {
            codes << walk.text(QStringLiteral("stdid"));
            QCOMPARE(Recordset::open(byCode, {}, true).RecordCount(), 3);
        }
        QCOMPARE(codes.join(u' '), QStringLiteral("6900001 6900002 6900003"));
        QVERIFY(walk.value(0).isNull());
        QVERIFY_THROWS_EXCEPTION(DbError, walk.MoveFirst());
        QVERIFY(Recordset::forwardOnly(byCode + QStringLiteral(" LIMIT 0")).isEmpty());

        // Held rows of a long list keep one copy of a text that repeats down a column.
        Recordset held = Recordset::open(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < 40) SELECT 'เล่น ' || (i % 2) AS Nick FROM n"),
            {}, true);
        QCOMPARE(held.RecordCount(), 40);
        QCOMPARE(held.rows().at(20).at(0).toString().constData(),
                 held.rows().at(38).at(0).toString().constData());

        // A changed table gives a kept "SELECT *" its new columns.
        const QString everything = QStringLiteral("SELECT * FROM Course");
        QVERIFY(!Recordset::open(everything, {}, true).hasField(QStringLiteral("CourseMemo")));
        db().exec(QStringLiteral("ALTER TABLE Course ADD COLUMN CourseMemo TEXT"));
        QVERIFY(Recordset::open(everything, {}, true).hasField(QStringLiteral("CourseMemo")));

        // Closing the connection under a record set still being read ends that read.
        Recordset open = Recordset::forwardOnly(byCode);
        db().close();
        QVERIFY(!db().isOpen());
        open.MoveNext();
        QVERIFY(open.isEOF());
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 3);
    }

    // A long read gives every text as stored, whether its column repeats texts down the
    // rows, now and then or never: codes, Thai names, empty texts and NULLs, forward or held.
    void longReadsGiveEveryTextAsStored() {
        const QString rows = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
            "SELECT i, printf('%07d', i) AS Code, CASE WHEN i % 5 = 0 THEN NULL "
            "WHEN i % 7 = 0 THEN '' ELSE 'ชื่อ ' || i END AS Name, "
            "'เล่น ' || (i / 3) AS Nick, CASE WHEN i > 15000 THEN 'ท้าย' ELSE i % 3 END AS Late "
            "FROM n");
        auto check = [](const Recordset& row, int i) {
            QCOMPARE(row.value(0).toInt(), i);
            QCOMPARE(row.text(QStringLiteral("Code")),
                     QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0')));
            QCOMPARE(row.isNull(QStringLiteral("Name")), i % 5 == 0);
            QCOMPARE(row.text(QStringLiteral("Name")),
                     i % 5 == 0 || i % 7 == 0 ? QString() : QStringLiteral("ชื่อ %1").arg(i));
            QCOMPARE(row.text(QStringLiteral("Nick")), QStringLiteral("เล่น %1").arg(i / 3));
            QCOMPARE(row.text(QStringLiteral("Late")),
                     i > 15000 ? QStringLiteral("ท้าย") : QString::number(i % 3));
        };
        Recordset walk = Recordset::forwardOnly(rows);
        int i = 0;
        for (; !walk.isEOF() && !QTest::currentTestFailed(); walk.MoveNext())
            check(walk, ++i);
        QCOMPARE(i, 20000);
        Recordset held = Recordset::open(rows, {}, true);
        QCOMPARE(held.RecordCount(), 20000);
        for (i = 0; !held.isEOF() && !QTest::currentTestFailed(); held.MoveNext())
            check(held, ++i);
    }

    void failuresShowAnErrorRollBackAndKeepTheFile() {
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

        QVERIFY(Library::OpenRecordset(QStringLiteral("Select * From Nowhere")).isEOF());
        QCOMPARE(messages.errors.size(), 1);

        // What was written is there after the file is opened again.
        db().close();
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 1);
        QCOMPARE(Fixture::count(QStringLiteral("CtrlSetup"),
                                QStringLiteral("ShopBiLLNo = '00000' And ShopBiLLAutoRun Is Null")),
                 1);

        // A file that cannot be opened is an error and leaves no half-open connection.
        const QString good = Seams::databasePath();
        Seams::setDatabasePath(QStringLiteral("/nonexistent-folder/Vadel.db"));
        QVERIFY_THROWS_EXCEPTION(DbError, db().open());
        QVERIFY(!db().isOpen());
        Seams::setDatabasePath(good);
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 1);
    }

    void numberingTakesTheLargestOfItsSeries() {
        const QString table = QStringLiteral("CourseTable");
        auto next = [&](const char* prefix) {
            return Numbering::nextInSeries(table, QStringLiteral("CourseNo"),
                                           QString::fromLatin1(prefix), 7);
        };
        const std::tuple<const char*, const char*, const char*> steps[] = {
            {"", "69", "6900001"},
            {"6800041", "69", "6900001"}, // last year's codes do not count
            {"6900001 6900009", "69", "6900010"},
            // A later year's code (the clock was set back) neither moves nor collides.
            {"7000003 69ABCDE", "69", "6900010"},
            {"", "70", "7000004"}};
        for (const auto& [codes, prefix, expected] : steps) {
            for (const QString& code : QString::fromLatin1(codes).split(u' ', Qt::SkipEmptyParts))
                Fixture::classRow(code, QString(), Money());
            QCOMPARE(next(prefix), QString::fromLatin1(expected));
        }
        QCOMPARE(Numbering::nextInSeries(QStringLiteral("TimeStamp"), QStringLiteral("StmID"),
                                         QStringLiteral("2026"), 10),
                 QStringLiteral("2026000001"));
        // A used-up series is an error, not a longer code.
        Fixture::classRow(QStringLiteral("7199999"), QString(), Money());
        QVERIFY_THROWS_EXCEPTION(DbError, next("71"));

        auto nextBill = [](const char* first) {
            return Numbering::takeAfterLargest(QStringLiteral("Statement"), QStringLiteral("StmID"),
                                               QString::fromLatin1(first), 8);
        };
        QCOMPARE(nextBill("69000001"), QStringLiteral("69000001"));
        db().exec(QStringLiteral("INSERT INTO Statement (StmID) VALUES ('69000001'), "
                                 "('69000123'), ('X9999999'), ('999')"));
        QCOMPARE(nextBill("70000001"), QStringLiteral("69000124"));

        // Inside a write transaction the code is taken and written together.
        {
            Transaction transaction;
            Fixture::classRow(next("69"), QString(), Money());
            transaction.commit();
        }
        QCOMPARE(Fixture::count(table, QStringLiteral("CourseNo = '6900010'")), 1);
    }

    // A code freed by a delete is never handed out again, in a yearly series or one numbered
    // after the largest code; a code taken by a write rolled back is.
    void numberingNeverHandsOutAFreedCode() {
        const QString table = QStringLiteral("Expense");
        const QString column = QStringLiteral("ExpID");
        auto take = [&] {
            const QString code = Numbering::takeInSeries(table, column, QStringLiteral("69"), 8);
            db().exec(QStringLiteral("INSERT INTO Expense (ExpID) VALUES (?)"), {code});
            return code;
        };
        auto takeBill = [] {
            const QString code =
                Numbering::takeAfterLargest(QStringLiteral("Statement"), QStringLiteral("StmID"),
                                            QStringLiteral("69000001"), 8);
            db().exec(QStringLiteral("INSERT INTO Statement (StmID) VALUES (?)"), {code});
            return code;
        };
        QStringList taken;
        for (int i = 0; i < 2; ++i)
            taken << take() << takeBill();
        QCOMPARE(taken.join(u' '), QStringLiteral("69000001 69000001 69000002 69000002"));
        db().exec(QStringLiteral("DELETE FROM Expense"));
        db().exec(QStringLiteral("DELETE FROM Statement"));
        QCOMPARE(Numbering::nextInSeries(table, column, QStringLiteral("69"), 8),
                 QStringLiteral("69000003"));
        for (bool committed : {false, true}) {
            Transaction transaction;
            QCOMPARE(take(), QStringLiteral("69000003"));
            QCOMPARE(takeBill(), QStringLiteral("69000003"));
            if (committed)
                transaction.commit();
        }
        QCOMPARE(Numbering::nextInSeries(table, column, QStringLiteral("69"), 8),
                 QStringLiteral("69000004"));
        // Other years and other series keep their own counts.
        QCOMPARE(Numbering::nextInSeries(table, column, QStringLiteral("70"), 8),
                 QStringLiteral("70000001"));
        QCOMPARE(Numbering::nextInSeries(QStringLiteral("CourseTable"), QStringLiteral("CourseNo"),
                                         QStringLiteral("69"), 7),
                 QStringLiteral("6900001"));
    }

    void thaiNamesSortInDictionaryOrder() {
        const QStringList expected =
            QStringLiteral("กนกพร ใจดี,กมล ทองดี,เกศินี สายใจ,แก้วตา มณี,ขวัญใจ ศรีสุข,เจริญ บุญมา,"
                           "ใจดี มีสุข,บุญมี ทองคำ,ไพโรจน์ สุขใจ,โสภา ใจงาม")
                .split(u',');
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์ส"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(10));
        for (int i : {9, 3, 0, 7, 5, 1, 8, 2, 6, 4}) {
            const QString id = QStringLiteral("690000") + QString::number(i);
            Fixture::student(id, expected.at(i), expected.at(i));
            Fixture::registration(id, QStringLiteral("6900001"));
        }
        for (const char* sql :
             {"Select StdName From Student Order By StdName COLLATE THAI",
              "Select StdNickName From Student Order By StdNickName COLLATE THAI",
              "SELECT StdName FROM QStudentCourse3 Order By StdName COLLATE THAI"})
            QCOMPARE(texts(QString::fromLatin1(sql)), expected);
    }

    // 50,000 generated names (leading vowels, tone marks, repeated and nested words, texts
    // alike but for an invisible character) come out of the database's THAI collation and
    // of the engine's comparison in the order of Qt's Thai collator, equal keys by code unit.
    void thaiOrderIsTheCollatorsOn50000Names() {
        const QStringList syllables =
            QStringLiteral("ก,กา,ก่า,ก้า,เก,แก,โก,ใก,ไก,กำ,กิ,กี,กึ,กื,กุ,กู,ข,ค,ฆ,ง,จ,ฉ,ช,ซ,ญ,ณ,ด,"
                           "ต,ถ,ท,น,บ,ป,ผ,พ,ฟ,ม,ย,ร,ฤ,ล,ว,ศ,ส,ห,อ,ฮ,เกา,เกีย,เกือ,กร,กล,ชัย,ศรี,"
                           "สุข,ทอง,แก้ว,ใจ,ดี,ๆ,-,A,b,1")
                .split(u',');
        QRandomGenerator random(2026);
        QStringList names;
        for (int i = 0; i < 50'000; ++i) {
            QString name;
            for (int n = static_cast<int>(random.bounded(1, 5)); n > 0; --n)
                name += syllables.at(random.bounded(static_cast<int>(syllables.size())));
            if (i % 97 == 0)
                name += QChar(0x200B); // zero width space: equal for the collator
            if (i % 13 == 0)
                name += QLatin1Char(' ') + names.value(i / 2);
            names << name;
        }
        db().exec(QStringLiteral("CREATE TEMP TABLE Names (Name TEXT)"));
        {
            Transaction transaction;
            for (const QString& name : names)
                db().exec(QStringLiteral("INSERT INTO Names VALUES (?)"), {name});
            transaction.commit();
        }
        const QCollator collator(QLocale(QLocale::Thai, QLocale::Thailand));
        QStringList expected = names;
        std::sort(expected.begin(), expected.end(), [&](const QString& a, const QString& b) {
            const int order = collator.compare(a, b);
            return order != 0 ? order < 0 : a < b;
        });
        QStringList engine = names;
        std::sort(engine.begin(), engine.end(),
                  [](const QString& a, const QString& b) { return ThaiOrder::compare(a, b) < 0; });
        const QStringList database =
            texts(QStringLiteral("SELECT Name FROM Names ORDER BY Name COLLATE THAI"));
        QCOMPARE(database.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(database.at(i), expected.at(i));
            QCOMPARE(engine.at(i), expected.at(i));
        }
    }

    // A desk that searched a school's registrations leaves the query planner statistics of
    // every table that has rows when it closes the school (not only of the tables it
    // searched: with some alone the planner scans every registration for a range of
    // pupils); the next desk plans with them.
    void closingLeavesThePlannersStatistics() {
        oneOfEverything();
        texts(QStringLiteral("SELECT CourseNo FROM QStudentCourse WHERE StdID = ?"),
              {QStringLiteral("6900001")});
        db().close();
        for (const char* table : {"StudentCourse", "Student", "CourseTable", "Course", "Statement"})
            QVERIFY2(Fixture::count(QStringLiteral("sqlite_stat1"), QStringLiteral("tbl = ?"),
                                    {QString::fromLatin1(table)}) > 0,
                     table);
    }

private:
    std::unique_ptr<TestDatabase> database;
};

QTEST_MAIN(tst_database)
#include "tst_database.moc"
