#include "billing/frmPay.h"
#include "billing/frmPayAmt.h"
#include "library/Database.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "library/Seams.h"
#include "platform/Report.h"
#include "reference/frmFindStd.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
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
const QString noPaymentData = QStringLiteral("ไม่พบข้อมูลการชำระเงิน");
const QString courseDataNotValid = QStringLiteral("ข้อมูลคอร์สเรียน ไม่ถูกต้อง");

// Somchai owes on three classes of an open course (1,200, 2,000 and 800); one more
// class is paid in full and one belongs to a closed course.
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
    Fixture::student(somchai, QStringLiteral("เด็กชายสมชาย ใจดี"), QString(),
                     QStringLiteral("12 ถนนสาทร"));
    Fixture::student(QStringLiteral("6900002"), QStringLiteral("เด็กหญิงสมศรี ใจงาม"));
    Fixture::student(QStringLiteral("6900003"), QStringLiteral("เด็กชายปิติ มานะ"));
    Fixture::registration(somchai, QStringLiteral("6900001"), baht(300));
    Fixture::registration(somchai, QStringLiteral("6900002"));
    Fixture::registration(somchai, QStringLiteral("6900003"));
    Fixture::registration(somchai, QStringLiteral("6900004"), baht(1000));
    Fixture::registration(somchai, QStringLiteral("6900009"));
    Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900003"));
}

Money paid(const QString& courseNo, const QString& stdId = somchai) {
    return Money::fromVariant(Fixture::value(
        QStringLiteral("SELECT CoursePayAmt FROM StudentCourse WHERE StdID = ? AND CourseNo = ?"),
        {stdId, courseNo}));
}

int bills() {
    return Fixture::count(QStringLiteral("Statement"));
}

// One column of every row, joined with "|".
QString column(QTreeWidget* list, int col) {
    QStringList texts;
    for (int i = 1; i <= ListView::count(list); ++i)
        texts << ListView::item(list, i)->text(col);
    return texts.join(QLatin1Char('|'));
}

} // namespace

