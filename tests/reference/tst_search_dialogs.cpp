#include "core/Database.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/frmFindStd.h"
#include "reference/frmFindTech.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

// Types text as key presses (keyClicks takes Latin-1 only), then Enter.
void search(SearchDialog& dialog, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, dialog.findText(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    QTest::keyClick(dialog.findText(), Qt::Key_Return);
}

// A scripted step for a search dialog: notes the listed column, searches for the text
// (when there is one), then presses the keys in the list, which must close the dialog
// (the note is dropped when it stays open).
std::function<int(QDialog&)> drive(QStringList& listed, int index, const QString& typed,
                                   const QList<Qt::Key>& keys) {
    return [&listed, index, typed, keys](QDialog& dialog) {
        auto& find = dynamic_cast<SearchDialog&>(dialog);
        find.show();
        QApplication::setActiveWindow(&find);
        listed = listColumn(find.ListView1, index);
        if (!typed.isEmpty())
            search(find, typed);
        for (Qt::Key key : keys)
            QTest::keyClick(find.ListView1, key);
        if (find.isVisible())
            listed.clear();
        return find.result();
    };
}

} // namespace

class tst_search_dialogs : public QObject {
    Q_OBJECT

private slots:
    // Names with a leading vowel sort by their consonant: "เกศ" comes before "ส", not last.
    void init() {
        db = std::make_unique<TestDatabase>();
        const std::tuple<const char*, const char16_t*, const char16_t*> students[] = {
            {"6900001", u"สมชาย ใจดี", u"ชาย"},
            {"6900002", u"สมหญิง รักเรียน", u"หญิง"},
            {"6900003", u"สมศรี มีสุข", u"ศรี"},
            {"6900004", u"แก้วตา โอ'ไบรอัน", u"แก้ว"},
            {"6900005", u"เกศินี สมใจ", u"เกศ"}};
        for (const auto& [id, name, nick] : students)
            Fixture::student(QString::fromLatin1(id), QString::fromUtf16(name),
                             QString::fromUtf16(nick));
        Fixture::teacher(QStringLiteral("T1"), QStringLiteral("วิชัย เก่งกาจ"));
        Fixture::teacher(QStringLiteral("T2"), QStringLiteral("วิภา โอ'นีล"));
        Fixture::teacher(QStringLiteral("T3"), QStringLiteral("วิมล ลาออก"), Money::fromBaht(200),
                         QStringLiteral("0"));
        Fixture::teacher(QStringLiteral("T4"), QStringLiteral("เกศินี แจ่มใส"));
    }
    void cleanup() { db.reset(); }

    // A student dialog opens on the caller's hits, a teacher dialog on the teachers in
    // service. One hit of a student search (a quote is plain text) confirms itself, Enter in
    // the list confirms the row, Esc leaves nothing chosen.
    void dialogsUnderKeys() {
        const Recordset hits = Library::OpenRecordset(
            QStringLiteral("Select StdID, StdName, StdNickName From Student "
                           "Where StdName Like '%' || ? || '%' Order By StdName COLLATE THAI"),
            {QStringLiteral("สม")});
        const QStringList students = {QStringLiteral("เกศินี สมใจ"), QStringLiteral("สมชาย ใจดี"),
                                      QStringLiteral("สมศรี มีสุข"), QStringLiteral("สมหญิง รักเรียน")};
        const QStringList teachers = {QStringLiteral("T4"), QStringLiteral("T1"),
                                      QStringLiteral("T2")};
        const std::tuple<bool, const char16_t*, QList<Qt::Key>, const char*> cases[] = {
            {false, u"ใจดี", {}, "6900001"},
            {false, u"'", {}, "6900004"},
            {false, u"", {Qt::Key_Down, Qt::Key_Return}, "6900001"},
            {false, u"", {Qt::Key_Down, Qt::Key_Escape}, ""},
            {true, u"วิ", {Qt::Key_Down, Qt::Key_Return}, "T2"},
            {true, u"", {Qt::Key_Escape}, ""}};
        for (const auto& [teacher, typed, keys, expected] : cases) {
            ScriptedMessages messages;
            ScriptedDialogs dialogs;
            QStringList listed;
            dialogs.then(drive(listed, teacher ? 0 : 1, QString::fromUtf16(typed), keys));
            QCOMPARE(teacher ? frmFindTech::choose() : frmFindStd::chooseFrom(hits),
                     QString::fromLatin1(expected));
            QCOMPARE(listed, teacher ? teachers : students);
            QVERIFY(messages.errors.isEmpty());
        }
    }

    void searchesInsideTheDialogs() {
        // By nickname: several hits in Thai order, then one hit that confirms itself.
        frmFindStd find;
        find.byNickName()->setChecked(true);
        find.findText()->setText(QStringLiteral("ศ"));
        find.pressButton(QStringLiteral("Find"));
        QCOMPARE(listColumn(find.ListView1, 0),
                 QStringList({QStringLiteral("6900005"), QStringLiteral("6900003")}));
        QVERIFY(!find.IsSelected);
        find.findText()->setText(QStringLiteral("หญิง"));
        find.pressButton(QStringLiteral("Find"));
        QCOMPARE(find.SelectedID, QStringLiteral("6900002"));
        QCOMPARE(find.result(), int(QDialog::Accepted));

        // Several hits keep the dialog open; a double-click confirms.
        frmFindStd several;
        checkLayout(&several);
        search(several, QStringLiteral("สม"));
        QVERIFY(several.isVisible() && !several.IsSelected);
        QCOMPARE(listColumn(several.ListView1, 0),
                 QStringList({QStringLiteral("6900005"), QStringLiteral("6900001"),
                              QStringLiteral("6900003"), QStringLiteral("6900002")}));
        const QPoint centre =
            several.ListView1->visualItemRect(ListView::item(several.ListView1, 4)).center();
        QTest::mouseClick(several.ListView1->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(several.ListView1->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(several.SelectedID, QStringLiteral("6900002"));
        QVERIFY(!several.isVisible());

        // No hit empties the list; OK then does nothing and Cancel rejects.
        frmFindStd none;
        none.findText()->setText(QStringLiteral("ไม่มีใครชื่อนี้"));
        none.pressButton(QStringLiteral("Find"));
        QCOMPARE(ListView::count(none.ListView1), 0);
        none.pressButton(QStringLiteral("OK"));
        none.pressButton(QStringLiteral("Cancel"));
        QCOMPARE(none.result(), int(QDialog::Rejected));
        QVERIFY(!none.IsSelected && none.SelectedID.isEmpty());

        // Unlike a student search, a teacher search's one hit is not confirmed by itself; OK
        // confirms it.
        frmFindTech tech;
        tech.findText()->setText(QStringLiteral("โอ'"));
        tech.pressButton(QStringLiteral("Find"));
        QVERIFY(!tech.IsSelected);
        tech.pressButton(QStringLiteral("OK"));
        QCOMPARE(tech.SelectedID, QStringLiteral("T2"));
    }

private:
    std::unique_ptr<TestDatabase> db;
};

QTEST_MAIN(tst_search_dialogs)
#include "tst_search_dialogs.moc"
