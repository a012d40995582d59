// The database file: which files the program opens and how, its versions, and other tools.

#include "billing/CourseTableStore.h"
#include "billing/ExpenseStore.h"
#include "billing/PaymentStore.h"
#include "core/Database.h"
#include "core/Numbering.h"
#include "core/Recordset.h"
#include "core/SampleData.h"
#include "core/Schema.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "results/LessonStore.h"
#include "shell/MDIForm1.h"
#include "shell/SchoolDataStore.h"
#include "shell/StartUp.h"
#include "shell/UserStore.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTextStream>
#include <QThread>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString deskOption = QStringLiteral("--open-school");

// Run as a desk (this program with deskOption): opens the default database beside
// VADEL_PROGRAM_DIR through the start-up routine once the file VADEL_GO exists.
int openAsDesk() {
    const QString go = qEnvironmentVariable("VADEL_GO");
    QTextStream(stdout) << "ready" << Qt::endl;
    while (!go.isEmpty() && !QFileInfo::exists(go))
        QThread::usleep(200);
    try {
        StartUp::openDatabase();
        Connection::shared().close();
        return 0;
    } catch (const DbError& error) {
        QTextStream(stderr) << error.message() << Qt::endl;
        return 1;
    }
}

std::unique_ptr<QProcess> startDesk(const QString& programFolder, const QString& go = {},
                                    const std::function<void()>& inChild = {}) {
    auto desk = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VADEL_PROGRAM_DIR"), programFolder);
    env.insert(QStringLiteral("VADEL_GO"), go);
    desk->setProcessEnvironment(env);
    if (inChild)
        desk->setChildProcessModifier(inChild);
    desk->start(QCoreApplication::applicationFilePath(), {deskOption});
    return desk;
}

// Every file of a folder with its bytes: what "left as it was" compares.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(entry.filePath());
        files.insert(entry.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return files;
}

// Runs the stock sqlite3 shell on a file; its output, or a failure.
QString shell(const QString& path, const QString& script) {
    QProcess sqlite;
    sqlite.setProcessChannelMode(QProcess::MergedChannels);
    sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), path});
    sqlite.write(script.toUtf8());
    sqlite.closeWriteChannel();
    if (!sqlite.waitForFinished(30000) || sqlite.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(sqlite.readAll());
    return QString::fromUtf8(sqlite.readAll()).trimmed();
}

QStringList column(const QString& sql) {
    Query query = Connection::shared().exec(sql);
    QStringList values;
    while (query.next())
        values << query.value(0).toString();
    return values;
}

QStringList tablesAndViews() {
    return column(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                                 "AND name NOT LIKE 'sqlite%' ORDER BY name"));
}

// Every row of every table and view, sorted, with NULL apart from empty text.
QList<QStringList> allRows() {
    QList<QStringList> tables;
    for (const QString& name : tablesAndViews()) {
        const Recordset all =
            Recordset::open(QStringLiteral("SELECT * FROM [%1]").arg(name), {}, true);
        QStringList rows;
        for (const QVariantList& row : all.rows()) {
            QString text = name;
            for (const QVariant& value : row)
                text += u'|' + (value.isNull() ? QStringLiteral("NULL") : value.toString());
            rows << text;
        }
        rows.sort();
        tables << rows;
    }
    return tables;
}

// The file's application_id, user_version and number of settings rows.
QString mark() {
    return QStringList{Fixture::value(QStringLiteral("PRAGMA application_id")).toString(),
                       Fixture::value(QStringLiteral("PRAGMA user_version")).toString(),
                       QString::number(Fixture::count(QStringLiteral("CtrlSetup")))}
        .join(u'/');
}

const QString ourMark =
    QStringLiteral("%1/%2/1").arg(Schema::applicationId).arg(Schema::currentVersion);

