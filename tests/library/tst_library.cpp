#include "library/Library.h"
#include "library/Money.h"
#include "library/Seams.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QVBoxLayout>

class TestLibrary : public QObject {
    Q_OBJECT

private slots:
    void formatNumReadsAndWritesNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("withComma");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const QString& text, bool comma, int decimals,
                      const QString& expected) {
            QTest::newRow(name) << text << comma << decimals << expected;
        };
        row("separators", QStringLiteral("1234567.891"), true, 2, QStringLiteral("1,234,567.89"));
        row("strip separators", QStringLiteral("1,234,567.5"), false, 2,
            QStringLiteral("1234567.50"));
        row("small with comma", QStringLiteral("999"), true, 2, QStringLiteral("999.00"));
        row("no decimals rounds half up", QStringLiteral("2.5"), true, 0, QStringLiteral("3"));
        row("rounds to two places", QStringLiteral("0.125"), false, 2, QStringLiteral("0.13"));
        row("one decimal", QStringLiteral("7"), false, 1, QStringLiteral("7.0"));
        row("leading point", QStringLiteral(".5"), false, 2, QStringLiteral("0.50"));
        row("blanks around", QStringLiteral("  42 "), true, 2, QStringLiteral("42.00"));
        row("negative", QStringLiteral("-1234.567"), true, 2, QStringLiteral("-1,234.57"));
        row("negative rounds away from zero", QStringLiteral("-2.5"), false, 0,
            QStringLiteral("-3"));
        row("negative that rounds to zero", QStringLiteral("-0.001"), false, 2,
            QStringLiteral("0.00"));
        row("fifteen digits", QStringLiteral("999999999999999"), true, 2,
            QStringLiteral("999,999,999,999,999.00"));
        row("not a number", QStringLiteral("abc"), true, 2, QStringLiteral("abc"));
        row("number then letters", QStringLiteral("12a"), false, 2, QStringLiteral("12a"));
        row("two points", QStringLiteral("1.2.3"), false, 2, QStringLiteral("1.2.3"));
        row("sign only", QStringLiteral("-"), false, 2, QStringLiteral("-"));
        row("empty", QString(), true, 2, QString());
    }

    void formatNumReadsAndWritesNumbers() {
        QFETCH(QString, text);
        QFETCH(bool, withComma);
        QFETCH(int, decimals);
        QFETCH(QString, expected);
        QCOMPARE(Library::FormatNum(text, withComma, decimals), expected);
        // The locale never changes the separators.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(Library::FormatNum(text, withComma, decimals), expected);
        QLocale::setDefault(QLocale::c());
    }

    void numValueAndMoneyParseTypedText() {
        QCOMPARE(Library::NumValue(QStringLiteral("1,234.5")), 1234.5);
        QCOMPARE(Library::NumValue(QStringLiteral("-3")), -3.0);
        QCOMPARE(Library::NumValue(QStringLiteral("abc")), 0.0);
        QCOMPARE(Library::NumValue(QString()), 0.0);
        QCOMPARE(Library::NumValue(QStringLiteral("999,999,999,999,999")), 999999999999999.0);

        QCOMPARE(Money::fromText(QStringLiteral("1,234.50")).satang(), 123450);
        QCOMPARE(Money::fromText(QStringLiteral("-0.005")).satang(), -1);
        QCOMPARE(Money::fromText(QStringLiteral("0.004")).satang(), 0);
        QCOMPARE(Money::fromText(QStringLiteral("abc")).satang(), 0);
        QCOMPARE(Money::fromText(QString()).satang(), 0);
        QCOMPARE(Money::fromText(QStringLiteral("12a")).satang(), 0);
        QCOMPARE(Money::fromSatang(123456789).toText(), QStringLiteral("1,234,567.89"));
        QCOMPARE(Money::fromSatang(-5).toText(false), QStringLiteral("-0.05"));
        QCOMPARE(Money::fromSatang(-123456).toText(), QStringLiteral("-1,234.56"));

        // Sums are exact where doubles drift.
        Money total;
        for (int i = 0; i < 10; ++i)
            total += Money::fromText(QStringLiteral("0.1"));
        QCOMPARE(total, Money::fromBaht(1.0));
        QCOMPARE(Money::fromBaht(4.35).satang(), 435);
        QCOMPARE(Money::fromBaht(1.15).satang(), 115);
        QCOMPARE(Money::fromVariant(QVariant()).satang(), 0);
        QCOMPARE(Money::fromVariant(QVariant(0.29)).satang(), 29);
        QCOMPARE(Money::fromVariant(QVariant(QStringLiteral("1,000.25"))).satang(), 100025);
        QCOMPARE(Money::fromVariant(QVariant(qlonglong(7))).satang(), 700);
        QCOMPARE(Money::fromVariant(Money::fromSatang(999999999999999).toVariant()).satang(),
                 999999999999999);
    }

    void bahtTextReadsLikeAReceipt_data() {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, double amount, const QString& expected) {
            QTest::newRow(name) << amount << expected;
        };
        row("zero", 0.0, QStringLiteral("ศูนย์บาทถ้วน"));
        row("one satang", 0.01, QStringLiteral("หนึ่งสตางค์"));
        row("satang only", 0.29, QStringLiteral("ยี่สิบเก้าสตางค์"));
        row("satang with a final one", 0.21, QStringLiteral("ยี่สิบเอ็ดสตางค์"));
        row("one", 1, QStringLiteral("หนึ่งบาทถ้วน"));
        row("ten", 10, QStringLiteral("สิบบาทถ้วน"));
        row("eleven", 11, QStringLiteral("สิบเอ็ดบาทถ้วน"));
        row("twenty", 20, QStringLiteral("ยี่สิบบาทถ้วน"));
        row("twenty-one", 21, QStringLiteral("ยี่สิบเอ็ดบาทถ้วน"));
        row("hundred and one", 101, QStringLiteral("หนึ่งร้อยเอ็ดบาทถ้วน"));
        row("hundred and ten", 110, QStringLiteral("หนึ่งร้อยสิบบาทถ้วน"));
        row("thousands", 2500, QStringLiteral("สองพันห้าร้อยบาทถ้วน"));
        row("fee", 35750, QStringLiteral("สามหมื่นห้าพันเจ็ดร้อยห้าสิบบาทถ้วน"));
        row("million", 1000000, QStringLiteral("หนึ่งล้านบาทถ้วน"));
        row("million and one", 1000001, QStringLiteral("หนึ่งล้านเอ็ดบาทถ้วน"));
        row("eleven million", 11000000, QStringLiteral("สิบเอ็ดล้านบาทถ้วน"));
        row("hundred million and ten", 100000010, QStringLiteral("หนึ่งร้อยล้านสิบบาทถ้วน"));
        row("4.35", 4.35, QStringLiteral("สี่บาทสามสิบห้าสตางค์"));
        row("1.15", 1.15, QStringLiteral("หนึ่งบาทสิบห้าสตางค์"));
        row("10.01", 10.01, QStringLiteral("สิบบาทหนึ่งสตางค์"));
        row("1,250.50", 1250.50, QStringLiteral("หนึ่งพันสองร้อยห้าสิบบาทห้าสิบสตางค์"));
        row("largest", 999999999999.99,
            QStringLiteral("เก้าแสนเก้าหมื่นเก้าพันเก้าร้อยเก้าสิบเก้าล้าน"
                           "เก้าแสนเก้าหมื่นเก้าพันเก้าร้อยเก้าสิบเก้าบาทเก้าสิบเก้าสตางค์"));
        row("million millions", 1000000000000.0, QStringLiteral("หนึ่งล้านล้านบาทถ้วน"));
        row("millions of millions", 21000011000000.0, QStringLiteral("ยี่สิบเอ็ดล้านสิบเอ็ดล้านบาทถ้วน"));
    }

    void bahtTextReadsLikeAReceipt() {
        QFETCH(double, amount);
        QFETCH(QString, expected);
        QCOMPARE(Library::BahtText(amount), expected);
        QCOMPARE(Library::BahtText(Money::fromBaht(amount)), expected);
    }

    void datesConvertBetweenKeysAndThaiForms() {
        QCOMPARE(Library::KeyToDate(QStringLiteral("20241231")), QDate(2024, 12, 31));
        QCOMPARE(Library::KeyToDate(QStringLiteral("20240229")), QDate(2024, 2, 29));
        QVERIFY(!Library::KeyToDate(QStringLiteral("20230229")).isValid());
        Seams::setNow(QDateTime(QDate(2026, 1, 1), QTime(8, 0)));
        QCOMPARE(Library::KeyToDate(QStringLiteral("2024123")), QDate(2026, 1, 1));
        QCOMPARE(Library::KeyToDate(QString()), QDate(2026, 1, 1));
        QCOMPARE(Library::KeyToDate(QStringLiteral("202412310")), QDate(2026, 1, 1));
        Seams::setNow({});

        QCOMPARE(Library::KeyToShortThaiDate(QStringLiteral("20241231")),
                 QStringLiteral("31/12/67"));
        QCOMPARE(Library::KeyToShortThaiDate(QStringLiteral("20250101")),
                 QStringLiteral("01/01/68"));
        QCOMPARE(Library::KeyToShortThaiDate(QStringLiteral("20570101")),
                 QStringLiteral("01/01/00"));
        QCOMPARE(Library::KeyToShortThaiDate(QStringLiteral("20240229")),
                 QStringLiteral("29/02/67"));
        QCOMPARE(Library::KeyToShortThaiDate(QStringLiteral("2024229")), QString());
        QCOMPARE(Library::KeyToThaiDate(QStringLiteral("20241231")), QStringLiteral("31/12/2567"));
        QCOMPARE(Library::KeyToThaiDate(QStringLiteral("20000229")), QStringLiteral("29/02/2543"));
        QCOMPARE(Library::KeyToThaiDate(QString()), QString());
        QCOMPARE(Library::KeyToThaiDate(QStringLiteral("123456789")), QString());

        QCOMPARE(Library::DateToKey(QDate(2000, 2, 29)), QStringLiteral("20000229"));
        QCOMPARE(Library::DateToKey(QDate(1999, 12, 31)), QStringLiteral("19991231"));
        QCOMPARE(Library::DateToThaiDate(QDate(1999, 12, 31)), QStringLiteral("31/12/2542"));
        QCOMPARE(Library::DateToThaiDate(QDate(2028, 2, 29)), QStringLiteral("29/02/2571"));
        QCOMPARE(Library::BuddhistYY(QDate(2026, 12, 31)), QStringLiteral("69"));
        QCOMPARE(Library::BuddhistYY(QDate(2057, 1, 1)), QStringLiteral("00"));
        QCOMPARE(Library::KeyToDate(Library::DateToKey(QDate(2024, 2, 29))), QDate(2024, 2, 29));
    }

    void getItemKeyReadsTheCodeAfterTheLastAt() {
        QCOMPARE(Library::GetItemKey(QStringLiteral("คณิต ม.3") + QString(100, u' ') +
                                     QStringLiteral("@ 6900012 ")),
                 QStringLiteral("6900012"));
        QCOMPARE(Library::GetItemKey(Library::KeyedItem(QStringLiteral("ติวสอบ @ บ้านครู"), 150,
                                                        QStringLiteral("C007"))),
                 QStringLiteral("C007"));
        QCOMPARE(Library::GetItemKey(QStringLiteral("ไม่มีรหัส")), QString());
        QCOMPARE(Library::GetItemKey(QString()), QString());
        QCOMPARE(Library::GetItemKey(QStringLiteral("ว่าง@   ")), QString());
        QCOMPARE(Library::KeyedItem(QStringLiteral("A"), 3, QStringLiteral("1")),
                 QStringLiteral("A   @1"));
    }

    void numericKeysPass() {
        const QString passing = QStringLiteral("0123456789.,");
        for (QChar c : passing)
            QCOMPARE(Library::NumericKeyFilter(c.unicode()), int(c.unicode()));
        for (int code : {8, 13, 38, 40, 46})
            QCOMPARE(Library::NumericKeyFilter(code), code);
        for (int code : {int('a'), int('-'), int(' '), int('+'), 0x0E01, 27})
            QCOMPARE(Library::NumericKeyFilter(code), 0);

        QLineEdit box;
        Library::InstallNumericFilter(&box);
        box.show();
        QTest::keyClicks(&box, QStringLiteral("1a2&(3.4,5-"));
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QStringLiteral("ก"),
                            Qt::NoModifier);
        QCOMPARE(box.text(), QStringLiteral("123.4,5"));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClick(&box, Qt::Key_Home);
        QTest::keyClick(&box, Qt::Key_Delete);
        QCOMPARE(box.text(), QStringLiteral("23.4,"));
    }

    void keyMoveFocusFollowsTheTabOrder() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* first = new QLineEdit(&window);
        auto* caption = new QLabel(QStringLiteral("ป้าย"), &window);
        auto* disabled = new QLineEdit(&window);
        auto* hidden = new QLineEdit(&window);
        auto* second = new QLineEdit(&window);
        auto* third = new QLineEdit(&window);
        for (QWidget* w : {static_cast<QWidget*>(first), static_cast<QWidget*>(caption),
                           static_cast<QWidget*>(disabled), static_cast<QWidget*>(hidden),
                           static_cast<QWidget*>(second), static_cast<QWidget*>(third)})
            layout->addWidget(w);
        disabled->setEnabled(false);
        hidden->hide();
        // The tab order, not the layout order, decides.
        QWidget::setTabOrder(first, third);
        QWidget::setTabOrder(third, second);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        first->setFocus();

        QVERIFY(Library::KeyMoveFocus(first, Qt::Key_Return));
        QCOMPARE(QApplication::focusWidget(), third);
        QVERIFY(Library::KeyMoveFocus(third, Qt::Key_Down));
        QCOMPARE(QApplication::focusWidget(), second);
        QVERIFY(Library::KeyMoveFocus(second, Qt::Key_Up));
        QCOMPARE(QApplication::focusWidget(), third);
        QVERIFY(Library::KeyMoveFocus(third, Qt::Key_Enter));
        QCOMPARE(QApplication::focusWidget(), second);
        QVERIFY(!Library::KeyMoveFocus(second, Qt::Key_Left));
        QVERIFY(!Library::KeyMoveFocus(second, Qt::Key_A));
        QCOMPARE(QApplication::focusWidget(), second);
    }

    void selectAllTextOnlyInUsableBoxes() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* box = new QLineEdit(QStringLiteral("สวัสดี"), &window);
        auto* off = new QLineEdit(QStringLiteral("ปิด"), &window);
        layout->addWidget(box);
        layout->addWidget(off);
        off->setEnabled(false);
        window.show();
        Library::SelectAllText(box);
        Library::SelectAllText(off);
        Library::SelectAllText(nullptr);
        QCOMPARE(box->selectedText(), QStringLiteral("สวัสดี"));
        QCOMPARE(off->selectedText(), QString());
    }
};

QTEST_MAIN(TestLibrary)
#include "tst_library.moc"
