#include "library/Schema.h"

#include "library/Database.h"

#include <QStringList>

namespace Schema {
namespace {

// Version 1: every table, index and stored query of the program.
const char* const version1[] = {
    "CREATE TABLE CtrlSetup (\n"
    "    ShopName TEXT, ShopAddr TEXT, ShopTel TEXT, ShopFax TEXT,\n"
    "    ShopPrintBiLL TEXT, ShopBiLLAutoRun TEXT, ShopBiLLYY TEXT, ShopBiLLNo TEXT,\n"
    "    ShopImagePath TEXT)",
    "CREATE TABLE CtrlUser (\n"
    "    UserID TEXT PRIMARY KEY, UserName TEXT, UserPassword TEXT)",
    "CREATE TABLE CtrlMenu (\n"
    "    MnuID TEXT PRIMARY KEY, MnuName TEXT NOT NULL UNIQUE, MnuCaption TEXT, MnuOrder INTEGER)",
    "CREATE TABLE UserMenu (\n"
    "    UserID TEXT NOT NULL, MnuID TEXT NOT NULL, PRIMARY KEY (UserID, MnuID))",
    "CREATE TABLE Subject (Subject TEXT COLLATE THAI PRIMARY KEY)",
    "CREATE TABLE CourseLevel (CourseLevel TEXT COLLATE THAI PRIMARY KEY)",
    "CREATE TABLE Course (\n"
    "    CourseID TEXT PRIMARY KEY, CourseName TEXT COLLATE THAI,\n"
    "    CourseStartDate TEXT, CourseEndDate TEXT, CourseStatus TEXT)",
    "CREATE TABLE Teacher (\n"
    "    TechID TEXT PRIMARY KEY, TechName TEXT COLLATE THAI, TechRateAmt REAL, TechSts TEXT)",
    "CREATE TABLE Student (\n"
    "    StdID TEXT PRIMARY KEY, StdName TEXT COLLATE THAI, StdNickName TEXT COLLATE THAI,\n"
    "    StdFather TEXT, StdFatherJob TEXT, StdMother TEXT, StdMotherJob TEXT, StdAddr TEXT,\n"
    "    StdBirthDay TEXT, StdRegDate TEXT, StdTel TEXT, StdEMail TEXT, StdSex TEXT,\n"
    "    StdReligion TEXT, StdLikeColor TEXT, StdLikeSubject TEXT, StdLikeHobby TEXT,\n"
    "    StdPurpose TEXT, StdReason TEXT, StdSuggest TEXT, StdSchool TEXT,\n"
    "    StdLevel TEXT COLLATE THAI,\n"
    "    StdGrade1 TEXT, StdGrade2 TEXT, StdGrade3 TEXT, StdGrade4 TEXT,\n"
    "    StdGrade5 TEXT, StdGrade6 TEXT, StdGrade7 TEXT, StdGrade8 TEXT, StdMemo TEXT)",
    "CREATE INDEX Student_StdName ON Student (StdName)",
    "CREATE INDEX Student_StdNickName ON Student (StdNickName)",
    "CREATE TABLE CourseTable (\n"
    "    CourseNo TEXT PRIMARY KEY, CourseID TEXT, CourseLevel TEXT COLLATE THAI,\n"
    "    Subject TEXT COLLATE THAI, CourseDate TEXT, CourseTime TEXT, CoursePrice REAL,\n"
    "    DateStart TEXT, DateEnd TEXT, TimeHour REAL, RoomNo TEXT,\n"
    "    TestMax1 REAL,\n"
    "    TestMax2 REAL,\n"
    "    TestMax3 REAL,\n"
    "    TestMax4 REAL,\n"
    "    TestMax5 REAL,\n"
    "    TestMax6 REAL,\n"
    "    TestMax7 REAL,\n"
    "    TestMax8 REAL,\n"
    "    TestMax9 REAL)",
    "CREATE INDEX CourseTable_CourseID ON CourseTable (CourseID)",
    "CREATE INDEX CourseTable_DateStart ON CourseTable (DateStart)",
    "CREATE INDEX CourseTable_DateEnd ON CourseTable (DateEnd)",
    "CREATE TABLE TeacherCourse (\n"
    "    CourseNo TEXT NOT NULL, TechID TEXT NOT NULL, TechRateAmt REAL,\n"
    "    UNIQUE (CourseNo, TechID))",
    "CREATE TABLE StudentCourse (\n"
    "    StdID TEXT NOT NULL, CourseNo TEXT NOT NULL, CourseRegDate TEXT, CoursePayAmt REAL,\n"
    "    CoursePayDate TEXT, CourseGrade TEXT, CoursePoint REAL,\n"
    "    TestPoint1 REAL,\n"
    "    TestPoint2 REAL,\n"
    "    TestPoint3 REAL,\n"
    "    TestPoint4 REAL,\n"
    "    TestPoint5 REAL,\n"
    "    TestPoint6 REAL,\n"
    "    TestPoint7 REAL,\n"
    "    TestPoint8 REAL,\n"
    "    TestPoint9 REAL,\n"
    "    PRIMARY KEY (StdID, CourseNo))",
    "CREATE INDEX StudentCourse_CourseNo ON StudentCourse (CourseNo)",
    "CREATE INDEX StudentCourse_CourseRegDate ON StudentCourse (CourseRegDate)",
    "CREATE TABLE Statement (\n"
    "    StmID TEXT PRIMARY KEY, StmDate TEXT, StdID TEXT, StmNetAmt REAL, StmDocNo TEXT,\n"
    "    IsCancel TEXT, UserID TEXT, UserCancelID TEXT)",
    "CREATE INDEX Statement_StmDate ON Statement (StmDate)",
    "CREATE INDEX Statement_StdID ON Statement (StdID)",
    "CREATE TABLE StatementSub (\n"
    "    StmID TEXT NOT NULL, StmItem INTEGER NOT NULL, CourseNo TEXT, StmAmt REAL, StmOBal REAL,\n"
    "    PRIMARY KEY (StmID, StmItem))",
    "CREATE INDEX StatementSub_CourseNo ON StatementSub (CourseNo)",
    "CREATE TABLE Expense (\n"
    "    ExpID TEXT PRIMARY KEY, ExpDate TEXT, ExpDesc TEXT, ExpCrAmt REAL, ExpDbAmt REAL,\n"
    "    UserID TEXT)",
    "CREATE INDEX Expense_ExpDate ON Expense (ExpDate)",
    "CREATE TABLE [TimeStamp] (\n"
    "    StmID TEXT PRIMARY KEY, CourseNo TEXT, StmDate TEXT, StmItem REAL, StmTime1 TEXT,\n"
    "    StmTime2 TEXT, StmHour REAL, UserID TEXT)",
    "CREATE INDEX TimeStamp_CourseNo ON [TimeStamp] (CourseNo)",
    "CREATE INDEX TimeStamp_StmDate ON [TimeStamp] (StmDate)",
    "CREATE TABLE TimeStampTeacher (\n"
    "    StmID TEXT NOT NULL, TechID TEXT NOT NULL, StmAmt REAL, StmIsPay TEXT, StmStatus TEXT,\n"
    "    UNIQUE (StmID, TechID))",
    "CREATE TABLE TimeStampStudent (\n"
    "    StmID TEXT NOT NULL, StdID TEXT NOT NULL, StmStatus TEXT,\n"
    "    UNIQUE (StmID, StdID))",
    "CREATE INDEX TimeStampStudent_StdID ON TimeStampStudent (StdID)",
    "CREATE VIEW QCourseTable AS\n"
    "SELECT ct.CourseNo, ct.CourseID, c.CourseName, ct.CourseLevel, ct.Subject, ct.CourseDate,\n"
    "       ct.CourseTime, ct.CoursePrice, ct.DateStart, ct.DateEnd, ct.TimeHour, ct.RoomNo,\n"
    "       ct.TestMax1, ct.TestMax2, ct.TestMax3, ct.TestMax4, ct.TestMax5, ct.TestMax6, "
    "ct.TestMax7, ct.TestMax8, ct.TestMax9,\n"
    "       c.CourseStartDate, c.CourseEndDate, c.CourseStatus\n"
    "FROM CourseTable ct LEFT JOIN Course c ON c.CourseID = ct.CourseID",
    "CREATE VIEW QStudentCourse AS\n"
    "SELECT sc.StdID, sc.CourseNo, sc.CourseRegDate, sc.CoursePayAmt, sc.CoursePayDate,\n"
    "       sc.CourseGrade, sc.CoursePoint, sc.TestPoint1, sc.TestPoint2, sc.TestPoint3, "
    "sc.TestPoint4, sc.TestPoint5, sc.TestPoint6, sc.TestPoint7, sc.TestPoint8, sc.TestPoint9,\n"
    "       ct.CourseID, ct.CourseLevel, ct.Subject, ct.CourseDate, ct.CourseTime, ct.DateStart,\n"
    "       ct.DateEnd, ct.CoursePrice, ct.RoomNo, ct.TimeHour, ct.TestMax1, ct.TestMax2, "
    "ct.TestMax3, ct.TestMax4, ct.TestMax5, ct.TestMax6, ct.TestMax7, ct.TestMax8, ct.TestMax9,\n"
    "       c.CourseName, c.CourseStartDate, c.CourseEndDate, c.CourseStatus\n"
    "FROM StudentCourse sc\n"
    "     JOIN CourseTable ct ON ct.CourseNo = sc.CourseNo\n"
    "     JOIN Course c ON c.CourseID = ct.CourseID",
    "CREATE VIEW QStudentCourse2 AS\n"
    "SELECT sc.StdID, s.StdName, s.StdNickName, sc.CourseNo, sc.CourseGrade, sc.CoursePoint,\n"
    "       sc.TestPoint1, sc.TestPoint2, sc.TestPoint3, sc.TestPoint4, sc.TestPoint5, "
    "sc.TestPoint6, sc.TestPoint7, sc.TestPoint8, sc.TestPoint9\n"
    "FROM StudentCourse sc LEFT JOIN Student s ON s.StdID = sc.StdID",
    "CREATE VIEW QStudentCourse3 AS\n"
    "SELECT sc.StdID, s.StdName, s.StdNickName, s.StdLevel, sc.CourseNo, sc.CourseRegDate,\n"
    "       ct.CourseID, c.CourseName, ct.CourseLevel, ct.Subject, ct.CourseDate, ct.CourseTime,\n"
    "       ct.RoomNo, ct.DateStart, ct.DateEnd, ct.CoursePrice, sc.CoursePayAmt, c.CourseStatus\n"
    "FROM StudentCourse sc\n"
    "     JOIN Student s ON s.StdID = sc.StdID\n"
    "     JOIN CourseTable ct ON ct.CourseNo = sc.CourseNo\n"
    "     JOIN Course c ON c.CourseID = ct.CourseID",
    "CREATE VIEW QStatementCourse AS\n"
    "SELECT ss.StmID, st.StdID, st.StmDate, st.StmDocNo, st.IsCancel, ss.StmItem, ss.CourseNo,\n"
    "       ct.CourseID, c.CourseName, ct.CourseLevel, ct.Subject, ss.StmAmt, ss.StmOBal\n"
    "FROM StatementSub ss\n"
    "     JOIN Statement st ON st.StmID = ss.StmID\n"
    "     JOIN CourseTable ct ON ct.CourseNo = ss.CourseNo\n"
    "     JOIN Course c ON c.CourseID = ct.CourseID",
    "CREATE VIEW QStatementStudent AS\n"
    "SELECT st.StmID, st.StdID, st.StmNetAmt, st.StmDocNo, st.StmDate, st.IsCancel, st.UserID,\n"
    "       st.UserCancelID, s.StdName\n"
    "FROM Statement st JOIN Student s ON s.StdID = st.StdID",
    "CREATE VIEW qTeacherTimeStamp AS\n"
    "SELECT ts.StmID, ts.StmDate, ts.StmItem, ts.StmTime1, ts.StmTime2, ts.StmHour, ts.CourseNo,\n"
    "       c.CourseName, ct.CourseLevel, ct.Subject, tt.TechID, t.TechName, tt.StmStatus\n"
    "FROM TimeStampTeacher tt\n"
    "     JOIN [TimeStamp] ts ON ts.StmID = tt.StmID\n"
    "     JOIN Teacher t ON t.TechID = tt.TechID\n"
    "     JOIN CourseTable ct ON ct.CourseNo = ts.CourseNo\n"
    "     JOIN Course c ON c.CourseID = ct.CourseID",
};
void createVersion1(Connection& connection) {
    for (const char* statement : version1)
        connection.exec(QString::fromUtf8(statement));
}

} // namespace

void ensure(Connection& connection) {
    const int version = connection.scalar(QStringLiteral("PRAGMA user_version")).toInt();
    if (version > currentVersion)
        throw DbError(QStringLiteral("ฐานข้อมูลนี้มาจากโปรแกรมรุ่นที่ใหม่กว่า"));
    if (version < 1) {
        Transaction transaction;
        createVersion1(connection);
        connection.exec(QStringLiteral("PRAGMA user_version = 1"));
        transaction.commit();
    }
    if (connection.scalar(QStringLiteral("SELECT COUNT(*) FROM CtrlSetup")).toInt() == 0)
        connection.exec(
            QStringLiteral("INSERT INTO CtrlSetup (ShopName, ShopBiLLNo) VALUES ('', '00000')"));
}

} // namespace Schema
