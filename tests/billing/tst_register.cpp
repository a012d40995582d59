#include "billing/frmListCourse.h"
#include "billing/frmRegister.h"
#include "library/Database.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "reference/frmFindStd.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

// A step for ScriptedDialogs: confirms the class with that number in the picker.
std::function<int(QDialog&)> pickClass(const QString& courseNo,
                                       std::function<void()> meanwhile = {}) {
    return [courseNo, meanwhile](QDialog& dialog) {
        auto& picker = dynamic_cast<frmListCourse&>(dialog);
        for (int i = 1; i <= ListView::count(picker.ListView1); ++i) {
            if (ListView::rowTag(ListView::item(picker.ListView1, i)) == courseNo)
                ListView::select(picker.ListView1, i);
        }
        if (meanwhile)
            meanwhile();
        picker.pressButton(QStringLiteral("OK"));
        return picker.result();
    };
}

int cancelDialog(QDialog& dialog) {
    dialog.reject();
    return QDialog::Rejected;
}

QStringList rowTexts(QTreeWidget* list, int index) {
    QStringList texts;
    QTreeWidgetItem* row = ListView::item(list, index);
    for (int column = 0; column < list->columnCount(); ++column)
        texts << row->text(column);
    return texts;
}

QStringList listedClasses(QTreeWidget* list) {
    QStringList tags;
    for (int i = 1; i <= ListView::count(list); ++i)
        tags << ListView::rowTag(ListView::item(list, i));
    return tags;
}

void type(QWidget* box, const QString& text, Qt::Key key = Qt::Key_Return) {
    box->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->setText(text);
    QTest::keyClick(box, key);
}

} // namespace

class TstRegister : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<frmRegister> m_window;

    frmRegister& open() {
        m_window = std::make_unique<frmRegister>();
        m_window->resize(1000, 500);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(m_window.get());
        return *m_window;
    }

