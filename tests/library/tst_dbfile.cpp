// The database file: which files the program opens and how, its versions, and other tools.

#include "billing/PaymentPosting.h"
#include "library/Database.h"
#include "library/Library.h"
#include "library/SampleData.h"
#include "library/Schema.h"
#include "library/Seams.h"
#include "shell/MDIForm1.h"
#include "shell/StartUp.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <QTextStream>
#include <QThread>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString deskOption = QStringLiteral("--open-school");

// Run as a desk (this program with deskOption): opens the database at VADEL_DATABASE, or the
// default one in VADEL_PROGRAM_DIR, through the start-up routine once the file VADEL_GO
// exists, answering No to any question. Exit 0 opened, 1 refused, 2 declined.
int openAsDesk() {
    Seams::setMessageHandler([](Seams::MessageKind, const QString& text, bool) {
        QTextStream(stderr) << text << Qt::endl;
        return Library::vbNo;
    });
    const QString database = qEnvironmentVariable("VADEL_DATABASE");
    if (!database.isEmpty())
        Seams::setDatabasePath(database);
    const QString go = qEnvironmentVariable("VADEL_GO");
    QTextStream(stdout) << "ready" << Qt::endl;
    while (!go.isEmpty() && !QFileInfo::exists(go))
        QThread::usleep(200);
    try {
        const bool opened = StartUp::openDatabase();
        Connection::shared().close();
        return opened ? 0 : 2;
    } catch (const DbError& error) {
        QTextStream(stderr) << error.message() << Qt::endl;
        return 1;
    }
}

std::unique_ptr<QProcess> startDesk(const QStringList& environment,
                                    const std::function<void()>& inChild = {}) {
    auto desk = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& pair : environment)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
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

QVariant value(const char* sql) {
    return Fixture::value(QString::fromLatin1(sql));
}

QStringList column(const QString& sql) {
    QSqlQuery query = Connection::shared().exec(sql);
    QStringList values;
    while (query.next())
        values << query.value(0).toString();
    return values;
}

