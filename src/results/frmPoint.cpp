#include "results/frmPoint.h"

#include "frame/Library.h"
#include "frame/ListView.h"
#include "results/PointGradeStore.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <algorithm>

namespace {
constexpr int pointsColumn = 3;
} // namespace

using PointGradeStore::testColumn;

frmPoint::frmPoint(QWidget* parent)
    : ClassResultsForm({QStringLiteral("Point"), QStringLiteral("ลงคะแนน"),
                        QStringLiteral("รายงานผลการทดสอบ"), QStringLiteral(" ลงคะแนน "),
                        QStringLiteral("  F9=เลือกคอร์ส  F2=ลงคะแนน | F5-พิมพ์รายงาน  | ESC=ยกเลิก")},
                       parent) {
    txtTime = new QLineEdit(this);
    txtTime->setObjectName(QStringLiteral("txtTime"));
    txtTime->setMaxLength(1);
    txtTime->setFixedWidth(600 / ListView::twipsPerPixel);
    txtMaxPoint = new QLineEdit(this);
    txtMaxPoint->setObjectName(QStringLiteral("txtMaxPoint"));
    txtMaxPoint->setMaxLength(5);
    txtMaxPoint->setFixedWidth(1200 / ListView::twipsPerPixel);
    int row = 0;
    for (const auto& [caption, box] :
         {std::pair{u"การสอบครั้งที่ :", txtTime}, std::pair{u"คะแนนเต็ม :", txtMaxPoint}}) {
        box->setAlignment(Qt::AlignCenter);
        classFields()->addWidget(new QLabel(QString::fromUtf16(caption), this), row, 2,
                                 Qt::AlignRight);
        classFields()->addWidget(box, row++, 3, Qt::AlignLeft);
    }
    classFields()->setColumnStretch(4, 1);

    ListView::setup(ListView1, {{QStringLiteral("รหัสนักศึกษา"), 1400, Qt::AlignLeft},
                                {QStringLiteral("ชื่อ-สกุล"), 5000, Qt::AlignLeft},
                                {QString(), 2000, Qt::AlignHCenter},
                                {QStringLiteral("คะแนนสอบ"), 1500, Qt::AlignRight}});
    auto* pointLabel = new QLabel(QStringLiteral("คะแนน :"), Picture1);
    pointLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtPoint = new QLineEdit(Picture1);
    txtPoint->setObjectName(QStringLiteral("txtPoint"));
    txtPoint->setMaxLength(7);
    txtPoint->setAlignment(Qt::AlignRight);
    Library::InstallNumericFilter(txtPoint);
    pointLabel->setBuddy(txtPoint);
    setEditorCells({lblStdID, lblStdName, pointLabel, txtPoint});

    setTabOrder(txtTime, txtMaxPoint);
    for (QLineEdit* box : {txtTime, txtMaxPoint, txtPoint})
        selectOnEntry(box);
    moveFocusFrom(txtTime);
    moveFocusFrom(txtMaxPoint);
    onKey(txtMaxPoint, Qt::Key_Return, [this] { pressButton(QStringLiteral("Point")); });
    onLeave(txtTime, [this] {
        txtTime_LostFocus();
        return true;
    });
    // Points are stored by Enter only; Up and Down move to another row and discard.
    onKey(txtPoint, Qt::Key_Return, [this] { storePoint(); });
    onKey(txtPoint, Qt::Key_Down, [this] { moveEditor(1); });
    onKey(txtPoint, Qt::Key_Up, [this] { moveEditor(-1); });
    switchState(Choose);
    txtTime->setFocus();
    declareButtons({{QStringLiteral("Point"), [this] { loadPoints(); }},
                    {QStringLiteral("Report"), [this] { PrintReport(); }}});
}

int frmPoint::testNumber() const {
    return static_cast<int>(Library::NumValue(txtTime->text()));
}

void frmPoint::switchState(State state) {
    setState(state);
    txtTime->setEnabled(state == Choose);
    txtMaxPoint->setEnabled(state == Choose);
}

void frmPoint::chooseClass() {
    Recordset found;
    if (!pickClassAndClearList(found) || found.isEmpty())
        return;
    txtTime->setText(QStringLiteral("1"));
    txtMaxPoint->setText(found.text(QStringLiteral("TestMax1")));
}

void frmPoint::txtTime_LostFocus() {
    txtTime->setText(QString::number(
        std::clamp(testNumber(), PointGradeStore::firstTest, PointGradeStore::lastTest)));
    if (courseNo().trimmed().isEmpty())
        return;
    const Recordset found = readClass(courseNo());
    if (!found.isEmpty())
        txtMaxPoint->setText(found.text(testColumn("TestMax", testNumber())));
}

