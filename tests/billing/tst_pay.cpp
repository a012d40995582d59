#include "billing/frmPay.h"
#include "billing/frmPayAmt.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/DialogSeams.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/frmFindStd.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
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
const QString codeNotValid = QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง");

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

QString text(const QString& sql) {
    return Fixture::value(sql).toString();
}

void exec(const QString& sql) {
    Connection::shared().exec(sql);
}

// Somchai's paid amounts on his three unpaid classes, as stored.
QString paid() {
    return text(QStringLiteral("SELECT group_concat(CoursePayAmt, '|') FROM (SELECT CoursePayAmt "
                               "FROM StudentCourse WHERE StdID = '6900001' AND CourseNo < "
                               "'6900004' ORDER BY CourseNo)"));
}

// The stored bills' totals, in key order.
QString netAmounts() {
    return text(QStringLiteral("SELECT group_concat(StmNetAmt, '|') FROM Statement"));
}

// Bills and bill lines stored.
int written() {
    return Fixture::count(QStringLiteral("Statement")) +
           Fixture::count(QStringLiteral("StatementSub"));
}

// One column of every row, joined with "|".
QString column(QTreeWidget* list, int col) {
    return listColumn(list, col).join(QLatin1Char('|'));
}

} // namespace

class tst_pay : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<frmPay> window;
    QString proposed, dialogTotal; // as the last bill number dialog showed them

    QWidget* focus() const { return QApplication::focusWidget(); }
    int rows() const { return ListView::count(window->ListView1); }
    int selected() const { return ListView::selectedIndex(window->ListView1); }
    QString balances() const { return column(window->ListView1, 5); }
    QString amounts() const { return column(window->ListView1, 6); }
    QString total() const { return window->lblTotal->text(); }
    // The amounts, the total and the selected row.
    QString list() const {
        return amounts() + QStringLiteral(" = ") + total() + QStringLiteral(" @") +
               QString::number(selected());
    }
    // The pupil's and the row's labels, all together.
    QString shown() const {
        return window->txtStdName->text() + window->lblLevel->text() + window->lblStdAddr->text() +
               window->lblCourse->text();
    }
    void type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        edit->insert(text); // QTest types Latin-1 keys only
    }
    void enterIn(QLineEdit* edit, const QString& text) {
        type(edit, text);
        pressKey(Qt::Key_Return);
    }
    void load(const QString& code) { enterIn(window->txtStdID, code); }
    // Enter in the amount box on each row in turn, after typing the amount when one is given.
    void enter(const QStringList& amounts = {QString()}) {
        for (const QString& amount : amounts) {
            if (!amount.isNull())
                type(window->txtPay, amount);
            pressKey(Qt::Key_Return);
        }
    }
    // F2, then the bill number dialog takes docNo (or its proposal), the print box and OK.
    void pay(const QString& docNo, bool print = false) {
        dialogs->then([this, docNo, print](QDialog& dialog) {
            auto& amount = dynamic_cast<frmPayAmt&>(dialog);
            proposed = amount.txtDocNo->text();
            dialogTotal = amount.lblTotal->text();
            if (!docNo.isNull())
                amount.txtDocNo->setText(docNo);
            amount.Check1->setChecked(print);
            amount.pressButton(QStringLiteral("OK"));
            return amount.result();
        });
        messages->answer({Library::vbYes});
        pressKey(Qt::Key_F2);
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
        showActive(window.get());
        window->txtStdID->setFocus();
    }
    void cleanup() {
        window.reset();
        dialogs.reset();
        messages.reset();
        db.reset();
        Seams::setProgramFolder(QString());
        Seams::setPrinterEnabled(true);
        Seams::setPrintListener({});
    }

    void lookupByCodeAndEsc() {
        load(QStringLiteral("9999999"));
        QCOMPARE(messages->errors, QStringList{codeNotValid});
        QCOMPARE(window->txtStdID->selectedText(), QStringLiteral("9999999"));

        load(somchai);
        QCOMPARE(shown(), QStringLiteral("เด็กชายสมชาย ใจดีม.112 ถนนสาทร"
                                         "คณิตศาสตร์เข้มข้น   ระดับ ม.1   วิชา คณิตศาสตร์"));
        // Paid in full and closed courses are not listed; no end date shows the working date.
        QCOMPARE(window->listTag(), somchai);
        QCOMPARE(column(window->ListView1, 3),
                 QStringLiteral("01/12/69 - 31/12/69 (ส-อา)|01/12/69 - 06/12/69 (ส-อา)|"
                                "01/12/69 - 31/12/69 (ส-อา)"));
        QCOMPARE(column(window->ListView1, 4), QStringLiteral("1,500.00|2,000.00|800.00"));
        checkLayout(window.get());
        QCOMPARE(balances(), QStringLiteral("1,200.00|2,000.00|800.00"));
        // The first row's balance is offered, without separators, selected.
        QCOMPARE(list(), QStringLiteral("0.00|0.00|0.00 = 0.00 @1"));
        QCOMPARE(focus(), window->txtPay);
        QCOMPARE(window->txtPay->selectedText(), QStringLiteral("1200.00"));

        // Changing the code clears the pupil and the amounts.
        enter();
        window->txtStdID->setFocus();
        window->txtStdID->end(false);
        QTest::keyClick(window->txtStdID, Qt::Key_9);
        QCOMPARE(list() + shown() + window->listTag(), QStringLiteral(" = 0.00 @0"));

        // A pupil without unpaid classes: shown, empty list, the focus stays in the code box.
        load(QStringLiteral("6900003"));
        QCOMPARE(window->txtStdName->text(), QStringLiteral("เด็กชายปิติ มานะ"));
        QCOMPARE(rows(), 0);
        QCOMPARE(focus(), window->txtStdID);

        // The first Esc clears the pupil but keeps the code, the second closes the window.
        load(somchai);
        enter();
        pressKey(Qt::Key_Escape);
        QCOMPARE(list() + shown(), QStringLiteral(" = 0.00 @0"));
        QCOMPARE(window->txtStdID->text() + window->listTag(), somchai + somchai);
        QCOMPARE(focus(), window->txtStdID);
        pressKey(Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(messages->errors.size(), 1);
    }

    void lookupByName() {
        enterIn(window->txtStdName, QStringLiteral("ไม่มีชื่อนี้"));
        QCOMPARE(messages->errors, QStringList{QStringLiteral("ชื่อนักศึกษา ไม่ถูกต้อง")});

        // One hit: shown without the search dialog, the focus goes to the code box.
        enterIn(window->txtStdName, QStringLiteral("สมศรี"));
        QCOMPARE(dialogs->shown, 0);
        QCOMPARE(window->txtStdID->text() + window->listTag(), QStringLiteral("69000026900002"));
        QCOMPARE(rows(), 1);
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
        enterIn(window->txtStdName, QStringLiteral("ใจ"));
        QCOMPARE(listed, somchai + QStringLiteral("|6900002"));
        QCOMPARE(window->txtStdID->text() + window->listTag(), somchai + somchai);
        QCOMPARE(window->txtStdName->text(), QStringLiteral("เด็กชายสมชาย ใจดี"));
        QCOMPARE(rows(), 3);
        QCOMPARE(focus(), window->txtStdID);

        // Cancelled: nothing more happens, the list stays empty.
        enterIn(window->txtStdName, QStringLiteral("ใจ"));
        QCOMPARE(dialogs->shown, 2);
        QCOMPARE(rows(), 0);
        QCOMPARE(window->listTag(), QString());

        // A quote typed in the name is plain text.
        enterIn(window->txtStdName, QStringLiteral("O'Neil"));
        QCOMPARE(messages->errors.size(), 2);

        // The pupil on screen found again by name: his list is loaded anew with no row
        // selected, and no row is named for an amount.
        load(somchai);
        QCOMPARE(window->lblCourse->text().isEmpty(), false);
        enterIn(window->txtStdName, QStringLiteral("สมชาย"));
        QCOMPARE(window->txtStdID->text() + window->listTag(), somchai + somchai);
        QCOMPARE(list(), QStringLiteral("0.00|0.00|0.00 = 0.00 @0"));
        QCOMPARE(window->lblCourse->text() + window->txtPay->text(), QString());
        // Enter in the code box shows the first row, as after a look-up by code.
        QCOMPARE(focus(), window->txtStdID);
        pressKey(Qt::Key_Return);
        QCOMPARE(window->lblCourse->text(),
                 QStringLiteral("คณิตศาสตร์เข้มข้น   ระดับ ม.1   วิชา คณิตศาสตร์"));
        QCOMPARE(focus(), window->txtPay);
    }

    void amountEntry() {
        load(somchai);
        // Above the balance: capped; the next row is selected with its balance offered.
        enter({QStringLiteral("5000")});
        QCOMPARE(list(), QStringLiteral("1,200.00|0.00|0.00 = 1,200.00 @2"));
        QCOMPARE(window->txtPay->selectedText(), QStringLiteral("2,000.00"));
        // Letters and negatives store 0.00; Enter or Down on the last row keeps row and text.
        enter({QStringLiteral("abc"), QStringLiteral("-50")});
        pressKey(Qt::Key_Down);
        QCOMPARE(list(), QStringLiteral("1,200.00|0.00|0.00 = 1,200.00 @3"));
        QCOMPARE(window->txtPay->text(), QStringLiteral("-50"));
        // Thousands separators are read; text typed without Enter changes nothing.
        pressKey(Qt::Key_Up);
        enter({QStringLiteral("1,000")});
        pressKey(Qt::Key_Up);
        type(window->txtPay, QStringLiteral("999"));
        pressKey(Qt::Key_Up);
        // Up on the first row changes nothing.
        pressKey(Qt::Key_Up);
        QCOMPARE(list(), QStringLiteral("1,200.00|1,000.00|0.00 = 2,200.00 @1"));
        QCOMPARE(window->txtPay->text(), QStringLiteral("1,200.00"));
        // Digits with a comma that separates no thousands, and an amount beyond what can be
        // stored, are refused, the row left as it was: never paid as 0.00.
        enter({QStringLiteral("12,34"), QStringLiteral("10000000000000")});
        QCOMPARE(list(), QStringLiteral("1,200.00|1,000.00|0.00 = 2,200.00 @1"));
        QCOMPARE(messages->errors,
                 (QStringList{QStringLiteral("ชำระ ไม่ถูกต้อง: 12,34\nบันทึกได้เป็นตัวเลขไม่เกิน 15 หลัก "
                                             "ใช้จุลภาคคั่นทุกสามหลัก"),
                              Money::rangeMessage()}));
        QCOMPARE(focus(), window->txtPay);

        // Enter on every row pays all; with the bill number dialog cancelled nothing is written.
        load(somchai);
        enter({QString(), QString(), QString()});
        QCOMPARE(list(), balances() + QStringLiteral(" = 4,000.00 @3"));
        pressKey(Qt::Key_F2);
        QCOMPARE(dialogs->shown, 1);
        QCOMPARE(written(), 0);
        QCOMPARE(list(), balances() + QStringLiteral(" = 4,000.00 @3"));
        QCOMPARE(focus(), window->txtPay);
        pay(QStringLiteral("69-00001"));
        QCOMPARE(netAmounts(), QStringLiteral("4000.0"));
        load(somchai);
        QCOMPARE(rows(), 0);
    }

    void payChecks() {
        type(window->txtStdID, QStringLiteral("   "));
        pressKey(Qt::Key_F2);
        type(window->txtStdID, QStringLiteral("8888888"));
        pressKey(Qt::Key_F2);
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
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), noPaymentData);

        // Rows but nothing to pay.
        load(somchai);
        enter({QStringLiteral("0")});
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), noPaymentData);
        QCOMPARE(focus(), window->txtStdID);

        // An amount typed on the second row without Enter: the pay key, or a click on its
        // button, pays it with the first row's; the dialog cancelled, the rows keep both.
        for (bool click : {false, true}) {
            load(somchai);
            enter();
            type(window->txtPay, QStringLiteral("700"));
            dialogs->then([this](QDialog& dialog) {
                dialogTotal = dynamic_cast<frmPayAmt&>(dialog).lblTotal->text();
                return int(QDialog::Rejected);
            });
            if (click)
                QTest::mouseClick(window->toolbar()->widgetForAction(
                                      window->toolbar()->button(QStringLiteral("Pay"))),
                                  Qt::LeftButton);
            else
                pressKey(Qt::Key_F2);
            QCOMPARE(dialogTotal, QStringLiteral("1,900.00"));
            QCOMPARE(window->txtPay->text() + QLatin1Char(' ') + list(),
                     QStringLiteral("700.00 1,200.00|700.00|0.00 = 1,900.00 @2"));
            QCOMPARE(focus(), window->txtPay);
        }

        // An amount entered, then the same pupil looked up by name: the list and the
        // total start again from nothing.
        load(somchai);
        enter();
        enterIn(window->txtStdName, QStringLiteral("สมชาย"));
        QCOMPARE(list(), QStringLiteral("0.00|0.00|0.00 = 0.00 @0"));
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), noPaymentData);
        QCOMPARE(messages->errors.size(), 6);
        QCOMPARE(dialogs->shown, 2);
        QCOMPARE(written(), 0);
    }

    void billNumberDialog() {
        {
            // No automatic numbering (no value): an empty box, refused; no print setting: ticked.
            frmPayAmt dialog;
            QVERIFY(dialog.Check1->isChecked());
            dialog.pressButton(QStringLiteral("OK"));
            QCOMPARE(messages->errors, QStringList{QStringLiteral("เลขที่ใบเสร็จ ไม่ถูกต้อง")});
            QVERIFY(!dialog.IsOK);
        }
        // The next number of this year's series; the first when the year differs or the
        // counter is unreadable; none when automatic numbering is off.
        auto proposal = [] { return frmPayAmt().txtDocNo->text(); };
        setAutoRun(QStringLiteral("69"), QStringLiteral("00041"));
        QCOMPARE(proposal(), QStringLiteral("69-00042"));
        setAutoRun(QStringLiteral("68"), QStringLiteral("00041"));
        QCOMPARE(proposal(), QStringLiteral("69-00001"));
        exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLYY = NULL"));
        QCOMPARE(proposal(), QStringLiteral("69-00001"));
        setAutoRun(QStringLiteral(" 69"), QStringLiteral("x12"));
        QCOMPARE(proposal(), QStringLiteral("69-00001"));
        // After the year's last number none is proposed, and the user is told why.
        setAutoRun(QStringLiteral("69"), QStringLiteral("99998"));
        QCOMPARE(proposal(), QStringLiteral("69-99999"));
        QCOMPARE(messages->errors.size(), 1);
        setAutoRun(QStringLiteral("69"), QStringLiteral("99999"));
        QCOMPARE(proposal(), QString());
        QCOMPARE(messages->errors.mid(1),
                 QStringList{QStringLiteral("เสนอเลขที่ใบเสร็จไม่ได้\nเลขที่ของปีนี้ใช้ครบแล้ว: 69-99999")});
        messages->errors.clear();
        exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLAutoRun = '0', ShopPrintBiLL = '0'"));
        QCOMPARE(proposal(), QString());

        // No keeps the dialog open with the number as typed; Yes confirms it trimmed.
        frmPayAmt dialog;
        QVERIFY(!dialog.Check1->isChecked());
        checkLayout(&dialog);
        showActive(&dialog);
        dialog.txtDocNo->setFocus();
        QTest::keyClicks(dialog.txtDocNo, QStringLiteral("  69-00077 "));
        QTest::keyClick(dialog.txtDocNo, Qt::Key_Return);
        QCOMPARE(messages->questions, QStringList{QStringLiteral("ต้องการบันทึกข้อมูล หรือไม่")});
        QVERIFY(dialog.isVisible());
        dialog.Check1->setChecked(true);
        messages->answer({Library::vbYes});
        QTest::keyClick(dialog.txtDocNo, Qt::Key_F2);
        QVERIFY(dialog.IsOK && dialog.PrintChosen && !dialog.isVisible());
        QCOMPARE(dialog.DocNo, QStringLiteral("69-00077"));
    }

    // The proposal confirmed unchanged was taken by another desk while the dialog was open: the
    // bill is stored and printed with the next number; a typed number is kept.
    void proposalTakenByAnotherDesk() {
        setAutoRun(QStringLiteral("69"), QStringLiteral("00041"));
        QStringList printed;
        Seams::setPrintListener([&printed](const QString&, const QList<QStringList>& pages) {
            for (const QString& line : pages.value(0))
                if (line.startsWith(QStringLiteral("เลขที่ ")))
                    printed << line.section(QLatin1Char(' '), 1, 1);
        });
        for (const QString& typed : {QString(), QStringLiteral("69-00077")}) {
            load(somchai);
            enter({QStringLiteral("100")});
            dialogs->then([this, typed](QDialog& dialog) {
                auto& amount = dynamic_cast<frmPayAmt&>(dialog);
                proposed = amount.txtDocNo->text();
                exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLNo = ShopBiLLNo + 1"));
                if (!typed.isNull())
                    amount.txtDocNo->setText(typed);
                amount.Check1->setChecked(true);
                amount.pressButton(QStringLiteral("OK"));
                return amount.result();
            });
            messages->answer({Library::vbYes, Library::vbNo});
            pressKey(Qt::Key_F2);
        }
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(text(QStringLiteral("SELECT group_concat(StmDocNo, ' ') || ' ' || (SELECT "
                                     "ShopBiLLNo FROM CtrlSetup) FROM Statement")),
                 QStringLiteral("69-00043 69-00077 00077"));
        QCOMPARE(printed, QStringList({QStringLiteral("69-00043"), QStringLiteral("69-00077")}));
    }

    void paymentOfThreeRows() {
        setAutoRun(QStringLiteral("69"), QStringLiteral("00004"));
        load(somchai);
        enter({QStringLiteral("500"), QStringLiteral("0"), QStringLiteral("250")});
        QCOMPARE(total(), QStringLiteral("750.00"));
        // The pay key from the code box, its cursor placed by a click.
        window->txtStdID->setFocus();
        window->txtStdID->deselect();
        pay(QString());
        QCOMPARE(proposed + QLatin1Char(' ') + dialogTotal, QStringLiteral("69-00005 750.00"));
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(text(QStringLiteral("SELECT StmID || ' ' || StmNetAmt || ' ' || StmDocNo || ' ' "
                                     "|| (SELECT group_concat(StmItem) FROM StatementSub) || ' ' "
                                     "|| (SELECT ShopBiLLNo FROM CtrlSetup) FROM Statement")),
                 QStringLiteral("69000001 750.0 69-00005 1,3 00005"));
        QCOMPARE(paid(), QStringLiteral("800.0|0.0|250.0"));

        // Cleared for the next payment; the code and the list's owner stay.
        QCOMPARE(list() + shown(), QStringLiteral(" =  @0"));
        QCOMPARE(window->txtStdID->text() + window->listTag(), somchai + somchai);
        QCOMPARE(focus(), window->txtStdID);
        QCOMPARE(window->txtStdID->selectedText(), somchai);

        // The pay key at once cannot post the bill again.
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors, QStringList{noPaymentData});
        QCOMPARE(written(), 3);
        load(somchai);
        QCOMPARE(balances(), QStringLiteral("700.00|2,000.00|550.00"));
    }

    void failedPaymentsWriteNothing() {
        load(somchai);
        enter(); // 1,200.00 on the first class
        // Another workstation takes 700 on that class meanwhile.
        exec(QStringLiteral(
            "UPDATE StudentCourse SET CoursePayAmt = 1000 WHERE CourseNo = '6900001'"));
        pay(QStringLiteral("69-00001"));
        QCOMPARE(messages->errors, QStringList{courseDataNotValid});
        QCOMPARE(written(), 0);
        QCOMPARE(paid(), QStringLiteral("1000.0|0.0|0.0"));
        // The list is read again with the balance as it stands.
        QCOMPARE(balances(), QStringLiteral("500.00|2,000.00|800.00"));
        QCOMPARE(list(), QStringLiteral("0.00|0.00|0.00 = 0.00 @1"));

        // The second registration's update fails inside the database: the amounts stay.
        exec(QStringLiteral(
            "CREATE TEMP TRIGGER fail_second BEFORE UPDATE ON StudentCourse "
            "WHEN new.CourseNo = '6900002' BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END"));
        enter({QString(), QString()});
        pay(QStringLiteral("69-00001"));
        QCOMPARE(messages->errors.size(), 2);
        QVERIFY(messages->errors.last().startsWith(QStringLiteral("บันทึกการชำระเงินไม่ได้")));
        QCOMPARE(written(), 0);
        QCOMPARE(paid(), QStringLiteral("1000.0|0.0|0.0"));
        QCOMPARE(list(), QStringLiteral("500.00|2,000.00|0.00 = 2,500.00 @3"));

        // The user tries again once the fault is gone.
        exec(QStringLiteral("DROP TRIGGER fail_second"));
        pay(QStringLiteral("69-00001"));
        QCOMPARE(netAmounts(), QStringLiteral("2500.0"));
        QCOMPARE(paid(), QStringLiteral("1500.0|2000.0|0.0"));

        // A fee stored by another tool beyond what an amount holds: the list cannot be read,
        // and says so; the window goes on.
        exec(
            QStringLiteral("UPDATE CourseTable SET CoursePrice = 1e30 WHERE CourseNo = '6900003'"));
        load(somchai);
        QCOMPARE(rows(), 0);
        QCOMPARE(messages->errors.size(), 3);
        QVERIFY(messages->errors.last().contains(QStringLiteral("CoursePrice = 1e+30")));
    }

    // Across the new year with the working date left at the old one: the first bill's key
    // and the confirmed proposal take the clock's year, the bill's date the working date.
    void billCodesFollowTheClock() {
        setAutoRun(QStringLiteral("69"), QStringLiteral("00007"));
        db->setNow(QDateTime(QDate(2027, 1, 2), QTime(8, 0)));
        Library::gToday = QStringLiteral("20261231");
        load(somchai);
        enter();
        pay(QString());
        QCOMPARE(proposed, QStringLiteral("70-00001"));
        QCOMPARE(text(QStringLiteral("SELECT StmID || ' ' || StmDocNo || ' ' || StmDate || ' ' || "
                                     "(SELECT ShopBiLLYY || ShopBiLLNo FROM CtrlSetup) FROM "
                                     "Statement")),
                 QStringLiteral("70000001 70-00001 20261231 7000001"));
    }

    // The bill the pay action prints, the program running since the day before.
    // The bills the pay action prints, the program running since the day before: the
    // school, the pupil, the number, each class with what was owed, paid and left, the
    // total in figures and words, the day of printing. Page 1 holds thirty classes with
    // the total, the words and the signature line; a longer bill prints every page.
    void billsArePrintedWhole() {
        Fixture::student(QStringLiteral("6900005"), QStringLiteral("ด.ช. โอ'นีล"), QString(),
                         QStringLiteral("บ้าน \"สุขใจ\"\r\nซอย 5"));
        for (int i = 1; i <= 40; ++i) {
            const QString courseNo = QStringLiteral("69001%1").arg(i, 2, 10, QLatin1Char('0'));
            Fixture::classRow(courseNo, QStringLiteral("C01"), baht(1200 + i));
            Fixture::registration(QStringLiteral("6900005"), courseNo,
                                  i == 1 ? baht(299.5) : Money());
        }
        QList<QStringList> printed;
        Seams::setPrintListener(
            [&printed](const QString&, const QList<QStringList>& pages) { printed = pages; });
        Seams::setNow(QDateTime(QDate(2026, 12, 7), QTime(8, 30)));
        for (const auto& [classes, pages] : {std::pair{2, 1}, {18, 1}, {21, 1}, {30, 1}, {40, 2}}) {
            load(QStringLiteral("6900005"));
            enter(QStringList(classes, QStringLiteral("100")));
            pay(QStringLiteral("69-00'0") + QString::number(classes), true);
            QCOMPARE(printed.size(), pages);
            QStringList lines;
            for (const QStringList& page : std::as_const(printed))
                lines << page;
            QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^\\d+\\|"))).size(), classes);
            QVERIFY(lines.contains(QStringLiteral("รวมทั้งสิ้น|") +
                                   Money::fromBaht(100 * classes).toText(true)));
        }
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(text(QStringLiteral("SELECT group_concat(DISTINCT StmDate) FROM Statement")),
                 QStringLiteral("20261206"));
        QCOMPARE(printed.last().last(), QStringLiteral("ใบเสร็จเลขที่ 69-00'040    หน้า 2 / 2"));

        // The first bill, line by line.
        load(QStringLiteral("6900005"));
        enter({QStringLiteral("100"), QStringLiteral("100")});
        pay(QStringLiteral("69-00'01"), true);
        const QStringList bill{
            QStringLiteral("โรงเรียนกวดวิชาทดสอบ"),
            QStringLiteral("1 ถนนสุขุมวิท"),
            QStringLiteral("กรุงเทพฯ 10110"),
            QStringLiteral("โทร. 02-123-4567"),
            QStringLiteral("ใบเสร็จรับเงิน"),
            QStringLiteral("เลขที่ 69-00'01    วันที่ 07/12/2569"),
            QStringLiteral("ได้รับเงินจาก ด.ช. โอ'นีล"),
            QStringLiteral("ที่อยู่ บ้าน \"สุขใจ\""),
            QStringLiteral("ซอย 5"),
            QStringLiteral("ที่|คอร์ส|ระดับ|วิชา|ยอดค้างชำระ|ชำระเงิน|คงเหลือ"),
            QStringLiteral("1|คณิตศาสตร์เข้มข้น|ม.1|คณิตศาสตร์|401.50|100.00|301.50"),
            QStringLiteral("2|คณิตศาสตร์เข้มข้น|ม.1|คณิตศาสตร์|702.00|100.00|602.00"),
            QStringLiteral("รวมทั้งสิ้น|200.00"),
            QStringLiteral("(สองร้อยบาทถ้วน)"),
            QStringLiteral("ผู้รับเงิน .............................................."),
            QStringLiteral("ใบเสร็จเลขที่ 69-00'01    หน้า 1 / 1"),
        };
        QCOMPARE(printed, QList<QStringList>{bill});
    }

    void printAgainWhilePayKeysWait() {
        QList<bool> defaults;
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
                window->pressButton(QStringLiteral("Pay"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                window->close();
                return defaults.size() == 1 ? Library::vbYes : Library::vbNo;
            });
        load(somchai);
        enter();
        pay(QStringLiteral("69-00001"), true);
        QCOMPARE(defaults, (QList<bool>{false, false}));
        QCOMPARE(QDir(db->pdfFolder()).entryList(QDir::Files).size(), 2);
        QCOMPARE(messages->errors, QStringList());
        QCOMPARE(dialogs->shown, 1);
        QCOMPARE(written(), 2);
        QVERIFY(window->isVisible());
    }

    void billNotPrinted() {
        // No printer and no PDF folder; then the bill's report file missing.
        qunsetenv("VADEL_PDF_DIR");
        Seams::setPdfFolder(QString());
        Seams::setPrinterEnabled(false);
        QTemporaryDir emptyFolder;
        for (int n = 1; n <= 2; ++n) {
            if (n == 2) {
                Seams::setPdfFolder(db->pdfFolder());
                Seams::setProgramFolder(emptyFolder.path());
            }
            const QString docNo = QStringLiteral("69-0000") + QString::number(n);
            load(somchai);
            enter();
            pay(docNo, true);
            QCOMPARE(messages->errors.size(), n);
            QVERIFY2(messages->errors.last().startsWith(QStringLiteral("ใบเสร็จเลขที่ ") + docNo +
                                                        QStringLiteral(" บันทึกแล้ว แต่พิมพ์ไม่ได้")),
                     qPrintable(messages->errors.last()));
            QCOMPARE(written(), 2 * n);
            QCOMPARE(rows(), 0);
            QCOMPARE(shown(), QString());
        }
        // The window is cleared: the pay key cannot post the bill again.
        pressKey(Qt::Key_F2);
        QCOMPARE(messages->errors.last(), noPaymentData);
        QCOMPARE(written(), 4);
    }
};

QTEST_MAIN(tst_pay)
#include "tst_pay.moc"
