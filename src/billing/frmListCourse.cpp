#include "billing/frmListCourse.h"

#include "billing/OpenCourses.h"
#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/ListView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

frmListCourse::frmListCourse(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("วิชาที่เปิดสอน"));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    Label1 = new QLabel(QStringLiteral("คอร์ส :"), this);
    cboCouse = new QComboBox(this);
    cboCouse->setObjectName(QStringLiteral("cboCouse"));
    // The item text carries blanks and the code after the name: size by the name only.
    cboCouse->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboCouse->setMinimumContentsLength(40);
    top->addWidget(Label1);
    top->addWidget(cboCouse, 1);
    layout->addLayout(top);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    layout->addWidget(ListView1, 1);

    auto* bottom = new QHBoxLayout;
    Toolbar1 = new KeyToolbar(this);
    Toolbar1->addButton(QStringLiteral("OK"), QStringLiteral("   เลือก   "),
                        QStringLiteral("[F2] - เลือกรายการ"));
    Toolbar1->addButton(QStringLiteral("Cancel"), QStringLiteral(" ยกเลิก "),
                        QStringLiteral("[ESC] - ยกเลิก"));
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);
    bottom->addWidget(Toolbar1);
    bottom->addStretch(1);
    bottom->addWidget(lblTitle);
    layout->addLayout(bottom);
    resize(9800 / ListView::twipsPerPixel, 5200 / ListView::twipsPerPixel);

    connect(Toolbar1, &KeyToolbar::buttonClick, this, &frmListCourse::pressButton);
    connect(cboCouse, &QComboBox::currentIndexChanged, this, &frmListCourse::cboCouse_Click);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &frmListCourse::ListView1_DblClick);

    Library::CenterForm(this);
    lblTitle->setText(QStringLiteral(" วิชาที่เปิดสอน "));
    InitColumns();
    IsOK = false;
    OpenCourses::fill(cboCouse, 150);
    if (cboCouse->count() > 0) {
        cboCouse->setCurrentIndex(0);
        LoadList();
    }

    installEventFilter(this);
    const QList<QWidget*> children = findChildren<QWidget*>();
    for (QWidget* child : children)
        child->installEventFilter(this);
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
    return Library::GetItemKey(cboCouse->currentText());
}

void frmListCourse::LoadList() {
    const QString id = GetCourseID();
    ListView1->clear();
    Recordset classes = Library::OpenRecordset(
        QStringLiteral(
            "Select * From CourseTable Where CourseID = ? Order By CourseLevel COLLATE THAI, "
            "CourseNo"),
        true, {id});
    for (classes.MoveFirst(); !classes.isEOF(); classes.MoveNext()) {
        const QString end = classes.isNull(QStringLiteral("DateEnd"))
                                ? Library::gToday
                                : classes.text(QStringLiteral("DateEnd"));
        const QString dates =
            Library::KeyToShortThaiDate(classes.text(QStringLiteral("DateStart"))) +
            QStringLiteral(" - ") + Library::KeyToShortThaiDate(end) + QStringLiteral(" (") +
            classes.text(QStringLiteral("CourseDate")) + QStringLiteral(")");
        const QString fee = classes.isNull(QStringLiteral("CoursePrice"))
                                ? QString()
                                : classes.money(QStringLiteral("CoursePrice")).toText(true);
        ListView::addRow(ListView1,
                         {classes.text(QStringLiteral("CourseLevel")),
                          classes.text(QStringLiteral("Subject")), dates,
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

void frmListCourse::pressButton(const QString& key) {
    if (key == QStringLiteral("OK")) {
        const int selected = ListView::selectedIndex(ListView1);
        if (ListView::count(ListView1) == 0 || selected < 1)
            return;
        IsOK = true;
        CourseNo = ListView::rowTag(ListView::item(ListView1, selected));
        accept();
    } else if (key == QStringLiteral("Cancel")) {
        reject();
    }
}

bool frmListCourse::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F2 || key == Qt::Key_Escape) {
            pressButton(key == Qt::Key_F2 ? QStringLiteral("OK") : QStringLiteral("Cancel"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
