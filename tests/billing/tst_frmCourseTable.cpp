#include "billing/frmCourseTable.h"
#include "library/Database.h"
#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"
#include "reference/frmFindTech.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString yes = QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่");

void key(int code) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(code));
}

bool focusIn(QWidget* widget) {
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == widget || widget->isAncestorOf(focus));
}

QStringList tags(QTreeWidget* list) {
    QStringList result;
    for (int i = 1; i <= ListView::count(list); ++i)
        result << ListView::rowTag(ListView::item(list, i));
    return result;
}

QString stored(const QString& sql) {
    return Fixture::value(sql).toString();
}

QStringList teachersOf(const QString& courseNo) {
    QStringList rows;
    QSqlQuery query = Connection::shared().exec(
        QStringLiteral("SELECT TechID || '=' || TechRateAmt FROM TeacherCourse "
                       "WHERE CourseNo = ? ORDER BY rowid"),
        {courseNo});
    while (query.next())
        rows << query.value(0).toString();
    return rows;
}

} // namespace

class tst_frmCourseTable : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    QPointer<frmCourseTable> window;

    frmCourseTable* open() {
        window = new frmCourseTable;
        window->resize(1000, 600);
        window->show();
        QApplication::setActiveWindow(window);
        if (!QTest::qWaitForWindowActive(window))
            qWarning("window not active");
        return window;
    }
    // Starts a class with a level and a subject picked.
    frmCourseTable* openNew() {
        frmCourseTable* w = open();
        w->pressButton(QStringLiteral("New"));
        w->cboLevel->setCurrentIndex(0);
        w->cboSubject->setCurrentIndex(0);
        return w;
    }
    static void typeCode(frmCourseTable* w, int row, const QString& code) {
        w->txtTechID[row]->setFocus();
        QTest::keyClicks(w->txtTechID[row], code);
        key(Qt::Key_Return);
    }

