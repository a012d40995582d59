#include "results/frmQuery.h"

#include "core/Recordset.h"
#include "frame/ElidedLabel.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/StudentLookup.h"
#include "results/StudentAge.h"
#include "results/StudentPhoto.h"
#include "results/frmStudentHis.h"
#include "results/frmStudentStm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace {

constexpr int twips = ListView::twipsPerPixel;
const QSize photoBox(1800 / twips, 2250 / twips);

// A caption and its field on a row of the profile; a caption without a field
// stands after the previous field.
struct Pair {
    QString caption;
    QWidget* field = nullptr;
    int stretch = 0;
};

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QString blankAnd(const Recordset& student, const QString& column) {
    return QLatin1Char(' ') + student.text(column);
}

} // namespace

frmQuery::frmQuery(QWidget* parent) : FormBase(parent) {
    setWindowTitle(QString());
    setTitle(QStringLiteral(" สอบถามข้อมูล "));
    rulesAboveToolbar();
    buildProfile();

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    const QList<ListView::Column> columns = {
        {QStringLiteral("คอร์ส"), 4500, Qt::AlignLeft},
        {QStringLiteral("ระดับ"), 1000, Qt::AlignHCenter},
        {QStringLiteral("วิชา"), 1000, Qt::AlignHCenter},
        {QStringLiteral("วันที่เรียน"), 1600, Qt::AlignHCenter},
        {QStringLiteral("เวลา"), 1400, Qt::AlignHCenter},
        {QStringLiteral("เริ่มเรียน"), 1200, Qt::AlignHCenter},
        {QStringLiteral("ชำระเงิน"), 1200, Qt::AlignRight},
        {QStringLiteral("วันที่ชำระเงิน"), 1500, Qt::AlignHCenter}};
    ListView::setup(ListView1, columns);
    ListView1->header()->setStretchLastSection(false);
    int width = 2 * ListView1->frameWidth();
    for (const ListView::Column& column : columns)
        width += column.widthTwips / twips;
    // However short the window, the list keeps every column at its width and 1125 twips
    // of height, room for its header and a couple of classes.
    ListView1->setMinimumSize(width, 1125 / twips);
    body()->addWidget(ListView1, 1);

    toolbar()->addButton(QStringLiteral("History"), QStringLiteral("การลงเรียน"),
                         QStringLiteral("[F5] - ประวัติการลงเรียน"));
    toolbar()->addButton(QStringLiteral("Point_Grade"), QStringLiteral("ผลการเรียน"),
                         QStringLiteral("[F6] - ผลการเรียนปัจจุบัน"));
    toolbar()->addButton(QStringLiteral("Pay"), QStringLiteral("การชำระเงิน"),
                         QStringLiteral("[F7] - ประวัติการชำระค่าเรียน"));
    toolbar()->addSeparator();
    toolbar()->addStandardButton(QStringLiteral("Cancel"));

    setTabOrder(txtStdID, txtStdName);
    setTabOrder(txtStdName, txtNickName);
    setTabOrder(txtNickName, txtMemo);
    setTabOrder(txtMemo, ListView1);

    declareButtons(
        {{QStringLiteral("History"),
          [this] { showHistory(QStringLiteral("0"), QStringLiteral(" ประวัติการลงเรียน ")); }},
         {QStringLiteral("Point_Grade"),
          [this] { showHistory(QStringLiteral("1"), QStringLiteral(" ผลการเรียนปัจจุบัน ")); }},
         {QStringLiteral("Pay"), [this] { showPayments(); }},
         {QStringLiteral("Cancel"), [this] { cancel(); }}});
    declareKeys({{Qt::Key_F5, QStringLiteral("History")},
                 {Qt::Key_F6, QStringLiteral("Point_Grade")},
                 {Qt::Key_F7, QStringLiteral("Pay")},
                 {Qt::Key_Escape, QStringLiteral("Cancel")}});
    setMenuHelp(QStringLiteral("  F5=การลงเรียน  F6=ผลการเรียน  F7=การชำระเงิน  | ESC=ยกเลิก"));
    for (QLineEdit* box : {txtStdID, txtStdName, txtNickName}) {
        moveFocusFrom(box);
        selectOnEntry(box);
    }
    onKey(txtStdID, Qt::Key_Return, [this] {
        if (txtStdID->text().trimmed().isEmpty())
            Library::KeyMoveFocus(txtStdID, Qt::Key_Return);
        else
            lookupByCode();
    });
    onKey(txtStdName, Qt::Key_Return, [this] { search(txtStdName); });
    onKey(txtNickName, Qt::Key_Return, [this] { search(txtNickName); });

    ClearFields();
    txtStdID->setFocus();
}

