#include "core/Schema.h"

#include "core/Database.h"
#include "core/Numbering.h"

#include <QRegularExpression>
#include <QStringList>
#include <iterator>

namespace Schema {
namespace {

// Step 1: the tables and indexes of a new school, as the first version made them.
const char* const firstTables[] = {
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
};

// Every view of the program, in one place. Each upgrade drops and re-creates them all,
// so a changed or added view needs only a new step number (its step may do nothing else).
const char* const views[] = {
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
    // One row per registration, kept when its pupil has been deleted since (name empty), so
    // that income and fees outstanding count every registration, as the bills do.
    "CREATE VIEW QStudentCourse3 AS\n"
    "SELECT sc.StdID, s.StdName, s.StdNickName, s.StdLevel, s.StdTel, sc.CourseNo,\n"
    "       sc.CourseRegDate,\n"
    "       ct.CourseID, c.CourseName, ct.CourseLevel, ct.Subject, ct.CourseDate, ct.CourseTime,\n"
    "       ct.RoomNo, ct.DateStart, ct.DateEnd, ct.CoursePrice, sc.CoursePayAmt, c.CourseStatus\n"
    "FROM StudentCourse sc\n"
    "     LEFT JOIN Student s ON s.StdID = sc.StdID\n"
    "     JOIN CourseTable ct ON ct.CourseNo = sc.CourseNo\n"
    "     JOIN Course c ON c.CourseID = ct.CourseID",
    "CREATE VIEW QStatementCourse AS\n"
    "SELECT ss.StmID, st.StdID, st.StmDate, st.StmDocNo, st.IsCancel, ss.StmItem, ss.CourseNo,\n"
    "       ct.CourseID, c.CourseName, ct.CourseLevel, ct.Subject, ss.StmAmt, ss.StmOBal\n"
    "FROM StatementSub ss\n"
    "     JOIN Statement st ON st.StmID = ss.StmID\n"
    "     JOIN CourseTable ct ON ct.CourseNo = ss.CourseNo\n"
    "     JOIN Course c ON c.CourseID = ct.CourseID",
    // One row per bill, kept when its pupil has been deleted since (name empty), so that
    // the bills of a day add up whatever became of the pupils.
    "CREATE VIEW QStatementStudent AS\n"
    "SELECT st.StmID, st.StdID, st.StmNetAmt, st.StmDocNo, st.StmDate, st.IsCancel, st.UserID,\n"
    "       st.UserCancelID, s.StdName\n"
    "FROM Statement st LEFT JOIN Student s ON s.StdID = st.StdID",
    // One row per teacher row of a lesson, kept when the class, its course or the
    // teacher has gone since; Status reads a missing status as present.
    "CREATE VIEW qTeacherTimeStamp AS\n"
    "SELECT tt.StmID, ts.StmDate, ts.StmItem, ts.StmTime1, ts.StmTime2, ts.StmHour, ts.CourseNo,\n"
    "       ct.CourseID, c.CourseName, ct.CourseLevel, ct.Subject, tt.TechID, t.TechName,\n"
    "       tc.TechRateAmt, tt.StmAmt, tt.StmIsPay, tt.StmStatus,\n"
    "       IFNULL(tt.StmStatus, '1') AS Status, ts.UserID\n"
    "FROM TimeStampTeacher tt\n"
    "     LEFT JOIN [TimeStamp] ts ON ts.StmID = tt.StmID\n"
    "     LEFT JOIN Teacher t ON t.TechID = tt.TechID\n"
    "     LEFT JOIN CourseTable ct ON ct.CourseNo = ts.CourseNo\n"
    "     LEFT JOIN Course c ON c.CourseID = ct.CourseID\n"
    "     LEFT JOIN TeacherCourse tc ON tc.CourseNo = ts.CourseNo AND tc.TechID = tt.TechID",
};

QStringList texts(Connection& connection, const QString& sql, const QVariantList& params = {}) {
    Query query = connection.exec(sql, params);
    QStringList result;
    while (query.next())
        result << query.value(0).toString();
    return result;
}

QString viewName(const char* view) {
    static const QRegularExpression name(QStringLiteral("^CREATE VIEW (\\w+)"));
    return name.match(QString::fromUtf8(view)).captured(1);
}

void makeTables(Connection& connection) {
    for (const char* statement : firstTables)
        connection.exec(QString::fromUtf8(statement));
}

// Gives a table a new definition of the same columns in the same order, keeping its rows
// and indexes: SQLite cannot change a column in place.
void rebuildTable(Connection& connection, const QString& table, const QString& definition) {
    const QStringList indexes =
        texts(connection,
              QStringLiteral("SELECT sql FROM sqlite_master WHERE type = "
                             "'index' AND tbl_name = ? AND sql IS NOT NULL"),
              {table});
    const QString old = QStringLiteral("[") + table + QStringLiteral("_old]");
    connection.exec(QStringLiteral("ALTER TABLE [") + table + QStringLiteral("] RENAME TO ") + old);
    connection.exec(definition);
    connection.exec(QStringLiteral("INSERT INTO [") + table + QStringLiteral("] SELECT * FROM ") +
                    old);
    connection.exec(QStringLiteral("DROP TABLE ") + old);
    for (const QString& index : indexes)
        connection.exec(index);
}

// Step 2: no definition names the Thai collation, which only the program registers, so that
// the stock sqlite3 shell and other tools can check and read the file; the program's own
// statements name it where they sort. The name searches read covering indexes instead of
// the table, which keeps them as fast as the ordered index did.
void dropThaiCollation(Connection& connection) {
    static const QRegularExpression thai(QStringLiteral("\\s+COLLATE\\s+\"?THAI\"?"),
                                         QRegularExpression::CaseInsensitiveOption);
    Query tables = connection.exec(QStringLiteral(
        "SELECT name, sql FROM sqlite_master WHERE type = 'table' AND sql LIKE '%COLLATE%THAI%'"));
    QList<std::pair<QString, QString>> changed;
    while (tables.next())
        changed.append({tables.value(0).toString(), tables.value(1).toString().remove(thai)});
    tables.finish();
    for (const auto& [table, definition] : changed)
        rebuildTable(connection, table, definition);
    for (const char* statement :
         {"DROP INDEX Student_StdName", "DROP INDEX Student_StdNickName",
          "CREATE INDEX Student_StdName ON Student (StdName, StdNickName, StdID)",
          "CREATE INDEX Student_StdNickName ON Student (StdNickName, StdName, StdID)"})
        connection.exec(QString::fromLatin1(statement));
}

// Step 3: the bills of deleted pupils in QStatementStudent and the lessons' attendance
// status in qTeacherTimeStamp; step 4: the pupil's telephone in QStudentCourse3, for the
// list of fees outstanding; step 5: the registrations of deleted pupils in QStudentCourse3.
// The views are made again after every step.
void refreshViews(Connection&) {}

// Step 6: the last code handed out of each numbering series, so that a code freed by a
// delete, a purge or the clearing of all data is not given to a new record while another
// desk may still show the old one.
void addCodeSeries(Connection& connection) {
    connection.exec(QStringLiteral("CREATE TABLE CodeSeries (\n"
                                   "    Series TEXT NOT NULL, Prefix TEXT NOT NULL, LastCode TEXT "
                                   "NOT NULL,\n"
                                   "    PRIMARY KEY (Series, Prefix))"));
}

// Step 7: every series goes on above the codes stored when its table was made empty, also in
// a file that a version with the empty table has opened since; the lessons' codes are one
// series over all years.
void fillCodeSeries(Connection& connection) {
    Numbering::recordStoredCodes(connection);
}

using Step = void (*)(Connection&);
const Step steps[] = {makeTables,   dropThaiCollation, refreshViews,  refreshViews,
                      refreshViews, addCodeSeries,     fillCodeSeries};
static_assert(std::size(steps) == currentVersion);

// Renaming a table leaves the views and triggers that name it alone, as SQLite did before
// 3.26; the upgrade re-creates its views after the steps.
class LegacyRename {
public:
    explicit LegacyRename(Connection& connection) : m_connection(connection) {
        m_connection.exec(QStringLiteral("PRAGMA legacy_alter_table = ON"));
    }
    ~LegacyRename() {
        try {
            m_connection.exec(QStringLiteral("PRAGMA legacy_alter_table = OFF"));
        } catch (const DbError&) {
            // The connection is closed after a failed upgrade.
        }
    }
    LegacyRename(const LegacyRename&) = delete;
    LegacyRename& operator=(const LegacyRename&) = delete;

private:
    Connection& m_connection;
};

// The upgrade needs the file to itself. A desk that finds another desk writing says so in
// its own words and leaves the file as it is, to be opened again once the other is done.
Transaction takeFileForUpgrade(const QString& path) {
    try {
        return Transaction::exclusive();
    } catch (const DbBusyError&) {
        throw DbError(QStringLiteral("ฐานข้อมูลต้องปรับเป็นรุ่นใหม่ก่อนใช้งาน แต่เครื่องอื่นกำลังบันทึกข้อมูลอยู่ "
                                     "แฟ้มยังเหมือนเดิม:\n") +
                      path + QStringLiteral("\nกรุณารอสักครู่ แล้วเปิดโปรแกรมอีกครั้ง"));
    }
}

} // namespace

FileState inspect(Connection& connection, const QString& path) {
    // One statement, so that all is read from one state of a file that another desk may be
    // making at this moment. Files of the first version carry no id: they are known by their
    // version and two of their tables.
    Query query;
    try {
        query = connection.exec(
            QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id), "
                           "(SELECT user_version FROM pragma_user_version), "
                           "(SELECT count(*) FROM sqlite_master), "
                           "(SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                           "AND lower(name) IN ('ctrlsetup', 'studentcourse'))"));
        query.next();
    } catch (const DbError& error) {
        throw DbError(QStringLiteral("อ่านแฟ้มฐานข้อมูลไม่ได้:\n") + path + QStringLiteral("\n") +
                      error.message());
    }
    const int id = query.value(0).toInt();
    const int objects = query.value(2).toInt();
    FileState state;
    state.version = query.value(1).toInt();
    if (id == applicationId || (id == 0 && state.version == 1 && query.value(3).toInt() == 2))
        state.kind = FileState::Kind::Ours;
    else if (id == 0 && state.version == 0 && objects == 0)
        state.kind = FileState::Kind::Empty;
    else
        state.kind = FileState::Kind::Foreign;
    return state;
}

