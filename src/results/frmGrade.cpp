#include "results/frmGrade.h"

#include "library/Database.h"
#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "results/PointGradeStore.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {
constexpr int pointsColumn = 2;
constexpr int gradeColumn = 3;
} // namespace

frmGrade::frmGrade(QWidget* parent) : ClassResultsForm(parent) {
    classFields()->setColumnStretch(2, 1);
    ListView::setup(ListView1, {{QStringLiteral("รหัสนักศึกษา"), 1400, Qt::AlignLeft},
                                {QStringLiteral("ชื่อ-สกุล"), 5000, Qt::AlignLeft},
                                {QStringLiteral("คะแนน"), 1500, Qt::AlignHCenter},
                                {QStringLiteral("เกรด"), 1500, Qt::AlignHCenter}});
    auto* nameCell = new QWidget(Picture1);
    auto* name = new QHBoxLayout(nameCell);
    name->setContentsMargins(0, 0, 0, 0);
    name->addWidget(lblStdName, 1);
    name->addWidget(new QLabel(QStringLiteral("เกรด :"), nameCell));
    txtPoint = new QLineEdit(Picture1);
    txtPoint->setObjectName(QStringLiteral("txtPoint"));
    txtPoint->setMaxLength(10);
    txtPoint->setAlignment(Qt::AlignCenter);
    Library::InstallNumericFilter(txtPoint);
    txtGrade = new QLineEdit(Picture1);
    txtGrade->setObjectName(QStringLiteral("txtGrade"));
    txtGrade->setMaxLength(5);
    txtGrade->setAlignment(Qt::AlignCenter);
    setEditorCells({lblStdID, nameCell, txtPoint, txtGrade});

    toolbar()->addButton(QStringLiteral("Course"), QStringLiteral("คอร์ส"),
                         QStringLiteral("เลือกคอร์ส"));
    toolbar()->addButton(QStringLiteral("Grade"), QStringLiteral("ลงเกรด"),
                         QStringLiteral("ลงบันทึกคะแนน"));
    toolbar()->addSeparator();
    toolbar()->addButton(QStringLiteral("Report"), QStringLiteral("รายงาน"),
                         QStringLiteral("รายงานผลการเรียน"));
    toolbar()->addSeparator();
    toolbar()->addStandardButton(QStringLiteral("Cancel"));
    setTitle(QStringLiteral(" ลงเกรด "));
    setMenuHelp(QStringLiteral("  F9=เลือกคอร์ส  F2=ลงเกรด  | ESC=ยกเลิก"));

    setTabOrder(txtPoint, txtGrade);
    installKeyPreview();
    setListState(false);
}

void frmGrade::setListState(bool listed) {
    toolbar()->setEnabled(QStringLiteral("Course"), !listed);
    toolbar()->setEnabled(QStringLiteral("Grade"), !listed);
    toolbar()->setEnabled(QStringLiteral("Report"), listed);
    Picture1->setEnabled(listed);
}

bool frmGrade::isListState() const {
    return Picture1->isEnabled();
}

void frmGrade::chooseCourse() {
    Recordset found;
    if (chooseClass(found))
        loadGrades();
}

void frmGrade::loadGrades() {
    if (courseNo().trimmed().isEmpty()) {
        Library::MsgError(QStringLiteral("คอร์สการเรียน ไม่ถูกต้อง"));
        return;
    }
    Recordset pupils =
        Library::OpenRecordset(QStringLiteral("Select StdID, StdName, CourseGrade, CoursePoint "
                                              "From QStudentCourse2 Where CourseNo = ? "
                                              "Order By StdID"),
                               true, {courseNo()});
    QList<QStringList> rows;
    for (; !pupils.isEOF(); pupils.MoveNext())
        rows << QStringList{
            pupils.text(QStringLiteral("StdID")), pupils.text(QStringLiteral("StdName")),
            PointGradeStore::numberText(pupils.value(QStringLiteral("CoursePoint"))),
            pupils.text(QStringLiteral("CourseGrade"))};
    fillList(rows);
    setListState(true);
    selectRow(ListView::item(ListView1, 1));
}

