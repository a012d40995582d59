#include "results/frmPoint.h"

#include "library/Database.h"
#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "results/PointGradeStore.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {
constexpr int pointsColumn = 3;
} // namespace

using PointGradeStore::testColumn;

frmPoint::frmPoint(QWidget* parent) : ClassResultsForm(parent) {
    auto* timeLabel = new QLabel(QStringLiteral("การสอบครั้งที่ :"), this);
    txtTime = new QLineEdit(this);
    txtTime->setObjectName(QStringLiteral("txtTime"));
    txtTime->setMaxLength(1);
    txtTime->setAlignment(Qt::AlignCenter);
    txtTime->setFixedWidth(600 / ListView::twipsPerPixel);
    auto* maxLabel = new QLabel(QStringLiteral("คะแนนเต็ม :"), this);
    txtMaxPoint = new QLineEdit(this);
    txtMaxPoint->setObjectName(QStringLiteral("txtMaxPoint"));
    txtMaxPoint->setMaxLength(5);
    txtMaxPoint->setAlignment(Qt::AlignCenter);
    txtMaxPoint->setFixedWidth(1200 / ListView::twipsPerPixel);
    classFields()->addWidget(timeLabel, 0, 2, Qt::AlignRight);
    classFields()->addWidget(txtTime, 0, 3, Qt::AlignLeft);
    classFields()->addWidget(maxLabel, 1, 2, Qt::AlignRight);
    classFields()->addWidget(txtMaxPoint, 1, 3, Qt::AlignLeft);
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
    setEditorCells({lblStdID, lblStdName, pointLabel, txtPoint});

    toolbar()->addButton(QStringLiteral("Course"), QStringLiteral("คอร์ส"),
                         QStringLiteral("เลือกคอร์ส"));
    toolbar()->addButton(QStringLiteral("Point"), QStringLiteral("ลงคะแนน"),
                         QStringLiteral("ลงบันทึกคะแนน"));
    toolbar()->addSeparator();
    toolbar()->addButton(QStringLiteral("Report"), QStringLiteral("รายงาน"),
                         QStringLiteral("รายงานผลการทดสอบ"));
    toolbar()->addSeparator();
    toolbar()->addStandardButton(QStringLiteral("Cancel"));
    setTitle(QStringLiteral(" ลงคะแนน "));
    setMenuHelp(QStringLiteral("  F9=เลือกคอร์ส  F2=ลงคะแนน | F5-พิมพ์รายงาน  | ESC=ยกเลิก"));

    setTabOrder(txtTime, txtMaxPoint);
    installKeyPreview();
    setListState(false);
}

int frmPoint::testNumber() const {
    return static_cast<int>(Library::NumValue(txtTime->text()));
}

void frmPoint::setListState(bool listed) {
    toolbar()->setEnabled(QStringLiteral("Course"), !listed);
    toolbar()->setEnabled(QStringLiteral("Point"), !listed);
    txtTime->setEnabled(!listed);
    txtMaxPoint->setEnabled(!listed);
    toolbar()->setEnabled(QStringLiteral("Report"), listed);
    Picture1->setEnabled(listed);
}

bool frmPoint::isListState() const {
    return Picture1->isEnabled();
}

void frmPoint::chooseCourse() {
    Recordset found;
    if (!chooseClass(found) || found.isEmpty())
        return;
    txtTime->setText(QStringLiteral("1"));
    txtMaxPoint->setText(found.text(QStringLiteral("TestMax1")));
}

void frmPoint::txtTime_LostFocus() {
    const int test = testNumber();
    if (test < PointGradeStore::firstTest)
        txtTime->setText(QString::number(PointGradeStore::firstTest));
    else if (test > PointGradeStore::lastTest)
        txtTime->setText(QString::number(PointGradeStore::lastTest));
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
    try {
        PointGradeStore::writeTestMax(courseNo(), test, txtMaxPoint->text());
    } catch (const DbError& error) {
        Library::MsgError(QStringLiteral("บันทึกคะแนนเต็มไม่ได้\n") + error.message());
        return;
    }
    Recordset pupils = Library::OpenRecordset(
        QStringLiteral("Select * From QStudentCourse2 Where CourseNo = ? Order By StdID"), true,
        {courseNo()});
    QList<QStringList> rows;
    for (; !pupils.isEOF(); pupils.MoveNext())
        rows << QStringList{
            pupils.text(QStringLiteral("StdID")), pupils.text(QStringLiteral("StdName")),
            QStringLiteral(" "),
            PointGradeStore::numberText(pupils.value(testColumn("TestPoint", test)))};
    fillList(rows);
    setListState(true);
    selectRow(ListView::item(ListView1, 1));
}

void frmPoint::loadEditor(QTreeWidgetItem* row) {
    txtPoint->setText(row ? row->text(pointsColumn) : QString());
}

void frmPoint::storePoint() {
    QTreeWidgetItem* row = editedRow();
    if (!row)
        return;
    try {
        row->setText(pointsColumn, PointGradeStore::writeTestPoint(courseNo(), editedStdID(),
                                                                   testNumber(), txtPoint->text()));
    } catch (const DbError& error) {
        Library::MsgError(QStringLiteral("บันทึกคะแนนไม่ได้\n") + error.message());
        return;
    }
    moveEditor(1);
}

void frmPoint::moveEditor(int step) {
    if (QTreeWidgetItem* next = neighbourRow(step))
        selectRow(next);
}

void frmPoint::PrintReport() {
    if (!hasRows())
        return;
    const QString title = QStringLiteral("ผลการทดสอบครั้งที่ ") + txtTime->text();
    const QString course = lblCourse->text() + QStringLiteral("         ระดับ ") + lblLevel->text() +
                           QStringLiteral("         วิชา ") + lblSubject->text();
    // The report shows the chosen test's points from the column TestPoint.
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

void frmPoint::cancel() {
    if (!isListState()) {
        unload();
        return;
    }
    fillList({});
    lblStdID->clear();
    lblStdName->clear();
    setListState(false);
    txtTime->setFocus();
}

void frmPoint::toolbarButtonClick(const QString& key) {
    if (key == QStringLiteral("Course"))
        chooseCourse();
    else if (key == QStringLiteral("Point"))
        loadPoints();
    else if (key == QStringLiteral("Report"))
        PrintReport();
    else if (key == QStringLiteral("Cancel"))
        cancel();
}

bool frmPoint::formKeyDown(QObject* target, QKeyEvent* event) {
    const std::pair<int, const char*> buttons[] = {
        {Qt::Key_F2, "Point"}, {Qt::Key_F5, "Report"}, {Qt::Key_F9, "Course"}};
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
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (target == txtTime)
        return Library::KeyMoveFocus(txtTime, event->key());
    if (target == txtMaxPoint) {
        if (enter) {
            pressButton(QStringLiteral("Point"));
            return true;
        }
        return Library::KeyMoveFocus(txtMaxPoint, event->key());
    }
    if (target == txtPoint && hasRows()) {
        if (enter)
            storePoint();
        else if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up)
            moveEditor(event->key() == Qt::Key_Down ? 1 : -1);
        else
            return false;
        return true;
    }
    return false;
}

bool frmPoint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn &&
        (watched == txtTime || watched == txtMaxPoint || watched == txtPoint))
        Library::SelectAllText(static_cast<QWidget*>(watched));
    if (watched == txtTime && isLeaving(event))
        txtTime_LostFocus();
    return ClassResultsForm::eventFilter(watched, event);
}
