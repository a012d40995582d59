#include "billing/ExpenseStore.h"
#include "billing/frmExp.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

// Every stored row as "code:day:description:received:paid:user", in code order.
QString rows() {
    return Fixture::value(
               QStringLiteral("SELECT group_concat(r, ' / ') FROM (SELECT ExpID || ':' "
                              "|| ExpDate || ':' || ExpDesc || ':' || ExpCrAmt || ':' "
                              "|| ExpDbAmt || ':' || UserID AS r FROM Expense ORDER BY ExpID)"))
        .toString();
}

// Every list row as "code:date:description:received:paid".
QString listed(QTreeWidget* list) {
    QStringList texts;
    for (int i = 1; i <= ListView::count(list); ++i) {
        const QTreeWidgetItem* row = ListView::item(list, i);
        texts << ListView::rowTag(row) + u':' + row->text(0) + u':' + row->text(1) + u':' +
                     row->text(2) + u':' + row->text(3);
    }
    return texts.join(QStringLiteral(" / "));
}

QString add(const QString& description, Money received = Money::fromBaht(1)) {
    return ExpenseStore::add({QString(), description, received, Money()},
                             QStringLiteral("20261206"), QStringLiteral("clerk"), Seams::today());
}

} // namespace

class tst_expense : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> messages;

