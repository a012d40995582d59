#include "results/frmGrade.h"

#include "frame/Library.h"
#include "frame/ListView.h"
#include "results/PointGradeStore.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTreeWidget>

namespace {
constexpr int pointsColumn = 2;
constexpr int gradeColumn = 3;
} // namespace

frmGrade::frmGrade(QWidget* parent)
    : ClassResultsForm({QStringLiteral("Grade"), QStringLiteral("ลงเกรด"),
                        QStringLiteral("รายงานผลการเรียน"), QStringLiteral(" ลงเกรด "),
                        QStringLiteral("  F9=เลือกคอร์ส  F2=ลงเกรด | F5-พิมพ์รายงาน  | ESC=ยกเลิก")},
                       parent) {
    classFields()->setColumnStretch(2, 1);
    ListView::setup(ListView1, {{QStringLiteral("รหัสนักศึกษา"), 1400, Qt::AlignLeft},
                                {QStringLiteral("ชื่อ-สกุล"), 5000, Qt::AlignLeft},
                                {QStringLiteral("คะแนน"), 1500, Qt::AlignHCenter},
                                {QStringLiteral("เกรด"), 1500, Qt::AlignHCenter}});
    txtPoint = new QLineEdit(Picture1);
    txtPoint->setObjectName(QStringLiteral("txtPoint"));
    txtPoint->setMaxLength(10);
    Library::InstallNumericFilter(txtPoint);
    // The grade's caption stands in front of its own box, both under the grade column.
    auto* gradeCell = new QWidget(Picture1);
    auto* grade = new QHBoxLayout(gradeCell);
    grade->setContentsMargins(0, 0, 0, 0);
    auto* gradeCaption = new QLabel(QStringLiteral("เกรด :"), gradeCell);
    grade->addWidget(gradeCaption);
    txtGrade = new QLineEdit(gradeCell);
    txtGrade->setObjectName(QStringLiteral("txtGrade"));
    txtGrade->setMaxLength(5);
    for (QLineEdit* box : {txtPoint, txtGrade})
        box->setMinimumWidth(1440 / ListView::twipsPerPixel);
    gradeCaption->setBuddy(txtGrade);
    grade->addWidget(txtGrade, 1);
    setEditorCells({lblStdID, lblStdName, txtPoint, gradeCell});

    setTabOrder(txtPoint, txtGrade);
    for (QLineEdit* box : {txtPoint, txtGrade}) {
        box->setAlignment(Qt::AlignCenter);
        selectOnEntry(box);
        for (int key : {int(Qt::Key_Return), int(Qt::Key_Down), int(Qt::Key_Up)})
            onKey(box, key, [this, box, key] {
                box == txtPoint ? txtPoint_KeyDown(key) : txtGrade_KeyDown(key);
            });
    }
    onLeave(txtPoint, [this] { return m_moving || txtPoint_LostFocus(); });
    onLeave(txtGrade, [this] { return m_moving || txtGrade_LostFocus(); });
    declareButtons({{QStringLiteral("Grade"), [this] { loadGrades(); }},
                    {QStringLiteral("Report"), [this] { PrintReport(); }}});
}

void frmGrade::chooseClass() {
    Recordset found;
    if (pickClassAndClearList(found))
        loadGrades();
}

void frmGrade::loadGrades() {
    if (courseNo().trimmed().isEmpty()) {
        Library::MsgError(QStringLiteral("คอร์สการเรียน ไม่ถูกต้อง"));
        return;
    }
    Recordset pupils = readPupils(QStringLiteral("StdID, StdName, CourseGrade, CoursePoint"));
    QList<QStringList> rows;
    for (; !pupils.isEOF(); pupils.MoveNext())
        rows << QStringList{
            pupils.text(QStringLiteral("StdID")), pupils.text(QStringLiteral("StdName")),
            PointGradeStore::numberText(pupils.value(QStringLiteral("CoursePoint"))),
            pupils.text(QStringLiteral("CourseGrade"))};
    fillList(rows);
    setState(Listed);
    selectRow(ListView::item(ListView1, 1));
}

void frmGrade::loadEditor(QTreeWidgetItem* row) {
    txtPoint->setText(row ? row->text(pointsColumn) : QString());
    txtGrade->setText(row ? row->text(gradeColumn) : QString());
}

// A box is stored only when the clerk changed it: leaving one unchanged must not put back
// over what another desk stored meanwhile the value this desk loaded earlier.
bool frmGrade::txtPoint_LostFocus() {
    QTreeWidgetItem* row = editedRow();
    if (!row || !txtPoint->isModified())
        return true;
    PointGradeStore::Written written;
    if (!runDatabaseWork(QStringLiteral("บันทึกคะแนนไม่ได้"),
                         [&] {
                             written = PointGradeStore::writeCoursePoint(courseNo(), editedStdID(),
                                                                         txtPoint->text());
                         }) ||
        !rowStored(written.outcome, txtPoint))
        return false;
    row->setText(pointsColumn, written.shown);
    txtPoint->setModified(false);
    return true;
}

bool frmGrade::txtGrade_LostFocus() {
    QTreeWidgetItem* row = editedRow();
    if (!row || !txtGrade->isModified())
        return true;
    PointGradeStore::Outcome outcome{};
    if (!runDatabaseWork(QStringLiteral("บันทึกเกรดไม่ได้"),
                         [&] {
                             outcome = PointGradeStore::writeCourseGrade(courseNo(), editedStdID(),
                                                                         txtGrade->text());
                         }) ||
        !rowStored(outcome, txtGrade))
        return false;
    row->setText(gradeColumn, txtGrade->text());
    txtGrade->setModified(false);
    return true;
}

bool frmGrade::rowStored(PointGradeStore::Outcome outcome, QLineEdit* box) {
    const QScopedValueRollback moving(m_moving, true);
    return rowWritten(outcome, box);
}

void frmGrade::moveStored(QLineEdit* box, QTreeWidgetItem* row) {
    m_moving = true;
    if (row)
        selectRow(row);
    else
        box->setFocus();
    Library::SelectAllText(box);
    m_moving = false;
}

// Enter and Down go on to the grade; Up to the row above. The points are stored first.
void frmGrade::txtPoint_KeyDown(int key) {
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((!enter && !hasRows()) || !txtPoint_LostFocus())
        return;
    if (key == Qt::Key_Up)
        moveStored(txtPoint, neighbourRow(-1));
    else
        moveStored(txtGrade, nullptr);
}

// Enter and Down go on to the next row's points (on the last row the focus stays); Up back
// to the points. The grade is stored first.
void frmGrade::txtGrade_KeyDown(int key) {
    if (!hasRows() || !txtGrade_LostFocus())
        return;
    if (key == Qt::Key_Up)
        moveStored(txtPoint, nullptr);
    else if (QTreeWidgetItem* next = neighbourRow(1))
        moveStored(txtPoint, next);
    else
        moveStored(txtGrade, nullptr);
}

void frmGrade::PrintReport() {
    const QString title = QStringLiteral("ผลการเรียน") + lblCourse->text();
    const QString course = QStringLiteral("ระดับ ") + lblLevel->text() +
                           QStringLiteral("         วิชา ") + lblSubject->text();
    showClassReport(
        QStringLiteral("rep9.rpt"), title,
        QStringLiteral("SELECT * FROM QStudentCourse2 WHERE CourseNo = ? ORDER BY StdID"),
        {{QStringLiteral("lblComp"), Library::Quote(Library::gShopName)},
         {QStringLiteral("lblTitle"), Library::Quote(title)},
         {QStringLiteral("lblCourse"), Library::Quote(course)}});
}
