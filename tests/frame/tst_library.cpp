#include "core/Database.h"
#include "core/Money.h"
#include "core/Recordset.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QVBoxLayout>
#include <limits>

class tst_library : public QObject {
    Q_OBJECT

private slots:
    void numbersAndMoneyReadTypedText() {
        const std::tuple<const char*, bool, int, const char*, qint64> cases[] = {
            {"1234567.891", true, 2, "1,234,567.89", 123456789},
            {"1,234,567.5", false, 2, "1234567.50", 123456750},
            {"2.5", true, 0, "3", 250},
            {"0.125", false, 2, "0.13", 13},
            {"  42 ", true, 2, "42.00", 4200},
            {"-1234.567", true, 2, "-1,234.57", -123457},
            {"-0.001", false, 2, "0.00", 0},
            {"-0.005", false, 2, "-0.01", -1},
            {"9999999999999.99", true, 2, "9,999,999,999,999.99", Money::maxSatang},
            {"-9,999,999,999,999.99", false, 2, "-9999999999999.99", -Money::maxSatang},
            {"1234,567", true, 0, "1,234,567", 123456700},
            // Beyond what storage holds exactly: still a number to show, but no money.
            {"10000000000000", true, 2, "10,000,000,000,000.00", 0},
            {"999999999999999", true, 2, "999,999,999,999,999.00", 0},
            // A text that is no number stays as typed, and is no money; so is a comma
            // anywhere but before three digits.
            {"abc", true, 2, "abc", 0},
            {"12a", false, 2, "12a", 0},
            {"1.2.3", false, 2, "1.2.3", 0},
            {"12,34", true, 2, "12,34", 0},
            {"1,2345", true, 2, "1,2345", 0},
            {",123", true, 2, ",123", 0},
            {"1,,234", true, 2, "1,,234", 0},
            {"123,", true, 2, "123,", 0},
            {"1.234,50", true, 2, "1.234,50", 0},
            {"", true, 2, "", 0}};
        // The locale never changes the separators.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        for (const auto& [text, comma, decimals, formatted, satang] : cases) {
            QCOMPARE(Library::FormatNum(QString::fromLatin1(text), comma, decimals),
                     QString::fromLatin1(formatted));
            QCOMPARE(Money::fromText(QString::fromLatin1(text)).satang(), satang);
        }
        QLocale::setDefault(QLocale::c());
        QCOMPARE(Library::NumValue(QStringLiteral("1,234.5")), 1234.5);
        QCOMPARE(Money::fromSatang(-5).toText(false), QStringLiteral("-0.05"));
        QCOMPARE(Money::fromSatang(-123456).toText(), QStringLiteral("-1,234.56"));

        // Sums are exact where doubles drift.
        Money total;
        for (int i = 0; i < 10; ++i)
            total += Money::fromText(QStringLiteral("0.1"));
        QCOMPARE(total, Money::fromBaht(1.0));
        QCOMPARE(Money::fromBaht(4.35).satang(), 435);
        QCOMPARE(Money::fromVariant(QVariant()).satang(), 0);
        QCOMPARE(Money::fromVariant(QVariant(0.29)).satang(), 29);
        QCOMPARE(Money::fromVariant(QVariant(QStringLiteral("1,000.25"))).satang(), 100025);
        QCOMPARE(Money::fromVariant(Money::fromSatang(999999999999999).toVariant()).satang(),
                 999999999999999);

