#include "library/Database.h"
#include "library/Library.h"
#include "library/SampleData.h"
#include "support/TestSupport.h"

#include <QTest>

namespace {

QString demoScript() {
    return QStringLiteral(VADEL_SOURCE_DIR) + QStringLiteral("/sample/demo.sql");
}

} // namespace

class TestSample : public QObject {
    Q_OBJECT

private slots:
    void init() { database = std::make_unique<TestDatabase>(); }
    void cleanup() { database.reset(); }

    void demoSchoolLoadsIntoANewDatabase() {
        SampleData::load(demoScript());

        QCOMPARE(Fixture::count(QStringLiteral("CtrlSetup")), 1);
        QCOMPARE(Fixture::value(QStringLiteral("Select ShopName From CtrlSetup")).toString(),
                 QStringLiteral("สถาบันกวดวิชาปัญญาเลิศ"));
        const QString address =
            Fixture::value(QStringLiteral("Select ShopAddr From CtrlSetup")).toString();
        QCOMPARE(address.split(QStringLiteral("\r\n")).size(), 2);
        QCOMPARE(Fixture::count(QStringLiteral("CtrlSetup"),
                                QStringLiteral("ShopPrintBiLL = '1' And ShopBiLLAutoRun = '1' And "
                                               "ShopBiLLYY = '' And ShopBiLLNo = '00000' And "
                                               "ShopTel <> '' And ShopFax <> ''")),
                 1);

        QCOMPARE(Fixture::count(QStringLiteral("CourseLevel")), 7);
        QCOMPARE(Fixture::count(QStringLiteral("Subject")), 7);
        QCOMPARE(Fixture::count(QStringLiteral("Course")), 4);
        QCOMPARE(Fixture::count(QStringLiteral("Course"),
                                QStringLiteral("CourseStatus = '1' And (CourseEndDate >= ? Or "
                                               "CourseEndDate Is Null)"),
                                {Library::gToday}),
                 3);
        QCOMPARE(Fixture::count(QStringLiteral("Teacher")), 6);
        QCOMPARE(Fixture::count(QStringLiteral("Teacher"), QStringLiteral("TechSts = '1'")), 5);
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 40);
        QCOMPARE(Fixture::count(QStringLiteral("Student"),
                                QStringLiteral("length(StdID) = 7 And StdName <> '' And "
                                               "StdNickName <> '' And StdAddr Like '%' || ? || "
                                               "'%' And StdLevel In (Select CourseLevel From "
                                               "CourseLevel)"),
                                {QStringLiteral("\r\n")}),
                 40);
        QCOMPARE(Fixture::count(QStringLiteral("CtrlUser")), 0);
    }

    void aSecondLoadChangesNothing() {
        SampleData::load(demoScript());
        QVERIFY_THROWS_EXCEPTION(DbError, SampleData::load(demoScript()));
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 40);
        QCOMPARE(Fixture::count(QStringLiteral("Teacher")), 6);
        QVERIFY_THROWS_EXCEPTION(DbError, SampleData::load(demoScript() + QStringLiteral(".none")));
    }

private:
    std::unique_ptr<TestDatabase> database;
};

QTEST_MAIN(TestSample)
#include "tst_sample.moc"