private slots:
    void init() {
        db = std::make_unique<TestDatabase>(); // clock and working date 06/12/2026
        for (const char16_t* level : {u"ม.1", u"ม.2", u"ม.3"})
            Fixture::level(QString::fromUtf16(level));
        Fixture::subject(QStringLiteral("คณิตศาสตร์"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สเทอม 2"), QStringLiteral("1"),
                        QStringLiteral("20270331"));
        Fixture::teacher(QStringLiteral("001"), QStringLiteral("สมชาย"), Money::fromBaht(300));
        Fixture::teacher(QStringLiteral("002"), QStringLiteral("สมหญิง"), Money::fromBaht(450));
        Fixture::teacher(QStringLiteral("003"), QStringLiteral("มานี"), Money::fromBaht(600));
    }
    void cleanup() {
        delete window;
        db.reset();
    }

    void listFilterAndSwap() {
        Fixture::course(QStringLiteral("C02"), QStringLiteral("อีกคอร์ส"));
        const QString y = QStringLiteral("ม.1"), s = QStringLiteral("ฟิสิกส์");
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1000),
                          QStringLiteral("ม.2"));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money(), y, s,
                          QStringLiteral("20260101"), QStringLiteral("20260701"));
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C01"), Money(), y, s,
                          QStringLiteral("20260101"), QStringLiteral("20271231"));
        Fixture::classRow(QStringLiteral("6900004"), QStringLiteral("C01"), Money(), y, s,
                          QStringLiteral("20270101"), QStringLiteral("20270301"));
        Fixture::classRow(QStringLiteral("6900005"), QStringLiteral("C02"), Money());
        frmCourseTable* w = open();
        QCOMPARE(w->cboCouse->itemText(0),
                 Library::KeyedItem(QStringLiteral("คอร์สเทอม 2 (01/01/69 - 31/03/70)"), 100,
                                    QStringLiteral("C01")));
        QCOMPARE(w->dtpDate1->date(), QDate(2026, 6, 6));
        // Start or end inside the range, by level; a class spanning the range is left out.
        QCOMPARE(tags(w->ListView1),
                 (QStringList{QStringLiteral("6900002"), QStringLiteral("6900001")}));
        QTreeWidgetItem* row = ListView::item(w->ListView1, 2);
        QCOMPARE(row->text(4) + u'|' + row->text(5) + u'|' + row->text(7),
                 QStringLiteral("1,000.00|01/12/2569|30"));
        // A from date after the to date: the pickers swap at the reload.
        w->dtpDate1->setDate(QDate(2027, 2, 1));
        QCOMPARE(w->dtpDate1->date(), QDate(2026, 12, 6));
        QCOMPARE(w->dtpDate2->date(), QDate(2027, 2, 1));
        QCOMPARE(tags(w->ListView1),
                 (QStringList{QStringLiteral("6900004"), QStringLiteral("6900001")}));
        w->cboCouse->setCurrentIndex(1);
        QCOMPARE(tags(w->ListView1), QStringList{QStringLiteral("6900005")});
    }

    void noOpenCourseAndSixMonths() {
        db.reset();
        db = std::make_unique<TestDatabase>(QDateTime(QDate(2026, 8, 31), QTime(9, 0)));
        Fixture::level(QStringLiteral("ม.1"));
        Fixture::subject(QStringLiteral("คณิตศาสตร์"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("ปิด"), QStringLiteral("0"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money());
        ScriptedMessages messages;
        frmCourseTable* w = open();
        QCOMPARE(w->dtpDate1->date(), QDate(2026, 2, 28));
        QCOMPARE(w->cboCouse->count() + ListView::count(w->ListView1), 0);
        w->dtpDate2->setDate(QDate(2026, 12, 31));
        QCOMPARE(ListView::count(w->ListView1), 0);
        w->pressButton(QStringLiteral("Report")); // nothing on an empty list
        // Save refuses a class without a course, after the level and subject checks.
        w->pressButton(QStringLiteral("New"));
        w->cboLevel->setCurrentIndex(0);
        w->cboSubject->setCurrentIndex(0);
        messages.answer({Library::vbYes});
        w->pressButton(QStringLiteral("Save"));
        QCOMPARE(messages.all, QStringList{QStringLiteral("คอร์ส ว่างไม่ได้")});
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 1);
    }

    void keysPerMode() {
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1000));
        ScriptedMessages messages;
        frmCourseTable* w = open();
        QVERIFY(!w->toolbar()->button(QStringLiteral("Find"))->isVisible());
        w->ListView1->setFocus();
        key(Qt::Key_F2);
        QCOMPARE(w->mode(), int(frmCourseTable::Add));
        QVERIFY(w->Frame1->isVisible() && !w->ListView1->isVisible() && !w->cboCouse->isEnabled());
        QCOMPARE(w->txtCourseNo->text(), QStringLiteral("6900002"));
        QCOMPARE(w->menuHelpLabel()->text(), QStringLiteral("F2=บันทึก  ESC=ยกเลิก"));
        QVERIFY(focusIn(w->cboLevel));
        // Enter moves on; combos and pickers keep their arrows; text boxes take Down and Up.
        key(Qt::Key_Return);
        key(Qt::Key_Down);
        QVERIFY(focusIn(w->cboSubject));
        key(Qt::Key_Return);
        key(Qt::Key_Down);
        QVERIFY(focusIn(w->txtCourseTime));
        key(Qt::Key_Up);
        QVERIFY(focusIn(w->txtCourseDate));
        w->dtpEndDate->setFocus();
        key(Qt::Key_Return);
        QVERIFY(focusIn(w->txtHour));
        w->txtCoursePrice->setFocus();
        key(Qt::Key_Return);
        QVERIFY(focusIn(w->txtTechID[0]));
        w->txtRate[3]->setFocus();
        key(Qt::Key_Return);
        QVERIFY(!focusIn(w->txtRate[3]));
        key(Qt::Key_F3);
        key(Qt::Key_F4);
        QCOMPARE(w->mode(), int(frmCourseTable::Add));
        QVERIFY(messages.all.isEmpty()); // no save on Enter, no delete on F4
        key(Qt::Key_Escape);
        QVERIFY(w->mode() == frmCourseTable::Browse && w->ListView1->isVisible());
        QCOMPARE(w->menuHelpLabel()->text(),
                 QStringLiteral("F2=เพิ่มข้อมูล  F3=แก้ไข  F4=ลบข้อมูล   F9=ค้นหาข้อมูล   | ESC=ยกเลิก"));
        key(Qt::Key_F3);
        QCOMPARE(w->mode(), int(frmCourseTable::Edit));
        QCOMPARE(w->txtCourseNo->text() + w->cboLevel->currentText() + w->txtHour->text(),
                 QStringLiteral("6900001ม.130"));
        key(Qt::Key_Escape);
        Fixture::value(QStringLiteral("DELETE FROM CourseTable"));
        key(Qt::Key_F3); // the class is gone: nothing happens
        QCOMPARE(w->mode(), int(frmCourseTable::Browse));
        key(Qt::Key_Escape);
        QTRY_VERIFY(window.isNull());
    }

    void saveAndValidations() {
        ScriptedMessages messages;
        frmCourseTable* w = open();
        w->pressButton(QStringLiteral("New"));
        w->txtCourseDate->setFocus();
        key(Qt::Key_F2);
        QVERIFY(focusIn(w->cboLevel));
        w->cboLevel->setCurrentIndex(1);
        w->txtCourseDate->setFocus();
        key(Qt::Key_F2);
        QVERIFY(focusIn(w->cboSubject));
        QCOMPARE(messages.errors,
                 (QStringList{QStringLiteral("ระดับ ว่างไม่ได้"), QStringLiteral("วิชา ว่างไม่ได้")}));
        w->cboSubject->setCurrentIndex(0);
        w->txtCourseDate->setText(QStringLiteral("จ'พ"));
        w->dtpStartDate->setDate(QDate(2026, 12, 20));
        w->txtHour->setText(QStringLiteral("1.5"));
        w->txtCoursePrice->setFocus();
        QTest::keyClicks(w->txtCoursePrice, QStringLiteral("12500"));
        messages.answer({Library::vbNo, Library::vbYes});
        key(Qt::Key_F2);
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")), 0);
        QCOMPARE(w->txtCourseDate->text(), QStringLiteral("จ'พ"));
        key(Qt::Key_F2);
        QCOMPARE(messages.questions, (QStringList{yes, yes}));
        QCOMPARE(stored(QStringLiteral("SELECT CourseID || CourseLevel || CourseDate || "
                                       "CoursePrice || DateStart || DateEnd || TimeHour "
                                       "FROM CourseTable WHERE CourseNo = '6900001'")),
                 QStringLiteral("C01ม.2จ'พ12500.020261220202612061.5"));
        // Appended to the list; "New" again for the next class.
        QCOMPARE(ListView::item(w->ListView1, 1)->text(4), QStringLiteral("12,500.00"));
        QCOMPARE(w->txtCourseNo->text() + w->txtCourseDate->text() + w->cboLevel->currentText(),
                 QStringLiteral("6900002"));
        QVERIFY(focusIn(w->cboLevel));

        // Edit: the row changes and the window returns to browse.
        key(Qt::Key_Escape);
        key(Qt::Key_F3);
        w->cboLevel->setCurrentIndex(2);
        messages.answer({Library::vbYes});
        key(Qt::Key_F2);
        QCOMPARE(w->mode(), int(frmCourseTable::Browse));
        QCOMPARE(ListView::item(w->ListView1, 1)->text(0), QStringLiteral("ม.3"));

        // A database failure keeps the panel open and the stored class as it was.
        Fixture::value(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TeacherCourse "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        key(Qt::Key_F3);
        w->cboLevel->setCurrentIndex(0);
        w->txtTechID[0]->setText(QStringLiteral("001"));
        messages.clear();
        messages.answer({Library::vbYes});
        key(Qt::Key_F2);
        QVERIFY(messages.errors.size() == 1 && w->Frame1->isVisible());
        QCOMPARE(stored(QStringLiteral("SELECT CourseLevel FROM CourseTable")),
                 QStringLiteral("ม.3"));
        // Deleted meanwhile: an error, nothing written, back to browse.
        Fixture::value(QStringLiteral("DROP TRIGGER refuse"));
        Fixture::value(QStringLiteral("DELETE FROM CourseTable"));
        messages.answer({Library::vbYes});
        key(Qt::Key_F2);
        QCOMPARE(messages.errors.size(), 2);
        QCOMPARE(w->mode(), int(frmCourseTable::Browse));
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")) +
                     Fixture::count(QStringLiteral("TeacherCourse")),
                 0);
    }

    void teacherRows() {
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        frmCourseTable* w = openNew();
        typeCode(w, 0, QStringLiteral("0a01"));
        QCOMPARE(w->lblName[0]->text() + w->txtRate[0]->text(), QStringLiteral("สมชาย300"));
        QCOMPARE(w->txtRate[0]->selectedText(), QStringLiteral("300"));
        QTest::keyClicks(w->txtRate[0], QStringLiteral("1,200.00"));
        typeCode(w, 1, QStringLiteral("001"));
        QCOMPARE(messages.errors, QStringList{QStringLiteral("รหัสอาจารย์  ซ้ำ")});
        QCOMPARE(w->txtTechID[1]->text(), QString());
        w->txtRate[1]->setText(QStringLiteral("50"));
        typeCode(w, 1, QStringLiteral("999")); // unknown: emptied without a message
        QCOMPARE(w->txtTechID[1]->text() + w->txtRate[1]->text(), QString());
        typeCode(w, 2, QStringLiteral("003"));
        dialogs.then([](QDialog& dialog) {
            auto& find = static_cast<frmFindTech&>(dialog);
            find.IsSelected = true;
            find.SelectedID = QStringLiteral("002");
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(w->cmdListTech[3], Qt::LeftButton);
        QCOMPARE(w->lblName[3]->text() + w->txtRate[3]->text(), QStringLiteral("สมหญิง450"));
        QTest::mouseClick(w->cmdListTech[3], Qt::LeftButton); // cancelled: row unchanged
        QCOMPARE(w->txtTechID[3]->text(), QStringLiteral("002"));
        QCOMPARE(messages.errors.size(), 1);
        messages.answer({Library::vbYes});
        key(Qt::Key_F2);
        QCOMPARE(teachersOf(QStringLiteral("6900001")),
                 (QStringList{QStringLiteral("001=1200.0"), QStringLiteral("003=600.0"),
                              QStringLiteral("002=450.0")}));
        QCOMPARE(w->txtTechID[0]->text(), QStringLiteral("001")); // "New" keeps the rows

        // Reloaded without the gap; passing through a row keeps the class's rate.
        key(Qt::Key_Escape);
        key(Qt::Key_F3);
        QCOMPARE(w->txtTechID[1]->text() + w->txtTechID[3]->text(), QStringLiteral("003"));
        w->txtTechID[0]->setFocus();
        key(Qt::Key_Return);
        QCOMPARE(w->txtRate[0]->text(), QStringLiteral("1,200.00"));
        w->txtTechID[0]->setFocus();
        w->txtTechID[0]->clear();
        key(Qt::Key_Return); // left empty: the row is emptied
        QCOMPARE(w->txtRate[0]->text(), QString());
        typeCode(w, 0, QStringLiteral("001")); // changed code: the standard rate again
        QCOMPARE(w->txtRate[0]->text(), QStringLiteral("300"));
        // A duplicate still in its box when saving is caught before the question.
        w->txtTechID[1]->clear();
        w->txtTechID[1]->setFocus();
        QTest::keyClicks(w->txtTechID[1], QStringLiteral("002"));
        messages.clear();
        key(Qt::Key_F2);
        QCOMPARE(messages.all, QStringList{QStringLiteral("รหัสอาจารย์  ซ้ำ")});
        // Edit, Cancel, New: the rows still hold the edited class's teachers.
        key(Qt::Key_Escape);
        key(Qt::Key_F2);
        QCOMPARE(w->txtTechID[0]->text() + w->txtTechID[2]->text(), QStringLiteral("001002"));
    }

    void feeFormatting() {
        frmCourseTable* w = openNew();
        w->txtCoursePrice->setFocus();
        QTest::keyClicks(w->txtCoursePrice, QStringLiteral("12x500"));
        key(Qt::Key_Return);
        QCOMPARE(w->txtCoursePrice->text(), QStringLiteral("12,500.00"));
        key(Qt::Key_Up);
        QCOMPARE(w->txtCoursePrice->selectedText(), QStringLiteral("12500.00"));
    }

    void deleteClass() {
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money());
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money());
        Fixture::value(QStringLiteral("INSERT INTO TeacherCourse VALUES ('6900002', '001', 300)"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("เด็กหญิงทดสอบ"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
        ScriptedMessages messages;
        frmCourseTable* w = open();
        w->ListView1->setFocus();
        messages.answer({Library::vbNo, Library::vbYes});
        key(Qt::Key_F4);
        key(Qt::Key_F4); // registered: refused
        QCOMPARE(messages.questions, QStringList(2, QStringLiteral("ต้องการรายการที่เลือก หรือไม่")));
        QCOMPARE(messages.errors.size(), 1);
        QCOMPARE(ListView::count(w->ListView1), 2);
        ListView::select(w->ListView1, 2);
        messages.answer({Library::vbYes});
        key(Qt::Key_F4);
        QCOMPARE(tags(w->ListView1), QStringList{QStringLiteral("6900001")});
        QCOMPARE(Fixture::count(QStringLiteral("CourseTable")) +
                     Fixture::count(QStringLiteral("TeacherCourse")),
                 1);
    }

    void classReport() {
        Fixture::school(QStringLiteral("โรงเรียน 'ทดสอบ'"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money());
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money());
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("นายสอง"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("นายหนึ่ง"));
        Fixture::student(QStringLiteral("6900003"), QStringLiteral("นายสาม"));
        Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900002"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"));
        Fixture::registration(QStringLiteral("6900003"), QStringLiteral("6900001"));
        frmCourseTable* w = open();
        ListView::select(w->ListView1, 2);
        w->ListView1->setFocus();
        key(Qt::Key_F5);
        frmViewReport* viewer = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            viewer = viewer ? viewer : qobject_cast<frmViewReport*>(top);
        QVERIFY(viewer);
        QCOMPARE(viewer->windowTitle(), QString());
        const Recordset& rows = viewer->report().dataSource();
        QCOMPARE(rows.RecordCount(), 2);
        QCOMPARE(rows.rows().at(0).at(rows.fieldIndex(QStringLiteral("StdID"))).toString(),
                 QStringLiteral("6900001"));
        const QString text = viewer->report().toPlainText();
        QVERIFY(text.contains(QStringLiteral("โรงเรียน 'ทดสอบ'")));
        QVERIFY(text.contains(QStringLiteral("นายหนึ่ง")) && text.contains(QStringLiteral("นายสอง")));
        QVERIFY(!text.contains(QStringLiteral("นายสาม")));
        delete viewer;
    }
};

QTEST_MAIN(tst_frmCourseTable)
#include "tst_frmCourseTable.moc"
