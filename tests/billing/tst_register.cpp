#include "billing/frmRegister.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/frmFindStd.h"
#include "reference/frmListCourse.h"
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
        for (int i = 1; i <= ListView::count(picker.ListView1); ++i)
            if (ListView::rowTag(ListView::item(picker.ListView1, i)) == courseNo)
                ListView::select(picker.ListView1, i);
        if (meanwhile)
            meanwhile();
        picker.pressButton(QStringLiteral("OK"));
        return picker.result();
    };
}

QString rowText(QTreeWidget* list, int index, int columns = -1) {
    QStringList texts;
    for (int column = 0; column < (columns < 0 ? list->columnCount() : columns); ++column)
        texts << ListView::item(list, index)->text(column);
    return texts.join(u'|');
}

QString tags(QTreeWidget* list) {
    return listTags(list).join(u' ');
}

void type(QLineEdit* box, const QString& text, Qt::Key key = Qt::Key_Return) {
    box->setFocus();
    box->setText(text);
    QTest::keyClick(box, key);
}

int registrations(const QString& courseNo) {
    return Fixture::count(QStringLiteral("StudentCourse"), QStringLiteral("CourseNo = ?"),
                          {courseNo});
}

} // namespace

class tst_register : public QObject {
    Q_OBJECT

private:
    const QString quoted = QStringLiteral("69'0001"); // a code holding a quote is plain text
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<ScriptedDialogs> m_dialogs; // unscripted dialogs are cancelled
    std::unique_ptr<frmRegister> m_window;

    frmRegister& open() {
        m_window = std::make_unique<frmRegister>();
        checkLayout(m_window.get());
        showActive(m_window.get());
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
        Fixture::value(QStringLiteral("UPDATE CourseTable SET DateEnd = NULL, RoomNo = NULL "
                                      "WHERE CourseNo = '6900000'"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"),
                         QStringLiteral("ชาย"));
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("สมหญิง ใจดี"),
                         QStringLiteral("หญิง"));
        Fixture::student(quoted, QStringLiteral("โอ'นีล สมิธ"));
    }

    void cleanup() {
        m_window.reset();
        m_dialogs.reset();
        m_messages.reset();
        m_db.reset();
    }

