// Times the student enquiry on a large school (50,000 pupils, 500,000
// registrations, 100,000 bills), each beside the bare SQLite C API running the
// same statements (each prepared once, on a connection set up as the program's),
// the two taking turns at going first: showing one pupil (profile, photo, class
// list) and a name search. Run it from a Release build.

#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "results/StudentPhoto.h"
#include "results/frmQuery.h"
#include "support/TestSupport.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int pupils = 50'000;
constexpr int classesPerPupil = 10;
constexpr int classes = 2'000;
constexpr int courses = 40;
constexpr int bills = 100'000;
constexpr int rounds = 300;

QString code(int n) {
    return QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0'));
}

void seed() {
    Connection& db = Connection::shared();
    Transaction transaction;
    QSqlQuery course(db.database());
    course.prepare(QStringLiteral("INSERT INTO Course VALUES (?, ?, '20260101', '', ?)"));
    for (int i = 1; i <= courses; ++i) {
        course.addBindValue(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')));
        course.addBindValue(QStringLiteral("คอร์สที่ %1").arg(i));
        course.addBindValue(i % 4 ? QStringLiteral("1") : QStringLiteral("0"));
        course.exec();
    }
    QSqlQuery klass(db.database());
    klass.prepare(QStringLiteral(
        "INSERT INTO CourseTable (CourseNo, CourseID, CourseLevel, Subject, CourseDate, "
        "CourseTime, CoursePrice, DateStart, DateEnd, TimeHour, RoomNo, TestMax1, TestMax2) "
        "VALUES (?, ?, 'ม.3', 'คณิตศาสตร์', 'ส-อา', '09.00-12.00', 3000, '20261201', "
        "'20270331', 30, '101', 10, 20)"));
    for (int i = 1; i <= classes; ++i) {
        klass.addBindValue(code(i));
        klass.addBindValue(QStringLiteral("C%1").arg(i % courses + 1, 2, 10, QLatin1Char('0')));
        klass.exec();
    }
    QSqlQuery student(db.database());
    student.prepare(QStringLiteral(
        "INSERT INTO Student VALUES (?, ?, ?, 'นายสมศักดิ์ ใจดี', 'ค้าขาย', 'นางสมศรี ใจดี', "
        "'รับราชการ', '12 ถนนสาทร\r\nกรุงเทพฯ 10120', '20100315', '20260510', '081-234-5678', "
        "'pupil@example.com', ?, 'พุทธ', 'ฟ้า', 'คณิตศาสตร์', 'ว่ายน้ำ', 'เข้ามหาวิทยาลัย', "
        "'เพื่อนแนะนำ', '', 'โรงเรียนสาธิต', 'ม.3', '4', '3.5', '4', '3', '3.5', '', '', '', "
        "'แพ้กุ้ง')"));
    QSqlQuery registration(db.database());
    registration.prepare(QStringLiteral(
        "INSERT INTO StudentCourse (StdID, CourseNo, CourseRegDate, CoursePayAmt, CoursePayDate, "
        "CourseGrade, TestPoint1) VALUES (?, ?, '20261201', ?, '20261201', '', 7.5)"));
    for (int p = 1; p <= pupils; ++p) {
        student.addBindValue(code(p));
        student.addBindValue(QStringLiteral("นักเรียน ทดสอบที่ %1").arg(p));
        student.addBindValue(QStringLiteral("เล่น %1").arg(p % 1000));
        student.addBindValue(p % 2 ? QStringLiteral("M") : QStringLiteral("F"));
        student.exec();
        for (int k = 0; k < classesPerPupil; ++k) {
            registration.addBindValue(code(p));
            registration.addBindValue(code((p * 7 + k * 197) % classes + 1));
            registration.addBindValue(k < 3 ? 0.0 : 3000.0);
            registration.exec();
        }
    }
    QSqlQuery bill(db.database());
    bill.prepare(QStringLiteral("INSERT INTO Statement VALUES (?, '20261201', ?, 6000, ?, ?, "
                                "'admin', '')"));
    QSqlQuery line(db.database());
    line.prepare(QStringLiteral("INSERT INTO StatementSub VALUES (?, ?, ?, 3000, 3000)"));
    for (int b = 1; b <= bills; ++b) {
        const QString id = QStringLiteral("69%1").arg(b, 6, 10, QLatin1Char('0'));
        const int p = b % pupils + 1;
        bill.addBindValue(id);
        bill.addBindValue(code(p));
        bill.addBindValue(QStringLiteral("69-%1").arg(b % 100000, 5, 10, QLatin1Char('0')));
        bill.addBindValue(b % 20 ? QStringLiteral("0") : QStringLiteral("1"));
        bill.exec();
        for (int k = 1; k <= 2; ++k) {
            line.addBindValue(id);
            line.addBindValue(k);
            line.addBindValue(code((p * 7 + (k + 2) * 197) % classes + 1));
            line.exec();
        }
    }
    transaction.commit();
}

// As a desk leaves the school: a pupil looked up, then the school closed, which keeps the
// query planner's statistics as the program keeps them.
void useAsADesk(const char* studentSql, const char* classesSql) {
    Library::OpenRecordset(QString::fromUtf8(studentSql), {code(1)});
    Library::OpenRecordset(QString::fromUtf8(classesSql), {code(1)});
    Connection::shared().close();
}

// Runs one statement of the floor, prepared once, and reads every column of every row.
int bareRows(Stmt& statement, const QByteArray& param) {
    return statement.bind(1, param).drain();
}

double micros(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1000;
}

void report(const char* what, const std::vector<double>& program, const std::vector<double>& bare) {
    const Figures ours = summarise(program);
    const Figures floor = summarise(bare);
    std::printf("%-46s program %9.1f us (p95 %9.1f)   floor %9.1f us (p95 %9.1f)   x%.2f\n", what,
                ours.median, ours.p95, floor.median, floor.p95, ours.median / floor.median);
}

const char* const studentSql = "Select * From Student Where StdID = ?";
const char* const classesSql =
    "Select CourseNo, CourseName, CourseLevel, Subject, CourseDate, CourseTime, "
    "CourseStartDate, CoursePrice, CoursePayAmt, CoursePayDate From QStudentCourse Where StdID = "
    "? And CourseStatus = '1' Order By CourseID, CourseNo";
const char* const nameSql =
    "SELECT StdID, StdName, StdNickName, StdLevel FROM Student WHERE StdName LIKE '%' || ? || '%'";

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestDatabase database;
    ScriptedDialogs dialogs; // a search with several hits: the dialog is closed at once
    QElapsedTimer timer;
    timer.start();
    seed();
    useAsADesk(studentSql, classesSql);
    std::printf("seeded %d pupils, %d registrations, %d bills in %.1f s\n", pupils,
                pupils * classesPerPupil, bills, static_cast<double>(timer.elapsed()) / 1000);

    sqlite3* bare = openBare(database.path());
    if (!bare)
        return 1;
    Stmt student(bare, studentSql), classList(bare, classesSql), byName(bare, nameSql);

    // Every pupil shown has a photo of 600 x 800 pixels.
    QTemporaryDir photos;
    Library::gImagePath = photos.path();
    QImage photo(600, 800, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    const QString first = photos.filePath(QStringLiteral("sample.jpg"));
    photo.save(first, "JPG", 85);
    QRandomGenerator random(20261206);
    QStringList shown;
    for (int i = 0; i < rounds; ++i) {
        shown << code(random.bounded(1, pupils + 1));
        QFile::copy(first, photos.filePath(shown.last() + QStringLiteral(".jpg")));
    }

    frmQuery window;
    window.show();
    QApplication::setActiveWindow(&window);
    {
        StatementTrace programTrace(programHandle());
        StatementTrace floorTrace(bare);
        window.ShowStudent(shown.first());
        bareRows(student, shown.first().toUtf8());
        bareRows(classList, shown.first().toUtf8());
        sameStatements("show one pupil", programTrace.statements(), floorTrace.statements());
    }
    std::vector<double> program, painted, photoOnly, sql;
    // The program and the floor take turns at going first.
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QString& pupil = shown.at(i);
        auto floor = [&] {
            timer.restart();
            bareRows(student, pupil.toUtf8());
            bareRows(classList, pupil.toUtf8());
            sql.push_back(micros(timer));
        };
        if (i % 2)
            floor();
        timer.restart();
        window.ShowStudent(pupil);
        program.push_back(micros(timer));
        QCoreApplication::processEvents();
        painted.push_back(micros(timer));
        timer.restart();
        StudentPhoto::load(Library::gImagePath, pupil, QSize(120, 150));
        photoOnly.push_back(micros(timer));
        if (i % 2 == 0)
            floor();
    }
    report("show one pupil (profile, photo, classes)", program, sql);
    report("  the same, window repainted", painted, sql);
    report("  the photo alone (600 x 800 JPEG)", photoOnly, sql);

    // One hit shows the pupil (the same two statements follow the search); several
    // open the search dialog, which the benchmark closes at once.
    const struct {
        const char* what;
        QString part;
        QString shows;
    } searches[] = {
        {"name search, one hit, pupil shown", QStringLiteral("ทดสอบที่ 12345"), code(12345)},
        {"name search, 11 hits (search dialog)", QStringLiteral("ทดสอบที่ 4999"), QString()}};
    for (const auto& search : searches) {
        std::vector<double> ours, plain;
        for (int i = 0; i < 20; ++i) {
            // The first run of each, not timed, shows that the floor runs the program's
            // statements.
            std::optional<StatementTrace> programTrace, floorTrace;
            if (i == 0) {
                programTrace.emplace(programHandle());
                floorTrace.emplace(bare);
            }
            auto floor = [&] {
                timer.restart();
                bareRows(byName, search.part.toUtf8());
                if (!search.shows.isEmpty()) {
                    bareRows(student, search.shows.toUtf8());
                    bareRows(classList, search.shows.toUtf8());
                }
                plain.push_back(micros(timer));
            };
            if (i % 2)
                floor();
            window.txtStdName->setFocus();
            window.txtStdName->setText(search.part);
            timer.restart();
            QTest::keyClick(window.txtStdName, Qt::Key_Return);
            QCoreApplication::processEvents();
            if (i == 0) {
                floor();
                sameStatements(search.what, programTrace->statements(), floorTrace->statements());
                plain.clear();
                continue;
            }
            ours.push_back(micros(timer));
            if (i % 2 == 0)
                floor();
        }
        report(search.what, ours, plain);
    }
    sqlite3_close(bare);
    return 0;
}
