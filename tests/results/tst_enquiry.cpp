#include "billing/PaymentPosting.h"
#include "library/Database.h"
#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "reference/frmFindStd.h"
#include "results/StudentAge.h"
#include "results/StudentPhoto.h"
#include "results/frmQuery.h"
#include "results/frmStudentHis.h"
#include "results/frmStudentStm.h"
#include "shell/WindowRegistry.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString somchai = QStringLiteral("6900001");

Money baht(double value) {
    return Money::fromBaht(value);
}

void exec(const QString& sql, const QVariantList& params = {}) {
    Connection::shared().exec(sql, params);
}

// Somchai, with a whole profile, is on two classes of C01 and one of C02 (open)
// and one of C03 (closed); C04 is closed and has C01's name.
void school() {
    Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตศาสตร์เข้มข้น"));
    Fixture::course(QStringLiteral("C02"), QStringLiteral("ภาษาอังกฤษ"));
    Fixture::course(QStringLiteral("C03"), QStringLiteral("คอร์สปิดแล้ว"), QStringLiteral("0"));
    Fixture::course(QStringLiteral("C04"), QStringLiteral("คณิตศาสตร์เข้มข้น"), QStringLiteral("0"));
    Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C02"), baht(1500),
                      QStringLiteral("ม.2"), QStringLiteral("อังกฤษ"));
    Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), baht(2000));
    Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C01"), baht(800),
                      QStringLiteral("ม.3"));
    Fixture::classRow(QStringLiteral("6900009"), QStringLiteral("C03"), baht(500));
    Fixture::classRow(QStringLiteral("6900010"), QStringLiteral("C04"), baht(500));
    Fixture::student(somchai, QStringLiteral("เด็กชายสมชาย ใจดี"), QStringLiteral("ชาย"),
                     QStringLiteral("12 ถนนสาทร\r\nกรุงเทพฯ"));
    exec(QStringLiteral("UPDATE Student SET StdFather = 'นายสมศักดิ์', StdFatherJob = 'ค้าขาย', "
                        "StdBirthDay = '20081231', StdRegDate = '20260510', StdTel = '081', "
                        "StdSex = 'M', StdReligion = 'พุทธ', StdLikeColor = 'ฟ้า', "
                        "StdGrade1 = '4', StdGrade8 = '3.5', StdMemo = 'แพ้กุ้ง'"));
    Fixture::student(QStringLiteral("6900002"), QStringLiteral("เด็กหญิงสมศรี ใจงาม"),
                     QStringLiteral("น้ำ"));
    Fixture::student(QStringLiteral("6900003"), QStringLiteral("เด็กชายปิติ 100% O'Neil"),
                     QStringLiteral("ปิ_ติ"));
    Fixture::registration(somchai, QStringLiteral("6900001"));
    Fixture::registration(somchai, QStringLiteral("6900003"));
    Fixture::registration(somchai, QStringLiteral("6900002"), baht(1500),
                          QStringLiteral("20261201"));
    Fixture::registration(somchai, QStringLiteral("6900009"));
    Fixture::registration(somchai, QStringLiteral("6900010"));
}

// The rows of a list, cells joined with "|".
QStringList rows(QTreeWidget* list) {
    QStringList lines;
    for (int i = 1; i <= ListView::count(list); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << ListView::item(list, i)->text(c);
        lines << cells.join(QLatin1Char('|'));
    }
    return lines;
}

} // namespace

