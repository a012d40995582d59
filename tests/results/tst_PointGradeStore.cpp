#include "library/Database.h"
#include "results/PointGradeStore.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <QTest>

namespace {

const QString courseNo = QStringLiteral("6900001");
const QString other = QStringLiteral("6900002");
const QString pupil = QStringLiteral("6900011");
const QString classmate = QStringLiteral("6900012");

QVariant stored(const QString& column, const QString& table = QStringLiteral("StudentCourse"),
                const QString& where = QStringLiteral("CourseNo = ? AND StdID = ?"),
                const QVariantList& keys = {courseNo, pupil}) {
    return Fixture::value(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + table +
                              QStringLiteral(" WHERE ") + where,
                          keys);
}

// Every cell of the result columns, to see that a write touched nothing else.
QString snapshot() {
    QString all;
    for (const char* sql :
         {"SELECT group_concat(quote(TestMax1) || quote(TestMax2) || quote(TestMax3) || "
          "quote(TestMax4) || quote(TestMax5) || quote(TestMax6) || quote(TestMax7) || "
          "quote(TestMax8) || quote(TestMax9), '|') FROM (SELECT * FROM CourseTable ORDER BY "
          "CourseNo)",
          "SELECT group_concat(quote(CourseGrade) || quote(CoursePoint) || quote(TestPoint1) || "
          "quote(TestPoint2) || quote(TestPoint3) || quote(TestPoint4) || quote(TestPoint5) || "
          "quote(TestPoint6) || quote(TestPoint7) || quote(TestPoint8) || quote(TestPoint9), '|') "
          "FROM (SELECT * FROM StudentCourse ORDER BY CourseNo, StdID)"})
        all += Fixture::value(QString::fromLatin1(sql)).toString() + QLatin1Char('#');
    return all;
}

} // namespace

class TstPointGradeStore : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;

private slots:
    void init() {
        m_db = std::make_unique<TestDatabase>();
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สเข้ม"));
        Fixture::classRow(courseNo, QStringLiteral("C01"), Money::fromBaht(2000));
        Fixture::classRow(other, QStringLiteral("C01"), Money::fromBaht(2000));
        for (const QString& stdId : {pupil, classmate}) {
            Fixture::student(stdId, QStringLiteral("นักเรียน ") + stdId);
            Fixture::registration(stdId, courseNo);
            Fixture::registration(stdId, other);
        }
    }

    void cleanup() {
        QLocale::setDefault(QLocale::c());
        m_db.reset();
    }

    // Each number write stores the typed text's value in its one cell, whatever the locale.
    void numbersAreStoredInTheirOneCell() {
        using Write = std::function<QString(const QString&)>;
        const std::tuple<const char*, Write, QString, QString, QString> writes[] = {
            {"TestMax3",
             [](const QString& t) { return PointGradeStore::writeTestMax(courseNo, 3, t); },
             QStringLiteral("CourseTable"), QStringLiteral("CourseNo = ?"), QString()},
            {"TestPoint9",
             [](const QString& t) {
                 return PointGradeStore::writeTestPoint(courseNo, pupil, 9, t);
             },
             QStringLiteral("StudentCourse"), QStringLiteral("CourseNo = ? AND StdID = ?"), pupil},
            {"CoursePoint",
             [](const QString& t) { return PointGradeStore::writeCoursePoint(courseNo, pupil, t); },
             QStringLiteral("StudentCourse"), QStringLiteral("CourseNo = ? AND StdID = ?"), pupil}};
        const std::tuple<const char*, double, const char*> typed[] = {
            {"20", 20, "20"},
            {"7.5", 7.5, "7.5"},
            {"7.50", 7.5, "7.5"},
            {"1,000", 1000, "1000"},
            {"", 0, "0"},
            {"abc", 0, "0"},
            {"1.2.3", 0, "0"},
            {"9999999", 9999999, "9999999"},
            {"1234567890", 1234567890, "1234567890"}};
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        for (const auto& [column, write, table, where, stdId] : writes) {
            QVariantList keys{courseNo};
            if (!stdId.isEmpty())
                keys << stdId;
            for (const auto& [text, value, shown] : typed) {
                const QString before = snapshot();
                QCOMPARE(write(QString::fromLatin1(text)), QString::fromLatin1(shown));
                const QVariant cell = stored(QString::fromLatin1(column), table, where, keys);
                QCOMPARE(cell.typeId(), QMetaType::Double);
                QCOMPARE(cell.toDouble(), value);
                // Only that cell changed: put it back and the rest is as before.
                Connection::shared().exec(
                    QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                        QString::fromLatin1(column) + QStringLiteral(" = NULL WHERE ") + where,
                    keys);
                QCOMPARE(snapshot(), before);
            }
        }
    }

    // Column names come only from the test numbers 1 to 9.
    void testNumbersOutsideOneToNineWriteNothing() {
        const QString before = snapshot();
        for (int test : {0, 10, -1, 91}) {
            QVERIFY(!PointGradeStore::isTestNumber(test));
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, PointGradeStore::writeTestMax(
                                                            courseNo, test, QStringLiteral("5")));
            QVERIFY_THROWS_EXCEPTION(
                std::out_of_range,
                PointGradeStore::writeTestPoint(courseNo, pupil, test, QStringLiteral("5")));
        }
        QCOMPARE(snapshot(), before);
        for (int test = 1; test <= 9; ++test) {
            PointGradeStore::writeTestPoint(courseNo, pupil, test, QString::number(test * 10));
            PointGradeStore::writeTestMax(courseNo, test, QString::number(test));
            QCOMPARE(stored(QStringLiteral("TestPoint") + QString::number(test)).toDouble(),
                     test * 10.0);
        }
        QCOMPARE(stored(QStringLiteral("TestMax9"), QStringLiteral("CourseTable"),
                        QStringLiteral("CourseNo = ?"), {courseNo})
                     .toDouble(),
                 9.0);
    }

    void gradesAreStoredAsTyped() {
        for (const QString& grade :
             {QStringLiteral("B'"), QStringLiteral(" A "), QStringLiteral("'; --"),
              QStringLiteral("ก+"), QString(), QStringLiteral("")}) {
            const QString before = snapshot();
            PointGradeStore::writeCourseGrade(courseNo, pupil, grade);
            const QVariant cell = stored(QStringLiteral("CourseGrade"));
            QVERIFY(!cell.isNull());
            QCOMPARE(cell.toString(), grade.isNull() ? QStringLiteral("") : grade);
            Connection::shared().exec(
                QStringLiteral("UPDATE StudentCourse SET CourseGrade = '' WHERE StdID = ?"),
                {pupil});
            QCOMPARE(snapshot(), before);
        }
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse")), 4);
    }

    // The points window lists every registration of a class, also one whose pupil is gone.
    void classListHasOneRowPerRegistration() {
        Connection::shared().exec(QStringLiteral("DELETE FROM Student WHERE StdID = ?"), {pupil});
        QCOMPARE(Fixture::count(QStringLiteral("QStudentCourse2"), QStringLiteral("CourseNo = ?"),
                                {courseNo}),
                 2);
        QCOMPARE(PointGradeStore::numberText(QVariant()), QStringLiteral("0"));
    }
};

QTEST_MAIN(TstPointGradeStore)
#include "tst_PointGradeStore.moc"