    void lookupByCodeAndKeys() {
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900000"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"),
                              Money::fromSatang(1), QStringLiteral("20261115"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900009"));
        frmRegister& w = open();
        QCOMPARE(QApplication::focusWidget(), w.txtStdID);
        // Unknown: an error, the code selected for typing again.
        type(w.txtStdID, QStringLiteral("6999999"));
        QCOMPARE(m_messages->errors, QStringList{QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง")});
        QVERIFY(w.txtStdName->text().isEmpty() && w.lblLevel->text().isEmpty());
        QCOMPARE(w.txtStdID->selectedText(), QStringLiteral("6999999"));

        type(w.txtStdID, QStringLiteral("6900001"));
        QCOMPARE(w.txtStdName->text() + u'|' + w.lblLevel->text() + u'|' + w.listedStdID(),
                 QStringLiteral("สมชาย ใจดี|ม.1|6900001"));
        QCOMPARE(w.txtStdID->selectedText(), QStringLiteral("6900001"));
        // Open courses only, by course and class; the finished June class stays listed.
        QCOMPARE(tags(w.ListView1), QStringLiteral("6900001 6900002 6900000"));
        QCOMPARE(ListView::selectedIndex(w.ListView1), 1);
        QCOMPARE(rowText(w.ListView1, 1),
                 QStringLiteral("06/12/2569|คอร์สเข้ม ม.1|ม.2|อังกฤษ|01/06/69 - 30/06/69 (ส-อา)|"
                                "09.00-12.00|101|12,500.50"));
        QCOMPARE(ListView::item(w.ListView1, 2)->text(0), QStringLiteral("15/11/2569"));
        checkLayout(&w);
        QCOMPARE(ListView::cellTag(ListView::item(w.ListView1, 2), 7), QStringLiteral("0.01"));
        // No end date: the working date stands in; no room: one blank.
        QCOMPARE(rowText(w.ListView1, 3).section(u'|', 4),
                 QStringLiteral("01/12/69 - 06/12/69 (ส-อา)|09.00-12.00| |3,000.00"));

        // Typing another code empties what was shown for the last one.
        w.txtStdID->setText(QStringLiteral("690000"));
        QCOMPARE(ListView::count(w.ListView1), 0);
        QCOMPARE(w.txtStdName->text() + w.lblLevel->text() + w.listedStdID(), QString());
        QCOMPARE(m_messages->errors.size(), 1);
        // However small the window, the list keeps its least size.
        w.resize(200, 150);
        QTest::qWait(0);
        QVERIFY(w.ListView1->width() >= 800 && w.ListView1->height() >= 175);
        QTest::keyClick(w.txtStdID, Qt::Key_Escape);
        QVERIFY(!w.isVisible() && m_dialogs->shown == 0);
    }

    void lookupByName() {
        Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900003"));
        frmRegister& w = open();
        type(w.txtStdName, QStringLiteral("ไม่มีชื่อนี้"));
        QCOMPARE(m_messages->errors, QStringList{QStringLiteral("ชื่อนักศึกษา ไม่ถูกต้อง")});
        QVERIFY(w.txtStdID->text().isEmpty());
        QCOMPARE(w.txtStdName->selectedText(), QStringLiteral("ไม่มีชื่อนี้"));

        // One hit: the student straight away, without the search dialog.
        type(w.txtStdName, QStringLiteral("  โอ'นีล "));
        QCOMPARE(w.txtStdID->text() + u'|' + w.txtStdName->text() + u'|' + w.lblLevel->text() +
                     u'|' + w.listedStdID(),
                 QStringLiteral("69'0001|โอ'นีล สมิธ|ม.1|69'0001"));
        QCOMPARE(QApplication::focusWidget(), w.txtStdID);
        QCOMPARE(m_dialogs->shown, 0);
        // "_" stands for any one letter, as in the search dialog's own search.
        type(w.txtStdName, QStringLiteral("โอ_นีล"));
        QCOMPARE(w.txtStdID->text() + u'|' + w.listedStdID(), QStringLiteral("69'0001|69'0001"));
        QCOMPARE(m_dialogs->shown, 0);

        // Several hits: the search dialog lists code, name and nickname.
        QStringList offered;
        m_dialogs->then([&offered](QDialog& dialog) {
            auto& find = dynamic_cast<frmFindStd&>(dialog);
            for (int i = 1; i <= ListView::count(find.ListView1); ++i)
                offered << rowText(find.ListView1, i, 3);
            ListView::select(find.ListView1, 2);
            find.pressButton(QStringLiteral("OK"));
            return find.result();
        });
        type(w.txtStdName, QStringLiteral("ใจดี"));
        QCOMPARE(offered, (QStringList{QStringLiteral("6900001|สมชาย ใจดี|ชาย"),
                                       QStringLiteral("6900002|สมหญิง ใจดี|หญิง")}));
        QCOMPARE(w.txtStdID->text() + u'|' + w.txtStdName->text(),
                 QStringLiteral("6900002|สมหญิง ใจดี"));
        QCOMPARE(tags(w.ListView1), QStringLiteral("6900003"));
        QCOMPARE(QApplication::focusWidget(), w.txtStdID);

        // Cancelled: the boxes stay as they were, the list stays empty.
        type(w.txtStdName, QStringLiteral("ใจดี"));
        QCOMPARE(m_dialogs->shown, 2);
        QCOMPARE(w.txtStdID->text() + u'|' + w.txtStdName->text() + u'|' + w.lblLevel->text(),
                 QStringLiteral("6900002|ใจดี|ม.1"));
        QVERIFY(ListView::count(w.ListView1) == 0 && w.listedStdID().isEmpty());
        QCOMPARE(m_messages->errors.size(), 1);
    }

    void registration() {
        Fixture::registration(quoted, QStringLiteral("6900000"));
        frmRegister& w = open();
        // Blank or unknown codes: nothing, silently.
        type(w.txtStdID, QStringLiteral("   "), Qt::Key_F2);
        type(w.txtStdID, QStringLiteral("6999999"), Qt::Key_F2);
        QVERIFY(m_dialogs->shown == 0 && m_messages->all.isEmpty());

        // F2 right after typing a code loads the student, then opens the picker.
        m_dialogs->then(pickClass(QStringLiteral("6900003")));
        type(w.txtStdID, quoted, Qt::Key_F2);
        QCOMPARE(m_dialogs->classNames, QStringList{QStringLiteral("frmListCourse")});
        QCOMPARE(w.txtStdName->text(), QStringLiteral("โอ'นีล สมิธ"));
        QCOMPARE(tags(w.ListView1), QStringLiteral("6900000 6900003"));
        QCOMPARE(ListView::selectedIndex(w.ListView1), 2);
        QCOMPARE(
            Fixture::value(QStringLiteral("SELECT CourseRegDate || CoursePayDate || CoursePayAmt "
                                          "|| CourseGrade || (CoursePoint IS NULL) || "
                                          "(TestPoint1 IS NULL) FROM StudentCourse WHERE "
                                          "CourseNo = '6900003'"))
                .toString(),
            QStringLiteral("20261206202612060.011"));
        QVERIFY(m_messages->all.isEmpty());

        // The picker cancelled: nothing written.
        QTest::keyClick(w.txtStdID, Qt::Key_F2);
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse")), 2);

        // Registered twice: refused, one row; also when another desk registers the pair
        // while the picker is open.
        m_dialogs->then(pickClass(QStringLiteral("6900003")));
        m_dialogs->then(pickClass(QStringLiteral("6900002"), [this] {
            Fixture::registration(quoted, QStringLiteral("6900002"));
        }));
        // A class deleted at another desk while the picker is open: refused, no row.
        m_dialogs->then(pickClass(QStringLiteral("6900001"), [] {
            Fixture::value(QStringLiteral("DELETE FROM CourseTable WHERE CourseNo = '6900001'"));
        }));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(w.txtStdID, Qt::Key_F2);
        QCOMPARE(m_messages->errors,
                 (QStringList{QStringLiteral("บันทึกคอร์ส ซ้ำ"), QStringLiteral("บันทึกคอร์ส ซ้ำ"),
                              QStringLiteral("ไม่พบวิชาเรียน 6900001 อาจถูกลบไปแล้ว ไม่ได้บันทึก")}));
        QCOMPARE(
            registrations(QStringLiteral("6900003")) + registrations(QStringLiteral("6900002")), 2);
        QCOMPARE(registrations(QStringLiteral("6900001")), 0);
        QCOMPARE(ListView::count(w.ListView1), 2);
    }

    void removal() {
        Fixture::registration(quoted, QStringLiteral("6900001"), Money::fromSatang(1));
        for (const char* courseNo : {"6900002", "6900003", "6900000"})
            Fixture::registration(quoted, QString::fromLatin1(courseNo));
        frmRegister& w = open();
        type(w.txtStdID, quoted);
        const QString paid =
            QStringLiteral("คอร์สคอร์สเข้ม ม.1  ได้ชำระค่าเรียนแล้ว ไม่สามารถทำการลบรายการได้");
        const QString ask = QStringLiteral("ต้องการลบรายการที่เลือก  หรือไม่");

        // Any amount paid: refused without a question.
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        // No keeps the row; Yes removes it.
        ListView::select(w.ListView1, 2);
        m_messages->answer({Library::vbNo, Library::vbYes});
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(ListView::count(w.ListView1), 4);
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(tags(w.ListView1), QStringLiteral("6900001 6900003 6900000"));
        QCOMPARE(ListView::selectedIndex(w.ListView1), 2);
        QCOMPARE(registrations(QStringLiteral("6900002")), 0);

        // Paid at another desk after the list was read: the row stays, and is known as paid.
        Fixture::value(QStringLiteral("UPDATE StudentCourse SET CoursePayAmt = 500 "
                                      "WHERE CourseNo = '6900003'"));
        m_messages->answer({Library::vbYes});
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(m_messages->all, (QStringList{paid, ask, ask, ask, paid, paid}));
        QCOMPARE(registrations(QStringLiteral("6900003")), 1);
        QCOMPARE(ListView::count(w.ListView1), 3);

        // Removed at another desk meanwhile: the row goes from the list too, with a message.
        Fixture::value(QStringLiteral("DELETE FROM StudentCourse WHERE CourseNo = '6900000'"));
        ListView::select(w.ListView1, 3);
        m_messages->answer({Library::vbYes});
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(ListView::count(w.ListView1), 2);

        // The code box no longer names the listed student: nothing happens.
        w.txtStdID->setText(QStringLiteral("6900001"));
        QTest::keyClick(w.txtStdID, Qt::Key_F4);
        QCOMPARE(m_messages->all, (QStringList{paid, ask, ask, ask, paid, paid, ask,
                                               QStringLiteral("ไม่พบรายการนี้แล้ว อาจถูกลบไปแล้ว")}));
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse")), 2);
    }
};

QTEST_MAIN(tst_register)
#include "tst_register.moc"
