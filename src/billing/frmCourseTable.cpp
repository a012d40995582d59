#include "billing/frmCourseTable.h"

#include "billing/CourseTableStore.h"
#include "core/Seams.h"
#include "frame/DateBox.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/OpenCourses.h"
#include "reference/frmFindTech.h"
#include "report/viewer/LibraryReports.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString numberText(double value) {
    return QString::number(value, 'g', 15);
}

QString numberText(const QVariant& value) {
    return value.isNull() ? QString() : numberText(value.toDouble());
}

// A stored amount as a plain number: no separators, no zero decimals.
QString plainAmount(Money amount) {
    QString text = amount.toText(false);
    if (text.endsWith(QStringLiteral(".00")))
        text.chop(3);
    return text;
}

QLineEdit* textBox(QWidget* parent, int maxLength, bool rightAligned = false) {
    auto* box = new QLineEdit(parent);
    box->setMaxLength(maxLength);
    if (rightAligned)
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return box;
}

QComboBox* listCombo(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QLabel* label(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

// A class another desk deleted since the list was read.
QString classGoneMessage(const QString& courseNo) {
    return QStringLiteral("ไม่พบวิชาเรียน ") + courseNo + QStringLiteral(" อาจถูกลบไปแล้ว");
}

} // namespace

frmCourseTable::frmCourseTable(QWidget* parent) : FormBase(parent) {
    setAttribute(Qt::WA_DeleteOnClose);

    auto* top = new QHBoxLayout;
    cboCouse = new QComboBox(this);
    cboCouse->setObjectName(QStringLiteral("cboCouse"));
    // A long course name does not widen the window.
    cboCouse->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboCouse->setMinimumContentsLength(40);
    dtpDate1 = new DateBox(this);
    dtpDate2 = new DateBox(this);
    top->addWidget(label(QStringLiteral("คอร์ส :"), this));
    top->addWidget(cboCouse);
    top->addStretch(1);
    top->addWidget(label(QStringLiteral("ช่วงวันที่แสดง :"), this));
    top->addWidget(dtpDate1);
    top->addWidget(label(QStringLiteral("ถึงวันที่ :"), this));
    top->addWidget(dtpDate2);
    body()->addLayout(top);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    buildPanel();
    addListAndPanel(ListView1, Frame1);

    KeyToolbar* bar = toolbar();
    bar->addStandardButton(QStringLiteral("New"));
    bar->addStandardButton(QStringLiteral("Edit"));
    bar->addStandardButton(QStringLiteral("Delete"));
    bar->addButton(QStringLiteral("Report"), QStringLiteral("รายชื่อ"),
                   QStringLiteral("F5=รายชื่อนักเรียนที่ลงเรียนแต่ละวิชา"));
    bar->addStandardButton(QStringLiteral("Find"));
    bar->addStandardButton(QStringLiteral("Save"));
    bar->addStandardButton(QStringLiteral("Cancel"));
    // The "Find" button is carried hidden; F9 has no action here.
    declareListAndPanel(
        {{QStringLiteral("New"), QStringLiteral("Edit"), QStringLiteral("Delete"),
          QStringLiteral("Report"), QStringLiteral("Find"), QStringLiteral("Cancel")},
         QStringLiteral("F2=เพิ่มข้อมูล  F3=แก้ไข  F4=ลบข้อมูล  F5=รายชื่อ   F9=ค้นหาข้อมูล   | ESC=ยกเลิก"),
         {QStringLiteral("Find")},
         {{QStringLiteral("New"), [this] { NewRecord(); }},
          {QStringLiteral("Edit"), [this] { EditRecord(); }},
          {QStringLiteral("Delete"), [this] { DeleteRecord(); }},
          {QStringLiteral("Save"), [this] { SaveRecord(); }},
          {QStringLiteral("Report"),
           [this] {
               if (ListView::count(ListView1) > 0)
                   PrintReport();
           }}},
         [this] { backToBrowse(); }});
    declareKeys({{Qt::Key_F5, QStringLiteral("Report")}});

    connect(cboCouse, &QComboBox::currentIndexChanged, this, [this] {
        if (!cboCouse->currentText().trimmed().isEmpty() && cboCouse->isEnabled() &&
            cboCouse->isVisible())
            LoadList();
    });
    for (QDateEdit* picker : {dtpDate1, dtpDate2}) {
        connect(picker, &QDateEdit::dateChanged, this, [this, picker] {
            if (picker->isEnabled() && picker->isVisible())
                LoadList();
        });
    }
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (ListView::count(ListView1) > 0 && ListView::selectedIndex(ListView1) >= 1)
            EditRecord();
    });

    // Loading the window.
    setTitle(QStringLiteral(" วิชาที่เปิดสอน "));
    const QDate today = Library::KeyToDate(Library::gToday);
    dtpDate1->setDate(today.addMonths(-6));
    dtpDate2->setDate(today);
    InitColumns();
    OpenCourses::fill(cboCouse, 100);
    LoadCombos();
    if (cboCouse->count() > 0) {
        cboCouse->setCurrentIndex(0);
        LoadList();
    }
}

