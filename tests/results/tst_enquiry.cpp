#include "billing/PaymentStore.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/frmFindStd.h"
#include "results/HistoryDialog.h"
#include "results/StudentAge.h"
#include "results/StudentPhoto.h"
#include "results/frmQuery.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

QString t(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void exec(const char* sql, const QVariantList& params = {}) {
    Connection::shared().exec(t(sql), params);
}

// Somchai (6900001, most of a profile) is on two classes of C01 and one of C02
// (open courses) and one each of C03 and C04 (closed, both named alike).
void school() {
    const struct {
        const char *id, *name, *status;
    } courses[] = {{"C01", "คณิตศาสตร์เข้มข้น", "1"},
                   {"C02", "ภาษาอังกฤษ", "1"},
                   {"C03", "คอร์สปิดแล้ว", "0"},
                   {"C04", "คอร์สปิดแล้ว", "0"}};
    for (const auto& c : courses)
        Fixture::course(t(c.id), t(c.name), t(c.status));
    const struct {
        const char *no, *course, *level, *subject;
    } classes[] = {{"6900001", "C02", "ม.2", "อังกฤษ"},
                   {"6900002", "C01", "ม.1", "คณิตศาสตร์"},
                   {"6900003", "C01", "ม.3", "คณิตศาสตร์"},
                   {"6900009", "C03", "ม.1", "คณิตศาสตร์"},
                   {"6900010", "C04", "ม.1", "คณิตศาสตร์"}};
    for (const auto& c : classes) {
        Fixture::classRow(t(c.no), t(c.course), Money::fromBaht(1500), t(c.level), t(c.subject));
        Fixture::registration(t("6900001"), t(c.no));
    }
    exec("UPDATE StudentCourse SET CoursePayAmt = 1000, CoursePayDate = '20261201' "
         "WHERE CourseNo = '6900002'");
    Fixture::student(t("6900001"), t("เด็กชายสมชาย ใจดี"), t("ชาย"), t("12 ถนนสาทร\r\nกรุงเทพฯ"));
    exec("UPDATE Student SET StdFather = 'นายสมศักดิ์', StdFatherJob = 'ค้าขาย', StdBirthDay = "
         "'20081231', StdRegDate = '20260510', StdTel = '081', StdSex = 'M', StdReligion = "
         "'พุทธ', StdLikeColor = 'ฟ้า', StdGrade1 = '4', StdGrade8 = '3.5', StdMemo = 'แพ้กุ้ง'");
    Fixture::student(t("6900002"), t("เด็กหญิงสมศรี ใจงาม"), t("น้ำ"));
    Fixture::student(t("6900003"), t("เด็กชายปิติ 100% O'Neil"), t("ปิ_ติ"));
}

bool savePhoto(const QString& path) {
    QImage photo(400, 500, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    return photo.save(path);
}

// The rows of a list, cells joined with "|", rows with "\n".
QString rows(QTreeWidget* list) {
    return listRows(list).join(u'\n');
}

} // namespace

class tst_enquiry : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<frmQuery> window;
    QTemporaryDir photos;
    const QSize box{120, 150};

    void enterIn(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->setText(text); // QTest types Latin-1 keys only
        QTest::keyClick(edit, Qt::Key_Return);
    }
    bool showsBuiltIn() const {
        return window->Image1->pixmap().toImage() ==
               StudentPhoto::builtIn(box).convertToFormat(
                   window->Image1->pixmap().toImage().format());
    }
    // Opens a history dialog with a toolbar key, closes it with Esc and gives its
    // caption and rows.
    QString history(const char* key) {
        QString shown;
        dialogs->then([&shown](QDialog& dialog) {
            auto& history = dynamic_cast<HistoryDialog&>(dialog);
            shown = history.windowTitle() + u'\n' + rows(history.ListView1);
            QTest::keyClick(history.ListView1, Qt::Key_Escape);
            if (history.isVisible())
                shown += t("\nEsc left the dialog open");
            return history.result();
        });
        window->pressButton(t(key));
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
        showActive(window.get());
    }
    void cleanup() {
        window.reset();
        dialogs.reset();
        messages.reset();
        db.reset();
    }

    // Look-up by code as typed, every profile field's display form, the classes of
    // open courses, the photo, F5/F6 and Cancel twice.
    void codeLookupShowsTheProfile() {
        QVERIFY(savePhoto(photos.filePath(t("6900001.jpg"))));
        enterIn(window->txtStdID, t(" 6900001"));
        QCOMPARE(messages->errors, QStringList{t("รหัสนักศึกษา ไม่ถูกต้อง")});
        QCOMPARE(window->txtStdID->selectedText(), t(" 6900001"));

        enterIn(window->txtStdID, t("6900001"));
        const auto profile = [this] {
            QStringList texts = {window->txtStdName->text(), window->txtNickName->text()};
            for (const QLabel* label :
                 {window->lblFather, window->lblMother, window->lblFatherJob, window->lblMotherJob,
                  window->lblAddr, window->lblBirthDay, window->lblAge, window->lblRegDate,
                  window->lblTel, window->lblColor, window->lblSubject, window->lblSex,
                  window->lblReligion, window->lblEmail, window->lblLevel, window->lblGrade[0],
                  window->lblGrade[7]})
                texts << label->text();
            return (texts << window->txtMemo->toPlainText()).join(u'|');
        };
        QCOMPARE(profile(), t(" เด็กชายสมชาย ใจดี| ชาย| นายสมศักดิ์| | ค้าขาย| | 12 ถนนสาทร\nกรุงเทพฯ|"
                              "31/12/2551|17|10/05/2569|081| ฟ้า| |ชาย|พุทธ||ม.1|4|3.5|แพ้กุ้ง"));
        QCOMPARE(window->txtStdID->selectedText(), t("6900001"));
        QVERIFY(!showsBuiltIn());
        const QString classes =
            t("คณิตศาสตร์เข้มข้น|ม.1|คณิตศาสตร์|ส-อา|09.00-12.00|01/01/2569|1,000.00|01/12/2569\n"
              "คณิตศาสตร์เข้มข้น|ม.3|คณิตศาสตร์|ส-อา|09.00-12.00|01/01/2569|0.00| \n"
              "ภาษาอังกฤษ|ม.2|อังกฤษ|ส-อา|09.00-12.00|01/01/2569|0.00| ");
        QCOMPARE(rows(window->ListView1), classes);
        // F5 and F6 open the course history and the current results; the window stays.
        QTest::keyClick(window->txtStdID, Qt::Key_F5);
        QTest::keyClick(window->txtStdID, Qt::Key_F6);
        QCOMPARE(rows(window->ListView1), classes);
        QCOMPARE(dialogs->classNames, (QStringList{t("frmStudentHis"), t("frmStudentHis")}));
        QCOMPARE(messages->errors.size(), 1);

        // No birthday, no sex, no photo right after a student who had one.
        enterIn(window->txtStdID, t("6900002"));
        QVERIFY(showsBuiltIn());
        QCOMPARE(window->lblBirthDay->text() + window->lblAge->text() + window->lblSex->text(),
                 t("หญิง"));

        QTest::keyClick(window->txtStdID, Qt::Key_Escape);
        QCOMPARE(window->txtStdID->selectedText(), t("6900002"));
        QCOMPARE(profile(), QString(19, u'|'));
        QCOMPARE(ListView::count(window->ListView1), 0);
        QVERIFY(window->isVisible());
        QTest::keyClick(window->txtStdID, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    // Name and nickname searches: none, one, several (chosen or cancelled), the empty
    // box; quotes and combining marks are plain text, "%" and "_" are wildcards as in the
    // search dialog's own search.
    void nameAndNicknameSearches() {
        enterIn(window->txtStdID, t("6900001"));
        const struct {
            QLineEdit* box;
            const char* typed;
            const char* outcome; // the code shown, the message, or "" when cancelled
            int offered;         // rows in the search dialog, 0 when not shown
        } cases[] = {{window->txtStdName, "ไม่มีชื่อนี้", "ชื่อนักศึกษา ไม่ถูกต้อง", 0},
                     {window->txtNickName, "ไม่มี", "ชื่อเล่น ไม่ถูกต้อง", 0},
                     {window->txtStdName, " O'Neil ", "6900003", 0},
                     {window->txtStdName, "100%", "6900003", 0},
                     {window->txtNickName, "ปิ_ติ", "6900003", 0},
                     {window->txtNickName, "น_ำ", "6900002", 0},
                     {window->txtStdName, "%", "", 3},
                     {window->txtNickName, "_", "", 3},
                     {window->txtNickName, "น้ำ", "6900002", 0},
                     {window->txtStdName, "ใจ", "", 2},
                     {window->txtStdName, "", "6900002", 3}};
        for (const auto& c : cases) {
            messages->clear();
            const QString before = window->txtStdID->text();
            const int shown = dialogs->shown;
            int offered = 0;
            if (c.offered)
                dialogs->then([&offered, &c](QDialog& dialog) {
                    auto& find = dynamic_cast<frmFindStd&>(dialog);
                    offered = ListView::count(find.ListView1);
                    ListView::select(find.ListView1, 2);
                    find.pressButton(t(*c.outcome ? "OK" : "Cancel"));
                    return find.result();
                });
            enterIn(c.box, t(c.typed));
            QVERIFY2(offered == c.offered && dialogs->shown - shown == (c.offered ? 1 : 0),
                     c.typed);
            const QString outcome = t(c.outcome);
            if (outcome.startsWith(u'6')) {
                QVERIFY2(messages->errors.isEmpty(), c.typed);
                QCOMPARE(window->txtStdID->text(), outcome);
                QCOMPARE(QApplication::focusWidget(), window->txtStdID);
                QCOMPARE(window->txtStdID->selectedText(), outcome);
            } else if (outcome.isEmpty()) {
                QCOMPARE(window->txtStdID->text(), before);
            } else {
                QCOMPARE(messages->errors, QStringList{outcome});
                QCOMPARE(window->txtStdID->text() + c.box->selectedText(), t(c.typed));
                QCOMPARE(ListView::count(window->ListView1), 3); // Somchai's classes stay
            }
        }
        // The name shown with its blank finds the student again.
        enterIn(window->txtStdName, window->txtStdName->text());
        QCOMPARE(window->txtStdID->text(), t("6900002"));
    }

    // Payment lines of bills not cancelled, oldest first, a bill's lines by class; the
    // course history by status, a course's name on its first class only; Esc closes
    // the dialog alone.
    void historyDialogs() {
        window->pressButton(t("Pay"));
        window->pressButton(t("History"));
        QCOMPARE(dialogs->shown, 0); // no code, no dialog
        const auto pay = [](const char* docNo, const QList<PaymentLine>& lines) {
            return PaymentStore::post(
                       {t("6900001"), t(docNo), lines, Library::gToday, Library::gUserID, {}},
                       Seams::today())
                .stmId;
        };
        pay("69-00001",
            {{1, t("6900003"), Money::fromBaht(1500)}, {2, t("6900001"), Money::fromBaht(250.5)}});
        exec("UPDATE Statement SET IsCancel = '1' WHERE StmID = ?",
             {pay("69-00002", {{1, t("6900002"), Money::fromBaht(500)}})});
        pay("69-00003", {{1, t("6900001"), Money::fromBaht(1249.5)}});
        exec("UPDATE StudentCourse SET CourseGrade = 'A', TestPoint1 = 7.5 "
             "WHERE CourseNo = '6900002'");
        exec("UPDATE CourseTable SET TestMax1 = 10, TestMax2 = 10 WHERE CourseNo = '6900002'");

        enterIn(window->txtStdID, t("6900001"));
        QCOMPARE(history("Pay"), t(" ประวัติการชำระเงิน \n"
                                   "06/12/2569|69-00001|ภาษาอังกฤษ|ม.2|อังกฤษ|250.50|1,249.50\n"
                                   "06/12/2569|69-00001|คณิตศาสตร์เข้มข้น|ม.3|คณิตศาสตร์|1,500.00|0.00\n"
                                   "06/12/2569|69-00003|ภาษาอังกฤษ|ม.2|อังกฤษ|1,249.50|0.00"));
        QCOMPARE(window->txtStdName->text(), t(" เด็กชายสมชาย ใจดี"));

        const QString c01 = t("คณิตศาสตร์เข้มข้น|ม.1|คณิตศาสตร์|01/01/2569|A|7.5/10|/10|/|/|/|/|/|/|/\n"
                              " |ม.3|คณิตศาสตร์|01/01/2569||/|/|/|/|/|/|/|/|/");
        const QString closed = t("\nคอร์สปิดแล้ว|ม.1|คณิตศาสตร์|01/01/2569||/|/|/|/|/|/|/|/|/");
        QCOMPARE(history("Point_Grade"),
                 t(" ผลการเรียนปัจจุบัน \n") + c01 +
                     t("\nภาษาอังกฤษ|ม.2|อังกฤษ|01/01/2569||/|/|/|/|/|/|/|/|/"));
        QCOMPARE(history("History"), t(" ประวัติการลงเรียน ") + closed + closed);
        exec("UPDATE Course SET CourseStatus = '0' WHERE CourseID = 'C01'");
        QCOMPARE(history("History"), t(" ประวัติการลงเรียน \n") + c01 + closed + closed);

        // The histories are those of the pupil on screen: another code typed over his, without
        // Enter, is no pupil shown yet. With the profile cleared there is nobody's to show.
        const QString shown = history("Pay") + history("Point_Grade") + history("History");
        for (const char* typed : {" 6900001", "6900002"}) {
            window->txtStdID->setText(t(typed));
            QCOMPARE(history("Pay") + history("Point_Grade") + history("History"), shown);
        }
        QCOMPARE(window->txtStdName->text(), t(" เด็กชายสมชาย ใจดี"));
        const int opened = dialogs->shown;
        QTest::keyClick(window->txtStdID, Qt::Key_Escape);
        for (const char* key : {"Pay", "Point_Grade", "History"})
            window->pressButton(t(key));
        QCOMPARE(dialogs->shown, opened);
    }

    void ageInFullYears() {
        const struct {
            const char* born;
            const char* on;
            int age; // -1: no age
        } cases[] = {
            {"20081231", "20250101", 16}, {"20081231", "20251230", 16},
            {"20081231", "20251231", 17}, {"20080229", "20260228", 17},
            {"20080229", "20260301", 18}, {"20080229", "20240228", 15},
            {"20080229", "20240229", 16}, {"20261206", "20261206", 0},
            {"20261207", "20261206", -1}, {"", "20261206", -1},
            {"2008123", "20261206", -1},  {"20081345", "20261206", -1},
            {"20080230", "20261206", -1}, {"2008-1-1", "20261206", -1},
            {"๒๕๕๑๐๑๐๑", "20261206", -1}, {"20081231", "", -1},
        };
        for (const auto& c : cases)
            QVERIFY2(StudentAge::years(t(c.born), t(c.on)).value_or(-1) == c.age, c.born);
    }

    // The folder as the settings may hold it finds the one file; a file that is not
    // a picture, or no file, gives the built-in picture.
    void photoFileFromTheFolderInAnyForm() {
        const QString folder = photos.path();
        QVERIFY(savePhoto(folder + t("/6900001.jpg")));
        QFile broken(folder + t("/6900002.jpg"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a picture") > 0);
        broken.close();
        QString backslashed = folder;
        backslashed.replace(u'/', u'\\');
        for (const QString& form :
             QStringList{folder, folder + u'/', backslashed, backslashed + u'\\'})
            QCOMPARE(StudentPhoto::path(form, t("6900001")), folder + t("/6900001.jpg"));
        QCOMPARE(StudentPhoto::path(folder, t("../6900001")), QString());

        const QImage found = StudentPhoto::load(folder + u'/', t("6900001"), box);
        QCOMPARE(found.size(), box);
        QVERIFY(found != StudentPhoto::builtIn(box) && !StudentPhoto::builtIn(box).isNull());
        QCOMPARE(StudentPhoto::load(folder, t("6900002"), box), StudentPhoto::builtIn(box));
        QCOMPARE(StudentPhoto::load(folder, t("6900003"), box), StudentPhoto::builtIn(box));

        // As cameras name them: the extension in any letter case.
        for (const char* name : {"6900004.JPG", "6900005.Jpg"}) {
            const QString file = folder + u'/' + t(name);
            QVERIFY(savePhoto(file));
            const QString code = t(name).left(7);
            QCOMPARE(StudentPhoto::path(folder, code), file);
            QCOMPARE(StudentPhoto::load(folder, code, box), found);
        }
        QCOMPARE(StudentPhoto::path(folder, t("6900006")), folder + t("/6900006.jpg"));
    }
};

QTEST_MAIN(tst_enquiry)
#include "tst_enquiry.moc"
