#include "billing/frmRegister.h"

#include "billing/RegistrationStore.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/StudentLookup.h"
#include "reference/frmListCourse.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

// Also the head of the read-back after a registration.
const QString registrationsHead = QStringLiteral(
    "SELECT CourseNo, CourseRegDate, CourseName, CourseLevel, Subject, CourseDate, CourseTime, "
    "CourseStartDate, CourseEndDate, DateStart, DateEnd, CoursePrice, CoursePayAmt, RoomNo "
    "FROM QStudentCourse ");

// The Student column the window shows besides the code and name.
const QString studentColumns = QStringLiteral("StdLevel");

constexpr int feeColumn = 7;

} // namespace

frmRegister::frmRegister(QWidget* parent) : FormBase(parent) {
    auto* fields = new QGridLayout;
    Label1 = new QLabel(QStringLiteral("รหัสนักเรียน :"), this);
    Label2 = new QLabel(QStringLiteral("ชื่อ-สกุล :"), this);
    Label3 = new QLabel(QStringLiteral("ชั้น :"), this);
    txtStdID = new QLineEdit(this);
    txtStdID->setObjectName(QStringLiteral("txtStdID"));
    txtStdID->setFixedWidth(1500 / ListView::twipsPerPixel);
    txtStdName = new QLineEdit(this);
    txtStdName->setObjectName(QStringLiteral("txtStdName"));
    txtStdName->setFixedWidth(4500 / ListView::twipsPerPixel);
    lblLevel = new QLabel(this);
    lblLevel->setObjectName(QStringLiteral("lblLevel"));
    fields->addWidget(Label1, 0, 0, Qt::AlignRight);
    fields->addWidget(txtStdID, 0, 1);
    fields->addWidget(Label2, 1, 0, Qt::AlignRight);
    fields->addWidget(txtStdName, 1, 1);
    fields->addWidget(Label3, 2, 0, Qt::AlignRight);
    fields->addWidget(lblLevel, 2, 1);
    fields->setColumnStretch(2, 1);
    body()->addLayout(fields);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1, {{QStringLiteral("วันที่ลงทะเบียน"), 1400, Qt::AlignLeft},
                                {QStringLiteral("คอร์ส"), 3500, Qt::AlignLeft},
                                {QStringLiteral("ระดับ"), 1200, Qt::AlignHCenter},
                                {QStringLiteral("วิชา"), 900, Qt::AlignHCenter},
                                {QStringLiteral("วันที่เรียน"), 3500, Qt::AlignLeft},
                                {QStringLiteral("เวลา"), 1500, Qt::AlignHCenter},
                                {QStringLiteral("ห้องเรียน"), 1200, Qt::AlignHCenter},
                                {QStringLiteral("ค่าเรียน"), 1200, Qt::AlignRight}});
    // However small the window, the list keeps every column at its width, so that a long
    // course name shows whole, and 2625 twips of height, room for several classes.
    ListView::setMinimumSize(ListView1, 2625);
    body()->addWidget(ListView1, 1);
    setTabOrder(txtStdID, txtStdName);
    setTabOrder(txtStdName, ListView1);

    for (const char16_t* key : {u"New", u"Edit", u"Delete", u"Find", u"Save", u"Cancel"})
        toolbar()->addStandardButton(QString::fromUtf16(key));
    for (const char16_t* key : {u"Edit", u"Find", u"Save"})
        toolbar()->setVisible(QString::fromUtf16(key), false);

    setWindowTitle(QString());
    setTitle(QStringLiteral(" ลงทะเบียน "));
    setMenuHelp(QStringLiteral("  F2=เพิ่มข้อมูล  F4=ลบข้อมูล  |  F2=บันทึก  ESC=ยกเลิก"));

    declareButtons({{QStringLiteral("New"), [this] { registerCourse(); }},
                    {QStringLiteral("Delete"), [this] { removeCourse(); }},
                    {QStringLiteral("Cancel"), [this] { unload(); }}});
    declareKeys({{Qt::Key_F2, QStringLiteral("New")},
                 {Qt::Key_F4, QStringLiteral("Delete")},
                 {Qt::Key_Escape, QStringLiteral("Cancel")}});
    onKey(txtStdID, Qt::Key_Return, [this] { findByCode(); });
    onKey(txtStdName, Qt::Key_Return, [this] { findByName(); });
    for (QLineEdit* box : {txtStdID, txtStdName}) {
        moveFocusFrom(box);
        selectOnEntry(box);
    }

    connect(txtStdID, &QLineEdit::textChanged, this, &frmRegister::codeChanged);
    setOpeningControl(txtStdID);
    txtStdID->setFocus();
}

void frmRegister::LoadRegisteredCourses(const QString& stdId) {
    ListView1->clear();
    Recordset rows = Library::OpenRecordset(
        registrationsHead +
            QStringLiteral("WHERE StdID = ? AND CourseStatus = '1' ORDER BY CourseID, CourseNo"),
        {stdId});
    for (; !rows.isEOF(); rows.MoveNext())
        addRow(rows);
    ListView::select(ListView1, 1);
}

