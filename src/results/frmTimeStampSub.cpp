#include "results/frmTimeStampSub.h"

#include "core/Seams.h"
#include "frame/DateBox.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "results/LessonStore.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString teacherMarker = QStringLiteral("T");
const QString studentMarker = QStringLiteral("S");
const QString absentAtLoad = QStringLiteral("ไม่มา");

// The people of the class with whether each was present at the lesson bound
// first (none are for a new lesson); a missing status reads as present.
const QString teachersSql =
    QStringLiteral("SELECT tc.TechID AS ID, t.TechName AS Name, "
                   "a.StmID IS NOT NULL AND IfNull(a.StmStatus, '1') = '1' AS Present "
                   "FROM TeacherCourse tc INNER JOIN Teacher t ON t.TechID = tc.TechID "
                   "LEFT JOIN TimeStampTeacher a ON a.StmID = ? AND a.TechID = tc.TechID "
                   "WHERE tc.CourseNo = ? ORDER BY tc.TechID");
const QString studentsSql =
    QStringLiteral("SELECT sc.StdID AS ID, s.StdName AS Name, "
                   "a.StmID IS NOT NULL AND IfNull(a.StmStatus, '1') = '1' AS Present "
                   "FROM StudentCourse sc INNER JOIN Student s ON s.StdID = sc.StdID "
                   "LEFT JOIN TimeStampStudent a ON a.StmID = ? AND a.StdID = sc.StdID "
                   "WHERE sc.CourseNo = ? ORDER BY sc.StdID");

QLineEdit* textBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

} // namespace

frmTimeStampSub::frmTimeStampSub(QWidget* parent)
    : DialogBase(QStringLiteral("เพิ่ม/แก้ไข การลงเวลา"), parent) {
    txtItem = textBox(QStringLiteral("txtItem"), this);
    dtpDate = new DateBox(this);
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    txtTime1 = textBox(QStringLiteral("txtTime1"), this);
    txtTime2 = textBox(QStringLiteral("txtTime2"), this);
    txtHour = textBox(QStringLiteral("txtHour"), this);
    for (QLineEdit* box : {txtItem, txtTime1, txtTime2, txtHour})
        box->setFixedWidth(1300 / ListView::twipsPerPixel);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("ครั้งที่ :"), this), 0, 0, Qt::AlignRight);
    fields->addWidget(txtItem, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("วันที่ :"), this), 0, 2, Qt::AlignRight);
    fields->addWidget(dtpDate, 0, 3);
    fields->addWidget(new QLabel(QStringLiteral("จากเวลา :"), this), 1, 0, Qt::AlignRight);
    fields->addWidget(txtTime1, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("ถึง :"), this), 1, 2, Qt::AlignRight);
    fields->addWidget(txtTime2, 1, 3, Qt::AlignLeft);
    fields->addWidget(new QLabel(QStringLiteral("จำนวนเวลาที่สอน :"), this), 2, 0, Qt::AlignRight);
    auto* hours = new QHBoxLayout;
    hours->addWidget(txtHour);
    hours->addWidget(new QLabel(QStringLiteral("ชั่วโมง"), this));
    fields->addLayout(hours, 2, 1, 1, 3, Qt::AlignLeft);
    fields->setColumnStretch(4, 1);
    body()->addLayout(fields);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1, {{QStringLiteral("ประเภท"), 1500, Qt::AlignLeft},
                                {QStringLiteral("รหัส"), 1500, Qt::AlignHCenter},
                                {QStringLiteral("ชื่อ - สกุล"), 5000, Qt::AlignLeft},
                                {QStringLiteral("สถานะ"), 1200, Qt::AlignHCenter}});
    body()->addWidget(ListView1, 1);

    toolbar()->addStandardButton(QStringLiteral("Save"));
    toolbar()->addStandardButton(QStringLiteral("Cancel"));
    setTitle(windowTitle());
    const QString save = QStringLiteral("Save");
    declareModes({{{save, QStringLiteral("Cancel")}, QString(), save},
                  {{QStringLiteral("Cancel")}, QString(), save}});
    declareButtons({{QStringLiteral("Save"), [this] { SaveRecord(); }},
                    {QStringLiteral("Cancel"), [this] { reject(); }}});
    declareKeys({{Qt::Key_Escape, QStringLiteral("Cancel")}});

    setTabOrder(txtItem, dtpDate);
    setTabOrder(dtpDate, txtTime1);
    setTabOrder(txtTime1, txtTime2);
    setTabOrder(txtTime2, txtHour);
    setTabOrder(txtHour, ListView1);
    for (QLineEdit* box : {txtItem, txtTime1, txtTime2, txtHour}) {
        moveFocusFrom(box);
        selectOnEntry(box);
    }
    moveFocusFrom(dtpDate, Moves::EnterOnly);
    onKey(txtHour, Qt::Key_Return, [this] {
        if (toolbar()->isAvailable(QStringLiteral("Save")))
            SaveRecord();
    });
    Library::InstallNumericFilter(txtItem);
    Library::InstallNumericFilter(txtHour);
    connect(ListView1, &QTreeWidget::itemChanged, this, &frmTimeStampSub::rowTicked);

    resize(10200 / ListView::twipsPerPixel, 7000 / ListView::twipsPerPixel);
}