void frmQuery::buildProfile() {
    const auto box = [this](const char* name, int widthTwips) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMinimumWidth(widthTwips / twips);
        return edit;
    };
    const auto field = [this](const char* name, int widthTwips = 0) {
        // A long value is cut short (whole in the tooltip): the window keeps its width.
        auto* label = new ElidedLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMargin(2); // the value does not touch its frame
        label->setMinimumWidth(widthTwips / twips);
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        m_fields << label;
        return label;
    };
    txtStdID = box("txtStdID", 1500);
    txtStdName = box("txtStdName", 4000);
    txtNickName = box("txtNickName", 1500);
    lblFather = field("lblFather");
    lblMother = field("lblMother");
    lblFatherJob = field("lblFatherJob");
    lblMotherJob = field("lblMotherJob");
    lblBirthDay = field("lblBirthDay", 1400);
    lblAge = field("lblAge", 600);
    lblAge->setAlignment(Qt::AlignCenter);
    lblSex = field("lblSex", 800);
    lblReligion = field("lblReligion", 1200);
    lblTel = field("lblTel", 1800);
    lblAddr = field("lblAddr");
    lblAddr->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAddr->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    lblAddr->setMinimumHeight(2 * lblAddr->fontMetrics().lineSpacing() + 6);
    lblEmail = field("lblEmail", 2500);
    lblRegDate = field("lblRegDate", 1400);
    lblLevel = field("lblLevel", 1000);
    lblSchool = field("lblSchool");
    lblSubject = field("lblSubject");
    lblHobby = field("lblHobby");
    lblColor = field("lblColor");
    lblPurpose = field("lblPurpose");
    lblReason = field("lblReason");
    lblSuggest = field("lblSuggest");
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "lblGrade" + QByteArray::number(i + 1);
        lblGrade[i] = field(name.constData(), 700);
        lblGrade[i]->setAlignment(Qt::AlignCenter);
    }
    txtMemo = new QPlainTextEdit(this);
    txtMemo->setObjectName(QStringLiteral("txtMemo"));
    txtMemo->setReadOnly(true);
    txtMemo->setTabChangesFocus(true);
    txtMemo->setFixedHeight(2 * txtMemo->fontMetrics().lineSpacing() + 12);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(photoBox + QSize(4, 4));
    Image1->setFrameShape(QFrame::Box);
    Image1->setAlignment(Qt::AlignCenter);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(4);
    int row = 0;
    const auto addRow = [&](const QList<Pair>& pairs, Qt::Alignment firstAlignment = {}) {
        grid->addWidget(caption(pairs.first().caption, this), row, 0,
                        firstAlignment | Qt::AlignRight);
        auto* line = new QHBoxLayout;
        for (int i = 0; i < pairs.size(); ++i) {
            const Pair& pair = pairs.at(i);
            if (i > 0 && pair.field)
                line->addSpacing(8);
            if (i > 0 && !pair.caption.isEmpty())
                line->addWidget(caption(pair.caption, this));
            if (pair.field)
                line->addWidget(pair.field, pair.stretch);
        }
        grid->addLayout(line, row, 1, 1, row < 6 ? 1 : 2);
        ++row;
    };
    addRow({{QStringLiteral("รหัสนักศึกษา :"), txtStdID},
            {QStringLiteral("ชื่อ-สกุล :"), txtStdName, 3},
            {QStringLiteral("ชื่อเล่น :"), txtNickName, 1}});
    addRow({{QStringLiteral("ชื่อบิดา/ผู้ปกครอง :"), lblFather, 1},
            {QStringLiteral("ชื่อมารดา :"), lblMother, 1}});
    addRow({{QStringLiteral("อาชีพบิดา/ผู้ปกครอง :"), lblFatherJob, 1},
            {QStringLiteral("อาชีพมารดา :"), lblMotherJob, 1}});
    addRow({{QStringLiteral("วันเกิด :"), lblBirthDay},
            {QStringLiteral("อายุ :"), lblAge},
            {QStringLiteral("ปี")},
            {QStringLiteral("เพศ :"), lblSex},
            {QStringLiteral("ศาสนา :"), lblReligion},
            {QStringLiteral("โทรศัพท์ :"), lblTel, 1}});
    addRow({{QStringLiteral("ที่อยู่ปัจจุบัน :"), lblAddr, 2}, {QStringLiteral("e-mail :"), lblEmail, 1}},
           Qt::AlignTop);
    addRow({{QStringLiteral("วันที่สมัคร :"), lblRegDate},
            {QStringLiteral("ระดับ :"), lblLevel},
            {QStringLiteral("ชื่อโรงเรียน :"), lblSchool, 1}});
    addRow({{QStringLiteral("วิชาที่ชอบ :"), lblSubject, 1},
            {QStringLiteral("งานอดิเรก :"), lblHobby, 1}});
    addRow({{QStringLiteral("สีที่ชอบ :"), lblColor, 1},
            {QStringLiteral("เป้าหมายการสอบ :"), lblPurpose, 1}});
    addRow({{QStringLiteral("เหตุผลที่ให้เด็กมาเรียน :"), lblReason, 1}});
    addRow({{QStringLiteral("ข้อเสนอแนะ :"), lblSuggest, 1}});
    addRow({{QStringLiteral("หมายเหตุ :"), txtMemo, 1}}, Qt::AlignTop);
    const QStringList subjects = {QStringLiteral("วิชาคณิต :"), QStringLiteral("อังกฤษ :"),
                                  QStringLiteral("วิทย์ :"),    QStringLiteral("ไทย :"),
                                  QStringLiteral("สังคม :"),   QStringLiteral("ฟิสิกส์ :"),
                                  QStringLiteral("เคมี :"),    QStringLiteral("ชีววิทยา :")};
    QList<Pair> grades = {{QStringLiteral("ผลการเรียนในโรงเรียน")}};
    for (int i = 0; i < 8; ++i)
        grades.append({subjects.at(i), lblGrade[i], 1});
    addRow(grades);

    grid->addWidget(Image1, 0, 2, 6, 1, Qt::AlignTop | Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    body()->addLayout(grid);
}