private slots:
    // Two rows of the working date (stored out of order) and one of the day before.
    void init() {
        db = std::make_unique<TestDatabase>();
        messages = std::make_unique<ScriptedMessages>();
        Fixture::exec(QStringLiteral(
            "INSERT INTO Expense VALUES ('69000002', '20261206', 'ค่าไฟ', 0, 1500, 'clerk'), "
            "('69000001', '20261206', 'ขายหนังสือ', 120.5, 0, 'clerk'), "
            "('68000417', '20251205', 'ปีก่อน', 1, 0, 'clerk')"));
    }
    void cleanup() {
        messages.reset();
        db.reset();
    }

    void writes() {
        Fixture::exec(QStringLiteral("DELETE FROM Expense WHERE ExpID LIKE '69%'"));
        // The first of a year, whatever earlier years hold; then the next.
        QCOMPARE(ExpenseStore::proposedNumber(Seams::today()), QStringLiteral("69000001"));
        QCOMPARE(add(QStringLiteral("ค่ารถ 'ไป-กลับ' น้ำแข็ง่ำ")), QStringLiteral("69000001"));
        // A code taken between New and Save: the save takes the next free one.
        QCOMPARE(ExpenseStore::proposedNumber(Seams::today()), QStringLiteral("69000002"));
        Fixture::exec(QStringLiteral(
            "INSERT INTO Expense VALUES ('69000002', '20261206', 'desk 2', 1, 0, 'x')"));
        QCOMPARE(add(QString(100, u'ก'), Money::fromSatang(5)), QStringLiteral("69000003"));
        // The clock set back to a year whose codes are taken: still the next free one of it.
        db->setNow(QDateTime(QDate(2025, 6, 1), QTime(9, 0)));
        QCOMPARE(add(QStringLiteral("ย้อนปี")), QStringLiteral("68000418"));
        // A year whose codes are used up is refused, and nothing is written.
        db->setNow(QDateTime(QDate(2027, 1, 2), QTime(9, 0)));
        Fixture::exec(QStringLiteral("INSERT INTO Expense (ExpID) VALUES ('70999999')"));
        QVERIFY_THROWS_EXCEPTION(DbError, add(QStringLiteral("เต็ม")));
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), 6);

        // An edit keeps the code and the day and takes the user; a row may carry both amounts.
        QVERIFY(ExpenseStore::update({QStringLiteral("69000001"), QStringLiteral("ค่าน้ำ"),
                                      Money::fromBaht(10), Money::fromSatang(5)},
                                     QStringLiteral("boss")));
        ExpenseStore::remove(QStringLiteral("68000418"));
        ExpenseStore::remove(QStringLiteral("70999999"));
        QCOMPARE(rows(), QStringLiteral("68000417:20251205:ปีก่อน:1.0:0.0:clerk / "
                                        "69000001:20261206:ค่าน้ำ:10.0:0.05:boss / "
                                        "69000002:20261206:desk 2:1.0:0.0:x / 69000003:20261206:") +
                             QString(100, u'ก') + QStringLiteral(":0.05:0.0:clerk"));
        // A row deleted meanwhile: nothing written, nothing comes back.
        QVERIFY(!ExpenseStore::update(
            {QStringLiteral("68000418"), QStringLiteral("x"), Money::fromBaht(1), Money()},
            QStringLiteral("boss")));
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), 4);
    }

    void windowAdds() {
        frmExp window;
        checkLayout(&window);
        showActive(&window);
        QCOMPARE(listed(window.ListView1),
                 QStringLiteral("69000001:06/12/2569:ขายหนังสือ:120.50:0.00 / "
                                "69000002:06/12/2569:ค่าไฟ:0.00:1,500.00"));
        // F9 does nothing; F2 opens the panel under the next code; there F3 and F4 do nothing.
        for (int code : {Qt::Key_F9, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4})
            pressKey(code);
        QCOMPARE(window.mode(), int(frmExp::Add));
        QVERIFY(window.Frame1->isVisible() && !window.ListView1->isVisible());
        QCOMPARE(window.editedCode(), QStringLiteral("69000003"));
        QCOMPARE(window.menuHelpLabel()->text(), QStringLiteral("F2=บันทึก  ESC=ยกเลิก"));
        checkLayout(&window);
        QCOMPARE(messages->all, QStringList());
        // Enter and Down move on, Up back.
        for (int code : {Qt::Key_Return, Qt::Key_Down, Qt::Key_Up})
            pressKey(code);
        QCOMPARE(QApplication::focusWidget(), window.txtExpCrAmt);

        // The checks in order, each with its message and the focus on its box.
        const QString amount = QStringLiteral("จำนวนเงิน ไม่ถูกต้อง");
        const std::tuple<QString, QString, QString, QString, QLineEdit*> checks[] = {
            {QStringLiteral("   "), QStringLiteral("-5"), QString(),
             QStringLiteral("รายการ ว่างไม่ได้"), window.txtExpDesc},
            {QStringLiteral("x"), QStringLiteral("-5"), QStringLiteral("-1"), amount,
             window.txtExpCrAmt},
            {QStringLiteral("x"), QString(), QStringLiteral("-1"), amount, window.txtExpDbAmt},
            {QStringLiteral("x"), QStringLiteral("0.00"), QStringLiteral("0.004"), amount,
             window.txtExpCrAmt},
        };
        for (const auto& [desc, received, paid, message, box] : checks) {
            window.txtExpDesc->setText(desc);
            window.txtExpCrAmt->setText(received);
            window.txtExpDbAmt->setText(paid);
            window.txtExpDesc->setFocus();
            pressKey(Qt::Key_F2);
            QCOMPARE(messages->errors.last(), message);
            QCOMPARE(QApplication::focusWidget(), box);
        }

        // Enter in the paid box saves at once; No keeps the panel as typed. Yes stores the row
        // (under the next free code: another desk took 69000003) and opens the panel empty.
        const QString description = QStringLiteral("ค่ารถ 'ไป-กลับ' น้ำแข็ง่ำ");
        window.txtExpDesc->setText(QStringLiteral("  ") + description);
        window.txtExpCrAmt->setText(QStringLiteral("1,500"));
        window.txtExpDbAmt->setFocus();
        window.txtExpDbAmt->setText(QStringLiteral("abc"));
        messages->answer({Library::vbNo, Library::vbYes});
        pressKey(Qt::Key_Return);
        // The save took the paid box as leaving it would: no number, 0.00.
        QCOMPARE(window.txtExpCrAmt->text() + window.txtExpDbAmt->text(),
                 QStringLiteral("1,500.000.00"));
        Fixture::exec(QStringLiteral("INSERT INTO Expense (ExpID) VALUES ('69000003')"));
        pressKey(Qt::Key_Return);
        QCOMPARE(messages->questions, QStringList(2, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่")));
        QCOMPARE(window.mode(), int(frmExp::Add));
        QCOMPARE(window.editedCode(), QStringLiteral("69000005"));
        QCOMPARE(window.txtExpDesc->text() + window.txtExpCrAmt->text() +
                     window.txtExpDbAmt->text(),
                 QString());
        QCOMPARE(QApplication::focusWidget(), window.txtExpDesc);
        pressKey(Qt::Key_Escape);
        QCOMPARE(window.mode(), int(frmExp::Browse));
        QVERIFY(window.ListView1->isVisible() && !window.Frame1->isVisible());
        QCOMPARE(listed(window.ListView1).section(QStringLiteral(" / "), 2),
                 QStringLiteral("69000004:06/12/2569:") + description +
                     QStringLiteral(":1,500.00:0.00"));
        QVERIFY(rows().endsWith(QStringLiteral("69000004:20261206:") + description +
                                QStringLiteral(":1500.0:0.0:admin")));
        pressKey(Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    // Across the new year with the working date left at the old one: a row is coded in the
    // clock's year, when New is pressed and when it is saved, and carries the working date.
    void windowCodesFollowTheClock() {
        db->setNow(QDateTime(QDate(2027, 1, 2), QTime(8, 0)));
        Library::gToday = QStringLiteral("20261231");
        frmExp window;
        showActive(&window);
        pressKey(Qt::Key_F2);
        QCOMPARE(window.editedCode(), QStringLiteral("70000001"));
        Fixture::exec(QStringLiteral("INSERT INTO Expense (ExpID) VALUES ('70000001')"));
        window.txtExpDesc->setText(QStringLiteral("ค่ารถ"));
        window.txtExpCrAmt->setText(QStringLiteral("10"));
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT ExpID || ' ' || ExpDate FROM Expense "
                                               "WHERE ExpDesc = 'ค่ารถ'"))
                     .toString(),
                 QStringLiteral("70000002 20261231"));
        QCOMPARE(messages->errors, QStringList());
    }

    void windowEditsAndDeletes() {
        frmExp window;
        showActive(&window);
        ListView::select(window.ListView1, 2);
        window.ListView1->setFocus();
        pressKey(Qt::Key_F3);
        QCOMPARE(window.mode(), int(frmExp::Edit));
        QCOMPARE(window.txtExpDesc->text() + u'|' + window.txtExpCrAmt->text() + u'|' +
                     window.txtExpDbAmt->text(),
                 QStringLiteral("ค่าไฟ|0.00|1,500.00"));
        checkLayout(&window);
        pressKey(Qt::Key_F4);
        Library::gUserID = QStringLiteral("boss");
        window.txtExpDesc->setText(QStringLiteral("ค่าไฟเดือนพฤศจิกายน"));
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        QCOMPARE(window.mode(), int(frmExp::Browse));
        QCOMPARE(listed(window.ListView1).section(QStringLiteral(" / "), 1),
                 QStringLiteral("69000002:06/12/2569:ค่าไฟเดือนพฤศจิกายน:0.00:1,500.00"));
        QVERIFY(rows().endsWith(QStringLiteral(":1500.0:boss")));

        // A row deleted at another desk while it is edited: an error box, nothing written.
        ListView::select(window.ListView1, 1);
        pressKey(Qt::Key_F3);
        Fixture::exec(QStringLiteral("DELETE FROM Expense WHERE ExpID = '69000001'"));
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors.size(), 1);
        QCOMPARE(window.mode(), int(frmExp::Browse));
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), 2);

        // Delete asks with the row's description.
        messages->answer({Library::vbNo, Library::vbYes});
        pressKey(Qt::Key_F4);
        pressKey(Qt::Key_F4);
        QCOMPARE(messages->questions.mid(2),
                 QStringList(2, QStringLiteral("ต้องการรายการ ค่าไฟเดือนพฤศจิกายน  หรือไม่")));
        QCOMPARE(ListView::count(window.ListView1), 0);
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), 1);
    }

    // On a day that had no rows, the rows added are at once the list's current one:
    // F3 and F4 act without the user first walking the list.
    void windowKeepsARowCurrent() {
        Fixture::exec(QStringLiteral("DELETE FROM Expense WHERE ExpDate = '20261206'"));
        frmExp window;
        showActive(&window);
        pressKey(Qt::Key_F2);
        for (const QString& description : {QStringLiteral("taxi"), QStringLiteral("ice")}) {
            QTest::keyClicks(QApplication::focusWidget(), description);
            pressKey(Qt::Key_Return);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("40"));
            pressKey(Qt::Key_Return);
            messages->answer({Library::vbYes});
            pressKey(Qt::Key_Return);
        }
        pressKey(Qt::Key_Escape);
        QCOMPARE(ListView::count(window.ListView1), 2);
        pressKey(Qt::Key_F3);
        QCOMPARE(window.mode(), int(frmExp::Edit));
        QCOMPARE(window.txtExpDesc->text(), QStringLiteral("ice"));
        // After an edit is saved its row stays the current one.
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ice cubes"));
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
        QCOMPARE(window.mode(), int(frmExp::Browse));
        messages->answer({Library::vbNo});
        pressKey(Qt::Key_F4);
        QCOMPARE(messages->questions.last(), QStringLiteral("ต้องการรายการ ice cubes  หรือไม่"));
        // After a delete the row left in its place is the current one.
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F4);
        messages->answer({Library::vbNo});
        pressKey(Qt::Key_F4);
        QCOMPARE(messages->questions.last(), QStringLiteral("ต้องการรายการ taxi  หรือไม่"));
    }

    // Rows listed before another desk deleted them and a third added new ones: the new rows
    // get fresh codes, so the edit and the delete find their row gone, say so and write
    // nothing. An amount beyond what is stored exactly is refused, not saved as 0.00.
    void staleRowsAndAmountsTooLarge() {
        Fixture::exec(QStringLiteral("DELETE FROM Expense WHERE ExpID LIKE '69%'"));
        QCOMPARE(add(QStringLiteral("ขายหนังสือ")), QStringLiteral("69000001"));
        QCOMPARE(add(QStringLiteral("ค่าไฟ")), QStringLiteral("69000002"));
        frmExp window;
        showActive(&window);
        for (const char* code : {"69000001", "69000002"})
            QVERIFY(ExpenseStore::remove(QString::fromLatin1(code)));
        QCOMPARE(add(QStringLiteral("desk 3")), QStringLiteral("69000003"));
        QCOMPARE(add(QStringLiteral("desk 3")), QStringLiteral("69000004"));
        const QString before = rows();

        ListView::select(window.ListView1, 2);
        window.ListView1->setFocus();
        pressKey(Qt::Key_F3);
        window.txtExpDesc->setText(QStringLiteral("แก้จากแถวเก่า"));
        messages->answer({Library::vbYes, Library::vbYes});
        pressKey(Qt::Key_F2);
        ListView::select(window.ListView1, 1);
        pressKey(Qt::Key_F4);
        QCOMPARE(messages->errors,
                 (QStringList{QStringLiteral("ไม่พบรายการนี้แล้ว อาจถูกลบไปแล้ว ไม่ได้บันทึก"),
                              QStringLiteral("ไม่พบรายการนี้แล้ว อาจถูกลบไปแล้ว")}));
        QCOMPARE(rows(), before);
        QCOMPARE(ListView::count(window.ListView1), 0);

        pressKey(Qt::Key_F2);
        for (QLineEdit* box : {window.txtExpCrAmt, window.txtExpDbAmt}) {
            messages->clear();
            window.txtExpDesc->setText(QStringLiteral("เกิน"));
            window.txtExpCrAmt->setText(QStringLiteral("1"));
            window.txtExpDbAmt->setText(QStringLiteral("1"));
            box->setText(QStringLiteral("999999999999999"));
            window.txtExpDesc->setFocus();
            pressKey(Qt::Key_F2);
            QCOMPARE(messages->all, QStringList{Money::rangeMessage()});
            QCOMPARE(QApplication::focusWidget(), box);
        }
        QCOMPARE(rows(), before);
    }

    // Rows of large amounts edited in their description alone keep their amounts to the
    // satang; digits typed with a separator out of place are refused, never saved as 0.00.
    void largeAmountsAndMisplacedSeparators() {
        Fixture::exec(QStringLiteral(
            "INSERT INTO Expense VALUES ('69000003', '20261206', 'a', 1234567890.12, 0, 'clerk'), "
            "('69000004', '20261206', 'b', 0, 999999999999.99, 'clerk'), "
            "('69000005', '20261206', 'c', 9999999999999.9, 0, 'clerk')"));
        const QString amounts =
            QStringLiteral("SELECT group_concat(printf('%.2f:%.2f', ExpCrAmt, ExpDbAmt), ' / ') "
                           "FROM (SELECT * FROM Expense ORDER BY ExpID)");
        const QString before = Fixture::value(amounts).toString();
        frmExp window;
        showActive(&window);
        for (int row = 3; row <= 5; ++row) {
            ListView::select(window.ListView1, row);
            window.ListView1->setFocus();
            pressKey(Qt::Key_F3);
            window.txtExpDesc->setText(QStringLiteral("แก้รายการ %1").arg(row));
            messages->answer({Library::vbYes});
            pressKey(Qt::Key_F2);
            QCOMPARE(window.mode(), int(frmExp::Browse));
        }
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(Fixture::value(amounts).toString(), before);
        QCOMPARE(listed(window.ListView1).section(QStringLiteral(" / "), 2),
                 QStringLiteral("69000003:06/12/2569:แก้รายการ 3:1,234,567,890.12:0.00 / "
                                "69000004:06/12/2569:แก้รายการ 4:0.00:999,999,999,999.99 / "
                                "69000005:06/12/2569:แก้รายการ 5:9,999,999,999,999.90:0.00"));

        const QString refusal =
            QStringLiteral("จำนวนเงิน ไม่ถูกต้อง: %1\nบันทึกได้เป็นตัวเลขไม่เกิน 15 หลัก ใช้จุลภาคคั่นทุกสามหลัก");
        for (const auto& [received, paid, refused] :
             {std::tuple{"1,0000", "", "1,0000"}, std::tuple{"5", "1,0000", "1,0000"}}) {
            pressKey(Qt::Key_F2);
            messages->clear();
            window.txtExpDesc->insert(QStringLiteral("ค่าน้ำ")); // QTest types Latin-1 keys only
            pressKey(Qt::Key_Return);
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(received));
            pressKey(Qt::Key_Return);
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(paid));
            pressKey(Qt::Key_Return); // saves
            QCOMPARE(messages->all, QStringList{refusal.arg(QString::fromLatin1(refused))});
            QLineEdit* box = *paid ? window.txtExpDbAmt : window.txtExpCrAmt;
            QCOMPARE(QApplication::focusWidget(), box);
            QCOMPARE(box->text(), QStringLiteral("1,0000"));
            pressKey(Qt::Key_Escape);
        }
        QCOMPARE(Fixture::count(QStringLiteral("Expense")), 6);
    }
};

QTEST_MAIN(tst_expense)
#include "tst_expense.moc"
