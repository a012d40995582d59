// Times our database layer against the bare SQLite C API on a large school:
// 50,000 students, 2,000 classes of 10 courses, 500,000 registrations.
// Usage: bench_foundation [database file]  (default: a temporary file)

#include "library/Database.h"
#include "library/DialogSeams.h"
#include "library/Library.h"
#include "library/Recordset.h"
#include "library/Seams.h"

#include <QCollator>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <sqlite3.h>

namespace {

constexpr int studentCount = 50000;
constexpr int classCount = 2000;
constexpr int courseCount = 10;
constexpr int classesPerStudent = 10;

int thaiCompare(void*, int lengthA, const void* a, int lengthB, const void* b) {
    thread_local QCollator collator(QLocale(QLocale::Thai, QLocale::Thailand));
    const QString left = QString::fromUtf8(static_cast<const char*>(a), lengthA);
    const QString right = QString::fromUtf8(static_cast<const char*>(b), lengthB);
    const int order = collator.compare(left, right);
    return order != 0 ? order : left.compare(right);
}

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

sqlite3* openBare(const QString& path) {
    sqlite3* db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db, "open");
    sqlite3_create_collation(db, "THAI", SQLITE_UTF8, nullptr, thaiCompare);
    return db;
}

void execBare(sqlite3* db, const char* sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql);
}

void bindText(sqlite3_stmt* statement, int index, const QByteArray& text) {
    sqlite3_bind_text(statement, index, text.constData(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

QString code(int prefix, int number) {
    return QStringLiteral("%1%2").arg(prefix).arg(number, 5, 10, QLatin1Char('0'));
}

void fill(const QString& path) {
    static const char16_t* const firsts[] = {u"ธนกร", u"ณัฐวุฒิ",  u"ภูมิพัฒน์",  u"กิตติพัฒน์", u"เอกชัย",
                                             u"ไชยา", u"โชคชัย", u"แพรวา",  u"ใบเตย",  u"เบญจมาศ",
                                             u"ศิริพร", u"อรอุมา", u"กมลชนก", u"สมศรี"};
    static const char16_t* const lasts[] = {u"สุขสวัสดิ์", u"ใจดี",    u"ทองคำ",  u"ศรีสุข",
                                            u"แก้วมณี",  u"บุญมา",   u"เจริญสุข", u"โชติช่วง",
                                            u"แสงทอง", u"ชัยมงคล", u"มั่นคง",   u"อินทร์แก้ว"};
    QRandomGenerator random(2026);
    sqlite3* db = openBare(path);
    execBare(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    for (int i = 1; i <= courseCount; ++i) {
        const QByteArray sql = QStringLiteral("INSERT INTO Course VALUES ('C%1', 'คอร์สที่ %1', "
                                              "'20260101', NULL, '%2')")
                                   .arg(i, 3, 10, QLatin1Char('0'))
                                   .arg(i % 4 ? 1 : 0)
                                   .toUtf8();
        execBare(db, sql.constData());
    }
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO CourseTable (CourseNo, CourseID, CourseLevel, Subject, "
                             "CourseDate, CourseTime, CoursePrice, DateStart, DateEnd, TimeHour, "
                             "RoomNo) VALUES (?, ?, ?, ?, 'ส-อา', '09.00-12.00', ?, '20261201', "
                             "'20270331', 30, '101')",
                             -1, &insert, nullptr),
          db, "prepare class");
    for (int i = 1; i <= classCount; ++i) {
        bindText(insert, 1, code(69, i).toUtf8());
        bindText(insert, 2,
                 QStringLiteral("C%1").arg(i % courseCount + 1, 3, 10, QLatin1Char('0')).toUtf8());
        bindText(insert, 3, QStringLiteral("ม.%1").arg(i % 6 + 1).toUtf8());
        bindText(insert, 4, QStringLiteral("วิชา %1").arg(i % 7).toUtf8());
        sqlite3_bind_double(insert, 5, 1500.0 + (i % 20) * 250.0);
        check(sqlite3_step(insert), db, "class");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);

    check(sqlite3_prepare_v2(db,
                             "INSERT INTO Student (StdID, StdName, StdNickName, StdAddr, StdLevel, "
                             "StdTel, StdSex) VALUES (?, ?, ?, ?, ?, '081-234-5678', ?)",
                             -1, &insert, nullptr),
          db, "prepare student");
    for (int i = 1; i <= studentCount; ++i) {
        const QString first = QString::fromUtf16(firsts[random.bounded(14)]);
        const QString name = first + QLatin1Char(' ') +
                             QString::fromUtf16(lasts[random.bounded(12)]) +
                             QString::number(i % 97);
        bindText(insert, 1, code(69, i).toUtf8());
        bindText(insert, 2, name.toUtf8());
        bindText(insert, 3, first.left(3).toUtf8());
        bindText(insert, 4, QStringLiteral("%1 ถนนพหลโยธิน\r\nกรุงเทพฯ 10400").arg(i).toUtf8());
        bindText(insert, 5, QStringLiteral("ม.%1").arg(i % 6 + 1).toUtf8());
        bindText(insert, 6, QByteArray(i % 2 ? "M" : "F"));
        check(sqlite3_step(insert), db, "student");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);

    check(sqlite3_prepare_v2(db,
                             "INSERT INTO StudentCourse (StdID, CourseNo, CourseRegDate, "
                             "CoursePayAmt, CoursePayDate, CourseGrade) VALUES (?, ?, ?, ?, ?, '')",
                             -1, &insert, nullptr),
          db, "prepare registration");
    for (int i = 1; i <= studentCount; ++i) {
        const int base = random.bounded(classCount);
        for (int k = 0; k < classesPerStudent; ++k) {
            const QByteArray date =
                QStringLiteral("202611%1").arg(k + 10).toUtf8(); // ten days in November
            bindText(insert, 1, code(69, i).toUtf8());
            bindText(insert, 2, code(69, (base + k * 199) % classCount + 1).toUtf8());
            bindText(insert, 3, date);
            sqlite3_bind_double(insert, 4, (k % 3) * 500.0);
            bindText(insert, 5, date);
            check(sqlite3_step(insert), db, "registration");
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    execBare(db, "COMMIT");
    execBare(db, "ANALYZE");
    sqlite3_close(db);
}

// Runs sql on the bare API, reading every value of every row; returns the row count.
int runBare(sqlite3* db, const char* sql, const QByteArray& param) {
    sqlite3_stmt* statement = nullptr;
    check(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr), db, sql);
    if (!param.isNull())
        bindText(statement, 1, param);
    int rows = 0;
    double sink = 0;
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                sink += static_cast<double>(sqlite3_column_int64(statement, c));
                break;
            case SQLITE_FLOAT:
                sink += sqlite3_column_double(statement, c);
                break;
            case SQLITE_NULL:
                break;
            default:
                sink +=
                    sqlite3_column_bytes(statement, c) > 0 ? *sqlite3_column_text(statement, c) : 0;
            }
        }
    }
    sqlite3_finalize(statement);
    return sink < 0 ? -1 : rows;
}

int runOurs(const QString& sql, const QString& param) {
    const Recordset rs =
        Library::OpenRecordset(sql, true, param.isNull() ? QVariantList() : QVariantList{param});
    return rs.RecordCount();
}

// Best of three rounds, in milliseconds.
double best(const std::function<int()>& round, int& rows) {
    double fastest = 1e18;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        rows = round();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
    }
    return fastest;
}