void frmCourseTable::buildPanel() {
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(Frame1);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    txtCourseNo = textBox(Frame1, 7);
    txtCourseNo->setEnabled(false);
    cboLevel = listCombo(Frame1);
    cboSubject = listCombo(Frame1);
    txtCourseDate = textBox(Frame1, 30);
    txtCourseTime = textBox(Frame1, 30);
    dtpStartDate = new DateBox(Frame1);
    dtpEndDate = new DateBox(Frame1);
    txtHour = textBox(Frame1, 5);
    txtRoom = textBox(Frame1, 20);
    txtCoursePrice = textBox(Frame1, 15, true);

    // Caption, field, the unit after it, and the field's place: row and left or right column.
    struct Field {
        const char16_t* caption;
        QWidget* field;
        const char16_t* unit;
        int row;
        int column;
    };
    const Field fields[] = {
        {u"รหัสวิชาเรียน :", txtCourseNo, nullptr, 0, 0},
        {u"ระดับ :", cboLevel, nullptr, 1, 0},
        {u"วิชา :", cboSubject, nullptr, 1, 3},
        {u"วันที่เรียนในสัปดาห์ :", txtCourseDate, nullptr, 2, 0},
        {u"เวลา :", txtCourseTime, nullptr, 2, 3},
        {u"วันที่เริ่มเรียน :", dtpStartDate, nullptr, 3, 0},
        {u"วันที่สิ้นสุดเรียน :", dtpEndDate, nullptr, 3, 3},
        {u"จำนวนเวลาเรียน :", txtHour, u"ชั่วโมง", 4, 0},
        {u"ห้องเรียน :", txtRoom, nullptr, 4, 3},
        {u"ค่าเรียน :", txtCoursePrice, u"บาท", 5, 0},
    };
    for (const Field& f : fields) {
        grid->addWidget(label(QString::fromUtf16(f.caption), Frame1), f.row, f.column);
        if (!f.unit) {
            grid->addWidget(f.field, f.row, f.column + 1);
            continue;
        }
        auto* box = new QHBoxLayout;
        box->addWidget(f.field);
        box->addWidget(label(QString::fromUtf16(f.unit), Frame1));
        box->addStretch(1);
        grid->addLayout(box, f.row, f.column + 1);
    }
    grid->setColumnMinimumWidth(2, 30);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);

    auto* teachers = new QGridLayout;
    layout->addSpacing(12);
    layout->addLayout(teachers);
    for (int i = 0; i < 4; ++i) {
        txtTechID[i] = textBox(Frame1, 20);
        cmdListTech[i] = new QPushButton(QStringLiteral(".."), Frame1);
        cmdListTech[i]->setFocusPolicy(Qt::ClickFocus);
        cmdListTech[i]->setFixedWidth(28);
        lblName[i] = new QLabel(Frame1);
        lblName[i]->setFrameShape(QFrame::StyledPanel);
        txtRate[i] = textBox(Frame1, 15, true);
        teachers->addWidget(label(QStringLiteral("รหัสอาจารย์ผู้สอน :"), Frame1), i, 0);
        teachers->addWidget(txtTechID[i], i, 1);
        teachers->addWidget(cmdListTech[i], i, 2);
        teachers->addWidget(label(QStringLiteral("ชื่อ :"), Frame1), i, 3);
        teachers->addWidget(lblName[i], i, 4);
        teachers->addWidget(label(QStringLiteral("อัตราค่าสอน ชม. ละ :"), Frame1), i, 5);
        teachers->addWidget(txtRate[i], i, 6);
        teachers->addWidget(label(QStringLiteral("บาท"), Frame1), i, 7);
        connect(cmdListTech[i], &QPushButton::clicked, this, [this, i] { cmdListTech_Click(i); });
    }
    teachers->setColumnStretch(4, 1);
    layout->addStretch(1);
    // The panel holds all its rows: the fourth teacher's, the last, starts 4230 twips
    // below its top and is one row high.
    Frame1->setMinimumHeight(4600 / ListView::twipsPerPixel);

    for (QLineEdit* box : {txtHour, txtCoursePrice})
        Library::InstallNumericFilter(box);
    for (int i = 0; i < 4; ++i) {
        Library::InstallNumericFilter(txtTechID[i]);
        Library::InstallNumericFilter(txtRate[i]);
    }

    QList<QWidget*> order{cboLevel,   cboSubject, txtCourseDate, txtCourseTime, dtpStartDate,
                          dtpEndDate, txtHour,    txtRoom,       txtCoursePrice};
    for (int i = 0; i < 4; ++i)
        order << txtTechID[i] << txtRate[i];
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    moveFocusFrom(Frame1);
    selectOnEntry(Frame1);
    moneyBox(txtCoursePrice);
    for (int i = 0; i < 4; ++i)
        onLeave(txtTechID[i], [this, i] { return txtTechID_LostFocus(i); });
}

