#include "reference/frmListCourse.h"

#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/OpenCourses.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

frmListCourse::frmListCourse(QWidget* parent) : DialogBase(QStringLiteral("วิชาที่เปิดสอน"), parent) {
    auto* top = new QHBoxLayout;
    Label1 = new QLabel(QStringLiteral("คอร์ส :"), this);
    cboCouse = new QComboBox(this);
    cboCouse->setObjectName(QStringLiteral("cboCouse"));
    // A long course name does not widen the window.
    cboCouse->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboCouse->setMinimumContentsLength(40);
    top->addWidget(Label1);
    top->addWidget(cboCouse, 1);
    body()->addLayout(top);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    body()->addWidget(ListView1, 1);

    toolbar()->addButton(QStringLiteral("OK"), QStringLiteral("   เลือก   "),
                         QStringLiteral("[F2] - เลือกรายการ"));
    toolbar()->addButton(QStringLiteral("Cancel"), QStringLiteral(" ยกเลิก "),
                         QStringLiteral("[ESC] - ยกเลิก"));
    declareKeys({{Qt::Key_F2, QStringLiteral("OK")}, {Qt::Key_Escape, QStringLiteral("Cancel")}});
    // Enter confirms a class in the list only; in the course box it moves on to the list.
    onKey(ListView1, Qt::Key_Return, [this] { pressButton(QStringLiteral("OK")); });
    moveFocusFrom(cboCouse, Moves::EnterOnly);
    declareButtons({{QStringLiteral("OK"), [this] { confirmClass(); }},
                    {QStringLiteral("Cancel"), [this] { reject(); }}});
    resize(9800 / ListView::twipsPerPixel, 5200 / ListView::twipsPerPixel);

    connect(cboCouse, &QComboBox::currentIndexChanged, this, &frmListCourse::cboCouse_Click);
    // A course chosen, by the mouse or the keys, is followed by the choice of its class.
    connect(cboCouse, &QComboBox::activated, ListView1, [this] { ListView1->setFocus(); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &frmListCourse::ListView1_DblClick);

    setTitle(QStringLiteral(" วิชาที่เปิดสอน "));
    InitColumns();
    OpenCourses::fill(cboCouse, 150);
    if (cboCouse->count() > 0) {
        cboCouse->setCurrentIndex(0);
        LoadList();
    }
    // The arrows walk the classes, not the courses: the course box is reached by
    // Tab or the mouse. The focused control shows its mark from the start, not only
    // once Tab has been pressed.
    setTabOrder(cboCouse, ListView1);
    ListView1->setFocus();
    setAttribute(Qt::WA_KeyboardFocusChange);
    markListFocus(true);
}

bool frmListCourse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1 &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        markListFocus(event->type() == QEvent::FocusIn);
    return DialogBase::eventFilter(watched, event);
}

void frmListCourse::markListFocus(bool focused) {
    const QPalette standard = QApplication::palette(ListView1);
    QPalette palette = ListView1->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight,
                         standard.color(focused ? QPalette::Highlight : QPalette::Midlight));
        palette.setColor(group, QPalette::HighlightedText,
                         standard.color(focused ? QPalette::HighlightedText : QPalette::Text));
    }
    ListView1->setPalette(palette);
}

void frmListCourse::confirmClass() {
    const int selected = ListView::selectedIndex(ListView1);
    if (ListView::count(ListView1) == 0 || selected < 1)
        return;
    CourseNo = ListView::rowTag(ListView::item(ListView1, selected));
    confirm();
}

void frmListCourse::InitColumns() {
    ListView::setup(ListView1, {{QStringLiteral("ระดับ"), 1200, Qt::AlignLeft},
                                {QStringLiteral("วิชา"), 1500, Qt::AlignHCenter},
                                {QStringLiteral("วันที่เรียน"), 4000, Qt::AlignLeft},
                                {QStringLiteral("เวลาเรียน"), 1500, Qt::AlignHCenter},
                                {QStringLiteral("ค่าเรียน"), 1200, Qt::AlignRight}});
}

QString frmListCourse::GetCourseID() const {
    if (cboCouse->currentText().trimmed().isEmpty())
        return {};
    return Library::GetItemKey(cboCouse);
}

void frmListCourse::LoadList() {
    const QString id = GetCourseID();
    ListView1->clear();
    Recordset classes = Library::OpenRecordset(
        QStringLiteral(
            "Select CourseNo, CourseLevel, Subject, CourseDate, CourseTime, CoursePrice, "
            "DateStart, DateEnd From CourseTable Where CourseID = ? Order By CourseLevel COLLATE "
            "THAI, "
            "CourseNo"),
        {id});
    for (classes.MoveFirst(); !classes.isEOF(); classes.MoveNext()) {
        const QString fee = classes.isNull(QStringLiteral("CoursePrice"))
                                ? QString()
                                : classes.money(QStringLiteral("CoursePrice")).toText(true);
        ListView::addRow(ListView1,
                         {classes.text(QStringLiteral("CourseLevel")),
                          classes.text(QStringLiteral("Subject")), Library::classDatesText(classes),
                          classes.text(QStringLiteral("CourseTime")), fee},
                         classes.text(QStringLiteral("CourseNo")));
    }
    ListView::select(ListView1, 1);
}

void frmListCourse::cboCouse_Click() {
    if (cboCouse->currentText().trimmed().isEmpty() || !cboCouse->isEnabled() ||
        !cboCouse->isVisible())
        return;
    LoadList();
}

void frmListCourse::ListView1_DblClick() {
    if (ListView::count(ListView1) > 0 && ListView::selectedIndex(ListView1) >= 1)
        pressButton(QStringLiteral("OK"));
}
