#include "billing/frmPay.h"
#include "billing/frmPayAmt.h"
#include "library/Database.h"
#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "library/Seams.h"
#include "platform/Report.h"
#include "reference/frmFindStd.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

Money baht(double value) {
    return Money::fromBaht(value);
}

const QString somchai = QStringLiteral("6900001");

// Three unpaid classes of one open course (balances 1,200, 2,000 and 800), one class
// paid in full and one of a closed course.
void school() {
    Fixture::school();
    Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตศาสตร์เข้มข้น"));
    Fixture::course(QStringLiteral("C02"), QStringLiteral("คอร์สปิดแล้ว"), QStringLiteral("0"));
    Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), baht(1500));
    Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), baht(2000),
                      QStringLiteral("ม.2"), QStringLiteral("ฟิสิกส์"), QStringLiteral("20261201"),
                      QString());
    Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C01"), baht(800),
                      QStringLiteral("ม.3"), QStringLiteral("อังกฤษ"));
    Fixture::classRow(QStringLiteral("6900004"), QStringLiteral("C01"), baht(1000));
    Fixture::classRow(QStringLiteral("6900009"), QStringLiteral("C02"), baht(500));
    Fixture::student(somchai, QStringLiteral("เด็กชายสมชาย ใจดี"), QStringLiteral("ชาย"),
                     QStringLiteral("12 ถนนสาทร"));
    Fixture::student(QStringLiteral("6900002"), QStringLiteral("เด็กหญิงสมศรี ใจงาม"),
                     QStringLiteral("ศรี"));
    Fixture::student(QStringLiteral("6900003"), QStringLiteral("เด็กชายปิติ มานะ"));
    Fixture::registration(somchai, QStringLiteral("6900001"), baht(300));
    Fixture::registration(somchai, QStringLiteral("6900002"));
    Fixture::registration(somchai, QStringLiteral("6900003"));
    Fixture::registration(somchai, QStringLiteral("6900004"), baht(1000));
    Fixture::registration(somchai, QStringLiteral("6900009"));
    Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900003"));
}

Money paid(const QString& stdId, const QString& courseNo) {
    return Money::fromVariant(Fixture::value(
        QStringLiteral("SELECT CoursePayAmt FROM StudentCourse WHERE StdID = ? AND CourseNo = ?"),
        {stdId, courseNo}));
}

QStringList column(QTreeWidget* list, int col) {
    QStringList texts;
    for (int i = 1; i <= ListView::count(list); ++i)
        texts << ListView::item(list, i)->text(col);
    return texts;
}

} // namespace

class TestPay : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<frmPay> window;

    QWidget* focus() const { return QApplication::focusWidget(); }
    void key(int qtKey) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(qtKey)); }
    void type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() < 128;
        if (ascii)
            QTest::keyClicks(edit, text);
        else
            edit->insert(text); // QTest types Latin-1 keys only
    }
    void load(const QString& code) {
        type(window->txtStdID, code);
        key(Qt::Key_Return);
    }
    // The next bill number dialog: takes the proposal or docNo, sets the print box, confirms.
    void confirmBill(const QString& docNo = {}, bool print = false) {
        dialogs->then([docNo, print](QDialog& dialog) {
            auto& amount = dynamic_cast<frmPayAmt&>(dialog);
            if (!docNo.isNull())
                amount.txtDocNo->setText(docNo);
            amount.Check1->setChecked(print);
            amount.pressButton(QStringLiteral("OK"));
            return amount.result();
        });
        messages->answer({Library::vbYes});
    }
    void setAutoRun(const QString& yy, const QString& no) {
        Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '1', "
                                                 "ShopBiLLYY = ?, ShopBiLLNo = ?"),
                                  {yy, no});
    }