void frmCourseTable::InitColumns() {
    ListView::setup(ListView1, {{QStringLiteral("ระดับ"), 1500, Qt::AlignLeft},
                                {QStringLiteral("วิชา"), 1200, Qt::AlignHCenter},
                                {QStringLiteral("วันที่เรียน"), 3000, Qt::AlignHCenter},
                                {QStringLiteral("เวลาเรียน"), 2000, Qt::AlignHCenter},
                                {QStringLiteral("ค่าเรียน"), 1200, Qt::AlignRight},
                                {QStringLiteral("วันที่เริ่ม"), 1500, Qt::AlignHCenter},
                                {QStringLiteral("วันที่สิ้นสุด"), 1500, Qt::AlignHCenter},
                                {QStringLiteral("เวลาเรียน (ชม.)"), 1500, Qt::AlignHCenter},
                                {QStringLiteral("ห้องเรียน"), 1500, Qt::AlignHCenter}});
    ListView::keepElasticColumnWhole(ListView1);
}

void frmCourseTable::LoadCombos() {
    cboLevel->clear();
    Recordset levels = Library::OpenRecordset(
        QStringLiteral("Select CourseLevel From CourseLevel Order by CourseLevel COLLATE THAI"));
    for (levels.MoveFirst(); !levels.isEOF(); levels.MoveNext())
        cboLevel->addItem(levels.text(QStringLiteral("CourseLevel")));
    cboSubject->clear();
    Recordset subjects = Library::OpenRecordset(
        QStringLiteral("Select Subject From Subject Order by Subject COLLATE THAI"));
    for (subjects.MoveFirst(); !subjects.isEOF(); subjects.MoveNext())
        cboSubject->addItem(subjects.text(QStringLiteral("Subject")));
    cboLevel->setCurrentIndex(-1);
    cboSubject->setCurrentIndex(-1);
}