// Every row of every table, as text.
QStringList allRows() {
    QStringList rows;
    for (const QString& table : column(
             QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"))) {
        const QString values =
            column(QStringLiteral("SELECT group_concat('quote([' || name || "
                                  "'])', '||'',''||') FROM pragma_table_info('%1')")
                       .arg(table))
                .value(0);
        rows << table + u':' +
                    column(QStringLiteral("SELECT %1 FROM [%2] ORDER BY rowid").arg(values, table))
                        .join(u'|');
    }
    return rows;
}

QString mark() {
    return value("PRAGMA application_id").toString() + u'/' +
           value("PRAGMA user_version").toString();
}

const QString ourMark =
    QString::number(Schema::applicationId) + u'/' + QString::number(Schema::currentVersion);

// A school as a program of `version` left it, left open; the first version marked its files
// with the version alone. A later step's test starts from the version before it.
void makeSchoolOfVersion(const QString& path, int version) {
    Seams::setDatabasePath(path);
    Connection& db = Connection::shared();
    db.open(NewSchool::Make);
    Transaction transaction;
    for (const QString& drop : column(QStringLiteral(
             "SELECT 'DROP ' || type || ' [' || name || ']' FROM sqlite_master WHERE type IN "
             "('table', 'view') AND name NOT LIKE 'sqlite%' ORDER BY type DESC")))
        db.exec(drop);
    Schema::upgrade(db, 0, version);
    if (version == 1)
        db.exec(QStringLiteral("PRAGMA application_id = 0"));
    Schema::ensureSettingsRow(db);
    transaction.commit();
}

void manyStudents(int count) {
    Transaction transaction;
    for (int i = 1; i <= count; ++i)
        Fixture::student(QStringLiteral("69%1").arg(i, 5, 10, QLatin1Char('0')),
                         QStringLiteral("เด็กหญิงแก้วตา มณีรัตน์ %1").arg(i), QStringLiteral("แก้ว"),
                         QStringLiteral("%1 ถนนพหลโยธิน แขวงสามเสนใน เขตพญาไท กรุงเทพฯ").arg(i));
    transaction.commit();
}

// Makes a file or its folder read-only even for root (immutable), and undoes it.
bool setReadOnly(const QString& path, bool readOnly) {
    if (!QFileInfo::exists(path))
        return false;
    if (geteuid() != 0)
        return QFile::setPermissions(path, readOnly ? QFile::ReadOwner | QFile::ExeOwner
                                                    : QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner);
    return QProcess::execute(QStringLiteral("chattr"),
                             {readOnly ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

} // namespace

class TestDatabaseFile : public QObject {
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
        const auto ours = [&] {
            Seams::setDatabasePath(path);
            Connection::shared().open(NewSchool::Make);
            Connection::shared().close();
        };
        const auto viaShell = [&](const char* script) {
            return
                [&, script] { QVERIFY(!shell(path, QString::fromLatin1(script)).contains(u':')); };
        };
        const std::tuple<const char*, std::function<void()>, const char16_t*> cases[] = {
            {"another program's database",
             viaShell("CREATE TABLE Notes (Body TEXT); INSERT INTO Notes VALUES ('x');"),
             u"ไม่ใช่ฐานข้อมูลของโปรแกรม"},
            {"another program's database of version 1",
             viaShell("CREATE TABLE CtrlSetup (x); PRAGMA user_version = 1;"),
             u"ไม่ใช่ฐานข้อมูลของโปรแกรม"},
            {"another program's mark, no tables", viaShell("PRAGMA application_id = 42;"),
             u"ไม่ใช่ฐานข้อมูลของโปรแกรม"},
            {"a newer school in rollback-journal mode",
             [&] {
                 ours();
                 viaShell("PRAGMA journal_mode = DELETE; PRAGMA user_version = 99;")();
             },
             u"รุ่นที่ใหม่กว่า (ฐานข้อมูลรุ่น 99"},
            {"a text file",
             [&] {
                 QFile text(path);
                 QVERIFY(text.open(QIODevice::WriteOnly));
                 text.write(QByteArray(2000, 'x'));
             },
             u"อ่านแฟ้มฐานข้อมูลไม่ได้"},
            {"a read-only school",
             [&] {
                 ours();
                 QVERIFY(setReadOnly(path, true));
             },
             u"อ่านอย่างเดียว"},
            {"a school in a read-only folder",
             [&] {
                 ours();
                 QVERIFY(setReadOnly(folder, true));
             },
             u"อ่านอย่างเดียว"},
        };
        for (const auto& [name, make, message] : cases) {
            make();
            const QMap<QString, QByteArray> before = snapshot(folder);
            Seams::setDatabasePath(path);
            {
                ScriptedMessages messages;
                MDIForm1 main;
                QCOMPARE(main.startUp(), MDIForm1::StartResult::NoDatabase);
                QCOMPARE(messages.all.size(), 1);
                QVERIFY2(messages.errors.value(0).contains(QString::fromUtf16(message)) &&
                             messages.errors.value(0).contains(path),
                         name);
            }
            QVERIFY(!Connection::shared().isOpen());
            QVERIFY2(snapshot(folder) == before, name);

            QProcess program;
            program.start(QStringLiteral(VADEL_PROGRAM),
                          {QStringLiteral("--database"), path, QStringLiteral("--load-sample"),
                           QStringLiteral(VADEL_SOURCE_DIR "/sample/demo.sql")});
            QVERIFY(program.waitForFinished(30000));
            QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 1, name);
            QVERIFY2(snapshot(folder) == before, name);

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
            if (answer)
                messages.answer({answer});
            QCOMPARE(StartUp::openDatabase(), made);
            QCOMPARE(messages.questions.size(), answer ? 1 : 0);
            QCOMPARE(messages.errors.size(), 0);
            if (answer)
                QVERIFY(messages.questions.first().contains(QFileInfo(path).absoluteFilePath()));
            if (!made) {
                QVERIFY(!Connection::shared().isOpen());
                QCOMPARE(snapshot(folder), before);
                continue;
            }
            QCOMPARE(mark(), ourMark);
            QCOMPARE(Fixture::count(QStringLiteral("CtrlSetup")), 1);
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
                desks.push_back(startDesk({QStringLiteral("VADEL_PROGRAM_DIR=") + program.path(),
                                           QStringLiteral("VADEL_GO=") + go}));
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
            QCOMPARE(Fixture::count(QStringLiteral("CtrlSetup")), 1);
            Connection::shared().close();
        }
    }

    // On a network filesystem the file keeps the rollback journal, new or already in WAL.
    void networkFileSystemKeepsTheRollbackJournal() {
        QVERIFY(!Seams::isOnNetworkFileSystem(folder));
        Seams::setNetworkCheck([](const QString&) { return true; });
        const QString path = Seams::defaultDatabasePath();
        for (bool wasWal : {false, true}) {
            if (wasWal) {
                Seams::setNetworkCheck({});
                Connection::shared().open(NewSchool::Make);
                QCOMPARE(value("PRAGMA journal_mode").toString(), QStringLiteral("wal"));
                Connection::shared().close();
                Seams::setNetworkCheck([](const QString&) { return true; });
            }
            QVERIFY(StartUp::openDatabase());
            QCOMPARE(value("PRAGMA journal_mode").toString(), QStringLiteral("delete"));
            Fixture::student(QStringLiteral("6900001"), QStringLiteral("ก"));
            QVERIFY(!QFileInfo::exists(path + QStringLiteral("-wal")));
            Connection::shared().close();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.read(20).at(18), char(1)); // the header's rollback-journal mark
            file.close();
            QFile::remove(path);
        }
    }

    // A school of the first version is upgraded in place: every row kept, the same schema as
    // a new school's, no definition naming the Thai collation, a view of its own kept, and the
    // name search still reads an index.
    void versionOneFileIsUpgradedInPlace() {
        const QString path = Seams::defaultDatabasePath();
        makeSchoolOfVersion(path, 1);
        QCOMPARE(mark(), QStringLiteral("0/1"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิต"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1500));
        Fixture::level(QStringLiteral("ม.1"));
        Fixture::subject(QStringLiteral("คณิตศาสตร์"));
        Fixture::teacher(QStringLiteral("T01"), QStringLiteral("ครูสมศรี"));
        manyStudents(30);
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"),
                              Money::fromBaht(500));
        Connection::shared().exec(
            QStringLiteral("CREATE VIEW OfficeList AS SELECT StdID, StdName FROM Student"));
        QVERIFY(Fixture::count(QStringLiteral("sqlite_master"),
                               QStringLiteral("sql LIKE "
                                              "'%COLLATE THAI%'")) > 0);
        const QStringList rows = allRows();
        Connection::shared().close();

        QVERIFY(StartUp::openDatabase());
        QCOMPARE(mark(), ourMark);
        QCOMPARE(allRows(), rows);
        QCOMPARE(Fixture::count(QStringLiteral("OfficeList")), 30);
        const QString schema = QStringLiteral("SELECT type || name || tbl_name || ifnull(sql, '') "
                                              "FROM sqlite_master WHERE name <> 'OfficeList' "
                                              "ORDER BY name");
        const QStringList upgraded = column(schema);
        QVERIFY(!upgraded.join(u' ').contains(QStringLiteral("THAI"), Qt::CaseInsensitive));
        const QString search = QStringLiteral(
            "EXPLAIN QUERY PLAN Select StdID, StdName, StdNickName From Student Where StdName "
            "Like '%' || ? || '%' Order By StdName COLLATE THAI");
        QSqlQuery plan = Connection::shared().exec(search, {QStringLiteral("แก้ว")});
        QString planText;
        while (plan.next())
            planText += plan.value(3).toString();
        QVERIFY2(planText.contains(QStringLiteral("COVERING INDEX")), qPrintable(planText));
        Connection::shared().close();
        QCOMPARE(shell(path, QStringLiteral("PRAGMA integrity_check;")), QStringLiteral("ok"));

        Seams::setDatabasePath(QDir(folder).filePath(QStringLiteral("new.db")));
        Connection::shared().open(NewSchool::Make);
        QCOMPARE(column(schema), upgraded);
    }

    // An upgrade that fails half-way (here the disk fills) leaves the file as it was and says
    // so; the next start upgrades it.
    void failedUpgradeLeavesTheFileAsItWas() {
        const QString path = Seams::defaultDatabasePath();
        makeSchoolOfVersion(path, 1);
        manyStudents(3000);
        const QStringList rows = allRows();
        Connection::shared().close();
        const QMap<QString, QByteArray> before = snapshot(folder);

        const auto diskFull = [] {
            const rlimit limit{256 * 1024, 256 * 1024};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, SIG_IGN);
        };
        const auto desk = startDesk({QStringLiteral("VADEL_PROGRAM_DIR=") + folder}, diskFull);
        QVERIFY(desk->waitForFinished(30000));
        const QString error = QString::fromUtf8(desk->readAllStandardError());
        QCOMPARE(desk->exitCode(), 1);
        QVERIFY2(error.contains(QStringLiteral("ปรับฐานข้อมูลเป็นรุ่นใหม่ไม่สำเร็จ แฟ้มยังเหมือนเดิม")),
                 qPrintable(error));
        QCOMPARE(snapshot(folder), before);

        QVERIFY(StartUp::openDatabase());
        QCOMPARE(mark(), ourMark);
        QCOMPARE(allRows(), rows);
    }

    // The stock sqlite3 shell checks and reads every table and view of the demo school after a
    // payment.
    void stockShellReadsTheDemoSchool() {
        QVERIFY(StartUp::openDatabase());
        SampleData::load(QStringLiteral(VADEL_SOURCE_DIR "/sample/demo.sql"));
        const QString student = value("SELECT min(StdID) FROM Student").toString();
        Fixture::classRow(QStringLiteral("6999001"),
                          value("SELECT min(CourseID) FROM Course").toString(),
                          Money::fromBaht(2500));
        Fixture::registration(student, QStringLiteral("6999001"));
        const PaymentResult paid =
            PaymentPosting(student, QString(),
                           {{1, QStringLiteral("6999001"), Money::fromBaht(1000)}})
                .post();
        QCOMPARE(paid.status, PaymentResult::Status::Posted);
        QString script = QStringLiteral(".output /dev/null\n");
        const QStringList objects = column(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type IN ('table', 'view') ORDER BY name"));
        QCOMPARE(objects.size(), 25);
        for (const QString& name : objects)
            script += QStringLiteral("SELECT * FROM [%1];\n").arg(name);
        script += QStringLiteral(".output stdout\nPRAGMA integrity_check;\n"
                                 "SELECT StmNetAmt FROM QStatementStudent;\n");
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
    TestDatabaseFile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dbfile.moc"