void frmRegister::addRow(const Recordset& row) {
    const QString room = row.isNull(QStringLiteral("RoomNo")) ? QStringLiteral(" ")
                                                              : row.text(QStringLiteral("RoomNo"));
    QTreeWidgetItem* item = ListView::addRow(
        ListView1,
        {Library::KeyToThaiDate(row.text(QStringLiteral("CourseRegDate"))),
         row.text(QStringLiteral("CourseName")), row.text(QStringLiteral("CourseLevel")),
         row.text(QStringLiteral("Subject")), Library::classDatesText(row),
         row.text(QStringLiteral("CourseTime")), room,
         row.money(QStringLiteral("CoursePrice")).toText(true)},
        row.text(QStringLiteral("CourseNo")));
    ListView::setCellTag(item, feeColumn, row.money(QStringLiteral("CoursePayAmt")).toText(false));
}

void frmRegister::forgetStudent() {
    m_listedStdId.clear();
    ListView1->clear();
}

void frmRegister::showStudent(const Recordset& student) {
    txtStdID->setText(student.text(QStringLiteral("StdID")));
    txtStdName->setText(student.text(QStringLiteral("StdName")));
    txtStdName->setCursorPosition(0); // a long name shows its start
    lblLevel->setText(student.text(QStringLiteral("StdLevel")));
    m_listedStdId = txtStdID->text();
    LoadRegisteredCourses(m_listedStdId);
}

void frmRegister::codeChanged() {
    // A list shown under another code would be taken for this one's.
    m_listedStdId.clear();
    if (ListView::count(ListView1) > 0 || !lblLevel->text().isEmpty()) {
        ListView1->clear();
        txtStdName->clear();
        lblLevel->clear();
    }
}

void frmRegister::findByCode() {
    forgetStudent();
    const Recordset student = StudentLookup::byCode(txtStdID->text(), studentColumns);
    if (student.isEmpty()) {
        Library::MsgError(QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง"));
        txtStdName->clear();
        lblLevel->clear();
    } else {
        showStudent(student);
    }
    Library::SelectAllText(txtStdID);
}

void frmRegister::findByName() {
    forgetStudent();
    Recordset student;
    const StudentLookup::Outcome outcome =
        StudentLookup::byName(txtStdName->text().trimmed(), studentColumns, this, student);
    if (outcome == StudentLookup::Outcome::NoneFound) {
        txtStdID->clear();
        Library::SelectAllText(txtStdName);
        return;
    }
    if (outcome == StudentLookup::Outcome::Cancelled || student.isEmpty())
        return;
    showStudent(student);
    txtStdID->setFocus();
}

void frmRegister::registerCourse() {
    if (txtStdID->text().trimmed().isEmpty())
        return;
    if (m_listedStdId != txtStdID->text()) {
        forgetStudent();
        const Recordset student = StudentLookup::byCode(txtStdID->text(), studentColumns);
        if (student.isEmpty())
            return;
        showStudent(student);
    }

    QString courseNo;
    {
        frmListCourse picker(this);
        picker.showModal();
        if (!picker.IsOK)
            return;
        courseNo = picker.CourseNo;
    }

    const QString stdId = txtStdID->text().trimmed();
    RegistrationStore::Addition addition{};
    if (!runDatabaseWork(QStringLiteral("บันทึกการลงทะเบียนไม่ได้"), [&] {
            addition = RegistrationStore::add(stdId, courseNo, Library::gToday);
        }))
        return;
    if (addition == RegistrationStore::Addition::Duplicate) {
        Library::MsgError(QStringLiteral("บันทึกคอร์ส ซ้ำ"));
        return;
    }
    if (addition == RegistrationStore::Addition::ClassGone) {
        Library::MsgError(QStringLiteral("ไม่พบวิชาเรียน ") + courseNo +
                          QStringLiteral(" อาจถูกลบไปแล้ว ไม่ได้บันทึก"));
        return;
    }

    const Recordset added = Library::OpenRecordset(
        registrationsHead + QStringLiteral("WHERE StdID = ? AND CourseNo = ?"), {stdId, courseNo});
    if (added.isEmpty())
        return;
    addRow(added);
    ListView::select(ListView1, ListView::count(ListView1));
}

void frmRegister::removeCourse() {
    const int index = ListView::selectedIndex(ListView1);
    if (ListView::count(ListView1) == 0 || m_listedStdId != txtStdID->text() || index < 1)
        return;
    QTreeWidgetItem* row = ListView::item(ListView1, index);
    const QString paidMessage = QStringLiteral("คอร์ส") + row->text(1) +
                                QStringLiteral("  ได้ชำระค่าเรียนแล้ว ไม่สามารถทำการลบรายการได้");
    if (Money::fromText(ListView::cellTag(row, feeColumn)) > Money()) {
        Library::MsgError(paidMessage);
        return;
    }
    if (Library::MsgAsk(QStringLiteral("ต้องการลบรายการที่เลือก  หรือไม่"), true) != Library::vbYes)
        return;

    RegistrationStore::RemoveResult result;
    if (!runDatabaseWork(QStringLiteral("ลบข้อมูลไม่ได้"), [&] {
            result = RegistrationStore::remove(txtStdID->text(), ListView::rowTag(row));
        }))
        return;
    if (result.outcome == RegistrationStore::Removal::Paid) {
        // Paid at another desk since the list was read: keep the row as it is now.
        ListView::setCellTag(row, feeColumn, result.paid.toText(false));
        Library::MsgError(paidMessage);
        return;
    }
    if (result.outcome == RegistrationStore::Removal::Gone)
        Library::MsgError(QStringLiteral("ไม่พบรายการนี้แล้ว อาจถูกลบไปแล้ว"));
    delete row;
    ListView::select(ListView1, qMin(index, ListView::count(ListView1)));
}
