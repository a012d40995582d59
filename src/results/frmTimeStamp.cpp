#include "results/frmTimeStamp.h"

#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "report/viewer/LibraryReports.h"
#include "results/LessonStore.h"
#include "results/frmTimeStampSub.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The lessons of a class with the pupils marked present at each (a missing
// status reads as present).
const QString lessonsSql = QStringLiteral(
    "SELECT StmID, StmDate, StmItem, StmTime1, StmTime2, StmHour, (SELECT Count(*) FROM "
    "TimeStampStudent s WHERE s.StmID = ts.StmID AND IfNull(s.StmStatus, '1') = '1') AS "
    "Attended FROM [TimeStamp] ts WHERE CourseNo = ? ");

// One row per pupil per lesson, for the attendance report.
const QString attendanceSql = QStringLiteral(
    "SELECT ts.StmID, ts.StmDate, ts.StmItem, ts.StmTime1, ts.StmTime2, ts.StmHour, "
    "tss.StdID, s.StdName, tss.StmStatus, "
    "CASE WHEN IfNull(tss.StmStatus, '1') = '1' THEN 'มา' ELSE 'ขาด' END AS StatusText, "
    "(SELECT Count(*) FROM TimeStampStudent p WHERE p.StmID = ts.StmID "
    "AND IfNull(p.StmStatus, '1') = '1') AS Attended "
    "FROM [TimeStamp] ts INNER JOIN TimeStampStudent tss ON ts.StmID = tss.StmID "
    "LEFT JOIN Student s ON s.StdID = tss.StdID WHERE ts.CourseNo = ? "
    "ORDER BY ts.StmDate, ts.StmItem, ts.StmID, tss.StdID");

// A box for one of the class's values; it is never narrower than its text.
QLabel* valueLabel(QLabel* label) {
    label->setFrameShape(QFrame::StyledPanel);
    label->setMargin(2);
    return label;
}

// A new value box of the window's own.
QLabel* valueLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return valueLabel(label);
}

// A lesson another desk deleted since the list was read.
const QString lessonGone = QStringLiteral("ไม่พบการลงเวลานี้แล้ว (ถูกลบไปแล้ว)");

} // namespace

frmTimeStamp::frmTimeStamp(QWidget* parent) : ClassForm(parent) {
    setAttribute(Qt::WA_DeleteOnClose);

    for (QLabel* label : {lblCourse, lblLevel, lblSubject})
        valueLabel(label);
    lblDate = valueLabel(QStringLiteral("lblDate"), this);
    lblTime = valueLabel(QStringLiteral("lblTime"), this);
    lblHour = valueLabel(QStringLiteral("lblHour"), this);
    auto* particulars = new QHBoxLayout;
    const std::pair<const char16_t*, QLabel*> captions[] = {
        {u"คอร์ส :", lblCourse},  {u"ระดับ :", lblLevel}, {u"วิชา :", lblSubject},
        {u"วันที่เรียน :", lblDate}, {u"เวลา :", lblTime},  {u"เวลาเรียน :", lblHour}};
    for (const auto& [caption, value] : captions) {
        particulars->addWidget(new QLabel(QString::fromUtf16(caption), this));
        particulars->addWidget(value, value == lblCourse ? 1 : 0);
    }
    particulars->addWidget(new QLabel(QStringLiteral("ชั่วโมง"), this));
    classHeader()->addLayout(particulars);

    ListView::setup(ListView1, {{QStringLiteral("วันที่"), 2000, Qt::AlignLeft},
                                {QStringLiteral("ครั้งที่"), 1000, Qt::AlignHCenter},
                                {QStringLiteral("เวลา"), 2500, Qt::AlignHCenter},
                                {QStringLiteral("จำนวนชั่วโมง"), 2000, Qt::AlignHCenter},
                                {QStringLiteral("จำนวนนักศึกษา"), 2000, Qt::AlignHCenter},
                                {QStringLiteral("เข้าเรียน"), 1500, Qt::AlignHCenter}});
    // Wide enough for every column and the class above them, high enough for a
    // dozen lessons.
    ListView1->setMinimumSize(12600 / ListView::twipsPerPixel, 4000 / ListView::twipsPerPixel);

    KeyToolbar* bar = toolbar();
    bar->addButton(QStringLiteral("New"), QStringLiteral("เพิ่ม"), QStringLiteral("เพิ่มวันที่เข้าเรียน"));
    bar->addButton(QStringLiteral("Edit"), QStringLiteral("แก้ไข"),
                   QStringLiteral("แก้ไขวันที่เข้าเรียน"));
    bar->addButton(QStringLiteral("Delete"), QStringLiteral("ลบ"), QStringLiteral("ลบวันที่เข้าเรียน"));
    bar->addButton(QStringLiteral("Report"), QStringLiteral("รายงาน"),
                   QStringLiteral("[F5] - รายงานการเข้าเรียนของนักศึกษา"));
    bar->addButton(QStringLiteral("Cancel"), QStringLiteral(" ยกเลิก "),
                   QStringLiteral("[ESC] - ยกเลิก"));
    const QString help =
        QStringLiteral("  F9=เลือกคอร์ส  F2=เพิ่ม  F3=แก้ไข  F4=ลบ  F5=รายงาน | ESC=ยกเลิก");
    declareStates({},
                  {QStringLiteral("New"), QStringLiteral("Edit"), QStringLiteral("Delete"),
                   QStringLiteral("Report")},
                  help, QStringLiteral("New"));
    // The hint names F3 and F4: they press Edit and Delete.
    declareButtons({{QStringLiteral("New"), [this] { NewLesson(); }},
                    {QStringLiteral("Edit"), [this] { EditLesson(); }},
                    {QStringLiteral("Delete"), [this] { DeleteLesson(); }},
                    {QStringLiteral("Report"), [this] { PrintReport(courseNo()); }}});
    declareKeys({{Qt::Key_F3, QStringLiteral("Edit")},
                 {Qt::Key_F4, QStringLiteral("Delete")},
                 {Qt::Key_F5, QStringLiteral("Report")}});
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &frmTimeStamp::EditLesson);

    setTitle(QStringLiteral("บันทึกการเข้าชั้นเรียน"));
}