void frmCourseTable::LoadList() {
    if (dtpDate1->date() > dtpDate2->date()) {
        const QSignalBlocker block1(dtpDate1);
        const QSignalBlocker block2(dtpDate2);
        const QDate from = dtpDate2->date();
        dtpDate2->setDate(dtpDate1->date());
        dtpDate1->setDate(from);
    }
    const QString from = Library::DateToKey(dtpDate1->date());
    const QString to = Library::DateToKey(dtpDate2->date());
    const QString key = Library::GetItemKey(cboCouse);
    if (key.isEmpty())
        return;
    ListView1->clear();
    Recordset classes = Library::OpenRecordset(
        QStringLiteral(
            "Select CourseNo, CourseLevel, Subject, CourseDate, CourseTime, CoursePrice, "
            "DateStart, DateEnd, TimeHour, RoomNo From CourseTable Where CourseID = ? and "
            "((DateStart Between ? and ?) or (DateEnd Between ? and ?)) "
            "Order By CourseLevel COLLATE THAI, CourseNo"),
        {key, from, to, from, to});
    const QString todayText =
        QLocale().toString(Library::KeyToDate(Library::gToday), QLocale::ShortFormat);
    auto dateText = [&classes, &todayText](const QString& column) {
        const QString key = classes.text(column);
        return key.isEmpty() ? todayText : Library::KeyToThaiDate(key);
    };
    for (classes.MoveFirst(); !classes.isEOF(); classes.MoveNext()) {
        const QString fee = classes.isNull(QStringLiteral("CoursePrice"))
                                ? QString()
                                : classes.money(QStringLiteral("CoursePrice")).toText(true);
        ListView::addRow(
            ListView1,
            {classes.text(QStringLiteral("CourseLevel")), classes.text(QStringLiteral("Subject")),
             classes.text(QStringLiteral("CourseDate")), classes.text(QStringLiteral("CourseTime")),
             fee, dateText(QStringLiteral("DateStart")), dateText(QStringLiteral("DateEnd")),
             numberText(classes.value(QStringLiteral("TimeHour"))),
             classes.text(QStringLiteral("RoomNo"))},
            classes.text(QStringLiteral("CourseNo")));
    }
    ListView::keepElasticColumnWhole(ListView1);
    ListView::select(ListView1, 1);
}

void frmCourseTable::ClearFields() {
    for (QLineEdit* box :
         {txtCourseNo, txtCourseDate, txtCoursePrice, txtCourseTime, txtHour, txtRoom})
        box->clear();
    const QDate today = Library::KeyToDate(Library::gToday);
    dtpStartDate->setDate(today);
    dtpEndDate->setDate(today);
    cboSubject->setCurrentIndex(-1);
    cboLevel->setCurrentIndex(-1);
}

void frmCourseTable::ClearTeacherRow(int index) {
    txtTechID[index]->clear();
    lblName[index]->clear();
    txtRate[index]->clear();
    m_rowCode[index].clear();
}

bool frmCourseTable::ShowRecord(const QString& courseNo) {
    Recordset course = Library::OpenRecordset(
        QStringLiteral(
            "Select CourseNo, CourseLevel, Subject, CourseDate, CourseTime, CoursePrice, "
            "DateStart, DateEnd, TimeHour, RoomNo From CourseTable Where CourseNo = ?"),
        {courseNo});
    if (course.isEmpty())
        return false;
    ClearFields();
    for (int i = 0; i < 4; ++i)
        ClearTeacherRow(i);
    txtCourseNo->setText(course.text(QStringLiteral("CourseNo")));
    txtCourseDate->setText(course.text(QStringLiteral("CourseDate")));
    txtCourseTime->setText(course.text(QStringLiteral("CourseTime")));
    Library::showWhole(txtCoursePrice, course.money(QStringLiteral("CoursePrice")).toText(true));
    const QString start = course.text(QStringLiteral("DateStart"));
    const QString end = course.text(QStringLiteral("DateEnd"));
    if (!start.isEmpty())
        dtpStartDate->setDate(Library::KeyToDate(start));
    if (!end.isEmpty())
        dtpEndDate->setDate(Library::KeyToDate(end));
    cboSubject->setCurrentText(course.text(QStringLiteral("Subject")));
    cboLevel->setCurrentText(course.text(QStringLiteral("CourseLevel")));
    Library::showWhole(txtHour, numberText(course.value(QStringLiteral("TimeHour"))));
    txtRoom->setText(course.text(QStringLiteral("RoomNo")));

    Recordset teachers = Library::OpenRecordset(
        QStringLiteral("Select TeacherCourse.TechID, TeacherCourse.TechRateAmt, TechName From "
                       "TeacherCourse Inner Join Teacher "
                       "On TeacherCourse.TechID = Teacher.TechID Where CourseNo = ? "
                       "Order By TeacherCourse.rowid"),
        {courseNo});
    int row = 0;
    for (teachers.MoveFirst(); !teachers.isEOF() && row < 4; teachers.MoveNext(), ++row) {
        m_rowCode[row] = teachers.text(QStringLiteral("TechID"));
        txtTechID[row]->setText(m_rowCode[row]);
        lblName[row]->setText(teachers.text(QStringLiteral("TechName")));
        Library::showWhole(txtRate[row],
                           teachers.money(QStringLiteral("TechRateAmt")).toText(true));
    }
    return true;
}