        // Refused when typed, an error when stored or read back: never another amount.
        QVERIFY(Money::isOutOfRange(QStringLiteral("10,000,000,000,000")));
        QVERIFY(!Money::isOutOfRange(QStringLiteral("9,999,999,999,999.99")));
        QVERIFY(!Money::isOutOfRange(QStringLiteral("12,34")));
        const QVariant beyond[] = {1e30,
                                   -1e16,
                                   std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::quiet_NaN(),
                                   QVariant(std::numeric_limits<qlonglong>::min()),
                                   QStringLiteral("99999999999999")};
        for (const QVariant& stored : beyond)
            QVERIFY_THROWS_EXCEPTION(DbError, Money::fromVariant(stored));
        QVERIFY_THROWS_EXCEPTION(DbError, Money::fromSatang(Money::maxSatang + 1).toVariant());
        QVERIFY_THROWS_EXCEPTION(DbError, Money::fromBaht(1e14));
    }

    // Every number box reads a text one way: no number at all reads 0; digits with a separator
    // out of place, or more digits than are stored, are refused, never read as 0 or rounded.
    void typedNumbersAreReadWholeOrRefused() {
        const std::tuple<const char*, std::optional<double>, bool, bool> cases[] = {
            // text, plain number, amount malformed, amount out of range
            {"", 0.0, false, false},
            {"abc", 0.0, false, false},
            {"1,234.5", 1234.5, false, false},
            {"-0.5", -0.5, false, false},
            {"000000000000000001", 1.0, false, false},
            {"123456789012345", 123456789012345.0, false, true},
            {"1,0000", std::nullopt, true, false},
            {"1,20", std::nullopt, true, false},
            {"1.2.3", std::nullopt, true, false},
            {",5", std::nullopt, true, false},
            {"1.0000000000000001", std::nullopt, false, false},
            {"1234567890123456", std::nullopt, false, true},
            {"99999999999999999999", std::nullopt, false, true}};
        for (const auto& [text, number, malformed, outOfRange] : cases) {
            const QString t = QString::fromLatin1(text);
            QCOMPARE(Library::TypedNumber(t), number);
            QCOMPARE(Money::isMalformed(t), malformed);
            QCOMPARE(Money::isOutOfRange(t), outOfRange);
        }
        QVERIFY_THROWS_EXCEPTION(DbError, Money::fromVariant(QStringLiteral("1234567890123456")));
    }

    void bahtTextReadsLikeAReceipt() {
        const std::pair<double, const char16_t*> cases[] = {
            {0.0, u"ศูนย์บาทถ้วน"},
            {0.29, u"ยี่สิบเก้าสตางค์"},
            {0.21, u"ยี่สิบเอ็ดสตางค์"},
            {11, u"สิบเอ็ดบาทถ้วน"},
            {21, u"ยี่สิบเอ็ดบาทถ้วน"},
            {101, u"หนึ่งร้อยเอ็ดบาทถ้วน"},
            {35750, u"สามหมื่นห้าพันเจ็ดร้อยห้าสิบบาทถ้วน"},
            {1000001, u"หนึ่งล้านเอ็ดบาทถ้วน"},
            {11000000, u"สิบเอ็ดล้านบาทถ้วน"},
            {100000010, u"หนึ่งร้อยล้านสิบบาทถ้วน"},
            {4.35, u"สี่บาทสามสิบห้าสตางค์"},
            {10.01, u"สิบบาทหนึ่งสตางค์"},
            {1250.50, u"หนึ่งพันสองร้อยห้าสิบบาทห้าสิบสตางค์"},
            {999999999999.99, u"เก้าแสนเก้าหมื่นเก้าพันเก้าร้อยเก้าสิบเก้าล้าน"
                              u"เก้าแสนเก้าหมื่นเก้าพันเก้าร้อยเก้าสิบเก้าบาทเก้าสิบเก้าสตางค์"}};
        for (const auto& [amount, words] : cases)
            QCOMPARE(Library::BahtText(Money::fromBaht(amount)), QString::fromUtf16(words));

        // Every amount reads, also those no bill can hold.
        const std::pair<std::int64_t, const char16_t*> extremes[] = {
            {std::numeric_limits<std::int64_t>::min(),
             u"ลบเก้าหมื่นสองพันสองร้อยสามสิบสามล้านเจ็ดแสนสองหมื่นสามร้อยหกสิบแปดล้าน"
             u"ห้าแสนสี่หมื่นเจ็ดพันเจ็ดร้อยห้าสิบแปดบาทแปดสตางค์"},
            {std::numeric_limits<std::int64_t>::max(),
             u"เก้าหมื่นสองพันสองร้อยสามสิบสามล้านเจ็ดแสนสองหมื่นสามร้อยหกสิบแปดล้าน"
             u"ห้าแสนสี่หมื่นเจ็ดพันเจ็ดร้อยห้าสิบแปดบาทเจ็ดสตางค์"},
            {2100001100000000, u"ยี่สิบเอ็ดล้านสิบเอ็ดล้านบาทถ้วน"},
            {-1, u"ลบหนึ่งสตางค์"},
            {-Money::maxSatang, u"ลบเก้าล้านเก้าแสนเก้าหมื่นเก้าพันเก้าร้อยเก้าสิบเก้าล้าน"
                                u"เก้าแสนเก้าหมื่นเก้าพันเก้าร้อยเก้าสิบเก้าบาทเก้าสิบเก้าสตางค์"}};
        for (const auto& [satang, words] : extremes)
            QCOMPARE(Library::BahtText(Money::fromSatang(satang)), QString::fromUtf16(words));
    }

    void datesConvertBetweenKeysAndThaiForms() {
        const std::tuple<const char*, QDate, const char*, const char*> valid[] = {
            {"20241231", QDate(2024, 12, 31), "31/12/67", "31/12/2567"},
            {"20250101", QDate(2025, 1, 1), "01/01/68", "01/01/2568"},
            {"20240229", QDate(2024, 2, 29), "29/02/67", "29/02/2567"},
            {"20000229", QDate(2000, 2, 29), "29/02/43", "29/02/2543"},
            {"20570101", QDate(2057, 1, 1), "01/01/00", "01/01/2600"}};
        for (const auto& [text, date, shortThai, thai] : valid) {
            const QString key = QString::fromLatin1(text);
            QCOMPARE(Library::KeyToDate(key), date);
            QCOMPARE(Library::DateToKey(date), key);
            QCOMPARE(Library::KeyToShortThaiDate(key), QString::fromLatin1(shortThai));
            QCOMPARE(Library::KeyToThaiDate(key), QString::fromLatin1(thai));
        }
        // A key that names no day reads as today, is stored as today, and shows as nothing.
        Seams::setNow(QDateTime(QDate(2026, 1, 1), QTime(8, 0)));
        for (const QString& bad :
             {QStringLiteral("2024123"), QString(), QStringLiteral("202412310"),
              QStringLiteral("20230229"), QStringLiteral("20230231"), QStringLiteral("2023-1-1")}) {
            QCOMPARE(Library::KeyToDate(bad), QDate(2026, 1, 1));
            QCOMPARE(Library::DateToKey(Library::KeyToDate(bad)), QStringLiteral("20260101"));
            QCOMPARE(Library::KeyToShortThaiDate(bad), QString());
            QCOMPARE(Library::KeyToThaiDate(bad), QString());
        }
        Seams::setNow({});
        QCOMPARE(Library::BuddhistYY(QDate(2026, 12, 31)), QStringLiteral("69"));

        // A class's dates: the working date stands in for a missing end date only.
        TestDatabase db; // working date 06/12/2026
        const std::pair<QVariant, const char*> ends[] = {
            {QStringLiteral("20261231"), "01/12/69 - 31/12/69 (ส-อา)"},
            {QVariant(), "01/12/69 - 06/12/69 (ส-อา)"},
            {QString(QLatin1String("")), "01/12/69 -  (ส-อา)"}};
        for (const auto& [end, expected] : ends) {
            const Recordset row = Recordset::open(
                QStringLiteral(
                    "SELECT '20261201' AS DateStart, ? AS DateEnd, 'ส-อา' AS CourseDate"),
                {end}, true);
            QCOMPARE(Library::classDatesText(row), QString::fromUtf8(expected));
        }
        QCOMPARE(Library::BuddhistYY(QDate(2057, 1, 1)), QStringLiteral("00"));
    }

    void getItemKeyReadsTheCodeAfterTheLastAt() {
        QCOMPARE(Library::GetItemKey(QStringLiteral("คณิต ม.3") + QString(100, u' ') +
                                     QStringLiteral("@ 6900012 ")),
                 QStringLiteral("6900012"));
        QCOMPARE(Library::GetItemKey(Library::KeyedItem(QStringLiteral("ติวสอบ @ บ้านครู"), 150,
                                                        QStringLiteral("C007"))),
                 QStringLiteral("C007"));
        for (const QString& none : {QStringLiteral("ไม่มีรหัส"), QString(), QStringLiteral("ว่าง@   ")})
            QCOMPARE(Library::GetItemKey(none), QString());
    }

    void boxesUnderKeys() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        QLineEdit* boxes[5];
        for (QLineEdit*& box : boxes)
            layout->addWidget(box = new QLineEdit(QStringLiteral("สวัสดี"), &window));
        layout->insertWidget(1, new QLabel(QStringLiteral("ป้าย"), &window));
        auto [first, disabled, hidden, second, third] = boxes;
        disabled->setEnabled(false);
        hidden->hide();
        Library::InstallNumericFilter(third);
        // The tab order, not the layout order, decides.
        QWidget::setTabOrder(first, third);
        QWidget::setTabOrder(third, second);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        first->setFocus();

        auto move = [](QWidget* from, int key) {
            return Library::KeyMoveFocus(from, key) ? QApplication::focusWidget() : nullptr;
        };
        QCOMPARE(move(first, Qt::Key_Return), third);
        QCOMPARE(move(third, Qt::Key_Down), second);
        QCOMPARE(move(second, Qt::Key_Up), third);
        QCOMPARE(move(third, Qt::Key_Enter), second);
        QVERIFY(!Library::KeyMoveFocus(second, Qt::Key_Left));
        QVERIFY(!Library::KeyMoveFocus(second, Qt::Key_A));
        QCOMPARE(QApplication::focusWidget(), second);

        Library::SelectAllText(first);
        Library::SelectAllText(disabled);
        Library::SelectAllText(nullptr);
        QCOMPARE(first->selectedText(), QStringLiteral("สวัสดี"));
        QCOMPARE(disabled->selectedText(), QString());

        // The numeric box takes digits, separators and editing keys only.
        third->clear();
        QTest::keyClicks(third, QStringLiteral("1a2&(3.4,5-"));
        QTest::sendKeyEvent(QTest::Click, third, Qt::Key_unknown, QStringLiteral("ก"),
                            Qt::NoModifier);
        QCOMPARE(third->text(), QStringLiteral("123.4,5"));
        QTest::keyClick(third, Qt::Key_Backspace);
        QTest::keyClick(third, Qt::Key_Home);
        QTest::keyClick(third, Qt::Key_Delete);
        QCOMPARE(third->text(), QStringLiteral("23.4,"));
    }
};

QTEST_MAIN(tst_library)
#include "tst_library.moc"