void frmGrade::loadEditor(QTreeWidgetItem* row) {
    txtPoint->setText(row ? row->text(pointsColumn) : QString());
    txtGrade->setText(row ? row->text(gradeColumn) : QString());
}

bool frmGrade::txtPoint_LostFocus() {
    QTreeWidgetItem* row = editedRow();
    if (!row)
        return true;
    try {
        row->setText(pointsColumn, PointGradeStore::writeCoursePoint(courseNo(), editedStdID(),
                                                                     txtPoint->text()));
    } catch (const DbError& error) {
        Library::MsgError(QStringLiteral("บันทึกคะแนนไม่ได้\n") + error.message());
        return false;
    }
    return true;
}

bool frmGrade::txtGrade_LostFocus() {
    QTreeWidgetItem* row = editedRow();
    if (!row)
        return true;
    try {
        PointGradeStore::writeCourseGrade(courseNo(), editedStdID(), txtGrade->text());
    } catch (const DbError& error) {
        Library::MsgError(QStringLiteral("บันทึกเกรดไม่ได้\n") + error.message());
        return false;
    }
    row->setText(gradeColumn, txtGrade->text());
    return true;
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

bool frmGrade::txtPoint_KeyDown(int key) {
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!enter && !(hasRows() && (key == Qt::Key_Down || key == Qt::Key_Up)))
        return false;
    if (!txtPoint_LostFocus())
        return true;
    if (key == Qt::Key_Up)
        moveStored(txtPoint, neighbourRow(-1));
    else
        moveStored(txtGrade, nullptr);
    return true;
}

bool frmGrade::txtGrade_KeyDown(int key) {
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!hasRows() || !(enter || key == Qt::Key_Down || key == Qt::Key_Up))
        return false;
    if (!txtGrade_LostFocus())
        return true;
    if (key == Qt::Key_Up)
        moveStored(txtPoint, nullptr);
    else if (QTreeWidgetItem* next = neighbourRow(1))
        moveStored(txtPoint, next);
    else
        moveStored(txtGrade, nullptr);
    return true;
}

void frmGrade::PrintReport() {
    if (!hasRows())
        return;
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

void frmGrade::cancel() {
    if (isListState())
        setListState(false);
    else
        unload();
}

void frmGrade::toolbarButtonClick(const QString& key) {
    if (key == QStringLiteral("Course"))
        chooseCourse();
    else if (key == QStringLiteral("Grade"))
        loadGrades();
    else if (key == QStringLiteral("Report"))
        PrintReport();
    else if (key == QStringLiteral("Cancel"))
        cancel();
}

bool frmGrade::formKeyDown(QObject* target, QKeyEvent* event) {
    const std::pair<int, const char*> buttons[] = {
        {Qt::Key_F2, "Grade"}, {Qt::Key_F5, "Report"}, {Qt::Key_F9, "Course"}};
    for (const auto& [key, button] : buttons) {
        if (event->key() == key) {
            if (toolbar()->isAvailable(QString::fromLatin1(button)))
                pressButton(QString::fromLatin1(button));
            return true;
        }
    }
    if (event->key() == Qt::Key_Escape) {
        pressButton(QStringLiteral("Cancel"));
        return true;
    }
    if (target == txtPoint)
        return txtPoint_KeyDown(event->key());
    if (target == txtGrade)
        return txtGrade_KeyDown(event->key());
    return false;
}

bool frmGrade::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == txtPoint || watched == txtGrade))
        Library::SelectAllText(static_cast<QWidget*>(watched));
    if (!m_moving && isLeaving(event)) {
        if (watched == txtPoint)
            txtPoint_LostFocus();
        else if (watched == txtGrade)
            txtGrade_LostFocus();
    }
    return ClassResultsForm::eventFilter(watched, event);
}