void frmTimeStampSub::doAdd(const QString& courseNo) {
    m_adding = true;
    m_courseNo = courseNo;
    const LessonStore::Proposal proposal = LessonStore::propose(courseNo);
    dtpDate->setDate(Library::KeyToDate(Library::gToday));
    txtItem->setText(proposal.item ? Library::NumberText(*proposal.item) : QString());
    txtTime1->setText(Seams::now().toString(QStringLiteral("hh.mm")));
    txtHour->setText(proposal.hours ? Library::NumberText(*proposal.hours) : QString());
    LoadPeople(courseNo);
}

bool frmTimeStampSub::doEdit(const QString& courseNo, const QString& stmId) {
    m_adding = false;
    m_courseNo = courseNo;
    StmID = stmId;
    const Recordset lesson = Library::OpenRecordset(
        QStringLiteral("Select * From [TimeStamp] Where CourseNo = ? and StmID = ?"),
        {courseNo, stmId});
    if (lesson.isEmpty()) {
        setMode(Gone);
    } else {
        txtItem->setText(Library::NumberText(lesson.value(QStringLiteral("StmItem"))));
        txtTime1->setText(lesson.text(QStringLiteral("StmTime1")));
        txtTime2->setText(lesson.text(QStringLiteral("StmTime2")));
        dtpDate->setDate(Library::KeyToDate(lesson.text(QStringLiteral("StmDate"))));
        txtHour->setText(Library::NumberText(lesson.value(QStringLiteral("StmHour"))));
    }
    LoadPeople(courseNo);
    return !lesson.isEmpty();
}

void frmTimeStampSub::LoadPeople(const QString& courseNo) {
    m_filling = true;
    ListView1->clear();
    addPeople(teachersSql, courseNo, QStringLiteral("อาจารย์"), teacherMarker);
    addPeople(studentsSql, courseNo, QStringLiteral("นักศึกษา"), studentMarker);
    m_filling = false;
}

void frmTimeStampSub::addPeople(const QString& sql, const QString& courseNo, const QString& kind,
                                const QString& marker) {
    const Recordset people =
        Library::OpenRecordset(sql, {m_adding ? QVariant() : QVariant(StmID), courseNo});
    for (const QVariantList& person : people.rows()) {
        const bool ticked = m_adding || person.at(2).toInt() == 1;
        QTreeWidgetItem* row =
            ListView::addRow(ListView1,
                             {kind, person.at(0).toString(), person.at(1).toString(),
                              ticked ? QStringLiteral(" ") : absentAtLoad},
                             marker);
        row->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    }
}