void frmCourseTable::openPanel(int mode) {
    setMode(mode);
    cboCouse->setEnabled(false);
    dtpDate1->setEnabled(false);
    dtpDate2->setEnabled(false);
    showPanel(true);
    cboLevel->setFocus();
}

void frmCourseTable::backToBrowse() {
    setMode(Browse);
    m_editedRow = nullptr;
    showPanel(false);
    dtpDate1->setEnabled(true);
    dtpDate2->setEnabled(true);
    cboCouse->setEnabled(true);
    ListView1->setFocus();
}

void frmCourseTable::NewRecord() {
    ClearFields();
    runDatabaseWork(QStringLiteral("อ่านรหัสวิชาเรียนไม่ได้"), [this] {
        txtCourseNo->setText(CourseTableStore::proposedNumber(Seams::today()));
    });
    m_editedRow = nullptr;
    openPanel(Add);
}

void frmCourseTable::EditRecord() {
    const int selected = ListView::selectedIndex(ListView1);
    if (ListView::count(ListView1) == 0 || selected < 1)
        return;
    QTreeWidgetItem* row = ListView::item(ListView1, selected);
    const QString courseNo = ListView::rowTag(row).trimmed();
    if (!ShowRecord(courseNo)) {
        Library::MsgError(classGoneMessage(courseNo));
        return;
    }
    m_editedRow = row;
    openPanel(Edit);
}

bool frmCourseTable::txtTechID_LostFocus(int index) {
    const QString code = txtTechID[index]->text().trimmed();
    if (code.isEmpty()) {
        ClearTeacherRow(index);
        return true;
    }
    if (code == m_rowCode[index])
        return true; // the row keeps the class's own rate
    for (int i = 0; i < 4; ++i) {
        if (i != index && txtTechID[i]->text().trimmed() == code) {
            Library::MsgError(QStringLiteral("รหัสอาจารย์  ซ้ำ"));
            ClearTeacherRow(index);
            return false;
        }
    }
    Recordset teacher = Library::OpenRecordset(
        QStringLiteral("select TechName, TechRateAmt From Teacher Where TechID = ?"), {code});
    if (teacher.isEmpty()) {
        ClearTeacherRow(index);
        return true;
    }
    lblName[index]->setText(teacher.text(QStringLiteral("TechName")));
    Library::showWhole(txtRate[index], plainAmount(teacher.money(QStringLiteral("TechRateAmt"))));
    m_rowCode[index] = code;
    return true;
}

void frmCourseTable::cmdListTech_Click(int index) {
    const QString id = frmFindTech::choose(this);
    if (id.isEmpty())
        return;
    txtTechID[index]->setText(id);
    txtTechID_LostFocus(index);
}

void frmCourseTable::fillListRow(QTreeWidgetItem* row, const QStringList& texts) {
    for (int c = 0; c < texts.size(); ++c)
        row->setText(c, texts.at(c));
}