// Makes a file or folder read-only even for root (immutable), or writable again.
bool setReadOnly(const QString& path, bool readOnly) {
    if (!QFileInfo::exists(path))
        return false;
    if (geteuid() != 0)
        return QFile::setPermissions(path,
                                     QFile::ReadOwner | QFile::ExeOwner |
                                         (readOnly ? QFile::Permissions() : QFile::WriteOwner));
    return QProcess::execute(QStringLiteral("chattr"),
                             {readOnly ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

} // namespace

class tst_database_file : public QObject {
    Q_OBJECT

private slots:
    void init() {
        database = std::make_unique<TestDatabase>();
        folder = QFileInfo(database->path()).absolutePath();
        Connection::shared().close();
        QFile::remove(database->path());
        Seams::setProgramFolder(folder);
    }

    void cleanup() {
        setReadOnly(folder, false);
        setReadOnly(school(), false);
        Connection::shared().close();
        Seams::setNetworkCheck({});
        Seams::setProgramFolder({});
        database.reset();
    }

    // Files that are not a usable school are refused before anything is written: the error
    // says why, start-up ends the program with a failure, and the folder keeps its files and
    // bytes (no WAL switched on, no -wal/-shm/-journal). The program's own process exits 1.
    void refusedFilesStayAsTheyWere() {
        const QString path = school();
        enum ReadOnly { Writable, File, Folder };
        // A script for the sqlite3 shell on a new file, or on a school (starting "school;"),
        // or null for a text file.
        const std::tuple<const char*, ReadOnly, const char16_t*> cases[] = {
            {"CREATE TABLE Notes (Body TEXT); INSERT INTO Notes VALUES ('x');", Writable,
             u"ไม่ใช่ฐานข้อมูลของโปรแกรม"},
            {"CREATE TABLE CtrlSetup (x); PRAGMA user_version = 1;", Writable,
             u"ไม่ใช่ฐานข้อมูลของโปรแกรม"},
            {"PRAGMA application_id = 42;", Writable, u"ไม่ใช่ฐานข้อมูลของโปรแกรม"},
            {"school; PRAGMA journal_mode = DELETE; PRAGMA user_version = 99;", Writable,
             u"รุ่นที่ใหม่กว่า (ฐานข้อมูลรุ่น 99"},
            {nullptr, Writable, u"อ่านแฟ้มฐานข้อมูลไม่ได้"},
            {"school;", File, u"อ่านอย่างเดียว"},
            {"school;", Folder, u"อ่านอย่างเดียว"},
        };
        for (const auto& [script, readOnly, message] : cases) {
            QString sql = QString::fromLatin1(script);
            Seams::setDatabasePath(path);
            if (sql.startsWith(QStringLiteral("school;"))) {
                Connection::shared().open(NewSchool::Make);
                Connection::shared().close();
                sql.remove(0, 7);
            }
            QFile text(path);
            if (script)
                QCOMPARE(shell(path, sql + QStringLiteral("\nSELECT 'done';")).right(4),
                         QStringLiteral("done"));
            else
                QVERIFY(text.open(QIODevice::WriteOnly) && text.write(QByteArray(2000, 'x')));
            text.close();
            QVERIFY(readOnly == Writable || setReadOnly(readOnly == File ? path : folder, true));
            const QMap<QString, QByteArray> before = snapshot(folder);
            {
                ScriptedMessages messages;
                MDIForm1 main;
                QCOMPARE(main.startUp(), MDIForm1::StartResult::NoDatabase);
                QCOMPARE(messages.all.size(), 1);
                QVERIFY2(messages.errors.value(0).contains(QString::fromUtf16(message)) &&
                             messages.errors.value(0).contains(path),
                         script);
            }
            QVERIFY(!Connection::shared().isOpen());
            QVERIFY2(snapshot(folder) == before, script);

            QProcess program;
            program.start(QStringLiteral(VADEL_PROGRAM),
                          {QStringLiteral("--database"), path, QStringLiteral("--load-sample"),
                           QStringLiteral(VADEL_SOURCE_DIR "/sample/demo.sql")});
            QVERIFY(program.waitForFinished(30000));
            QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 1,
                     script);
            QVERIFY2(snapshot(folder) == before, script);
            setReadOnly(folder, false);
            setReadOnly(path, false);
            QVERIFY(QFile::remove(path));
        }
    }

    // A missing or empty file becomes a new school only once the user has confirmed it with a
    // question naming the whole path, except the default database on the first run.
    void newSchoolOnlyWhereConfirmed() {
        const QString typo = QDir(folder).filePath(QStringLiteral("Vadl.db"));
        const QString empty = QDir(folder).filePath(QStringLiteral("empty.db"));
        QFile(empty).open(QIODevice::WriteOnly);
        const std::tuple<QString, int, bool> cases[] = {
            // path, answer (0: no question), school made
            {typo, Library::vbNo, false},
            {empty, Library::vbNo, false},
            {typo, Library::vbYes, true},
            {empty, Library::vbYes, true},
            {Seams::defaultDatabasePath(), 0, true},
        };
        for (const auto& [path, answer, made] : cases) {
            const QMap<QString, QByteArray> before = snapshot(folder);
            Seams::setDatabasePath(path);
            ScriptedMessages messages;
            messages.answer({answer});
            QCOMPARE(StartUp::openDatabase(), made);
            QCOMPARE(messages.all.size(), answer ? 1 : 0);
            QVERIFY(!answer ||
                    messages.questions.value(0).contains(QFileInfo(path).absoluteFilePath()));
            QCOMPARE(Connection::shared().isOpen(), made);
            if (made)
                QCOMPARE(mark(), ourMark);
            else
                QCOMPARE(snapshot(folder), before);
            Connection::shared().close();
        }
    }

    // Several desks opening a new file, or a school of the first version, at once: one makes
    // or upgrades the school, the others wait for it and open it.
    void fourDesksOpenAtOnce() {
        for (int round = 0; round < 60; ++round) { // fifty new files, ten old schools
            QTemporaryDir program;
            const QString path = program.filePath(QStringLiteral("Vadel.db"));
            if (round % 6 == 5) {
                makeSchoolOfVersion(path, 1);
                Connection::shared().close();
            }
            const QString go = program.filePath(QStringLiteral("go"));
            std::vector<std::unique_ptr<QProcess>> desks;
            for (int i = 0; i < 4; ++i)
                desks.push_back(startDesk(program.path(), go));
            for (const auto& desk : desks)
                QVERIFY(desk->waitForReadyRead(30000));
            QFile(go).open(QIODevice::WriteOnly);
            for (const auto& desk : desks) {
                QVERIFY(desk->waitForFinished(30000));
                QVERIFY2(desk->exitStatus() == QProcess::NormalExit && desk->exitCode() == 0,
                         desk->readAllStandardError().constData());
            }
            Seams::setDatabasePath(path);
            QCOMPARE(mark(), ourMark);
            Connection::shared().close();
        }
    }

    // On a network filesystem the file keeps the rollback journal, new or already in WAL.
    void networkFileSystemKeepsTheRollbackJournal() {
        QVERIFY(!Seams::isOnNetworkFileSystem(folder));
        const QString path = Seams::defaultDatabasePath();
        for (bool network : {true, false, true}) {
            Seams::setNetworkCheck([network](const QString&) { return network; });
            QVERIFY(StartUp::openDatabase());
            Fixture::level(QStringLiteral("ม.") + QString::number(network));
            QCOMPARE(QFileInfo::exists(path + QStringLiteral("-wal")), !network);
            Connection::shared().close();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.read(20).at(18), network ? 1 : 2); // the header's journal mark
        }
    }

    // A desk starts while another desk holds the write lock, in either journal mode: opening a
    // school that has its settings row, and giving a user the menu items, write nothing.
    void deskStartsWhileAnotherDeskWrites() {
        QVERIFY(StartUp::openDatabase());
        UserStore::createWithAllRights(QStringLiteral("admin"), QStringLiteral("ผู้ดูแล"),
                                       QStringLiteral("pw"));
        Library::gUserID = QStringLiteral("admin");
        Connection::shared().close();
        ScriptedMessages messages;
        for (bool network : {false, true}) {
            Seams::setNetworkCheck([network](const QString&) { return network; });
            QVERIFY(StartUp::openDatabase()); // switches the journal while no desk writes
            Connection::shared().close();
            const QString other = QStringLiteral("other desk");
            {
                QSqlDatabase desk = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), other);
                desk.setDatabaseName(Seams::defaultDatabasePath());
                QVERIFY(desk.open());
                QSqlQuery write(desk);
                QVERIFY(write.exec(QStringLiteral("BEGIN IMMEDIATE")));
                QVERIFY(write.exec(QStringLiteral("UPDATE CtrlSetup SET ShopTel = '02'")));
                try {
                    QVERIFY(StartUp::openDatabase());
                } catch (const DbError& error) {
                    QFAIL(qPrintable(error.message()));
                }
                QCOMPARE(Fixture::count(QStringLiteral("CtrlSetup")), 1);
                MDIForm1 main;
                main.applyRights();
                QVERIFY(main.menuAction(QStringLiteral("mnuDelALLTable"))->isEnabled());
                QCOMPARE(messages.all, QStringList());
                QVERIFY(write.exec(QStringLiteral("COMMIT")));
            }
            QSqlDatabase::removeDatabase(other);
            Connection::shared().close();
        }
    }

    // A school that needs the upgrade, opened while another desk writes: the desk says in the
    // program's words that another desk is writing and to try again, and leaves the file as it
    // was; once the other desk is done, the school opens upgraded with that desk's write kept.
    void upgradeWhileAnotherDeskWritesSaysSo() {
        const QString path = Seams::defaultDatabasePath();
        makeSchoolOfVersion(path, Schema::currentVersion - 1);
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"));
        Connection::shared().close();
        const QString other = QStringLiteral("other desk");
        {
            QSqlDatabase desk = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), other);
            desk.setDatabaseName(path);
            QVERIFY(desk.open());
            QSqlQuery write(desk);
            QVERIFY(write.exec(QStringLiteral("BEGIN IMMEDIATE")));
            QVERIFY(write.exec(QStringLiteral("UPDATE CtrlSetup SET ShopTel = '02'")));
            {
                ScriptedMessages messages;
                MDIForm1 main;
                QCOMPARE(main.startUp(), MDIForm1::StartResult::NoDatabase);
                QCOMPARE(messages.all.size(), 1);
                const QString message = messages.errors.value(0);
                QVERIFY2(message.startsWith(
                             QStringLiteral("เปิดฐานข้อมูลไม่ได้\nฐานข้อมูลต้องปรับเป็นรุ่นใหม่ก่อนใช้งาน "
                                            "แต่เครื่องอื่นกำลังบันทึกข้อมูลอยู่ แฟ้มยังเหมือนเดิม:\n")) &&
                             message.contains(QFileInfo(path).absoluteFilePath()) &&
                             message.endsWith(QStringLiteral("\nกรุณารอสักครู่ แล้วเปิดโปรแกรมอีกครั้ง")) &&
                             !message.contains(QStringLiteral("locked")) &&
                             !message.contains(QStringLiteral("BEGIN")),
                         qPrintable(message));
            }
            QVERIFY(!Connection::shared().isOpen());
            QVERIFY(write.exec(QStringLiteral("COMMIT")));
        }
        QSqlDatabase::removeDatabase(other);
        QVERIFY(StartUp::openDatabase());
        QCOMPARE(mark(), ourMark);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT ShopTel || StdName FROM CtrlSetup, Student"))
                     .toString(),
                 QStringLiteral("02สมชาย ใจดี"));
    }

    // A school of the first version is upgraded in place, once: when the disk fills half-way
    // the file stays as it was and the desk says so; the next start upgrades it with every row
    // and a view of the school's own kept, to the same schema as a new school's, with no
    // definition naming the Thai collation and the name search reading an index.
    void versionOneSchoolIsUpgradedInPlace() {
        const QString path = Seams::defaultDatabasePath();
        makeSchoolOfVersion(path, 1);
        QCOMPARE(mark(), QStringLiteral("0/1/1"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิต"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1500));
        Fixture::teacher(QStringLiteral("T01"), QStringLiteral("ครูสมศรี"));
        {
            Transaction transaction;
            for (int i = 1; i <= 3000; ++i)
                Fixture::student(QStringLiteral("69%1").arg(i, 5, 10, QLatin1Char('0')),
                                 QStringLiteral("เด็กหญิงแก้วตา มณีรัตน์ %1").arg(i),
                                 QStringLiteral("แก้ว"), QStringLiteral("%1 ถนนพหลโยธิน").arg(i));
            transaction.commit();
        }
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"),
                              Money::fromBaht(500));
        Connection::shared().exec(
            QStringLiteral("CREATE VIEW OfficeList AS SELECT StdID, StdName FROM Student"));
        const QList<QStringList> rows = allRows();
        Connection::shared().close();
        const QMap<QString, QByteArray> before = snapshot(folder);

        const auto desk = startDesk(folder, {}, [] {
            const rlimit diskFull{256 * 1024, 256 * 1024};
            setrlimit(RLIMIT_FSIZE, &diskFull);
            std::signal(SIGXFSZ, SIG_IGN);
        });
        QVERIFY(desk->waitForFinished(30000));
        QCOMPARE(desk->exitCode(), 1);
        QVERIFY(QString::fromUtf8(desk->readAllStandardError())
                    .contains(QStringLiteral("ปรับฐานข้อมูลเป็นรุ่นใหม่ไม่สำเร็จ แฟ้มยังเหมือนเดิม")));
        QCOMPARE(snapshot(folder), before);

        QVERIFY(StartUp::openDatabase());
        QCOMPARE(mark(), ourMark);
        // The same rows, and the numbering series' table with the class's code.
        QList<QStringList> withSeries = rows;
        withSeries.insert(tablesAndViews().indexOf(QStringLiteral("CodeSeries")),
                          {QStringLiteral("CodeSeries|CourseTable.CourseNo|69|6900001")});
        QCOMPARE(allRows(), withSeries);
        // The program's schema: the query planner's statistics, which a desk leaves on
        // closing a school it has searched, are SQLite's own.
        const QString schema = QStringLiteral("SELECT type || name || tbl_name || ifnull(sql, '') "
                                              "FROM sqlite_master WHERE name <> 'OfficeList' "
                                              "AND name NOT LIKE 'sqlite_stat%' ORDER BY name");
        const QStringList upgraded = column(schema);
        QVERIFY(!upgraded.join(u' ').contains(QStringLiteral("THAI"), Qt::CaseInsensitive));
        Query plan = Connection::shared().exec(
            QStringLiteral("EXPLAIN QUERY PLAN Select StdID, StdName, StdNickName From Student "
                           "Where StdName Like '%แก้ว%' Order By StdName COLLATE THAI"));
        QVERIFY(plan.next() && plan.value(3).toString().contains(QStringLiteral("COVERING INDEX")));
        Connection::shared().close();
        QCOMPARE(shell(path, QStringLiteral("PRAGMA integrity_check;")), QStringLiteral("ok"));

        Seams::setDatabasePath(QDir(folder).filePath(QStringLiteral("new.db")));
        Connection::shared().open(NewSchool::Make);
        QCOMPARE(column(schema), upgraded);
    }

    // A school of version 2 gets the views of today: a bill whose pupil was deleted stays in
    // QStatementStudent, with no name.
    void versionTwoSchoolKeepsBillsOfDeletedPupils() {
        const QString path = Seams::defaultDatabasePath();
        makeSchoolOfVersion(path, 2);
        Connection& db = Connection::shared();
        db.exec(QStringLiteral("DROP VIEW QStatementStudent"));
        db.exec(QStringLiteral("CREATE VIEW QStatementStudent AS SELECT st.*, s.StdName FROM "
                               "Statement st JOIN Student s ON s.StdID = st.StdID"));
        Fixture::exec(QStringLiteral("INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, "
                                     "IsCancel) VALUES ('69000001', '20261206', '6900009', 500, "
                                     "'0')"));
        QCOMPARE(Fixture::count(QStringLiteral("QStatementStudent")), 0);
        db.close();

        QVERIFY(StartUp::openDatabase());
        QCOMPARE(mark(), ourMark);
        QCOMPARE(column(QStringLiteral("SELECT StmID || '|' || ifnull(StdName, 'NULL') FROM "
                                       "QStatementStudent")),
                 QStringList{QStringLiteral("69000001|NULL")});
    }

    // A school of version 3 gets the pupil's telephone in the registrations' view, its rows kept.
    void versionThreeSchoolListsTelephonesWithRegistrations() {
        makeSchoolOfVersion(Seams::defaultDatabasePath(), 3);
        Connection& db = Connection::shared();
        db.exec(QStringLiteral("DROP VIEW QStudentCourse3"));
        db.exec(QStringLiteral("CREATE VIEW QStudentCourse3 AS SELECT sc.*, s.StdName FROM "
                               "StudentCourse sc JOIN Student s ON s.StdID = sc.StdID"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิต"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1500));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย"));
        Fixture::exec(QStringLiteral("UPDATE Student SET StdTel = '081-111-2222'"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
        db.close();

        QVERIFY(StartUp::openDatabase());
        QCOMPARE(mark(), ourMark);
        QCOMPARE(column(QStringLiteral("SELECT StdID || '|' || StdTel || '|' || CoursePrice FROM "
                                       "QStudentCourse3")),
                 QStringList{QStringLiteral("6900001|081-111-2222|1500.0")});
    }

    // A school of version 4 gets a registrations' view that keeps the registration of a pupil
    // deleted since, with no name; the stock shell reads it the same way.
    void versionFourSchoolKeepsRegistrationsOfDeletedPupils() {
        const QString path = Seams::defaultDatabasePath();
        makeSchoolOfVersion(path, 4);
        Connection& db = Connection::shared();
        db.exec(QStringLiteral("DROP VIEW QStudentCourse3"));
        db.exec(QStringLiteral("CREATE VIEW QStudentCourse3 AS SELECT sc.*, s.StdName, "
                               "ct.CoursePrice FROM StudentCourse sc JOIN Student s ON s.StdID = "
                               "sc.StdID JOIN CourseTable ct ON ct.CourseNo = sc.CourseNo"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิต"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1500));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย"));
        for (const char* pupil : {"6900001", "6900002"})
            Fixture::registration(QString::fromLatin1(pupil), QStringLiteral("6900001"));
        QCOMPARE(Fixture::count(QStringLiteral("QStudentCourse3")), 1);
        db.close();

        QVERIFY(StartUp::openDatabase());
        QCOMPARE(mark(), ourMark);
        const QString rows = QStringLiteral("SELECT StdID || '|' || ifnull(StdName, 'NULL') || '|' "
                                            "|| CoursePrice FROM QStudentCourse3 ORDER BY StdID");
        QCOMPARE(column(rows), QStringList({QStringLiteral("6900001|สมชาย|1500.0"),
                                            QStringLiteral("6900002|NULL|1500.0")}));
        db.close();
        QCOMPARE(shell(path, rows + u';'),
                 QStringLiteral("6900001|สมชาย|1500.0\n6900002|NULL|1500.0"));
    }

    // A school of version 4 gets the table of the numbering series, filled from its codes: its
    // codes go on from the largest stored, and a deleted code is not handed out again.
    void versionFourSchoolKeepsTheLastCodeOfEachSeries() {
        makeSchoolOfVersion(Seams::defaultDatabasePath(), 4);
        Fixture::exec(QStringLiteral("INSERT INTO Expense (ExpID, ExpDesc) VALUES ('69000007', "
                                     "'ค่าไฟ')"));
        Connection::shared().close();

        QVERIFY(StartUp::openDatabase());
        QCOMPARE(mark(), ourMark);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT group_concat(Series || '|' || Prefix || "
                                               "'|' || LastCode) FROM CodeSeries"))
                     .toString(),
                 QStringLiteral("Expense.ExpID|69|69000007"));
        QCOMPARE(ExpenseStore::add({QString(), QStringLiteral("x"), Money::fromBaht(1), Money()},
                                   Library::gToday, Library::gUserID, Seams::today()),
                 QStringLiteral("69000008"));
        QVERIFY(ExpenseStore::remove(QStringLiteral("69000008")));
        QCOMPARE(shell(Seams::defaultDatabasePath(),
                       QStringLiteral("SELECT Series, Prefix, LastCode FROM CodeSeries;")),
                 QStringLiteral("Expense.ExpID|69|69000008"));
        QCOMPARE(ExpenseStore::proposedNumber(Seams::today()), QStringLiteral("69000009"));
    }

    // A school of an older version, with codes in every series, is upgraded; the newest record
    // of each series is deleted: the next new record gets the code after it, never the freed
    // one, also where a version with the empty series table opened the file before, and where
    // that table holds a code above the stored ones.
    void upgradedSchoolNeverHandsOutAStoredCodeAgain_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("partlyRecorded");
        QTest::addColumn<QString>("nextBill");
        QTest::newRow("before the series") << 5 << false << QStringLiteral("69000005");
        QTest::newRow("empty series") << 6 << false << QStringLiteral("69000005");
        QTest::newRow("partly recorded") << 6 << true << QStringLiteral("69000010");
    }
    void upgradedSchoolNeverHandsOutAStoredCodeAgain() {
        QFETCH(int, version);
        QFETCH(bool, partlyRecorded);
        QFETCH(QString, nextBill);
        makeSchoolOfVersion(Seams::defaultDatabasePath(), version);
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิต"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย"));
        for (const char* courseNo : {"6900001", "6900002"})
            Fixture::classRow(QString::fromLatin1(courseNo), QStringLiteral("C01"),
                              Money::fromBaht(1500));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
        for (int i = 1; i <= 3; ++i)
            Fixture::exec(QStringLiteral("INSERT INTO Expense (ExpID, ExpDate, ExpDesc) VALUES "
                                         "(?, '20261206', 'ค่าไฟ')"),
                          {QStringLiteral("6900000%1").arg(i)});
        for (int i = 1; i <= 2; ++i)
            Fixture::exec(QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo, StmDate, "
                                         "StmItem, StmHour) VALUES (?, '6900001', '20261206', ?, "
                                         "3)"),
                          {QStringLiteral("202600000%1").arg(i), i});
        for (int i = 1; i <= 4; ++i)
            Fixture::exec(QStringLiteral("INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, "
                                         "IsCancel) VALUES (?, '20261201', '6900001', 0, '0')"),
                          {QStringLiteral("6900000%1").arg(i)});
        for (const char* menu : {"01", "02"})
            Fixture::exec(
                QStringLiteral("INSERT INTO CtrlMenu (MnuID, MnuName) VALUES (?, ?)"),
                {QString::fromLatin1(menu), QString(QStringLiteral("mnu") + QLatin1String(menu))});
        if (partlyRecorded)
            Fixture::exec(QStringLiteral("INSERT INTO CodeSeries (Series, Prefix, LastCode) VALUES "
                                         "('Expense.ExpID', '69', '69000002'), "
                                         "('TimeStamp.StmID', '2026', '2026000001'), "
                                         "('Statement.StmID', '', '69000009')"));
        Connection::shared().close();

        QVERIFY(StartUp::openDatabase());
        QCOMPARE(mark(), ourMark);
        QCOMPARE(CourseTableStore::remove(QStringLiteral("6900002")),
                 CourseTableStore::DeleteResult::Deleted);
        QVERIFY(ExpenseStore::remove(QStringLiteral("69000003")));
        QVERIFY(LessonStore::remove(QStringLiteral("2026000002")));
        QCOMPARE(SchoolDataStore::PurgeStatements(QStringLiteral("20261201")), 4);
        Fixture::exec(QStringLiteral("DELETE FROM CtrlMenu WHERE MnuID = '02'"));

        CourseClass course;
        course.courseId = QStringLiteral("C01");
        QCOMPARE(CourseTableStore::add(course, Seams::today()), QStringLiteral("6900003"));
        QCOMPARE(ExpenseStore::add({QString(), QStringLiteral("x"), Money::fromBaht(1), Money()},
                                   Library::gToday, Library::gUserID, Seams::today()),
                 QStringLiteral("69000004"));
        Lesson lesson;
        lesson.courseNo = QStringLiteral("6900001");
        lesson.date = Library::gToday;
        lesson.item = 3;
        lesson.hours = 3;
        QCOMPARE(LessonStore::save(lesson, Library::gUserID, Seams::today()).stmId,
                 QStringLiteral("2026000003"));
        QCOMPARE(PaymentStore::post({QStringLiteral("6900001"),
                                     QStringLiteral("69-00001"),
                                     {{1, QStringLiteral("6900001"), Money::fromBaht(100)}},
                                     Library::gToday,
                                     Library::gUserID,
                                     {}},
                                    Seams::today())
                     .stmId,
                 nextBill);
        Transaction transaction;
        QCOMPARE(Numbering::takeAfterLargest(QStringLiteral("CtrlMenu"), QStringLiteral("MnuID"),
                                             QStringLiteral("01"), 2),
                 QStringLiteral("03"));
    }

    // The stock sqlite3 shell checks and reads every table and view of the demo school after a
    // payment.
    void stockShellReadsTheDemoSchool() {
        QVERIFY(StartUp::openDatabase());
        SampleData::load(QStringLiteral(VADEL_SOURCE_DIR "/sample/demo.sql"));
        const QString student =
            Fixture::value(QStringLiteral("SELECT min(StdID) FROM Student")).toString();
        Fixture::classRow(
            QStringLiteral("6999001"),
            Fixture::value(QStringLiteral("SELECT min(CourseID) FROM Course")).toString(),
            Money::fromBaht(2500));
        Fixture::registration(student, QStringLiteral("6999001"));
        const PaymentResult bill =
            PaymentStore::post({student,
                                QString(),
                                {{1, QStringLiteral("6999001"), Money::fromBaht(1000)}},
                                Library::gToday,
                                Library::gUserID,
                                {}},
                               Seams::today());
        QCOMPARE(bill.status, PaymentResult::Status::Posted);
        QString script = QStringLiteral(".output /dev/null\n");
        const QStringList objects = tablesAndViews();
        QCOMPARE(objects.size(), 26);
        for (const QString& name : objects)
            script += QStringLiteral("SELECT * FROM [%1];\n").arg(name);
        script += QStringLiteral(".output stdout\nPRAGMA integrity_check;\n"
                                 "SELECT StmNetAmt FROM QStatementStudent WHERE StmID = '%1';\n")
                      .arg(bill.stmId);
        QCOMPARE(shell(Seams::defaultDatabasePath(), script), QStringLiteral("ok\n1000.0"));
    }

private:
    QString school() const { return QDir(folder).filePath(QStringLiteral("school.db")); }

    std::unique_ptr<TestDatabase> database;
    QString folder;
};

int main(int argc, char* argv[]) {
    if (argc == 2 && deskOption == QString::fromLocal8Bit(argv[1])) {
        QCoreApplication app(argc, argv);
        return openAsDesk();
    }
    QApplication app(argc, argv);
    tst_database_file test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_database_file.moc"