void compare(const char* name, const QString& sql, const QStringList& params, sqlite3* bare) {
    const QByteArray sqlBytes = sql.toUtf8();
    int oursRows = 0;
    int bareRows = 0;
    const double ours = best(
        [&] {
            int rows = 0;
            for (const QString& p : params)
                rows += runOurs(sql, p);
            return rows;
        },
        oursRows);
    const double plain = best(
        [&] {
            int rows = 0;
            for (const QString& p : params)
                rows += runBare(bare, sqlBytes.constData(), p.isNull() ? QByteArray() : p.toUtf8());
            return rows;
        },
        bareRows);
    std::printf("%-28s %6lld runs %9d rows  ours %9.1f ms  bare %9.1f ms  ratio %5.2f%s\n", name,
                static_cast<long long>(params.size()), oursRows, ours, plain, ours / plain,
                oursRows == bareRows ? "" : "  (ROW COUNTS DIFFER)");
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    Seams::setMessageHandler([](Seams::MessageKind, const QString& text, bool) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return Library::vbNo;
    });
    QTemporaryDir dir;
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("bench.db"));
    QFile::remove(path);
    Seams::setDatabasePath(path);

    QElapsedTimer timer;
    timer.start();
    Connection::shared().open(NewSchool::Make);
    Connection::shared().close();
    fill(path);
    std::printf("filled %d students, %d classes, %d registrations in %.1f s\n", studentCount,
                classCount, studentCount * classesPerStudent, timer.elapsed() / 1000.0);

    Connection::shared().open();
    sqlite3* bare = openBare(path);

    QStringList codes;
    QRandomGenerator random(7);
    for (int i = 0; i < 2000; ++i)
        codes << code(69, random.bounded(studentCount) + 1);
    compare("student by code", QStringLiteral("Select * From Student Where StdID = ?"), codes,
            bare);

    const QStringList names = {QStringLiteral("ใจดี1"), QStringLiteral("แพรวา ทอง"),
                               QStringLiteral("ชัย"), QStringLiteral("สมศรี บุญมา9")};
    compare("name search (Like)",
            QStringLiteral("Select StdID, StdName, StdNickName From Student Where StdName Like "
                           "'%' || ? || '%' Order By StdName COLLATE THAI "),
            names, bare);

    compare("full read of QStudentCourse3", QStringLiteral("SELECT  *  From   QStudentCourse3"),
            {QString()}, bare);

    sqlite3_close(bare);
    Connection::shared().close();
    return 0;
}