void frmCourseTable::SaveRecord() {
    if (cboLevel->currentText().trimmed().isEmpty()) {
        Library::MsgError(QStringLiteral("ระดับ ว่างไม่ได้"));
        cboLevel->setFocus();
        return;
    }
    if (cboSubject->currentText().trimmed().isEmpty()) {
        Library::MsgError(QStringLiteral("วิชา ว่างไม่ได้"));
        cboSubject->setFocus();
        return;
    }
    const QString courseId = Library::GetItemKey(cboCouse);
    if (courseId.isEmpty()) {
        Library::MsgError(QStringLiteral("คอร์ส ว่างไม่ได้"));
        return;
    }
    if (!Library::amountFits(txtCoursePrice, QStringLiteral("ค่าเรียน")))
        return;
    for (QLineEdit* rate : txtRate)
        if (!Library::amountFits(rate, QStringLiteral("อัตราค่าสอน")))
            return;
    const std::optional<double> hours =
        Library::typedNumber(txtHour, QStringLiteral("จำนวนเวลาเรียน"));
    if (!hours)
        return;
    if (Library::MsgAsk(QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"), true) != Library::vbYes)
        return;

    CourseClass course;
    course.courseNo = txtCourseNo->text();
    course.courseId = courseId;
    course.level = cboLevel->currentText().trimmed();
    course.subject = cboSubject->currentText().trimmed();
    course.days = txtCourseDate->text().trimmed();
    course.time = txtCourseTime->text().trimmed();
    course.price = Money::fromText(txtCoursePrice->text());
    course.dateStart = Library::DateToKey(dtpStartDate->date());
    course.dateEnd = Library::DateToKey(dtpEndDate->date());
    course.hours = *hours;
    course.room = txtRoom->text().trimmed();
    for (int i = 0; i < 4; ++i) {
        const QString code = txtTechID[i]->text().trimmed();
        if (!code.isEmpty())
            course.teachers.append({code, Money::fromText(txtRate[i]->text())});
    }

    const bool adding = mode() == Add;
    bool found = true;
    if (!runDatabaseWork(QStringLiteral("บันทึกวิชาเรียนไม่ได้"), [&] {
            if (adding)
                course.courseNo = CourseTableStore::add(course, Seams::today());
            else
                found = CourseTableStore::update(course);
        }))
        return;
    if (!found) {
        Library::MsgError(QStringLiteral("ไม่พบวิชาเรียน ") + course.courseNo +
                          QStringLiteral(" อาจถูกลบไปแล้ว ไม่ได้บันทึก"));
        backToBrowse();
        return;
    }
    if (adding)
        txtCourseNo->setText(course.courseNo);

    const QStringList texts{course.level,
                            course.subject,
                            course.days,
                            course.time,
                            txtCoursePrice->text(),
                            Library::DateToThaiDate(dtpStartDate->date()),
                            Library::DateToThaiDate(dtpEndDate->date()),
                            numberText(course.hours),
                            course.room};
    if (adding) {
        QTreeWidgetItem* row = ListView::addRow(ListView1, texts, course.courseNo);
        if (ListView::selectedIndex(ListView1) == 0)
            ListView::select(ListView1, ListView1->indexOfTopLevelItem(row) + 1);
        NewRecord();
    } else {
        if (m_editedRow)
            fillListRow(m_editedRow, texts);
        backToBrowse();
    }
}

void frmCourseTable::DeleteRecord() {
    const int selected = ListView::selectedIndex(ListView1);
    if (ListView::count(ListView1) == 0 || selected < 1)
        return;
    if (Library::MsgAsk(QStringLiteral("ต้องการรายการที่เลือก หรือไม่"), true) != Library::vbYes)
        return;
    QTreeWidgetItem* row = ListView::item(ListView1, selected);
    const QString courseNo = ListView::rowTag(row);
    CourseTableStore::DeleteResult result{};
    if (!runDatabaseWork(QStringLiteral("ลบวิชาเรียนไม่ได้"),
                         [&] { result = CourseTableStore::remove(courseNo); }))
        return;
    if (result == CourseTableStore::DeleteResult::Gone)
        Library::MsgError(classGoneMessage(courseNo));
    if (result == CourseTableStore::DeleteResult::InUse) {
        Library::MsgError(
            QStringLiteral("ลบไม่ได้ วิชาเรียนนี้มีการลงทะเบียน การเข้าชั้นเรียน หรือใบเสร็จรับเงินแล้ว"));
        return;
    }
    delete row;
    ListView::select(ListView1, std::min(selected, ListView::count(ListView1)));
}

void frmCourseTable::PrintReport() {
    const int selected = ListView::selectedIndex(ListView1);
    if (selected < 1)
        return;
    const QString courseNo = ListView::rowTag(ListView::item(ListView1, selected));
    // The class heads the list from its own row, pupils or none.
    QList<std::pair<QString, QString>> formulas{
        {QStringLiteral("lblComp"), Library::Quote(Library::gShopName)}};
    const Recordset course = Library::OpenRecordset(
        QStringLiteral("SELECT * FROM QCourseTable WHERE CourseNo = ?"), {courseNo});
    for (const char16_t* column : {u"CourseNo", u"CourseName", u"CourseLevel", u"Subject",
                                   u"CourseDate", u"CourseTime", u"RoomNo"}) {
        const QString name = QString::fromUtf16(column);
        if (!course.isEmpty())
            formulas.append({QStringLiteral("lbl") + name, Library::Quote(course.text(name))});
    }
    Library::showReportFile(
        QStringLiteral("rep7.rpt"), QString(), formulas,
        QStringLiteral("SELECT * From QStudentCourse3 Where CourseNo = ? Order By StdID"),
        {courseNo});
}
