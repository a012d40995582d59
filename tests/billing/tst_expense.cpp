#include "billing/ExpenseStore.h"
#include "library/Database.h"
#include "support/TestSupport.h"

#include <QTest>

namespace {

Money baht(double value) {
    return Money::fromBaht(value);
}

QString text(const QString& sql) {
    return Fixture::value(sql).toString();
}

void exec(const QString& sql) {
    Connection::shared().exec(sql);
}

// Every stored row as "code:day:description:received:paid:user", in code order.
QString rows() {
    return text(QStringLiteral(
        "SELECT group_concat(r, ' / ') FROM (SELECT ExpID || ':' || ExpDate || ':' || ExpDesc || "
        "':' || ExpCrAmt || ':' || ExpDbAmt || ':' || UserID AS r FROM Expense ORDER BY ExpID)"));
}

QString add(const QString& description, double received = 1, double paid = 0) {
    return ExpenseStore::add({QString(), description, baht(received), baht(paid)},
                             QStringLiteral("20261206"), QStringLiteral("clerk"));
}

} // namespace

class TestExpense : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;

private slots:
    void init() { db = std::make_unique<TestDatabase>(); }
    void cleanup() { db.reset(); }

    void codesFollowTheYear() {
        // Rows of an earlier year do not move the new year's series.
        exec(QStringLiteral("INSERT INTO Expense (ExpID) VALUES ('68000417')"));
        QCOMPARE(ExpenseStore::proposedNumber(), QStringLiteral("69000001"));
        QCOMPARE(add(QStringLiteral("ค่าน้ำ")), QStringLiteral("69000001"));
        // A code taken between New and Save: the save takes the next free one.
        QCOMPARE(ExpenseStore::proposedNumber(), QStringLiteral("69000002"));
        exec(QStringLiteral("INSERT INTO Expense (ExpID, ExpDesc) VALUES ('69000002', 'desk 2')"));
        QCOMPARE(add(QStringLiteral("ค่าไฟ")), QStringLiteral("69000003"));
        QCOMPARE(text(QStringLiteral("SELECT ExpDesc FROM Expense WHERE ExpID = '69000002'")),
                 QStringLiteral("desk 2"));
        // The clock set back a year whose codes are taken: still the next free one of that year.
        db->setNow(QDateTime(QDate(2025, 6, 1), QTime(9, 0)));
        QCOMPARE(add(QStringLiteral("ย้อนปี")), QStringLiteral("68000418"));
        // A year whose codes are used up is refused, and nothing is written.
        db->setNow(QDateTime(QDate(2027, 1, 2), QTime(9, 0)));
        exec(QStringLiteral("INSERT INTO Expense (ExpID) VALUES ('70999999')"));
        const int stored = Fixture::count(QStringLiteral("Expense"));
        QVERIFY_THROWS_EXCEPTION(DbError, add(QStringLiteral("เต็ม")));
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), stored);
    }

    void editAndDelete() {
        // Quotes, Thai with combining marks and 100 characters are stored as typed.
        const QString quoted = QStringLiteral("ค่ารถ 'ไป-กลับ' \"ด่วน\" น้ำแข็ง่ำ");
        const QString longText = QString(100, QChar(u'ก'));
        const QString first = add(quoted, 1500);
        const QString second = add(longText, 0, 250.5);
        QCOMPARE(rows(), QStringLiteral("69000001:20261206:") + quoted +
                             QStringLiteral(":1500.0:0.0:clerk / 69000002:20261206:") + longText +
                             QStringLiteral(":0.0:250.5:clerk"));

        // An edit keeps the code and the day, takes the user; a row may carry both amounts.
        db->setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
        QVERIFY(ExpenseStore::update({first, QStringLiteral("ค่าน้ำ"), baht(10), baht(0.05)},
                                     QStringLiteral("boss")));
        ExpenseStore::remove(second);
        QCOMPARE(rows(), QStringLiteral("69000001:20261206:ค่าน้ำ:10.0:0.05:boss"));
        // A row deleted meanwhile: nothing written, and nothing comes back.
        QVERIFY(!ExpenseStore::update({second, QStringLiteral("x"), baht(1), Money()},
                                      QStringLiteral("boss")));
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), 1);
    }
};

QTEST_MAIN(TestExpense)
#include "tst_expense.moc"