void refuseUnlessUsable(const FileState& state, const QString& path) {
    if (state.kind == FileState::Kind::Foreign)
        throw DbError(QStringLiteral("แฟ้มนี้ไม่ใช่ฐานข้อมูลของโปรแกรม "
                                     "จึงไม่ได้เปิดใช้และไม่ได้แก้ไขแฟ้ม:\n") +
                      path);
    if (state.kind == FileState::Kind::Ours && state.version > currentVersion)
        throw DbError(QStringLiteral("ฐานข้อมูลนี้มาจากโปรแกรมรุ่นที่ใหม่กว่า (ฐานข้อมูลรุ่น %1 "
                                     "โปรแกรมนี้ใช้ได้ถึงรุ่น %2) "
                                     "จึงไม่ได้เปิดใช้และไม่ได้แก้ไขแฟ้ม:\n%3")
                          .arg(state.version)
                          .arg(currentVersion)
                          .arg(path));
}

void bringUpToDate(Connection& connection, const QString& path) {
    Transaction transaction = takeFileForUpgrade(path);
    const FileState state = inspect(connection, path);
    refuseUnlessUsable(state, path);
    if (state.kind == FileState::Kind::Ours && state.version == currentVersion)
        return; // another desk was first
    try {
        upgrade(connection, state.version);
        transaction.commit();
    } catch (const DbError& error) {
        const QString what = state.kind == FileState::Kind::Empty
                                 ? QStringLiteral("สร้างฐานข้อมูลใหม่ไม่สำเร็จ")
                                 : QStringLiteral("ปรับฐานข้อมูลเป็นรุ่นใหม่ไม่สำเร็จ");
        throw DbError(what + QStringLiteral(" แฟ้มยังเหมือนเดิม:\n") + path + QStringLiteral("\n") +
                      error.message());
    }
}

void upgrade(Connection& connection, int from, int to) {
    LegacyRename legacyRename(connection);
    for (const char* view : views)
        connection.exec(QStringLiteral("DROP VIEW IF EXISTS ") + viewName(view));
    for (int step = from + 1; step <= to; ++step)
        steps[step - 1](connection);
    for (const char* view : views)
        connection.exec(QString::fromUtf8(view));
    connection.exec(QStringLiteral("PRAGMA application_id = %1").arg(applicationId));
    connection.exec(QStringLiteral("PRAGMA user_version = %1").arg(to));
}

void ensureSettingsRow(Connection& connection) {
    // The insert takes the write lock even when it adds nothing: a school that has its row is
    // opened without writing, also while another desk writes.
    if (connection.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM CtrlSetup)")).toBool())
        return;
    connection.exec(QStringLiteral("INSERT INTO CtrlSetup (ShopName, ShopBiLLNo) SELECT '', "
                                   "'00000' WHERE NOT EXISTS (SELECT 1 FROM CtrlSetup)"));
}

} // namespace Schema
