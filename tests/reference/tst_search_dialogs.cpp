#include "library/Database.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "reference/frmFindStd.h"
#include "reference/frmFindTech.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

QStringList column(QTreeWidget* list, int index) {
    QStringList texts;
    for (int i = 1; i <= ListView::count(list); ++i)
        texts << ListView::item(list, i)->text(index);
    return texts;
}

void showActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    if (!QTest::qWaitForWindowActive(&dialog))
        qWarning("dialog did not become active");
}

// Types text as key presses (keyClicks takes Latin-1 only).
void type(QWidget* widget, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

Recordset studentsNamed(const QString& part) {
    return Library::OpenRecordset(
        QStringLiteral("Select StdID, StdName, StdNickName From Student "
                       "Where StdName Like '%' || ? || '%' Order By StdName"),
        true, {part});
}

} // namespace

class TestSearchDialogs : public QObject {
    Q_OBJECT

private slots:
    void init() {
        db = std::make_unique<TestDatabase>();
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"),
                         QStringLiteral("ชาย"));
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("สมหญิง รักเรียน"),
                         QStringLiteral("หญิง"));
        Fixture::student(QStringLiteral("6900003"), QStringLiteral("สมศรี มีสุข"),
                         QStringLiteral("ศรี"));
        Fixture::student(QStringLiteral("6900004"), QStringLiteral("แก้วตา โอ'ไบรอัน"),
                         QStringLiteral("แก้ว"));
    }
    void cleanup() { db.reset(); }

    void findingOneStudentConfirmsIt() {
        ScriptedDialogs dialogs;
        QStringList before;
        dialogs.then([&](QDialog& dialog) {
            auto& find = dynamic_cast<frmFindStd&>(dialog);
            showActive(find);
            before = column(find.ListView1, 0);
            type(find.findText(), QStringLiteral("ใจดี"));
            QTest::keyClick(find.findText(), Qt::Key_Return);
            return find.result();
        });
        QCOMPARE(frmFindStd::chooseFrom(studentsNamed(QStringLiteral("สม"))),
                 QStringLiteral("6900001"));
        QCOMPARE(dialogs.shown, 1);
        QCOMPARE(before.size(), 3);

        // By nickname, through the window's own flags.
        frmFindStd find;
        QVERIFY(!find.IsSelected);
        find.byNickName()->setChecked(true);
        find.findText()->setText(QStringLiteral("หญิง"));
        find.pressButton(QStringLiteral("Find"));
        QVERIFY(find.IsSelected);
        QCOMPARE(find.SelectedID, QStringLiteral("6900002"));
        QCOMPARE(find.result(), int(QDialog::Accepted));
    }

    void severalHitsListAndWaitForTheChoice() {
        ScriptedDialogs dialogs;
        QStringList listed;
        dialogs.then([&](QDialog& dialog) {
            auto& find = dynamic_cast<frmFindStd&>(dialog);
            showActive(find);
            listed = column(find.ListView1, 1);
            QTest::keyClick(find.ListView1, Qt::Key_Down);
            QTest::keyClick(find.ListView1, Qt::Key_Return);
            return find.result();
        });
        // Thai order: ช before ศ before ห.
        QCOMPARE(frmFindStd::chooseFrom(studentsNamed(QStringLiteral("สม"))),
                 QStringLiteral("6900003"));
        QCOMPARE(listed, QStringList({QStringLiteral("สมชาย ใจดี"), QStringLiteral("สมศรี มีสุข"),
                                      QStringLiteral("สมหญิง รักเรียน")}));

        // A search of several hits keeps the dialog open; a double-click confirms.
        frmFindStd find;
        showActive(find);
        find.findText()->setText(QStringLiteral("สม"));
        QTest::keyClick(find.findText(), Qt::Key_Return);
        QVERIFY(find.isVisible());
        QVERIFY(!find.IsSelected);
        QCOMPARE(column(find.ListView1, 0),
                 QStringList({QStringLiteral("6900001"), QStringLiteral("6900003"),
                              QStringLiteral("6900002")}));
        QCOMPARE(column(find.ListView1, 2),
                 QStringList({QStringLiteral("ชาย"), QStringLiteral("ศรี"), QStringLiteral("หญิง")}));
        QTreeWidgetItem* third = ListView::item(find.ListView1, 3);
        const QPoint centre = find.ListView1->visualItemRect(third).center();
        QTest::mouseClick(find.ListView1->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(find.ListView1->viewport(), Qt::LeftButton, {}, centre);
        QVERIFY(find.IsSelected);
        QCOMPARE(find.SelectedID, QStringLiteral("6900002"));
        QVERIFY(!find.isVisible());
    }

    void cancelLeavesNothingSelected() {
        ScriptedDialogs dialogs;
        dialogs.then([&](QDialog& dialog) {
            auto& find = dynamic_cast<frmFindStd&>(dialog);
            showActive(find);
            QTest::keyClick(find.ListView1, Qt::Key_Down);
            QTest::keyClick(find.ListView1, Qt::Key_Escape);
            return find.result();
        });
        QCOMPARE(frmFindStd::chooseFrom(studentsNamed(QStringLiteral("สม"))), QString());

        // A search that finds nobody empties the list; OK then does nothing.
        frmFindStd find;
        find.findText()->setText(QStringLiteral("ไม่มีใครชื่อนี้"));
        find.pressButton(QStringLiteral("Find"));
        QCOMPARE(ListView::count(find.ListView1), 0);
        find.pressButton(QStringLiteral("OK"));
        QVERIFY(!find.IsSelected);
        find.pressButton(QStringLiteral("Cancel"));
        QCOMPARE(find.result(), int(QDialog::Rejected));
        QVERIFY(!find.IsSelected);
        QVERIFY(find.SelectedID.isEmpty());
    }

    void aQuoteIsSearchedAsTyped() {
        ScriptedMessages messages;
        frmFindStd find;
        showActive(find);
        type(find.findText(), QStringLiteral("'"));
        QTest::keyClick(find.findText(), Qt::Key_Return);
        QVERIFY(messages.errors.isEmpty());
        QVERIFY(find.IsSelected);
        QCOMPARE(find.SelectedID, QStringLiteral("6900004"));

        Fixture::teacher(QStringLiteral("T01"), QStringLiteral("ดอน โอ'นีล"));
        frmFindTech tech;
        tech.findText()->setText(QStringLiteral("โอ'"));
        tech.pressButton(QStringLiteral("Find"));
        QVERIFY(messages.errors.isEmpty());
        QCOMPARE(column(tech.ListView1, 0), QStringList({QStringLiteral("T01")}));
    }

    void namesSortInThaiOrder() {
        const QStringList names = {QStringLiteral("ไพโรจน์ สุขใจ"),   QStringLiteral("กมล ทองดี"),
                                   QStringLiteral("แสงดาว พรหมมา"), QStringLiteral("ขวัญใจ ศรีสุข"),
                                   QStringLiteral("เจริญ บุญมา"),     QStringLiteral("บุญมี ทองคำ"),
                                   QStringLiteral("โสภา ใจงาม")};
        const QStringList expected = {
            QStringLiteral("กมล ทองดี"),    QStringLiteral("ขวัญใจ ศรีสุข"),
            QStringLiteral("เจริญ บุญมา"),   QStringLiteral("บุญมี ทองคำ"),
            QStringLiteral("ไพโรจน์ สุขใจ"), QStringLiteral("แสงดาว พรหมมา"),
            QStringLiteral("โสภา ใจงาม")};
        Connection::shared().exec(QStringLiteral("DELETE FROM Student"));
        for (int i = 0; i < names.size(); ++i) {
            Fixture::student(QStringLiteral("680000") + QString::number(i), names.at(i),
                             QStringLiteral("น้อง") + names.at(i));
            Fixture::teacher(QStringLiteral("T0") + QString::number(i), names.at(i));
        }
        frmFindStd find;
        find.findText()->setText(QStringLiteral(" "));
        find.pressButton(QStringLiteral("Find"));
        QCOMPARE(column(find.ListView1, 1), expected);

        find.byNickName()->setChecked(true);
        find.findText()->setText(QStringLiteral("น้อง"));
        find.pressButton(QStringLiteral("Find"));
        QCOMPARE(column(find.ListView1, 1), expected);

        frmFindTech tech;
        QCOMPARE(column(tech.ListView1, 1), expected);
    }

    void teacherDialogListsTeachersInService() {
        Fixture::teacher(QStringLiteral("T1"), QStringLiteral("วิชัย เก่งกาจ"));
        Fixture::teacher(QStringLiteral("T2"), QStringLiteral("วิภา สอนดี"));
        Fixture::teacher(QStringLiteral("T3"), QStringLiteral("วิมล ลาออก"), Money::fromBaht(200),
                         QStringLiteral("0"));
        Fixture::teacher(QStringLiteral("T4"), QStringLiteral("อรุณ แจ่มใส"));

        ScriptedDialogs dialogs;
        QStringList onShow;
        dialogs.then([&](QDialog& dialog) {
            auto& tech = dynamic_cast<frmFindTech&>(dialog);
            showActive(tech);
            onShow = column(tech.ListView1, 0);
            type(tech.findText(), QStringLiteral("วิ"));
            QTest::keyClick(tech.findText(), Qt::Key_Return);
            QTest::keyClick(tech.ListView1, Qt::Key_Down);
            QTest::keyClick(tech.ListView1, Qt::Key_Return);
            return tech.result();
        });
        QCOMPARE(frmFindTech::choose(), QStringLiteral("T2"));
        QCOMPARE(onShow,
                 QStringList({QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T4")}));

        // One hit is not confirmed by itself; OK confirms it.
        frmFindTech tech;
        tech.findText()->setText(QStringLiteral("อรุณ"));
        tech.pressButton(QStringLiteral("Find"));
        QVERIFY(!tech.IsSelected);
        tech.pressButton(QStringLiteral("OK"));
        QVERIFY(tech.IsSelected);
        QCOMPARE(tech.SelectedID, QStringLiteral("T4"));

        dialogs.then([&](QDialog& dialog) {
            showActive(dialog);
            QTest::keyClick(dynamic_cast<frmFindTech&>(dialog).findText(), Qt::Key_Escape);
            return dialog.result();
        });
        QCOMPARE(frmFindTech::choose(), QString());
    }

private:
    std::unique_ptr<TestDatabase> db;
};

QTEST_MAIN(TestSearchDialogs)
#include "tst_search_dialogs.moc"