class TestEnquiry : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<frmQuery> window;
    QTemporaryDir photos;

    void enterIn(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->setText(text); // QTest types Latin-1 keys only
        QTest::keyClick(box, Qt::Key_Return);
    }
    QImage picture() const { return window->Image1->pixmap().toImage(); }
    QImage builtIn() const {
        return StudentPhoto::builtIn(QSize(120, 150)).convertToFormat(picture().format());
    }
    // Opens a history dialog with a toolbar key and returns its rows.
    QStringList history(const QString& key) {
        QStringList shown;
        dialogs->then([&shown](QDialog& dialog) {
            auto& history = dynamic_cast<HistoryDialog&>(dialog);
            checkLayout(&history);
            shown = QStringList{history.windowTitle()} + rows(history.ListView1);
            QTest::keyClick(history.ListView1, Qt::Key_Escape);
            if (history.isVisible())
                shown << QStringLiteral("Esc left the dialog open");
            return history.result();
        });
        window->pressButton(key);
        return shown;
    }

private slots:
    void init() {
        db = std::make_unique<TestDatabase>();
        messages = std::make_unique<ScriptedMessages>();
        dialogs = std::make_unique<ScriptedDialogs>();
        school();
        Library::gImagePath = photos.path();
        window = std::make_unique<frmQuery>();
        checkLayout(window.get());
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() {
        window.reset();
        dialogs.reset();
        messages.reset();
        db.reset();
    }

    // Look-up by code (as typed), every profile field's display form, the classes of
    // open courses, the photo, F5/F6 and Cancel twice.
    void codeLookupShowsTheProfile() {
        QImage photo(400, 500, QImage::Format_RGB32);
        photo.fill(Qt::darkGreen);
        QVERIFY(photo.save(photos.filePath(somchai + QStringLiteral(".jpg"))));

        enterIn(window->txtStdID, QLatin1Char(' ') + somchai);
        QCOMPARE(messages->errors, QStringList{QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง")});
        QCOMPARE(window->txtStdID->selectedText(), QLatin1Char(' ') + somchai);
        QCOMPARE(picture(), builtIn());

        enterIn(window->txtStdID, somchai);
        const auto profile = [this] {
            QStringList texts = {window->txtStdName->text(), window->txtNickName->text()};
            for (const QLabel* label :
                 {window->lblFather, window->lblMother, window->lblFatherJob, window->lblMotherJob,
                  window->lblAddr, window->lblBirthDay, window->lblAge, window->lblRegDate,
                  window->lblTel, window->lblColor, window->lblSubject, window->lblSex,
                  window->lblReligion, window->lblEmail, window->lblLevel, window->lblGrade[0],
                  window->lblGrade[7]})
                texts << label->text();
            return texts << window->txtMemo->toPlainText();
        };
        QCOMPARE(profile(), (QStringList{QStringLiteral(" เด็กชายสมชาย ใจดี"),
                                         QStringLiteral(" ชาย"),
                                         QStringLiteral(" นายสมศักดิ์"),
                                         QStringLiteral(" "),
                                         QStringLiteral(" ค้าขาย"),
                                         QStringLiteral(" "),
                                         QStringLiteral(" 12 ถนนสาทร\nกรุงเทพฯ"),
                                         QStringLiteral("31/12/2551"),
                                         QStringLiteral("17"),
                                         QStringLiteral("10/05/2569"),
                                         QStringLiteral("081"),
                                         QStringLiteral(" ฟ้า"),
                                         QStringLiteral(" "),
                                         QStringLiteral("ชาย"),
                                         QStringLiteral("พุทธ"),
                                         QString(),
                                         QStringLiteral("ม.1"),
                                         QStringLiteral("4"),
                                         QStringLiteral("3.5"),
                                         QStringLiteral("แพ้กุ้ง")}));
        QCOMPARE(messages->errors.size(), 1);
        QCOMPARE(window->txtStdID->selectedText(), somchai);
        QVERIFY(picture() != builtIn());
        const QStringList classes = {
            QStringLiteral(
                "คณิตศาสตร์เข้มข้น|ม.1|คณิตศาสตร์|ส-อา|09.00-12.00|01/01/2569|1,500.00|01/12/2569"),
            QStringLiteral("คณิตศาสตร์เข้มข้น|ม.3|คณิตศาสตร์|ส-อา|09.00-12.00|01/01/2569|0.00| "),
            QStringLiteral("ภาษาอังกฤษ|ม.2|อังกฤษ|ส-อา|09.00-12.00|01/01/2569|0.00| ")};
        QCOMPARE(rows(window->ListView1), classes);
        QTest::keyClick(window->txtStdID, Qt::Key_F5);
        QTest::keyClick(window->txtStdID, Qt::Key_F6);
        QCOMPARE(rows(window->ListView1), classes);
        QCOMPARE(dialogs->shown, 0);

        // No birthday, no sex, no photo (right after a student who had one).
        enterIn(window->txtStdID, QStringLiteral("6900002"));
        QCOMPARE(picture(), builtIn());
        QCOMPARE(window->lblBirthDay->text() + window->lblAge->text(), QString());
        QCOMPARE(window->lblSex->text(), QStringLiteral("หญิง"));

        QTest::keyClick(window->txtStdID, Qt::Key_Escape);
        QCOMPARE(window->txtStdID->selectedText(), QStringLiteral("6900002"));
        QCOMPARE(profile().join(QString()), QString());
        QCOMPARE(ListView::count(window->ListView1), 0);
        QVERIFY(window->isVisible());
        QTest::keyClick(window->txtStdID, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        registerTaskWindows();
        QVERIFY(isSingleInstanceWindow(QStringLiteral("mnuQuery")));
    }

    // Name and nickname searches: none, one, several (chosen or cancelled), the empty
    // box; quotes, "%", "_" and combining marks are plain text.
    void nameAndNicknameSearches() {
        enterIn(window->txtStdID, somchai);
        struct Case {
            QLineEdit* box;
            const char* typed;
            const char* error; // or the code shown
            int offered;       // rows in the search dialog, 0 when not shown
        };
        const Case cases[] = {{window->txtStdName, "ไม่มีชื่อนี้", "ชื่อนักศึกษา ไม่ถูกต้อง", 0},
                              {window->txtNickName, "ไม่มี", "ชื่อเล่น ไม่ถูกต้อง", 0},
                              {window->txtStdName, " O'Neil ", "6900003", 0},
                              {window->txtStdName, "%", "6900003", 0},
                              {window->txtNickName, "_", "6900003", 0},
                              {window->txtNickName, "น้ำ", "6900002", 0},
                              {window->txtStdName, "ใจ", "", 2}, // cancelled: nothing changes
                              {window->txtStdName, "", "6900002", 3}};
        for (const Case& c : cases) {
            const QByteArray where = c.typed;
            messages->clear();
            const QString before = window->txtStdID->text();
            const int shown = dialogs->shown;
            QStringList offered;
            if (c.offered)
                dialogs->then([&offered, &c](QDialog& dialog) {
                    auto& find = dynamic_cast<frmFindStd&>(dialog);
                    offered = rows(find.ListView1);
                    if (QByteArray(c.error).isEmpty())
                        return int(QDialog::Rejected);
                    ListView::select(find.ListView1, 2);
                    find.pressButton(QStringLiteral("OK"));
                    return find.result();
                });
            enterIn(c.box, QString::fromUtf8(c.typed));
            QVERIFY2(offered.size() == c.offered, where);
            QVERIFY2(dialogs->shown - shown == (c.offered ? 1 : 0), where);
            const QString result = QString::fromUtf8(c.error);
            if (result.startsWith(QLatin1Char('6'))) {
                QVERIFY2(messages->errors.isEmpty(), where);
                QCOMPARE(window->txtStdID->text(), result);
                QCOMPARE(QApplication::focusWidget(), window->txtStdID);
                QCOMPARE(window->txtStdID->selectedText(), result);
            } else if (result.isEmpty()) {
                QCOMPARE(window->txtStdID->text(), before);
            } else {
                QCOMPARE(messages->errors, QStringList{result});
                QCOMPARE(window->txtStdID->text(), QString());
                QCOMPARE(c.box->selectedText(), QString::fromUtf8(c.typed));
                QCOMPARE(ListView::count(window->ListView1), 3); // Somchai's classes stay
            }
        }
        // The name shown with its blank finds the student again.
        enterIn(window->txtStdName, window->txtStdName->text());
        QCOMPARE(window->txtStdID->text(), QStringLiteral("6900002"));
    }

    // Payment lines of bills not cancelled, oldest first, a bill's lines by class; the
    // course history by status, a course's name on its first class only.
    void historyDialogs() {
        window->pressButton(QStringLiteral("Pay"));
        window->pressButton(QStringLiteral("History"));
        QCOMPARE(dialogs->shown, 0); // no code, no dialog

        const auto pay = [](const QString& docNo, const QList<PaymentLine>& lines) {
            return PaymentPosting(somchai, docNo, lines).post().stmId;
        };
        pay(QStringLiteral("69-00001"), {{1, QStringLiteral("6900003"), baht(800)},
                                         {2, QStringLiteral("6900001"), baht(250.5)}});
        const QString cancelled =
            pay(QStringLiteral("69-00002"), {{1, QStringLiteral("6900002"), baht(500)}});
        exec(QStringLiteral("UPDATE Statement SET IsCancel = '1' WHERE StmID = ?"), {cancelled});
        pay(QStringLiteral("69-00003"), {{1, QStringLiteral("6900001"), baht(1249.5)}});
        exec(QStringLiteral("UPDATE StudentCourse SET CourseGrade = 'A', TestPoint1 = 7.5 "
                            "WHERE CourseNo = '6900002'"));
        exec(QStringLiteral(
            "UPDATE CourseTable SET TestMax1 = 10, TestMax2 = 10 WHERE CourseNo = '6900002'"));
        exec(QStringLiteral("UPDATE Course SET CourseName = 'คอร์สปิดแล้ว' WHERE CourseID = 'C04'"));

        enterIn(window->txtStdID, somchai);
        const QString line = QStringLiteral("06/12/2569|69-0000%1|%2|%3|%4|%5|%6");
        // Esc closes the dialog only: the enquiry keeps its student.
        QCOMPARE(history(QStringLiteral("Pay")),
                 (QStringList{QStringLiteral(" ประวัติการชำระเงิน "),
                              line.arg(QStringLiteral("1"), QStringLiteral("ภาษาอังกฤษ"),
                                       QStringLiteral("ม.2"), QStringLiteral("อังกฤษ"),
                                       QStringLiteral("250.50"), QStringLiteral("1,249.50")),
                              line.arg(QStringLiteral("1"), QStringLiteral("คณิตศาสตร์เข้มข้น"),
                                       QStringLiteral("ม.3"), QStringLiteral("คณิตศาสตร์"),
                                       QStringLiteral("800.00"), QStringLiteral("0.00")),
                              line.arg(QStringLiteral("3"), QStringLiteral("ภาษาอังกฤษ"),
                                       QStringLiteral("ม.2"), QStringLiteral("อังกฤษ"),
                                       QStringLiteral("1,249.50"), QStringLiteral("0.00"))}));
        QCOMPARE(window->txtStdName->text(), QStringLiteral(" เด็กชายสมชาย ใจดี"));

        const QString test = QStringLiteral("|01/01/2569|%1|%2/%3|/%3|/|/|/|/|/|/|/");
        const QString c01 =
            QStringLiteral("คณิตศาสตร์เข้มข้น|ม.1|คณิตศาสตร์") +
            test.arg(QStringLiteral("A"), QStringLiteral("7.5"), QStringLiteral("10"));
        const QString c01b =
            QStringLiteral(" |ม.3|คณิตศาสตร์") + test.arg(QString(), QString(), QString());
        const QString c02 =
            QStringLiteral("ภาษาอังกฤษ|ม.2|อังกฤษ") + test.arg(QString(), QString(), QString());
        const QString closed =
            QStringLiteral("คอร์สปิดแล้ว|ม.1|คณิตศาสตร์") + test.arg(QString(), QString(), QString());
        QCOMPARE(history(QStringLiteral("Point_Grade")),
                 (QStringList{QStringLiteral(" ผลการเรียนปัจจุบัน "), c01, c01b, c02}));
        QCOMPARE(history(QStringLiteral("History")),
                 (QStringList{QStringLiteral(" ประวัติการลงเรียน "), closed, closed}));
        exec(QStringLiteral("UPDATE Course SET CourseStatus = '0' WHERE CourseID = 'C01'"));
        QCOMPARE(history(QStringLiteral("History")),
                 (QStringList{QStringLiteral(" ประวัติการลงเรียน "), c01, c01b, closed, closed}));

        // The code goes to the dialogs as typed: a leading blank matches nothing.
        window->txtStdID->setText(QLatin1Char(' ') + somchai);
        QCOMPARE(history(QStringLiteral("Pay")).size(), 1);
        QCOMPARE(history(QStringLiteral("Point_Grade")).size(), 1);
    }

    void ageInFullYears() {
        struct Case {
            const char* born;
            const char* on;
            int age; // -1: no age
        };
        const Case cases[] = {
            {"20081231", "20250101", 16}, {"20081231", "20251230", 16},
            {"20081231", "20251231", 17}, {"20080229", "20260228", 17},
            {"20080229", "20260301", 18}, {"20080229", "20240228", 15},
            {"20080229", "20240229", 16}, {"20261206", "20261206", 0},
            {"20261207", "20261206", -1}, {"", "20261206", -1},
            {"2008123", "20261206", -1},  {"20081345", "20261206", -1},
            {"20080230", "20261206", -1}, {"2008-1-1", "20261206", -1},
            {"๒๕๕๑๐๑๐๑", "20261206", -1}, {"20081231", "", -1},
        };
        for (const Case& c : cases) {
            const std::optional<int> age =
                StudentAge::years(QString::fromUtf8(c.born), QString::fromUtf8(c.on));
            const QByteArray where = QByteArray(c.born) + " on " + c.on;
            QVERIFY2(age.value_or(-1) == c.age, where.constData());
        }
    }

    // The folder as the settings may hold it finds the one file; a file that is not
    // a picture, or no file, gives the built-in picture.
    void photoFileFromTheFolderInAnyForm() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("images"));
        QDir().mkpath(folder);
        QImage photo(400, 500, QImage::Format_RGB32);
        photo.fill(Qt::darkGreen);
        QVERIFY(photo.save(folder + QStringLiteral("/6900001.jpg")));
        QFile broken(folder + QStringLiteral("/6900002.jpg"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
        broken.close();

        const QString expected = folder + QStringLiteral("/6900001.jpg");
        QString backslashed = folder;
        backslashed.replace(u'/', u'\\');
        for (const QString& form :
             QStringList{folder, folder + u'/', backslashed, backslashed + u'\\'})
            QCOMPARE(StudentPhoto::path(form, QStringLiteral("6900001")), expected);
        QCOMPARE(StudentPhoto::path(folder, QStringLiteral("../6900001")), QString());

        const QSize box(120, 150);
        const QImage builtIn = StudentPhoto::builtIn(box);
        QVERIFY(!builtIn.isNull());
        const QImage found = StudentPhoto::load(folder + u'/', QStringLiteral("6900001"), box);
        QCOMPARE(found.size(), box);
        QVERIFY(found != builtIn);
        QCOMPARE(StudentPhoto::load(folder, QStringLiteral("6900002"), box), builtIn);
        QCOMPARE(StudentPhoto::load(folder, QStringLiteral("6900003"), box), builtIn);
    }
};

QTEST_MAIN(TestEnquiry)
#include "tst_enquiry.moc"