void frmQuery::ShowStudent(const QString& stdId) {
    const Recordset student =
        Library::OpenRecordset(QStringLiteral("Select * From Student Where StdID = ?"), {stdId});
    if (student.isEmpty()) {
        Library::MsgError(QStringLiteral("ไม่พบรหัสนักศึกษา"));
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(
        StudentPhoto::load(Library::gImagePath, student.text(QStringLiteral("StdID")), photoBox)));

    m_shownStdId = student.text(QStringLiteral("StdID"));
    txtStdID->setText(m_shownStdId);
    txtStdName->setText(blankAnd(student, QStringLiteral("StdName")));
    txtStdName->setCursorPosition(0); // a long name shows its start
    txtNickName->setText(blankAnd(student, QStringLiteral("StdNickName")));
    lblFather->setText(blankAnd(student, QStringLiteral("StdFather")));
    lblMother->setText(blankAnd(student, QStringLiteral("StdMother")));
    lblFatherJob->setText(blankAnd(student, QStringLiteral("StdFatherJob")));
    lblMotherJob->setText(blankAnd(student, QStringLiteral("StdMotherJob")));
    QString address = blankAnd(student, QStringLiteral("StdAddr"));
    address.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblAddr->setText(address);
    const QString birthDay = student.text(QStringLiteral("StdBirthDay"));
    const bool validBirthDay = StudentAge::dateOf(birthDay).isValid();
    lblBirthDay->setText(validBirthDay ? Library::KeyToThaiDate(birthDay) : QString());
    const std::optional<int> age = StudentAge::years(birthDay, Library::gToday);
    lblAge->setText(age ? QString::number(*age) : QString());
    lblRegDate->setText(Library::KeyToThaiDate(student.text(QStringLiteral("StdRegDate"))));
    lblTel->setText(student.text(QStringLiteral("StdTel")));
    lblColor->setText(blankAnd(student, QStringLiteral("StdLikeColor")));
    lblSubject->setText(blankAnd(student, QStringLiteral("StdLikeSubject")));
    lblHobby->setText(blankAnd(student, QStringLiteral("StdLikeHobby")));
    lblPurpose->setText(blankAnd(student, QStringLiteral("StdPurpose")));
    lblReason->setText(blankAnd(student, QStringLiteral("StdReason")));
    lblSuggest->setText(blankAnd(student, QStringLiteral("StdSuggest")));
    lblSchool->setText(blankAnd(student, QStringLiteral("StdSchool")));
    lblLevel->setText(student.text(QStringLiteral("StdLevel")));
    for (int i = 0; i < 8; ++i)
        lblGrade[i]->setText(student.text(QStringLiteral("StdGrade%1").arg(i + 1)));
    lblSex->setText(student.text(QStringLiteral("StdSex")) == QStringLiteral("M")
                        ? QStringLiteral("ชาย")
                        : QStringLiteral("หญิง"));
    lblReligion->setText(student.text(QStringLiteral("StdReligion")));
    lblEmail->setText(student.text(QStringLiteral("StdEMail")));
    txtMemo->setPlainText(student.text(QStringLiteral("StdMemo")));
    LoadCourses(stdId);
}