void frmTimeStampSub::rowTicked(QTreeWidgetItem* row, int column) {
    if (m_filling || column != 0)
        return;
    ListView1->setCurrentItem(row);
    ListView1->scrollToItem(row);
    row->setText(3,
                 row->checkState(0) == Qt::Checked ? QStringLiteral(" ") : QStringLiteral("ขาด"));
}

bool frmTimeStampSub::invalid(bool failed, const QString& message, QLineEdit* field) {
    if (failed) {
        Library::MsgError(message);
        field->setFocus();
    }
    return failed;
}

void frmTimeStampSub::SaveRecord() {
    const QString numberTaken = QStringLiteral("ครั้งที่  ซ้ำ");
    // A number is stored as typed or not at all: one with a separator out of place or more
    // digits than are stored is refused, never rounded; one not above 0, or beyond what the
    // readers of the lessons read back, is not valid.
    const auto number = [this](QLineEdit* box, const QString& caption, double& value) {
        const std::optional<double> typed = Library::typedNumber(box, caption);
        if (!typed)
            return false;
        value = *typed;
        return !invalid(value <= 0 || value > LessonStore::largestValue,
                        caption + QStringLiteral(" ไม่ถูกต้อง"), box);
    };
    double item = 0;
    double hours = 0;
    if (!number(txtItem, QStringLiteral("ครั้งที่ "), item) ||
        invalid(txtTime1->text().trimmed().isEmpty(), QStringLiteral("เวลา ไม่ถูกต้อง"), txtTime1) ||
        invalid(txtTime2->text().trimmed().isEmpty(), QStringLiteral("เวลา ไม่ถูกต้อง"), txtTime2) ||
        !number(txtHour, QStringLiteral("จำนวนเวลาที่สอน"), hours) ||
        invalid(LessonStore::numberTaken(m_courseNo, item, m_adding ? QString() : StmID),
                numberTaken, txtItem))
        return;
    if (Library::MsgAsk(QStringLiteral("ต้องการบันทึกข้อมูล  หรือไม่"), true) != Library::vbYes)
        return;

    Lesson lesson;
    lesson.stmId = m_adding ? QString() : StmID;
    lesson.courseNo = m_courseNo;
    lesson.date = Library::DateToKey(dtpDate->date());
    lesson.item = item;
    lesson.time1 = txtTime1->text().trimmed();
    lesson.time2 = txtTime2->text().trimmed();
    lesson.hours = hours;
    for (int i = 1; i <= ListView::count(ListView1); ++i) {
        const QTreeWidgetItem* row = ListView::item(ListView1, i);
        const Lesson::Person person{row->text(1), row->checkState(0) == Qt::Checked};
        if (ListView::rowTag(row) == teacherMarker)
            lesson.teachers << person;
        else
            lesson.students << person;
    }

    LessonStore::SaveOutcome outcome;
    if (!runDatabaseWork(QStringLiteral("บันทึกการลงเวลาไม่ได้"), [&] {
            outcome = LessonStore::save(lesson, Library::gUserID, Seams::today());
        }))
        return;
    if (outcome.result == LessonStore::SaveResult::NumberTaken) {
        invalid(true, numberTaken, txtItem);
        return;
    }
    if (outcome.result == LessonStore::SaveResult::Gone) {
        Library::MsgError(QStringLiteral("ไม่พบการลงเวลานี้แล้ว (ถูกลบไปแล้ว)"));
        setMode(Gone);
        return;
    }
    if (outcome.result == LessonStore::SaveResult::ClassGone) {
        Library::MsgError(QStringLiteral("ไม่พบวิชาเรียน ") + m_courseNo +
                          QStringLiteral(" อาจถูกลบไปแล้ว ไม่ได้บันทึก"));
        setMode(Gone);
        return;
    }
    StmID = outcome.stmId;
    IsSaved = true;
    accept();
}