private slots:
    void init() {
        db = std::make_unique<TestDatabase>();
        messages = std::make_unique<ScriptedMessages>();
        dialogs = std::make_unique<ScriptedDialogs>();
        school();
        window = std::make_unique<frmPay>();
        window->resize(1100, 520);
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->txtStdID->setFocus();
    }
    void cleanup() {
        window.reset();
        dialogs.reset();
        messages.reset();
        db.reset();
        Seams::setProgramFolder(QString());
    }

    void windowCaptions() {
        QCOMPARE(window->windowTitle(), QString());
        QCOMPARE(window->titleLabel()->text(), QStringLiteral(" ชำระเงิน "));
        QCOMPARE(window->menuHelpLabel()->text(), QStringLiteral("  F2=ชำระเงิน | ESC=ยกเลิก"));
        QCOMPARE(window->toolbar()->button(QStringLiteral("Pay"))->text(),
                 QStringLiteral("ชำระเงิน"));
        QCOMPARE(window->toolbar()->button(QStringLiteral("Pay"))->toolTip(),
                 QStringLiteral("F2=ชำระเงิน"));
        QCOMPARE(window->toolbar()->button(QStringLiteral("Cancel"))->text(),
                 QStringLiteral("  ยกเลิก  "));
        QStringList headers;
        for (int i = 0; i < window->ListView1->columnCount(); ++i)
            headers << window->ListView1->headerItem()->text(i);
        QCOMPARE(headers,
                 (QStringList{QStringLiteral("คอร์ส"), QStringLiteral("ระดับ"), QStringLiteral("วิชา"),
                              QStringLiteral("วันที่เรียน"), QStringLiteral("ค่าเรียน"),
                              QStringLiteral("ยอดคงเหลือ"), QStringLiteral("ชำระเงิน")}));
        QCOMPARE(window->lblPay->text(), QStringLiteral("ชำระ :"));
        // The amount box ends where the payment column ends.
        const int columnsEnd = window->ListView1->header()->sectionViewportPosition(6) +
                               window->ListView1->columnWidth(6) + window->ListView1->frameWidth();
        QCOMPARE(window->ListView1->columnWidth(6), 100);
        QCOMPARE(window->txtPay->geometry().right() + 1, columnsEnd);
    }

    void lookupByCode() {
        load(QStringLiteral("9999999"));
        QCOMPARE(messages->errors, QStringList{QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง")});
        QCOMPARE(window->txtStdName->text(), QString());
        QCOMPARE(window->txtStdID->selectedText(), QStringLiteral("9999999"));
        QCOMPARE(window->listTag(), QString());

        load(somchai);
        QCOMPARE(window->txtStdName->text(), QStringLiteral("เด็กชายสมชาย ใจดี"));
        QCOMPARE(window->lblLevel->text(), QStringLiteral("ม.1"));
        QCOMPARE(window->lblStdAddr->text(), QStringLiteral("12 ถนนสาทร"));
        QCOMPARE(window->listTag(), somchai);
        // Paid in full and closed courses are not listed.
        QCOMPARE(ListView::count(window->ListView1), 3);
        QCOMPARE(ListView::rowTag(ListView::item(window->ListView1, 2)), QStringLiteral("6900002"));
        QCOMPARE(column(window->ListView1, 0).first(), QStringLiteral("คณิตศาสตร์เข้มข้น"));
        QCOMPARE(column(window->ListView1, 3),
                 (QStringList{QStringLiteral("01/12/69 - 31/12/69 (ส-อา)"),
                              QStringLiteral("01/12/69 - 06/12/69 (ส-อา)"),
                              QStringLiteral("01/12/69 - 31/12/69 (ส-อา)")}));
        QCOMPARE(column(window->ListView1, 4),
                 (QStringList{QStringLiteral("1,500.00"), QStringLiteral("2,000.00"),
                              QStringLiteral("800.00")}));
        QCOMPARE(column(window->ListView1, 5),
                 (QStringList{QStringLiteral("1,200.00"), QStringLiteral("2,000.00"),
                              QStringLiteral("800.00")}));
        QCOMPARE(column(window->ListView1, 6), QStringList(3, QStringLiteral("0.00")));
        QCOMPARE(ListView::selectedIndex(window->ListView1), 1);
        QCOMPARE(window->lblCourse->text(),
                 QStringLiteral("คณิตศาสตร์เข้มข้น   ระดับ ม.1   วิชา คณิตศาสตร์"));
        QCOMPARE(focus(), window->txtPay);
        QCOMPARE(window->txtPay->text(), QStringLiteral("1200.00"));
        QCOMPARE(window->txtPay->selectedText(), QStringLiteral("1200.00"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("0.00"));

        // A pupil without unpaid classes: shown, empty list, the focus stays in the code box.
        load(QStringLiteral("6900003"));
        QCOMPARE(window->txtStdName->text(), QStringLiteral("เด็กชายปิติ มานะ"));
        QCOMPARE(ListView::count(window->ListView1), 0);
        QCOMPARE(focus(), window->txtStdID);
        QCOMPARE(messages->errors.size(), 1);
    }

    void lookupByName() {
        type(window->txtStdName, QStringLiteral("ไม่มีชื่อนี้"));
        key(Qt::Key_Return);
        QCOMPARE(messages->errors, QStringList{QStringLiteral("ชื่อนักศึกษา ไม่ถูกต้อง")});
        QCOMPARE(window->txtStdName->selectedText(), QStringLiteral("ไม่มีชื่อนี้"));

        // One hit: shown without the search dialog, the focus goes to the code box.
        window->txtStdID->setText(QStringLiteral("abc"));
        type(window->txtStdName, QStringLiteral("สมศรี"));
        key(Qt::Key_Return);
        QCOMPARE(dialogs->shown, 0);
        QCOMPARE(window->txtStdID->text(), QStringLiteral("6900002"));
        QCOMPARE(window->listTag(), QStringLiteral("6900002"));
        QCOMPARE(ListView::count(window->ListView1), 1);
        QCOMPARE(window->lblCourse->text(), QString());
        QCOMPARE(focus(), window->txtStdID);

        // Several hits: the search dialog lists them in order; the confirmed one is loaded.
        QStringList listed;
        dialogs->then([&listed](QDialog& dialog) {
            auto& find = dynamic_cast<frmFindStd&>(dialog);
            listed = column(find.ListView1, 0);
            ListView::select(find.ListView1, 2);
            find.pressButton(QStringLiteral("OK"));
            return find.result();
        });
        type(window->txtStdName, QStringLiteral("ใจ"));
        key(Qt::Key_Return);
        QCOMPARE(dialogs->classNames, QStringList{QStringLiteral("frmFindStd")});
        QCOMPARE(listed, (QStringList{somchai, QStringLiteral("6900002")}));
        QCOMPARE(window->txtStdID->text(), QStringLiteral("6900002"));
        QCOMPARE(window->txtStdName->text(), QStringLiteral("เด็กหญิงสมศรี ใจงาม"));
        QCOMPARE(window->listTag(), QStringLiteral("6900002"));
        QCOMPARE(ListView::count(window->ListView1), 1);
        QCOMPARE(focus(), window->txtStdID);

        // Cancelled: nothing more happens, the list stays empty.
        type(window->txtStdName, QStringLiteral("ใจ"));
        key(Qt::Key_Return);
        QCOMPARE(dialogs->shown, 2);
        QCOMPARE(ListView::count(window->ListView1), 0);
        QCOMPARE(window->listTag(), QString());
        QCOMPARE(messages->errors.size(), 1);

        // A quote typed in the name is plain text.
        type(window->txtStdName, QStringLiteral("O'Neil"));
        key(Qt::Key_Return);
        QCOMPARE(messages->errors.last(), QStringLiteral("ชื่อนักศึกษา ไม่ถูกต้อง"));
    }

    void amountEntry() {
        load(somchai);
        // Above the balance: capped; the next row's balance is offered.
        type(window->txtPay, QStringLiteral("5000"));
        key(Qt::Key_Return);
        QCOMPARE(ListView::item(window->ListView1, 1)->text(6), QStringLiteral("1,200.00"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("1,200.00"));
        QCOMPARE(ListView::selectedIndex(window->ListView1), 2);
        QCOMPARE(window->txtPay->text(), QStringLiteral("2,000.00"));
        QCOMPARE(window->txtPay->selectedText(), QStringLiteral("2,000.00"));
        QCOMPARE(window->lblCourse->text(), QStringLiteral("คณิตศาสตร์เข้มข้น   ระดับ ม.2   วิชา ฟิสิกส์"));
        // Letters store 0.00.
        type(window->txtPay, QStringLiteral("abc"));
        key(Qt::Key_Return);
        QCOMPARE(ListView::item(window->ListView1, 2)->text(6), QStringLiteral("0.00"));
        // A negative amount stores 0.00; Enter on the last row keeps the row and the text.
        type(window->txtPay, QStringLiteral("-50"));
        key(Qt::Key_Return);
        QCOMPARE(ListView::item(window->ListView1, 3)->text(6), QStringLiteral("0.00"));
        QCOMPARE(ListView::selectedIndex(window->ListView1), 3);
        QCOMPARE(window->txtPay->text(), QStringLiteral("-50"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("1,200.00"));
        // Down on the last row changes nothing.
        key(Qt::Key_Down);
        QCOMPARE(ListView::selectedIndex(window->ListView1), 3);
        QCOMPARE(window->txtPay->text(), QStringLiteral("-50"));
        // Typed without Enter changes nothing; a thousands separator is read.
        key(Qt::Key_Up);
        QCOMPARE(ListView::selectedIndex(window->ListView1), 2);
        type(window->txtPay, QStringLiteral("1,000"));
        key(Qt::Key_Return);
        QCOMPARE(ListView::item(window->ListView1, 2)->text(6), QStringLiteral("1,000.00"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("2,200.00"));
        key(Qt::Key_Up);
        type(window->txtPay, QStringLiteral("999"));
        key(Qt::Key_Up);
        QCOMPARE(ListView::selectedIndex(window->ListView1), 1);
        QCOMPARE(ListView::item(window->ListView1, 2)->text(6), QStringLiteral("1,000.00"));
        // Up on the first row changes nothing.
        key(Qt::Key_Up);
        QCOMPARE(ListView::selectedIndex(window->ListView1), 1);
        QCOMPARE(window->txtPay->text(), QStringLiteral("1,200.00"));
        // Leaving the box shows the amount with separators.
        type(window->txtPay, QStringLiteral("1234.5"));
        window->txtStdName->setFocus();
        QCOMPARE(window->txtPay->text(), QStringLiteral("1,234.50"));
        window->txtPay->setFocus();
        QCOMPARE(window->txtPay->text(), QStringLiteral("1234.50"));
    }

    void enterOnEveryRowPaysAll() {
        load(somchai);
        key(Qt::Key_Return);
        key(Qt::Key_Return);
        key(Qt::Key_Return);
        QCOMPARE(column(window->ListView1, 6), column(window->ListView1, 5));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("4,000.00"));
        confirmBill(QStringLiteral("69-00001"));
        key(Qt::Key_F2);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT StmNetAmt FROM Statement")).toDouble(),
                 4000.0);
        // Paid in full: the classes are no longer listed.
        load(somchai);
        QCOMPARE(ListView::count(window->ListView1), 0);
        QCOMPARE(paid(somchai, QStringLiteral("6900002")), baht(2000));
    }

    void changingTheCodeAndCancel() {
        load(somchai);
        window->txtStdID->setFocus();
        window->txtStdID->end(false);
        QTest::keyClick(window->txtStdID, Qt::Key_9);
        QCOMPARE(ListView::count(window->ListView1), 0);
        QCOMPARE(window->lblTotal->text(), QStringLiteral("0.00"));
        QCOMPARE(window->txtStdName->text(), QString());
        QCOMPARE(window->lblLevel->text(), QString());
        QCOMPARE(window->listTag(), QString());

        // The first Esc clears the pupil, the second closes the window.
        load(somchai);
        key(Qt::Key_Return);
        key(Qt::Key_Escape);
        QCOMPARE(ListView::count(window->ListView1), 0);
        QCOMPARE(window->lblTotal->text(), QStringLiteral("0.00"));
        QCOMPARE(window->txtStdName->text(), QString());
        QCOMPARE(window->txtStdID->text(), somchai);
        QCOMPARE(window->listTag(), somchai);
        QCOMPARE(focus(), window->txtStdID);
        QVERIFY(window->isVisible());
        key(Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    void payChecks() {
        const QString codeNotValid = QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง");
        const QString noData = QStringLiteral("ไม่พบข้อมูลการชำระเงิน");
        type(window->txtStdID, QStringLiteral("   "));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), codeNotValid);
        type(window->txtStdID, QStringLiteral("8888888"));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), codeNotValid);
        QCOMPARE(focus(), window->txtStdID);

        // Another pupil's code typed over a loaded one and not confirmed with Enter.
        load(somchai);
        key(Qt::Key_Return);
        type(window->txtStdID, QStringLiteral("6900002"));
        window->pressButton(QStringLiteral("Pay"));
        QCOMPARE(messages->errors.last(), QStringLiteral("ข้อมูลคอร์สเรียน ไม่ถูกต้อง"));
        QCOMPARE(ListView::count(window->ListView1), 0);
        QCOMPARE(focus(), window->txtStdID);

        load(QStringLiteral("6900003"));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), noData);

        // Rows but nothing to pay.
        load(somchai);
        type(window->txtPay, QStringLiteral("0"));
        key(Qt::Key_Return);
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), noData);
        QCOMPARE(focus(), window->txtStdID);
        QCOMPARE(messages->errors.size(), 5);
        QCOMPARE(dialogs->shown, 0);
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 0);
    }

    void billNumberDialog() {
        {
            // No automatic numbering (no value): an empty box; no print setting: ticked.
            frmPayAmt dialog;
            QCOMPARE(dialog.windowTitle(), QStringLiteral("บันทึกรับเงินค่าเรียน"));
            QCOMPARE(dialog.txtDocNo->text(), QString());
            QVERIFY(dialog.Check1->isChecked());
            QCOMPARE(dialog.Check1->text(), QStringLiteral("พิมพ์ใบเสร็จ"));
            dialog.pressButton(QStringLiteral("OK"));
            QCOMPARE(messages->errors, QStringList{QStringLiteral("เลขที่ใบเสร็จ ไม่ถูกต้อง")});
            QVERIFY(!dialog.IsOK);
        }
        auto proposal = [] { return frmPayAmt().txtDocNo->text(); };
        setAutoRun(QStringLiteral("69"), QStringLiteral("00041"));
        QCOMPARE(proposal(), QStringLiteral("69-00042"));
        setAutoRun(QStringLiteral("68"), QStringLiteral("00041"));
        QCOMPARE(proposal(), QStringLiteral("69-00001"));
        Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLYY = NULL"));
        QCOMPARE(proposal(), QStringLiteral("69-00001"));
        setAutoRun(QStringLiteral(" 69"), QStringLiteral("x12"));
        QCOMPARE(proposal(), QStringLiteral("69-00001"));
        Connection::shared().exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '0', "
                                                 "ShopPrintBiLL = '0'"));
        QCOMPARE(proposal(), QString());

        // No keeps the dialog open with the number as typed; Yes confirms it trimmed.
        frmPayAmt dialog;
        QVERIFY(!dialog.Check1->isChecked());
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.txtDocNo->setFocus();
        QTest::keyClicks(dialog.txtDocNo, QStringLiteral("  69-00077 "));
        QTest::keyClick(dialog.txtDocNo, Qt::Key_Return);
        QCOMPARE(messages->questions, QStringList{QStringLiteral("ต้องการบันทึกข้อมูล หรือไม่")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.txtDocNo->text(), QStringLiteral("  69-00077 "));
        dialog.Check1->setChecked(true);
        messages->answer({Library::vbYes});
        QTest::keyClick(dialog.txtDocNo, Qt::Key_F2);
        QVERIFY(dialog.IsOK);
        QCOMPARE(dialog.DocNo, QStringLiteral("69-00077"));
        QVERIFY(dialog.PrintChosen);
        QVERIFY(!dialog.isVisible());

        frmPayAmt cancelled;
        cancelled.show();
        QApplication::setActiveWindow(&cancelled);
        QVERIFY(QTest::qWaitForWindowActive(&cancelled));
        cancelled.txtDocNo->setFocus();
        QTest::keyClicks(cancelled.txtDocNo, QStringLiteral("69-1"));
        QTest::keyClick(cancelled.txtDocNo, Qt::Key_Escape);
        QVERIFY(!cancelled.isVisible());
        QVERIFY(!cancelled.IsOK);
    }

    void paymentOfThreeRows() {
        setAutoRun(QStringLiteral("69"), QStringLiteral("00004"));
        load(somchai);
        type(window->txtPay, QStringLiteral("500"));
        key(Qt::Key_Return);
        type(window->txtPay, QStringLiteral("0"));
        key(Qt::Key_Return);
        type(window->txtPay, QStringLiteral("250"));
        key(Qt::Key_Return);
        QCOMPARE(window->lblTotal->text(), QStringLiteral("750.00"));

        QString proposed, shownTotal;
        dialogs->then([&](QDialog& dialog) {
            auto& amount = dynamic_cast<frmPayAmt&>(dialog);
            proposed = amount.txtDocNo->text();
            shownTotal = amount.lblTotal->text();
            amount.Check1->setChecked(false);
            amount.pressButton(QStringLiteral("OK"));
            return amount.result();
        });
        messages->answer({Library::vbYes});
        key(Qt::Key_F2);
        QCOMPARE(proposed, QStringLiteral("69-00005"));
        QCOMPARE(shownTotal, QStringLiteral("750.00"));
        QCOMPARE(messages->errors, QStringList());

        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);
        QCOMPARE(
            Fixture::value(QStringLiteral("SELECT StmID || ' ' || StmNetAmt || ' ' || StmDocNo "
                                          "FROM Statement"))
                .toString(),
            QStringLiteral("69000001 750.0 69-00005"));
        QCOMPARE(
            Fixture::value(QStringLiteral("SELECT group_concat(StmItem, ',') FROM "
                                          "(SELECT StmItem FROM StatementSub ORDER BY StmItem)"))
                .toString(),
            QStringLiteral("1,3"));
        QCOMPARE(paid(somchai, QStringLiteral("6900001")), baht(800));
        QCOMPARE(paid(somchai, QStringLiteral("6900002")), Money());
        QCOMPARE(paid(somchai, QStringLiteral("6900003")), baht(250));
        QCOMPARE(Fixture::value(QStringLiteral("SELECT ShopBiLLNo FROM CtrlSetup")).toString(),
                 QStringLiteral("00005"));
        QCOMPARE(messages->questions, QStringList{QStringLiteral("ต้องการบันทึกข้อมูล หรือไม่")});

        // Cleared for the next payment; the code and the list's owner stay.
        QCOMPARE(ListView::count(window->ListView1), 0);
        QCOMPARE(window->lblTotal->text(), QString());
        QCOMPARE(window->txtStdName->text(), QString());
        QCOMPARE(window->lblLevel->text(), QString());
        QCOMPARE(window->lblStdAddr->text(), QString());
        QCOMPARE(window->lblCourse->text(), QString());
        QCOMPARE(window->txtStdID->text(), somchai);
        QCOMPARE(window->listTag(), somchai);
        QCOMPARE(focus(), window->txtStdID);

        // The pay key at once cannot post the bill again.
        key(Qt::Key_F2);
        QCOMPARE(messages->errors, QStringList{QStringLiteral("ไม่พบข้อมูลการชำระเงิน")});
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);

        load(somchai);
        QCOMPARE(column(window->ListView1, 5),
                 (QStringList{QStringLiteral("700.00"), QStringLiteral("2,000.00"),
                              QStringLiteral("550.00")}));
    }

    void cancelledBillNumberWritesNothing() {
        load(somchai);
        type(window->txtPay, QStringLiteral("500"));
        key(Qt::Key_Return);
        key(Qt::Key_F2); // the dialog is cancelled
        QCOMPARE(dialogs->shown, 1);
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 0);
        QCOMPARE(ListView::item(window->ListView1, 1)->text(6), QStringLiteral("500.00"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("500.00"));
        QCOMPARE(focus(), window->txtPay);
    }

    void staleBalanceIsRefused() {
        load(somchai);
        key(Qt::Key_Return); // 1,200.00 on the first class
        // Another workstation takes 700 on that class meanwhile.
        Connection::shared().exec(QStringLiteral(
            "UPDATE StudentCourse SET CoursePayAmt = 1000 WHERE CourseNo = '6900001'"));
        confirmBill(QStringLiteral("69-00001"));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors, QStringList{QStringLiteral("ข้อมูลคอร์สเรียน ไม่ถูกต้อง")});
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 0);
        QCOMPARE(Fixture::count(QStringLiteral("StatementSub")), 0);
        QCOMPARE(paid(somchai, QStringLiteral("6900001")), baht(1000));
        // The list is read again with the balance as it stands.
        QCOMPARE(column(window->ListView1, 5).first(), QStringLiteral("500.00"));
        QCOMPARE(column(window->ListView1, 6), QStringList(3, QStringLiteral("0.00")));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("0.00"));
        QCOMPARE(window->listTag(), somchai);
    }

    void failedPostingKeepsTheAmounts() {
        // The second registration's update fails inside the database.
        Connection::shared().exec(QStringLiteral(
            "CREATE TEMP TRIGGER fail_second BEFORE UPDATE ON StudentCourse "
            "WHEN new.CourseNo = '6900002' BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END"));
        load(somchai);
        key(Qt::Key_Return);
        key(Qt::Key_Return);
        confirmBill(QStringLiteral("69-00001"));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.size(), 1);
        QVERIFY(messages->errors.first().startsWith(QStringLiteral("บันทึกการชำระเงินไม่ได้")));
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 0);
        QCOMPARE(Fixture::count(QStringLiteral("StatementSub")), 0);
        QCOMPARE(paid(somchai, QStringLiteral("6900001")), baht(300));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("3,200.00"));
        QCOMPARE(ListView::item(window->ListView1, 2)->text(6), QStringLiteral("2,000.00"));

        // The user tries again once the fault is gone.
        Connection::shared().exec(QStringLiteral("DROP TRIGGER fail_second"));
        confirmBill(QStringLiteral("69-00001"));
        key(Qt::Key_F2);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT StmNetAmt FROM Statement")).toDouble(),
                 3200.0);
        QCOMPARE(paid(somchai, QStringLiteral("6900002")), baht(2000));
    }

    void billIsPrinted() {
        Fixture::student(QStringLiteral("6900005"), QStringLiteral("ด.ช. โอ'นีล"), QString(),
                         QStringLiteral("บ้าน \"สุขใจ\"\r\nซอย 5"));
        Fixture::registration(QStringLiteral("6900005"), QStringLiteral("6900001"));
        Fixture::registration(QStringLiteral("6900005"), QStringLiteral("6900003"), baht(299.5));
        load(QStringLiteral("6900005"));
        key(Qt::Key_Return);
        key(Qt::Key_Return);
        QCOMPARE(window->lblTotal->text(), QStringLiteral("2,000.50"));
        confirmBill(QStringLiteral("69-00'01"), true);
        key(Qt::Key_F2);
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(messages->questions.last(), QStringLiteral("ต้องการพิมพ์  ใบเสร็จ  ใหม่หรือไม่"));
        QCOMPARE(QDir(db->pdfFolder()).entryList(QDir::Files).size(), 1);
        QCOMPARE(ListView::count(window->ListView1), 0);

        const std::unique_ptr<Report> bill = frmPay::BillReport(
            QStringLiteral("69000001"),
            QStringLiteral("1 ถนนสุขุมวิท\r\nกรุงเทพฯ 10110\r\nโทร. 02-123-4567"),
            QStringLiteral("ด.ช. โอ'นีล"), QStringLiteral("บ้าน \"สุขใจ\"\r\nซอย 5"),
            QStringLiteral("69-00'01"), baht(2000.5));
        QCOMPARE(bill->formulaValue(QStringLiteral("lblAddr")),
                 QStringLiteral("1 ถนนสุขุมวิท\nกรุงเทพฯ 10110\nโทร. 02-123-4567"));
        QCOMPARE(bill->formulaValue(QStringLiteral("lblDate")), QStringLiteral("06/12/2569"));
        QCOMPARE(bill->dataSource().RecordCount(), 2);
        const QString text = bill->toPlainText();
        for (const QString& expected :
             {QStringLiteral("โรงเรียนกวดวิชาทดสอบ"), QStringLiteral("กรุงเทพฯ 10110"),
              QStringLiteral("69-00'01"), QStringLiteral("ด.ช. โอ'นีล"),
              QStringLiteral("บ้าน \"สุขใจ\""), QStringLiteral("คณิตศาสตร์เข้มข้น"),
              QStringLiteral("(สองพันบาทห้าสิบสตางค์)")})
            QVERIFY2(text.contains(expected), qPrintable(expected));
    }

    void printAgainAndNoSecondPay() {
        QList<bool> defaults;
        int asked = 0;
        frmPay* pay = window.get();
        Seams::setMessageHandler(
            [&](Seams::MessageKind kind, const QString& text, bool defaultYes) {
                if (kind == Seams::MessageKind::Error) {
                    messages->errors << text;
                    return 1;
                }
                if (text == QStringLiteral("ต้องการบันทึกข้อมูล หรือไม่"))
                    return Library::vbYes;
                defaults << defaultYes;
                // While the bill prints, the pay key, Esc and the close box do nothing.
                pay->pressButton(QStringLiteral("Pay"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                pay->close();
                return ++asked == 1 ? Library::vbYes : Library::vbNo;
            });
        load(somchai);
        key(Qt::Key_Return);
        dialogs->then([](QDialog& dialog) {
            auto& amount = dynamic_cast<frmPayAmt&>(dialog);
            amount.txtDocNo->setText(QStringLiteral("69-00001"));
            amount.pressButton(QStringLiteral("OK"));
            return amount.result();
        });
        key(Qt::Key_F2);
        QCOMPARE(defaults, (QList<bool>{false, false}));
        QCOMPARE(QDir(db->pdfFolder()).entryList(QDir::Files).size(), 2);
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(dialogs->shown, 1);
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);
        QVERIFY(window->isVisible());
        QCOMPARE(ListView::count(window->ListView1), 0);
    }

    void billNotPrinted() {
        const QString notPrinted = QStringLiteral("ใบเสร็จเลขที่ 69-00001 บันทึกแล้ว แต่พิมพ์ไม่ได้");
        // No printer and no PDF folder.
        qunsetenv("VADEL_PDF_DIR");
        Seams::setPdfFolder(QString());
        load(somchai);
        key(Qt::Key_Return);
        confirmBill(QStringLiteral("69-00001"), true);
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.size(), 1);
        QVERIFY2(messages->errors.first().startsWith(notPrinted),
                 qPrintable(messages->errors.first()));
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);
        QCOMPARE(ListView::count(window->ListView1), 0);
        QCOMPARE(window->txtStdName->text(), QString());
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), QStringLiteral("ไม่พบข้อมูลการชำระเงิน"));
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);

        // The bill's report file is missing.
        Seams::setPdfFolder(db->pdfFolder());
        QTemporaryDir emptyFolder;
        Seams::setProgramFolder(emptyFolder.path());
        load(somchai);
        key(Qt::Key_Return);
        confirmBill(QStringLiteral("69-00002"), true);
        key(Qt::Key_F2);
        QVERIFY(messages->errors.last().startsWith(
            QStringLiteral("ใบเสร็จเลขที่ 69-00002 บันทึกแล้ว แต่พิมพ์ไม่ได้")));
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 2);
        QCOMPARE(ListView::count(window->ListView1), 0);
    }
};

QTEST_MAIN(TestPay)
#include "tst_pay.moc"