class TestPay : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<frmPay> window;

    QWidget* focus() const { return QApplication::focusWidget(); }
    int rows() const { return ListView::count(window->ListView1); }
    int selected() const { return ListView::selectedIndex(window->ListView1); }
    void key(int qtKey) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(qtKey)); }
    void type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        bool latin = true;
        for (QChar c : text)
            latin = latin && c.unicode() < 128;
        if (latin)
            QTest::keyClicks(edit, text);
        else
            edit->insert(text); // QTest types Latin-1 keys only
    }
    void load(const QString& code) {
        type(window->txtStdID, code);
        key(Qt::Key_Return);
    }
    void findName(const QString& name) {
        type(window->txtStdName, name);
        key(Qt::Key_Return);
    }
    // Enter in the amount box, after typing amount when one is given.
    void enter(const QString& amount = {}) {
        if (!amount.isNull())
            type(window->txtPay, amount);
        key(Qt::Key_Return);
    }
    // The next bill number dialog takes docNo (or its proposal), sets the print box and confirms.
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
        Seams::setPrinterEnabled(true);
    }

    void lookupByCode() {
        load(QStringLiteral("9999999"));
        QCOMPARE(messages->errors, QStringList{QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง")});
        QCOMPARE(window->txtStdID->selectedText(), QStringLiteral("9999999"));

        load(somchai);
        QCOMPARE(window->txtStdName->text(), QStringLiteral("เด็กชายสมชาย ใจดี"));
        QCOMPARE(window->lblLevel->text(), QStringLiteral("ม.1"));
        QCOMPARE(window->lblStdAddr->text(), QStringLiteral("12 ถนนสาทร"));
        QCOMPARE(window->listTag(), somchai);
        // Paid in full and closed courses are not listed; no end date shows the working date.
        QCOMPARE(rows(), 3);
        QCOMPARE(ListView::rowTag(ListView::item(window->ListView1, 2)), QStringLiteral("6900002"));
        QCOMPARE(column(window->ListView1, 3),
                 QStringLiteral("01/12/69 - 31/12/69 (ส-อา)|01/12/69 - 06/12/69 (ส-อา)|"
                                "01/12/69 - 31/12/69 (ส-อา)"));
        QCOMPARE(column(window->ListView1, 4), QStringLiteral("1,500.00|2,000.00|800.00"));
        QCOMPARE(column(window->ListView1, 5), QStringLiteral("1,200.00|2,000.00|800.00"));
        QCOMPARE(column(window->ListView1, 6), QStringLiteral("0.00|0.00|0.00"));
        // The first row is shown and its balance offered, without separators, selected.
        QCOMPARE(selected(), 1);
        QCOMPARE(window->lblCourse->text(),
                 QStringLiteral("คณิตศาสตร์เข้มข้น   ระดับ ม.1   วิชา คณิตศาสตร์"));
        QCOMPARE(focus(), window->txtPay);
        QCOMPARE(window->txtPay->selectedText(), QStringLiteral("1200.00"));

        // A pupil without unpaid classes: shown, empty list, the focus stays in the code box.
        load(QStringLiteral("6900003"));
        QCOMPARE(window->txtStdName->text(), QStringLiteral("เด็กชายปิติ มานะ"));
        QCOMPARE(rows(), 0);
        QCOMPARE(focus(), window->txtStdID);
        QCOMPARE(messages->errors.size(), 1);
    }

    void lookupByName() {
        findName(QStringLiteral("ไม่มีชื่อนี้"));
        QCOMPARE(messages->errors, QStringList{QStringLiteral("ชื่อนักศึกษา ไม่ถูกต้อง")});
        QCOMPARE(window->txtStdName->selectedText(), QStringLiteral("ไม่มีชื่อนี้"));

        // One hit: shown without the search dialog, the focus goes to the code box.
        findName(QStringLiteral("สมศรี"));
        QCOMPARE(dialogs->shown, 0);
        QCOMPARE(window->txtStdID->text(), QStringLiteral("6900002"));
        QCOMPARE(window->listTag(), QStringLiteral("6900002"));
        QCOMPARE(rows(), 1);
        QCOMPARE(window->lblCourse->text(), QString());
        QCOMPARE(focus(), window->txtStdID);

        // Several hits: the search dialog lists them in order; the confirmed one is loaded.
        QString listed;
        dialogs->then([&listed](QDialog& dialog) {
            auto& find = dynamic_cast<frmFindStd&>(dialog);
            listed = column(find.ListView1, 0);
            ListView::select(find.ListView1, 1);
            find.pressButton(QStringLiteral("OK"));
            return find.result();
        });
        findName(QStringLiteral("ใจ"));
        QCOMPARE(listed, somchai + QStringLiteral("|6900002"));
        QCOMPARE(window->txtStdID->text(), somchai);
        QCOMPARE(window->txtStdName->text(), QStringLiteral("เด็กชายสมชาย ใจดี"));
        QCOMPARE(window->listTag(), somchai);
        QCOMPARE(rows(), 3);
        QCOMPARE(focus(), window->txtStdID);

        // Cancelled: nothing more happens, the list stays empty.
        findName(QStringLiteral("ใจ"));
        QCOMPARE(dialogs->shown, 2);
        QCOMPARE(rows(), 0);
        QCOMPARE(window->listTag(), QString());

        // A quote typed in the name is plain text.
        findName(QStringLiteral("O'Neil"));
        QCOMPARE(messages->errors.size(), 2);
    }

    void amountEntry() {
        load(somchai);
        // Above the balance: capped; the next row is shown with its balance offered.
        enter(QStringLiteral("5000"));
        QCOMPARE(column(window->ListView1, 6), QStringLiteral("1,200.00|0.00|0.00"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("1,200.00"));
        QCOMPARE(selected(), 2);
        QCOMPARE(window->txtPay->selectedText(), QStringLiteral("2,000.00"));
        QCOMPARE(window->lblCourse->text(), QStringLiteral("คณิตศาสตร์เข้มข้น   ระดับ ม.2   วิชา ฟิสิกส์"));
        // Letters and negative amounts store 0.00; Enter on the last row keeps row and text.
        enter(QStringLiteral("abc"));
        enter(QStringLiteral("-50"));
        QCOMPARE(column(window->ListView1, 6), QStringLiteral("1,200.00|0.00|0.00"));
        QCOMPARE(selected(), 3);
        QCOMPARE(window->txtPay->text(), QStringLiteral("-50"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("1,200.00"));
        // Down on the last row changes nothing.
        key(Qt::Key_Down);
        QCOMPARE(selected(), 3);
        QCOMPARE(window->txtPay->text(), QStringLiteral("-50"));
        // Thousands separators are read; text typed without Enter changes nothing.
        key(Qt::Key_Up);
        enter(QStringLiteral("1,000"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("2,200.00"));
        key(Qt::Key_Up);
        type(window->txtPay, QStringLiteral("999"));
        key(Qt::Key_Up);
        QCOMPARE(column(window->ListView1, 6), QStringLiteral("1,200.00|1,000.00|0.00"));
        // Up on the first row changes nothing.
        QCOMPARE(selected(), 1);
        key(Qt::Key_Up);
        QCOMPARE(selected(), 1);
        QCOMPARE(window->txtPay->text(), QStringLiteral("1,200.00"));
        // Leaving the box shows the amount with separators; coming back strips them.
        type(window->txtPay, QStringLiteral("1234.5"));
        window->txtStdName->setFocus();
        QCOMPARE(window->txtPay->text(), QStringLiteral("1,234.50"));
        window->txtPay->setFocus();
        QCOMPARE(window->txtPay->text(), QStringLiteral("1234.50"));
    }

    void enterOnEveryRowPaysAll() {
        load(somchai);
        enter();
        enter();
        enter();
        QCOMPARE(column(window->ListView1, 6), column(window->ListView1, 5));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("4,000.00"));
        confirmBill(QStringLiteral("69-00001"));
        key(Qt::Key_F2);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT StmNetAmt FROM Statement")).toDouble(),
                 4000.0);
        // Paid in full: the classes are no longer listed.
        load(somchai);
        QCOMPARE(rows(), 0);
        QCOMPARE(paid(QStringLiteral("6900002")), baht(2000));
    }

    void changingTheCodeAndCancel() {
        load(somchai);
        window->txtStdID->setFocus();
        window->txtStdID->end(false);
        QTest::keyClick(window->txtStdID, Qt::Key_9);
        QCOMPARE(rows(), 0);
        QCOMPARE(window->lblTotal->text(), QStringLiteral("0.00"));
        QCOMPARE(window->txtStdName->text(), QString());
        QCOMPARE(window->lblLevel->text(), QString());
        QCOMPARE(window->listTag(), QString());

        // The first Esc clears the pupil, the second closes the window.
        load(somchai);
        enter();
        key(Qt::Key_Escape);
        QCOMPARE(rows(), 0);
        QCOMPARE(window->lblTotal->text(), QStringLiteral("0.00"));
        QCOMPARE(window->txtStdName->text(), QString());
        QCOMPARE(window->txtStdID->text(), somchai);
        QCOMPARE(window->listTag(), somchai);
        QCOMPARE(focus(), window->txtStdID);
        key(Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    void payChecks() {
        const QString codeNotValid = QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง");
        type(window->txtStdID, QStringLiteral("   "));
        key(Qt::Key_F2);
        type(window->txtStdID, QStringLiteral("8888888"));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors, QStringList(2, codeNotValid));
        QCOMPARE(focus(), window->txtStdID);

        // Another pupil's code typed over a loaded one and not confirmed with Enter.
        load(somchai);
        enter();
        type(window->txtStdID, QStringLiteral("6900002"));
        window->pressButton(QStringLiteral("Pay"));
        QCOMPARE(messages->errors.last(), courseDataNotValid);
        QCOMPARE(rows(), 0);

        load(QStringLiteral("6900003"));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), noPaymentData);

        // Rows but nothing to pay.
        load(somchai);
        enter(QStringLiteral("0"));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), noPaymentData);
        QCOMPARE(focus(), window->txtStdID);
        QCOMPARE(messages->errors.size(), 5);
        QCOMPARE(dialogs->shown, 0);
        QCOMPARE(bills(), 0);
    }

    void billNumberDialog() {
        {
            // No automatic numbering (no value): an empty box; no print setting: ticked.
            frmPayAmt dialog;
            QCOMPARE(dialog.txtDocNo->text(), QString());
            QVERIFY(dialog.Check1->isChecked());
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
        Connection::shared().exec(
            QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '0', ShopPrintBiLL = '0'"));
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
        QTest::keyClick(cancelled.txtDocNo, Qt::Key_Escape);
        QVERIFY(!cancelled.isVisible());
        QVERIFY(!cancelled.IsOK);
    }

    void paymentOfThreeRows() {
        setAutoRun(QStringLiteral("69"), QStringLiteral("00004"));
        load(somchai);
        enter(QStringLiteral("500"));
        enter(QStringLiteral("0"));
        enter(QStringLiteral("250"));
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

        QCOMPARE(
            Fixture::value(
                QStringLiteral("SELECT StmID || ' ' || StmNetAmt || ' ' || StmDocNo || ' ' || "
                               "(SELECT group_concat(StmItem) FROM StatementSub) FROM Statement"))
                .toString(),
            QStringLiteral("69000001 750.0 69-00005 1,3"));
        QCOMPARE(paid(QStringLiteral("6900001")), baht(800));
        QCOMPARE(paid(QStringLiteral("6900002")), Money());
        QCOMPARE(paid(QStringLiteral("6900003")), baht(250));
        QCOMPARE(Fixture::value(QStringLiteral("SELECT ShopBiLLNo FROM CtrlSetup")).toString(),
                 QStringLiteral("00005"));

        // Cleared for the next payment; the code and the list's owner stay.
        QCOMPARE(rows(), 0);
        QCOMPARE(window->lblTotal->text(), QString());
        QCOMPARE(window->txtStdName->text() + window->lblLevel->text() +
                     window->lblStdAddr->text() + window->lblCourse->text(),
                 QString());
        QCOMPARE(window->txtStdID->text(), somchai);
        QCOMPARE(window->listTag(), somchai);
        QCOMPARE(focus(), window->txtStdID);

        // The pay key at once cannot post the bill again.
        key(Qt::Key_F2);
        QCOMPARE(messages->errors, QStringList{noPaymentData});
        QCOMPARE(bills(), 1);
        load(somchai);
        QCOMPARE(column(window->ListView1, 5), QStringLiteral("700.00|2,000.00|550.00"));
    }

    void cancelledBillNumberWritesNothing() {
        load(somchai);
        enter(QStringLiteral("500"));
        key(Qt::Key_F2); // the dialog is cancelled
        QCOMPARE(dialogs->shown, 1);
        QCOMPARE(bills(), 0);
        QCOMPARE(column(window->ListView1, 6), QStringLiteral("500.00|0.00|0.00"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("500.00"));
        QCOMPARE(focus(), window->txtPay);
    }

    void staleBalanceIsRefused() {
        load(somchai);
        enter(); // 1,200.00 on the first class
        // Another workstation takes 700 on that class meanwhile.
        Connection::shared().exec(QStringLiteral(
            "UPDATE StudentCourse SET CoursePayAmt = 1000 WHERE CourseNo = '6900001'"));
        confirmBill(QStringLiteral("69-00001"));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors, QStringList{courseDataNotValid});
        QCOMPARE(bills(), 0);
        QCOMPARE(Fixture::count(QStringLiteral("StatementSub")), 0);
        QCOMPARE(paid(QStringLiteral("6900001")), baht(1000));
        // The list is read again with the balance as it stands.
        QCOMPARE(column(window->ListView1, 5), QStringLiteral("500.00|2,000.00|800.00"));
        QCOMPARE(column(window->ListView1, 6), QStringLiteral("0.00|0.00|0.00"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("0.00"));
    }

    void failedPostingKeepsTheAmounts() {
        // The second registration's update fails inside the database.
        Connection::shared().exec(QStringLiteral(
            "CREATE TEMP TRIGGER fail_second BEFORE UPDATE ON StudentCourse "
            "WHEN new.CourseNo = '6900002' BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END"));
        load(somchai);
        enter();
        enter();
        confirmBill(QStringLiteral("69-00001"));
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.size(), 1);
        QVERIFY(messages->errors.first().startsWith(QStringLiteral("บันทึกการชำระเงินไม่ได้")));
        QCOMPARE(bills(), 0);
        QCOMPARE(Fixture::count(QStringLiteral("StatementSub")), 0);
        QCOMPARE(paid(QStringLiteral("6900001")), baht(300));
        QCOMPARE(column(window->ListView1, 6), QStringLiteral("1,200.00|2,000.00|0.00"));
        QCOMPARE(window->lblTotal->text(), QStringLiteral("3,200.00"));

        // The user tries again once the fault is gone.
        Connection::shared().exec(QStringLiteral("DROP TRIGGER fail_second"));
        confirmBill(QStringLiteral("69-00001"));
        key(Qt::Key_F2);
        QCOMPARE(Fixture::value(QStringLiteral("SELECT StmNetAmt FROM Statement")).toDouble(),
                 3200.0);
    }

    void billIsPrinted() {
        const QString name = QStringLiteral("ด.ช. โอ'นีล");
        const QString address = QStringLiteral("บ้าน \"สุขใจ\"\r\nซอย 5");
        Fixture::student(QStringLiteral("6900005"), name, QString(), address);
        Fixture::registration(QStringLiteral("6900005"), QStringLiteral("6900001"));
        Fixture::registration(QStringLiteral("6900005"), QStringLiteral("6900003"), baht(299.5));
        load(QStringLiteral("6900005"));
        enter();
        enter();
        confirmBill(QStringLiteral("69-00'01"), true);
        key(Qt::Key_F2);
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(messages->questions.last(), QStringLiteral("ต้องการพิมพ์  ใบเสร็จ  ใหม่หรือไม่"));
        QCOMPARE(QDir(db->pdfFolder()).entryList(QDir::Files).size(), 1);

        const QString shopAddress =
            QStringLiteral("1 ถนนสุขุมวิท\r\nกรุงเทพฯ 10110\r\nโทร. 02-123-4567");
        const std::unique_ptr<Report> bill =
            frmPay::BillReport(QStringLiteral("69000001"), shopAddress, name, address,
                               QStringLiteral("69-00'01"), baht(2000.5));
        QCOMPARE(bill->formulaValue(QStringLiteral("lblAddr")),
                 QStringLiteral("1 ถนนสุขุมวิท\nกรุงเทพฯ 10110\nโทร. 02-123-4567"));
        QCOMPARE(bill->formulaValue(QStringLiteral("lblDate")), QStringLiteral("06/12/2569"));
        const QString text = bill->toPlainText();
        for (const QString& expected :
             {QStringLiteral("โรงเรียนกวดวิชาทดสอบ"), QStringLiteral("69-00'01"), name,
              QStringLiteral("บ้าน \"สุขใจ\""), QStringLiteral("1,500.00"), QStringLiteral("500.50"),
              QStringLiteral("2,000.50"), QStringLiteral("(สองพันบาทห้าสิบสตางค์)")})
            QVERIFY2(text.contains(expected), qPrintable(expected));
    }

    void printAgainWhilePayKeysWait() {
        QList<bool> defaults;
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
                return defaults.size() == 1 ? Library::vbYes : Library::vbNo;
            });
        load(somchai);
        enter();
        confirmBill(QStringLiteral("69-00001"), true);
        key(Qt::Key_F2);
        QCOMPARE(defaults, (QList<bool>{false, false}));
        QCOMPARE(QDir(db->pdfFolder()).entryList(QDir::Files).size(), 2);
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(dialogs->shown, 1);
        QCOMPARE(bills(), 1);
        QVERIFY(window->isVisible());
    }

    void billNotPrinted() {
        // No printer and no PDF folder.
        qunsetenv("VADEL_PDF_DIR");
        Seams::setPdfFolder(QString());
        Seams::setPrinterEnabled(false);
        load(somchai);
        enter();
        confirmBill(QStringLiteral("69-00001"), true);
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.size(), 1);
        QVERIFY2(messages->errors.first().startsWith(
                     QStringLiteral("ใบเสร็จเลขที่ 69-00001 บันทึกแล้ว แต่พิมพ์ไม่ได้")),
                 qPrintable(messages->errors.first()));
        QCOMPARE(bills(), 1);
        QCOMPARE(rows(), 0);
        QCOMPARE(window->txtStdName->text(), QString());
        key(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), noPaymentData);
        QCOMPARE(bills(), 1);

        // The bill's report file is missing.
        Seams::setPdfFolder(db->pdfFolder());
        QTemporaryDir emptyFolder;
        Seams::setProgramFolder(emptyFolder.path());
        load(somchai);
        enter();
        confirmBill(QStringLiteral("69-00002"), true);
        key(Qt::Key_F2);
        QVERIFY(messages->errors.last().startsWith(
            QStringLiteral("ใบเสร็จเลขที่ 69-00002 บันทึกแล้ว แต่พิมพ์ไม่ได้")));
        QCOMPARE(bills(), 2);
        QCOMPARE(rows(), 0);
    }
};

QTEST_MAIN(TestPay)
#include "tst_pay.moc"