bool frmTimeStamp::ShowClass(const QString& courseNo) {
    const Recordset course = readClass(courseNo);
    if (course.isEmpty())
        return false;
    showClass(course);
    lblDate->setText(course.text(QStringLiteral("CourseDate")));
    lblTime->setText(course.text(QStringLiteral("CourseTime")));
    lblHour->setText(course.text(QStringLiteral("TimeHour")));
    setState(Listed);
    LoadList();
    ListView1->setFocus();
    return true;
}

void frmTimeStamp::backToChoosing() {
    clearClass();
    setState(Choose);
    ListView1->clear();
    for (QLabel* label : {lblDate, lblTime, lblHour})
        label->clear();
}

int frmTimeStamp::CountCourseStudents(const QString& courseNo) {
    const Recordset count = Library::OpenRecordset(
        QStringLiteral("Select Count(*) From StudentCourse Where CourseNo = ?"), {courseNo});
    return count.isEmpty() ? 0 : count.value(0).toInt();
}

void frmTimeStamp::LoadList() {
    ListView1->clear();
    const int registered = CountCourseStudents(courseNo());
    Recordset lessons = Library::OpenRecordset(
        lessonsSql + QStringLiteral("Order By StmDate, StmItem, StmTime1"), {courseNo()});
    for (; !lessons.isEOF(); lessons.MoveNext())
        fillRow(ListView::addRow(ListView1, {}), lessons, registered);
    ListView::select(ListView1, 1);
}

void frmTimeStamp::fillRow(QTreeWidgetItem* row, const Recordset& lesson, int registered) {
    const QStringList texts{Library::KeyToThaiDate(lesson.text(QStringLiteral("StmDate"))),
                            Library::NumberText(lesson.value(QStringLiteral("StmItem"))),
                            lesson.text(QStringLiteral("StmTime1")) + QStringLiteral(" - ") +
                                lesson.text(QStringLiteral("StmTime2")),
                            Library::NumberText(lesson.value(QStringLiteral("StmHour"))),
                            QString::number(registered),
                            lesson.text(QStringLiteral("Attended"))};
    for (int i = 0; i < texts.size(); ++i)
        row->setText(i, texts.at(i));
    ListView::setRowTag(row, lesson.text(QStringLiteral("StmID")));
}

void frmTimeStamp::showSaved(const QString& stmId, QTreeWidgetItem* row) {
    const Recordset lesson =
        Library::OpenRecordset(lessonsSql + QStringLiteral("And StmID = ?"), {courseNo(), stmId});
    if (lesson.isEmpty())
        return;
    if (!row) {
        row = ListView::addRow(ListView1, {});
        ListView1->setCurrentItem(row);
    }
    fillRow(row, lesson, CountCourseStudents(courseNo()));
    ListView1->scrollToItem(row);
}

void frmTimeStamp::chooseClass() {
    if (const std::optional<QString> chosen = pickClass())
        ShowClass(*chosen);
}

void frmTimeStamp::NewLesson() {
    frmTimeStampSub dialog(this);
    dialog.doAdd(courseNo());
    dialog.showModal();
    if (dialog.IsSaved)
        showSaved(dialog.StmID, nullptr);
}

void frmTimeStamp::EditLesson() {
    QTreeWidgetItem* row = ListView1->currentItem();
    if (ListView::count(ListView1) == 0 || !row)
        return;
    frmTimeStampSub dialog(this);
    if (!dialog.doEdit(courseNo(), ListView::rowTag(row))) {
        Library::MsgError(lessonGone);
        return;
    }
    dialog.showModal();
    if (dialog.IsSaved)
        showSaved(dialog.StmID, row);
}

void frmTimeStamp::DeleteLesson() {
    QTreeWidgetItem* row = ListView1->currentItem();
    if (ListView::count(ListView1) == 0 || !row)
        return;
    if (Library::MsgAsk(QStringLiteral("ต้องการลบการลงเวลา วันที่ ") + row->text(0) +
                            QStringLiteral(" ครั้งที่ ") + row->text(1) + QStringLiteral("  หรือไม่"),
                        false) != Library::vbYes)
        return;
    const QString stmId = ListView::rowTag(row);
    bool found = true;
    if (!runDatabaseWork(QStringLiteral("ลบการลงเวลาไม่ได้"),
                         [&] { found = LessonStore::remove(stmId); }))
        return;
    if (!found)
        Library::MsgError(lessonGone);
    delete row;
    if (QTreeWidgetItem* current = ListView1->currentItem()) {
        current->setSelected(true);
        ListView1->scrollToItem(current);
    }
}

void frmTimeStamp::PrintReport(const QString& courseNo) {
    const QString title = QStringLiteral("รายงานจำนวนนักศึกษาที่เข้าชั้นเรียนคอร์ส") + lblCourse->text() +
                          QStringLiteral("  ระดับ ") + lblLevel->text() + QStringLiteral("  วิชา ") +
                          lblSubject->text();
    Library::ShowTitledReport(QStringLiteral("rep13.rpt"), title, attendanceSql, {courseNo});
}
