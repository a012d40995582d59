#include "billing/ExpenseStore.h"
#include "billing/frmExp.h"
#include "library/Database.h"
#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

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

void key(int code) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(code));
}

// Every list row as "code:date:description:received:paid".
QString listed(QTreeWidget* list) {
    QStringList texts;
    for (int i = 1; i <= ListView::count(list); ++i) {
        const QTreeWidgetItem* row = ListView::item(list, i);
        texts << QStringList{ListView::rowTag(row), row->text(0), row->text(1), row->text(2),
                             row->text(3)}
                     .join(QLatin1Char(':'));
    }
    return texts.join(QStringLiteral(" / "));
}

// Rows of the working date (and one of the day before, never listed).
void storedRows() {
    exec(QStringLiteral(
        "INSERT INTO Expense VALUES ('69000002', '20261206', 'ค่าไฟ', 0, 1500, 'clerk'), "
        "('69000001', '20261206', 'ขายหนังสือ', 120.5, 0, 'clerk'), "
        "('69000000', '20261205', 'เมื่อวาน', 1, 0, 'clerk')"));
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

    void windowAddsRows() {
        ScriptedMessages messages;
        storedRows();
        frmExp window;
        checkLayout(&window);
        showActive(&window);
        QCOMPARE(listed(window.ListView1),
                 QStringLiteral("69000001:06/12/2569:ขายหนังสือ:120.50:0.00 / "
                                "69000002:06/12/2569:ค่าไฟ:0.00:1,500.00"));
        key(Qt::Key_F9);
        key(Qt::Key_F2);
        QCOMPARE(window.mode(), int(frmExp::Add));
        QVERIFY(window.Frame1->isVisible() && !window.ListView1->isVisible());
        QCOMPARE(QApplication::focusWidget(), window.txtExpDesc);
        QCOMPARE(window.editedCode(), QStringLiteral("69000003"));
        QCOMPARE(window.menuHelpLabel()->text(), QStringLiteral("F2=บันทึก  ESC=ยกเลิก"));
        checkLayout(&window);
        // F3 and F4 act only while their buttons are enabled.
        key(Qt::Key_F3);
        key(Qt::Key_F4);
        QCOMPARE(window.mode(), int(frmExp::Add));
        QCOMPARE(messages.all, QStringList());

        // Enter and Down move on, Up back.
        for (int code : {Qt::Key_Return, Qt::Key_Down, Qt::Key_Up})
            key(code);
        QCOMPARE(QApplication::focusWidget(), window.txtExpCrAmt);

        // The checks in order, each with its message and the focus on its box.
        const QString amount = QStringLiteral("จำนวนเงิน ไม่ถูกต้อง");
        const std::tuple<QString, QString, QString, QString, QLineEdit*> checks[] = {
            {QStringLiteral("   "), QStringLiteral("-5"), QString(),
             QStringLiteral("รายการ ว่างไม่ได้"), window.txtExpDesc},
            {QStringLiteral("x"), QStringLiteral("-5"), QStringLiteral("-1"), amount,
             window.txtExpCrAmt},
            {QStringLiteral("x"), QString(), QStringLiteral("-1"), amount, window.txtExpDbAmt},
            {QStringLiteral("x"), QString(), QString(), amount, window.txtExpCrAmt},
            {QStringLiteral("x"), QStringLiteral("0.00"), QStringLiteral("0.004"), amount,
             window.txtExpCrAmt},
        };
        for (const auto& [desc, received, paid, message, box] : checks) {
            window.txtExpDesc->setText(desc);
            window.txtExpCrAmt->setText(received);
            window.txtExpDbAmt->setText(paid);
            window.txtExpDesc->setFocus();
            key(Qt::Key_F2);
            QCOMPARE(messages.all.last(), message);
            QCOMPARE(QApplication::focusWidget(), box);
        }
        QCOMPARE(messages.questions, QStringList());

        // Enter in the paid box saves at once; No keeps the panel as typed.
        const QString description = QStringLiteral("ค่ารถ 'ไป-กลับ' น้ำแข็ง่ำ");
        window.txtExpDesc->setText(QStringLiteral("  ") + description);
        window.txtExpCrAmt->setText(QStringLiteral("1,500"));
        window.txtExpDbAmt->setFocus();
        window.txtExpDbAmt->setText(QStringLiteral("abc"));
        key(Qt::Key_Return);
        QCOMPARE(messages.questions, QStringList{QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่")});
        QCOMPARE(window.mode(), int(frmExp::Add));
        QCOMPARE(window.txtExpCrAmt->text() + window.txtExpDbAmt->text(),
                 QStringLiteral("1,500.00abc"));
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), 3);
        // Yes: stored, and the panel is empty again under the next code.
        messages.answer({Library::vbYes});
        key(Qt::Key_Return);
        QCOMPARE(window.mode(), int(frmExp::Add));
        QCOMPARE(window.editedCode(), QStringLiteral("69000004"));
        QCOMPARE(window.txtExpDesc->text() + window.txtExpCrAmt->text() +
                     window.txtExpDbAmt->text(),
                 QString());
        QCOMPARE(QApplication::focusWidget(), window.txtExpDesc);

        // A code taken at another desk meanwhile: the next free one; 100 characters fit.
        exec(QStringLiteral("INSERT INTO Expense VALUES ('69000004', '20261206', 'desk 2', 1, 0, "
                            "'clerk')"));
        window.txtExpDesc->setText(QString(101, QChar(u'ก')));
        window.txtExpDbAmt->setText(QStringLiteral("0.05"));
        messages.answer({Library::vbYes});
        key(Qt::Key_F2);
        key(Qt::Key_Escape);
        QCOMPARE(window.mode(), int(frmExp::Browse));
        QVERIFY(window.ListView1->isVisible() && !window.Frame1->isVisible());
        QCOMPARE(listed(window.ListView1).section(QStringLiteral(" / "), 2),
                 QStringLiteral("69000003:06/12/2569:") + description +
                     QStringLiteral(":1,500.00:0.00 / 69000005:06/12/2569:") +
                     QString(100, QChar(u'ก')) + QStringLiteral(":0.00:0.05"));
        QCOMPARE(rows().section(QStringLiteral(" / "), 3),
                 QStringLiteral("69000003:20261206:") + description +
                     QStringLiteral(":1500.0:0.0:admin / 69000004:20261206:desk 2:1.0:0.0:clerk / "
                                    "69000005:20261206:") +
                     QString(100, QChar(u'ก')) + QStringLiteral(":0.0:0.05:admin"));
        QCOMPARE(messages.errors.size(), 5);
        key(Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void windowEditsAndDeletes() {
        ScriptedMessages messages;
        storedRows();
        frmExp window;
        showActive(&window);
        ListView::select(window.ListView1, 2);
        window.ListView1->setFocus();
        key(Qt::Key_F3);
        QCOMPARE(window.mode(), int(frmExp::Edit));
        QCOMPARE(window.txtExpDesc->text() + u'|' + window.txtExpCrAmt->text() + u'|' +
                     window.txtExpDbAmt->text(),
                 QStringLiteral("ค่าไฟ|0.00|1,500.00"));
        checkLayout(&window);
        key(Qt::Key_F4);
        QCOMPARE(messages.all, QStringList());
        // The edit keeps the code and the day and takes the user.
        Library::gUserID = QStringLiteral("boss");
        window.txtExpDesc->setText(QStringLiteral("ค่าไฟเดือนพฤศจิกายน"));
        messages.answer({Library::vbYes});
        key(Qt::Key_F2);
        QCOMPARE(window.mode(), int(frmExp::Browse));
        QCOMPARE(rows().section(QStringLiteral(" / "), 2, 2),
                 QStringLiteral("69000002:20261206:ค่าไฟเดือนพฤศจิกายน:0.0:1500.0:boss"));
        QCOMPARE(listed(window.ListView1).section(QStringLiteral(" / "), 1),
                 QStringLiteral("69000002:06/12/2569:ค่าไฟเดือนพฤศจิกายน:0.00:1,500.00"));

        // A row deleted at another desk while it is edited: an error box, nothing written.
        ListView::select(window.ListView1, 1);
        key(Qt::Key_F3);
        exec(QStringLiteral("DELETE FROM Expense WHERE ExpID = '69000001'"));
        messages.answer({Library::vbYes});
        key(Qt::Key_F2);
        QCOMPARE(messages.errors.size(), 1);
        QCOMPARE(window.mode(), int(frmExp::Browse));
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), 2);
        QCOMPARE(ListView::count(window.ListView1), 1);

        // Delete asks with the row's description.
        ListView::select(window.ListView1, 1);
        messages.answer({Library::vbNo, Library::vbYes});
        key(Qt::Key_F4);
        QCOMPARE(ListView::count(window.ListView1), 1);
        key(Qt::Key_F4);
        QCOMPARE(messages.questions.last(), QStringLiteral("ต้องการรายการ ค่าไฟเดือนพฤศจิกายน  หรือไม่"));
        QCOMPARE(ListView::count(window.ListView1), 0);
        QCOMPARE(rows(), QStringLiteral("69000000:20261205:เมื่อวาน:1.0:0.0:clerk"));
    }
};

QTEST_MAIN(TestExpense)
#include "tst_expense.moc"