private slots:
    void init() {
        m_db = std::make_unique<TestDatabase>();
        m_messages = std::make_unique<ScriptedMessages>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สเข้ม ม.1"));
        Fixture::course(QStringLiteral("C02"), QStringLiteral("คอร์สปิด"), QStringLiteral("0"));
        Fixture::course(QStringLiteral("C03"), QStringLiteral("คอร์สสอบเข้า"));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money::fromBaht(2500));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"),
                          Money::fromBaht(12500.5), QStringLiteral("ม.2"), QStringLiteral("อังกฤษ"),
                          QStringLiteral("20260601"), QStringLiteral("20260630"));
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C01"), Money::fromBaht(1800));
        Fixture::classRow(QStringLiteral("6900009"), QStringLiteral("C02"), Money::fromBaht(900));
        Fixture::classRow(QStringLiteral("6900000"), QStringLiteral("C03"), Money::fromBaht(3000));
        Connection::shared().exec(
            QStringLiteral("UPDATE CourseTable SET DateEnd = NULL, RoomNo = NULL "
                           "WHERE CourseNo = '6900000'"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"),
                         QStringLiteral("ชาย"));
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("สมหญิง ใจดี"),
                         QStringLiteral("หญิง"));
        Fixture::student(QStringLiteral("6900003"), QStringLiteral("มานะ รักเรียน"),
                         QStringLiteral("นะ"));
    }

    void cleanup() {
        m_window.reset();
        m_dialogs.reset();
        m_messages.reset();
        m_db.reset();
    }

    void lookupByCode() {
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900000"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"),
                              Money::fromSatang(1), QStringLiteral("20261115"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900009"));
        frmRegister& w = open();

        type(w.txtStdID, QStringLiteral("6999999"));
        QCOMPARE(m_messages->errors, QStringList{QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง")});
        QVERIFY(w.txtStdName->text().isEmpty());
        QVERIFY(w.lblLevel->text().isEmpty());
        QCOMPARE(w.txtStdID->selectedText(), QStringLiteral("6999999"));

        type(w.txtStdID, QStringLiteral("6900001"));
        QCOMPARE(m_messages->errors.size(), 1);
        QCOMPARE(w.txtStdName->text(), QStringLiteral("สมชาย ใจดี"));
        QCOMPARE(w.lblLevel->text(), QStringLiteral("ม.1"));
        QCOMPARE(w.listedStdID(), QStringLiteral("6900001"));
        QCOMPARE(w.txtStdID->selectedText(), QStringLiteral("6900001"));
        // Open courses only, by course and class; the finished June class stays listed.
        QCOMPARE(listedClasses(w.ListView1),
                 (QStringList{QStringLiteral("6900001"), QStringLiteral("6900002"),
                              QStringLiteral("6900000")}));
        QCOMPARE(ListView::selectedIndex(w.ListView1), 1);
        QCOMPARE(rowTexts(w.ListView1, 1),
                 (QStringList{QStringLiteral("06/12/2569"), QStringLiteral("คอร์สเข้ม ม.1"),
                              QStringLiteral("ม.2"), QStringLiteral("อังกฤษ"),
                              QStringLiteral("01/06/69 - 30/06/69 (ส-อา)"),
                              QStringLiteral("09.00-12.00"), QStringLiteral("101"),
                              QStringLiteral("12,500.50")}));
        QCOMPARE(ListView::item(w.ListView1, 2)->text(0), QStringLiteral("15/11/2569"));
        QCOMPARE(ListView::cellTag(ListView::item(w.ListView1, 2), 7), QStringLiteral("0.01"));
        // No end date: the working date stands in; no room: one blank.
        const QStringList open = rowTexts(w.ListView1, 3);
        QCOMPARE(open.at(4), QStringLiteral("01/12/69 - 06/12/69 (ส-อา)"));
        QCOMPARE(open.at(6), QStringLiteral(" "));
        QCOMPARE(open.at(7), QStringLiteral("3,000.00"));

        // Typing another code empties what was shown for the last one.
        w.txtStdID->setText(QStringLiteral("690000"));
        QCOMPARE(ListView::count(w.ListView1), 0);
        QVERIFY(w.txtStdName->text().isEmpty());
        QVERIFY(w.lblLevel->text().isEmpty());
        QVERIFY(w.listedStdID().isEmpty());
        QCOMPARE(m_dialogs->shown, 0);
    }

    void lookupByName() {
        Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900003"));
        frmRegister& w = open();

        type(w.txtStdName, QStringLiteral("ไม่มีชื่อนี้"));
        QCOMPARE(m_messages->errors, QStringList{QStringLiteral("ชื่อนักศึกษา ไม่ถูกต้อง")});
        QVERIFY(w.txtStdID->text().isEmpty());
        QCOMPARE(w.txtStdName->selectedText(), QStringLiteral("ไม่มีชื่อนี้"));

        type(w.txtStdName, QStringLiteral("  มานะ "));
        QCOMPARE(m_dialogs->shown, 0);
        QCOMPARE(w.txtStdID->text(), QStringLiteral("6900003"));
        QCOMPARE(w.txtStdName->text(), QStringLiteral("มานะ รักเรียน"));
        QCOMPARE(w.lblLevel->text(), QStringLiteral("ม.1"));
        QCOMPARE(w.listedStdID(), QStringLiteral("6900003"));
        QCOMPARE(QApplication::focusWidget(), w.txtStdID);

        // Several hits: the search dialog lists code, name and nickname.
        QStringList offered;
        m_dialogs->then([&offered](QDialog& dialog) {
            auto& find = dynamic_cast<frmFindStd&>(dialog);
            for (int i = 1; i <= ListView::count(find.ListView1); ++i)
                offered << rowTexts(find.ListView1, i).mid(0, 3).join(QLatin1Char('|'));
            ListView::select(find.ListView1, 2);
            find.pressButton(QStringLiteral("OK"));
            return find.result();
        });
        type(w.txtStdName, QStringLiteral("ใจดี"));
        QCOMPARE(offered, (QStringList{QStringLiteral("6900001|สมชาย ใจดี|ชาย"),
                                       QStringLiteral("6900002|สมหญิง ใจดี|หญิง")}));
        QCOMPARE(w.txtStdID->text(), QStringLiteral("6900002"));
        QCOMPARE(w.txtStdName->text(), QStringLiteral("สมหญิง ใจดี"));
        QCOMPARE(listedClasses(w.ListView1), QStringList{QStringLiteral("6900003")});
        QCOMPARE(QApplication::focusWidget(), w.txtStdID);

        // Cancelled: the boxes stay as they were, the list stays empty.
        m_dialogs->then(cancelDialog);
        type(w.txtStdName, QStringLiteral("ใจดี"));
        QCOMPARE(m_dialogs->shown, 2);
        QCOMPARE(w.txtStdID->text(), QStringLiteral("6900002"));
        QCOMPARE(w.txtStdName->text(), QStringLiteral("ใจดี"));
        QCOMPARE(w.lblLevel->text(), QStringLiteral("ม.1"));
        QCOMPARE(ListView::count(w.ListView1), 0);
        QVERIFY(w.listedStdID().isEmpty());
        QCOMPARE(m_messages->errors.size(), 1);
    }

    void registration() {
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900000"));
        frmRegister& w = open();

        // Blank or unknown codes: nothing, silently.
        type(w.txtStdID, QStringLiteral("   "), Qt::Key_F2);
        type(w.txtStdID, QStringLiteral("6999999"), Qt::Key_F2);
        QCOMPARE(m_dialogs->shown, 0);
        QVERIFY(m_messages->all.isEmpty());

        // F2 right after typing a code loads the student, then opens the picker.
        m_dialogs->then(pickClass(QStringLiteral("6900003")));
        type(w.txtStdID, QStringLiteral("6900001"), Qt::Key_F2);
        QCOMPARE(m_dialogs->classNames, QStringList{QStringLiteral("frmListCourse")});
        QCOMPARE(w.txtStdName->text(), QStringLiteral("สมชาย ใจดี"));
        QCOMPARE(listedClasses(w.ListView1),
                 (QStringList{QStringLiteral("6900000"), QStringLiteral("6900003")}));
        QCOMPARE(ListView::selectedIndex(w.ListView1), 2);
        QCOMPARE(
            Fixture::value(
                QStringLiteral(
                    "SELECT CourseRegDate || '|' || CoursePayDate || '|' || CoursePayAmt || '|' || "
                    "CourseGrade || '|' || (CoursePoint IS NULL) || (TestPoint1 IS NULL) "
                    "FROM StudentCourse WHERE StdID = '6900001' AND CourseNo = '6900003'"))
                .toString(),
            QStringLiteral("20261206|20261206|0.0||11"));
        QVERIFY(m_messages->all.isEmpty());

        // The picker cancelled: nothing written.
        m_dialogs->then(cancelDialog);
        QTest::keyClick(w.txtStdID, Qt::Key_F2);
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse")), 2);

        // Registered twice: refused, one row.
        m_dialogs->then(pickClass(QStringLiteral("6900003")));
        QTest::keyClick(w.txtStdID, Qt::Key_F2);
        QCOMPARE(m_messages->errors, QStringList{QStringLiteral("บันทึกคอร์ส ซ้ำ")});
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse")), 2);
        QCOMPARE(ListView::count(w.ListView1), 2);

        // Another desk registers the pair while the picker is open.
        m_dialogs->then(pickClass(QStringLiteral("6900002"), [] {
            Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"));
        }));
        QTest::keyClick(w.txtStdID, Qt::Key_F2);
        QCOMPARE(m_messages->errors.size(), 2);
        QCOMPARE(m_messages->errors.last(), QStringLiteral("บันทึกคอร์ส ซ้ำ"));
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse"), QStringLiteral("CourseNo = ?"),
                                {QStringLiteral("6900002")}),
                 1);
        QCOMPARE(ListView::count(w.ListView1), 2);
    }

    void removal() {
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"),
                              Money::fromSatang(1));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900003"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900000"));
        frmRegister& w = open();
        type(w.txtStdID, QStringLiteral("6900001"));
        const QString paidMessage =
            QStringLiteral("คอร์สคอร์สเข้ม ม.1  ได้ชำระค่าเรียนแล้ว ไม่สามารถทำการลบรายการได้");

        // Any amount paid: refused without a question.
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(m_messages->all, QStringList{paidMessage});

        // No keeps the row; Yes removes it.
        ListView::select(w.ListView1, 2);
        m_messages->clear();
        m_messages->answer({Library::vbNo, Library::vbYes});
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(m_messages->questions, QStringList{QStringLiteral("ต้องการลบรายการที่เลือก  หรือไม่")});
        QCOMPARE(ListView::count(w.ListView1), 4);
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(listedClasses(w.ListView1),
                 (QStringList{QStringLiteral("6900001"), QStringLiteral("6900003"),
                              QStringLiteral("6900000")}));
        QCOMPARE(ListView::selectedIndex(w.ListView1), 2);
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse"), QStringLiteral("CourseNo = ?"),
                                {QStringLiteral("6900002")}),
                 0);

        // Paid at another desk after the list was read: the row stays.
        Connection::shared().exec(QStringLiteral("UPDATE StudentCourse SET CoursePayAmt = 500 "
                                                 "WHERE CourseNo = '6900003'"));
        m_messages->clear();
        m_messages->answer({Library::vbYes});
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(m_messages->all,
                 (QStringList{QStringLiteral("ต้องการลบรายการที่เลือก  หรือไม่"), paidMessage}));
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse"), QStringLiteral("CourseNo = ?"),
                                {QStringLiteral("6900003")}),
                 1);
        QCOMPARE(ListView::count(w.ListView1), 3);
        m_messages->clear();
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(m_messages->all, QStringList{paidMessage});

        // Removed at another desk meanwhile: the row goes from the list too.
        Connection::shared().exec(
            QStringLiteral("DELETE FROM StudentCourse WHERE CourseNo = '6900000'"));
        ListView::select(w.ListView1, 3);
        m_messages->clear();
        m_messages->answer({Library::vbYes});
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(m_messages->errors, QStringList());
        QCOMPARE(ListView::count(w.ListView1), 2);

        // The code box no longer names the listed student: nothing happens.
        w.txtStdID->setText(QStringLiteral("6900002"));
        type(w.txtStdID, QStringLiteral("6900001"));
        w.txtStdID->setText(QStringLiteral("6900002"));
        m_messages->clear();
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QVERIFY(m_messages->all.isEmpty());
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse")), 2);
    }

    void keysAndFocus() {
        frmRegister& w = open();
        // Down and Up walk the two boxes; getting the focus selects the text.
        QCOMPARE(QApplication::focusWidget(), w.txtStdID);
        w.txtStdName->setText(QStringLiteral("สม"));
        QTest::keyClick(w.txtStdID, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w.txtStdName);
        QCOMPARE(w.txtStdName->selectedText(), QStringLiteral("สม"));
        QTest::keyClick(w.txtStdName, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), w.txtStdID);
        QTest::keyClick(w.txtStdID, Qt::Key_A);
        QCOMPARE(w.txtStdID->text(), QStringLiteral("a"));

        // However small the window, the list keeps its least size.
        w.resize(200, 150);
        QTest::qWait(0);
        QVERIFY(w.ListView1->width() >= 800);
        QVERIFY(w.ListView1->height() >= 175);

        QTest::keyClick(w.txtStdID, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QCOMPARE(m_dialogs->shown, 0);
    }

    void quoteInName() {
        Fixture::student(QStringLiteral("69'0001"), QStringLiteral("โอ'นีล สมิธ"));
        frmRegister& w = open();

        type(w.txtStdName, QStringLiteral("โอ'นีล"));
        QCOMPARE(w.txtStdID->text(), QStringLiteral("69'0001"));
        QCOMPARE(w.txtStdName->text(), QStringLiteral("โอ'นีล สมิธ"));

        type(w.txtStdID, QStringLiteral("69'0001"));
        m_dialogs->then(pickClass(QStringLiteral("6900002")));
        QTest::keyClick(w.txtStdID, Qt::Key_F2);
        QCOMPARE(listedClasses(w.ListView1), QStringList{QStringLiteral("6900002")});

        m_messages->answer({Library::vbYes});
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(ListView::count(w.ListView1), 0);
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse")), 0);
        QVERIFY(m_messages->errors.isEmpty());
    }
};

QTEST_MAIN(TstRegister)
#include "tst_register.moc"