void frmQuery::ClearFields() {
    m_shownStdId.clear();
    txtStdName->clear();
    txtNickName->clear();
    for (QLabel* label : std::as_const(m_fields))
        label->clear();
    txtMemo->clear();
    ListView1->clear();
    Image1->setPixmap(QPixmap::fromImage(StudentPhoto::builtIn(photoBox)));
}

void frmQuery::LoadCourses(const QString& stdId) {
    ListView1->clear();
    Recordset rs = Library::OpenRecordset(
        QStringLiteral("Select CourseNo, CourseName, CourseLevel, Subject, CourseDate, "
                       "CourseTime, CourseStartDate, CoursePrice, CoursePayAmt, CoursePayDate "
                       "From QStudentCourse Where StdID = ? And CourseStatus = '1' "
                       "Order By CourseID, CourseNo"),
        {stdId});
    for (; !rs.isEOF(); rs.MoveNext()) {
        const Money paid = rs.money(QStringLiteral("CoursePayAmt"));
        ListView::addRow(
            ListView1,
            {rs.text(QStringLiteral("CourseName")), rs.text(QStringLiteral("CourseLevel")),
             rs.text(QStringLiteral("Subject")), rs.text(QStringLiteral("CourseDate")),
             rs.text(QStringLiteral("CourseTime")),
             Library::KeyToThaiDate(rs.text(QStringLiteral("CourseStartDate"))), paid.toText(true),
             paid > Money() ? Library::KeyToThaiDate(rs.text(QStringLiteral("CoursePayDate")))
                            : QStringLiteral(" ")});
    }
}

void frmQuery::lookupByCode() {
    ListView1->clear();
    const Recordset student = Library::OpenRecordset(
        QStringLiteral("Select StdID From Student Where StdID = ?"), {txtStdID->text()});
    if (student.isEmpty()) {
        Library::MsgError(QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง"));
        ClearFields();
        txtStdID->selectAll();
        return;
    }
    txtStdID->setText(student.text(QStringLiteral("StdID")));
    ShowStudent(txtStdID->text());
    txtStdID->selectAll();
}

void frmQuery::search(QLineEdit* box) {
    const bool byName = box == txtStdName;
    Recordset student;
    const QString part = box->text().trimmed();
    const QString columns = QStringLiteral("StdLevel");
    const StudentLookup::Outcome outcome =
        byName ? StudentLookup::byName(part, columns, this, student)
               : StudentLookup::byNickName(part, columns, this, student);
    if (outcome == StudentLookup::Outcome::NoneFound) {
        txtStdID->clear();
        box->selectAll();
        return;
    }
    if (outcome == StudentLookup::Outcome::Cancelled)
        return;
    if (!student.isEmpty())
        txtStdID->setText(student.text(QStringLiteral("StdID")));
    ShowStudent(txtStdID->text());
    txtStdID->setFocus();
}

bool frmQuery::hasStudentShown() const {
    return !txtStdID->text().trimmed().isEmpty() && !m_shownStdId.isEmpty();
}

void frmQuery::showHistory(const QString& status, const QString& title) {
    if (!hasStudentShown())
        return;
    frmStudentHis dialog(this);
    dialog.InitData(m_shownStdId, status, title);
    dialog.showModal();
}

void frmQuery::showPayments() {
    if (!hasStudentShown())
        return;
    frmStudentStm dialog(this);
    dialog.InitData(m_shownStdId, QStringLiteral(" ประวัติการชำระเงิน "));
    dialog.showModal();
}

void frmQuery::cancel() {
    if (txtStdName->text().trimmed().isEmpty()) {
        unload();
        return;
    }
    ClearFields();
    txtStdID->setFocus();
    txtStdID->selectAll();
}