void frmPoint::loadPoints() {
    if (courseNo().trimmed().isEmpty()) {
        Library::MsgError(QStringLiteral("คอร์สการเรียน ไม่ถูกต้อง"));
        return;
    }
    const int test = testNumber();
    if (!PointGradeStore::isTestNumber(test)) {
        Library::MsgError(QStringLiteral("การสอบครั้งที่ ไม่ถูกต้อง (ต้องมีค่าอยู่ระหว่าง 1-9)"));
        return;
    }
    if (!storeFullMarks(test))
        return;
    Recordset pupils =
        readPupils(QStringLiteral("StdID, StdName, ") + testColumn("TestPoint", test));
    QList<QStringList> rows;
    for (; !pupils.isEOF(); pupils.MoveNext())
        rows << QStringList{pupils.text(QStringLiteral("StdID")),
                            pupils.text(QStringLiteral("StdName")), QStringLiteral(" "),
                            PointGradeStore::numberText(pupils.value(2))};
    fillList(rows);
    switchState(Listed);
    selectRow(ListView::item(ListView1, 1));
}

// Full marks the clerk changed are written; unchanged ones are shown again as stored, so
// that full marks another desk stored meanwhile are neither put back nor printed stale.
bool frmPoint::storeFullMarks(int test) {
    PointGradeStore::Written written;
    Recordset stored;
    const bool changed = txtMaxPoint->isModified();
    if (!changed) {
        stored = readClass(courseNo());
        if (stored.isEmpty())
            written.outcome = PointGradeStore::Outcome::Gone;
    } else if (!runDatabaseWork(QStringLiteral("บันทึกคะแนนเต็มไม่ได้"), [&] {
                   written = PointGradeStore::writeTestMax(courseNo(), test, txtMaxPoint->text());
               })) {
        return false;
    }
    if (written.outcome == PointGradeStore::Outcome::Refused) {
        txtMaxPoint->setFocus();
        Library::refuseNumber(QStringLiteral("คะแนนเต็ม"), txtMaxPoint);
        return false;
    }
    if (written.outcome == PointGradeStore::Outcome::Gone) {
        Library::MsgError(QStringLiteral("ไม่พบวิชาเรียน ") + courseNo() +
                          QStringLiteral(" อาจถูกลบไปแล้ว ไม่ได้บันทึก"));
        return false;
    }
    if (changed)
        txtMaxPoint->setModified(false);
    else
        txtMaxPoint->setText(stored.text(testColumn("TestMax", test)));
    return true;
}

void frmPoint::loadEditor(QTreeWidgetItem* row) {
    txtPoint->setText(row ? row->text(pointsColumn) : QString());
}

// Points are stored only when the clerk changed them: Enter on an unchanged box must not put
// back over what another desk stored meanwhile the value this desk loaded earlier.
void frmPoint::storePoint() {
    QTreeWidgetItem* row = editedRow();
    if (!row)
        return;
    if (!txtPoint->isModified()) {
        moveEditor(1);
        return;
    }
    PointGradeStore::Written written;
    if (!runDatabaseWork(QStringLiteral("บันทึกคะแนนไม่ได้"),
                         [&] {
                             written = PointGradeStore::writeTestPoint(
                                 courseNo(), editedStdID(), testNumber(), txtPoint->text());
                         }) ||
        !rowWritten(written.outcome, txtPoint))
        return;
    row->setText(pointsColumn, written.shown);
    txtPoint->setModified(false);
    moveEditor(1);
}

void frmPoint::moveEditor(int step) {
    if (QTreeWidgetItem* next = neighbourRow(step))
        selectRow(next);
}

void frmPoint::PrintReport() {
    const QString title = QStringLiteral("ผลการทดสอบครั้งที่ ") + txtTime->text();
    const QString course = lblCourse->text() + QStringLiteral("         ระดับ ") + lblLevel->text() +
                           QStringLiteral("         วิชา ") + lblSubject->text();
    // Every column of the class's rows, and the chosen test's points again as TestPoint.
    showClassReport(QStringLiteral("rep8.rpt"), title,
                    QStringLiteral("SELECT *, ") + testColumn("TestPoint", testNumber()) +
                        QStringLiteral(" AS TestPoint FROM QStudentCourse2 WHERE CourseNo = ? "
                                       "ORDER BY StdID"),
                    {{QStringLiteral("lblComp"), Library::Quote(Library::gShopName)},
                     {QStringLiteral("lblTitle"), Library::Quote(title)},
                     {QStringLiteral("lblCourse"), Library::Quote(course)},
                     {QStringLiteral("xTestMax"),
                      PointGradeStore::numberText(Library::NumValue(txtMaxPoint->text()))},
                     {QStringLiteral("xTime"), QString::number(testNumber())}});
}

void frmPoint::backToChoosing() {
    fillList({});
    switchState(Choose);
    txtTime->setFocus();
}
