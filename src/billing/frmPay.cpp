#include "billing/frmPay.h"

#include "billing/Bill.h"
#include "billing/PaymentStore.h"
#include "billing/frmPayAmt.h"
#include "core/Recordset.h"
#include "core/Seams.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/StudentLookup.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

enum Column { colCourse, colLevel, colSubject, colDates, colPrice, colBalance, colPayment };

constexpr int twips = ListView::twipsPerPixel;

const QString codeNotValid = QStringLiteral("รหัสนักศึกษา ไม่ถูกต้อง");
const QString courseDataNotValid = QStringLiteral("ข้อมูลคอร์สเรียน ไม่ถูกต้อง");
const QString noPaymentData = QStringLiteral("ไม่พบข้อมูลการชำระเงิน");
const QString totalNotConfirmed = QStringLiteral("ยอดชำระไม่ตรงกับจำนวนเงินที่ยืนยัน ไม่ได้บันทึกข้อมูล");
// The Student columns the window shows besides the code and name.
const QString studentColumns = QStringLiteral("StdLevel, StdAddr");

QLabel* valueLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// Clears the flag when the pay action ends, whichever way it ends.
class Busy {
public:
    explicit Busy(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Busy() { m_flag = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& m_flag;
};

} // namespace

frmPay::frmPay(QWidget* parent) : FormBase(parent) {
    setTitle(QStringLiteral(" ชำระเงิน "));
    setMenuHelp(QStringLiteral("  F2=ชำระเงิน | ESC=ยกเลิก"));

    auto* head = new QGridLayout;
    txtStdID = new QLineEdit(this);
    txtStdID->setObjectName(QStringLiteral("txtStdID"));
    txtStdName = new QLineEdit(this);
    txtStdName->setObjectName(QStringLiteral("txtStdName"));
    lblLevel = valueLabel(this, QStringLiteral("lblLevel"));
    lblStdAddr = valueLabel(this, QStringLiteral("lblStdAddr"));
    lblStdAddr->setWordWrap(true);
    head->addWidget(new QLabel(QStringLiteral("รหัสนักศึกษา :"), this), 0, 0, Qt::AlignRight);
    head->addWidget(txtStdID, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("ชื่อ-สกุล :"), this), 0, 2, Qt::AlignRight);
    head->addWidget(txtStdName, 0, 3);
    head->addWidget(new QLabel(QStringLiteral("ชั้น :"), this), 0, 4, Qt::AlignRight);
    head->addWidget(lblLevel, 0, 5);
    head->addWidget(new QLabel(QStringLiteral("ที่อยู่ :"), this), 1, 0, Qt::AlignRight | Qt::AlignTop);
    head->addWidget(lblStdAddr, 1, 1, 1, 5);
    head->setColumnStretch(3, 2);
    head->setColumnStretch(5, 1);
    body()->addLayout(head);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1, {
                                   {QStringLiteral("คอร์ส"), 4000, Qt::AlignLeft},
                                   {QStringLiteral("ระดับ"), 900, Qt::AlignHCenter},
                                   {QStringLiteral("วิชา"), 1500, Qt::AlignHCenter},
                                   {QStringLiteral("วันที่เรียน"), 3500, Qt::AlignLeft},
                                   {QStringLiteral("ค่าเรียน"), 1500, Qt::AlignRight},
                                   {QStringLiteral("ยอดคงเหลือ"), 1500, Qt::AlignRight},
                                   {QStringLiteral("ชำระเงิน"), 1500, Qt::AlignRight},
                               });
    // However small the window, the list keeps every column at its width, so that a long
    // course name shows whole, and 2625 twips of height, room for several classes.
    ListView::setMinimumSize(ListView1, 2625);
    body()->addWidget(ListView1, 1);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    auto* panel = new QGridLayout(Picture1);
    lblCourse = new QLabel(Picture1);
    lblCourse->setObjectName(QStringLiteral("lblCourse"));
    lblPay = new QLabel(QStringLiteral("ชำระ :"), Picture1);
    lblPay->setObjectName(QStringLiteral("lblPay"));
    txtPay = new QLineEdit(Picture1);
    txtPay->setObjectName(QStringLiteral("txtPay"));
    txtPay->setAlignment(Qt::AlignRight);
    txtPay->setFixedWidth(1500 / twips);
    lblTotal = new QLabel(QStringLiteral("0.00"), Picture1);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    lblTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont totalFont = lblTotal->font();
    totalFont.setBold(true);
    totalFont.setPointSizeF(totalFont.pointSizeF() * 1.2);
    lblTotal->setFont(totalFont);
    panel->addWidget(lblCourse, 0, 0);
    panel->addWidget(lblPay, 0, 1);
    panel->addWidget(txtPay, 0, 2);
    panel->addWidget(lblTotal, 1, 0, 1, 3);
    panel->setColumnStretch(0, 1);
    body()->addWidget(Picture1);

    toolbar()->addButton(QStringLiteral("Pay"), QStringLiteral("ชำระเงิน"),
                         QStringLiteral("F2=ชำระเงิน"));
    toolbar()->addSeparator();
    toolbar()->addStandardButton(QStringLiteral("Cancel"));

    setTabOrder(txtStdID, txtStdName);
    setTabOrder(txtStdName, ListView1);
    setTabOrder(ListView1, txtPay);

    // Nothing is pressed while a payment is being posted.
    declareButtons({{QStringLiteral("Pay"),
                     [this] {
                         if (!m_paying)
                             pay();
                     }},
                    {QStringLiteral("Cancel"), [this] {
                         if (!m_paying)
                             cancel();
                     }}});
    declareKeys({{Qt::Key_F2, QStringLiteral("Pay")}, {Qt::Key_Escape, QStringLiteral("Cancel")}});
    onKey(txtStdID, Qt::Key_Return, [this] { lookupByCode(); });
    onKey(txtStdName, Qt::Key_Return, [this] { lookupByName(); });
    moveFocusFrom(txtStdID);
    moveFocusFrom(txtStdName);
    selectOnEntry(txtStdID);
    selectOnEntry(txtStdName);
    moneyBox(txtPay);
    onKey(txtPay, Qt::Key_Down, [this] { moveRow(1); });
    onKey(txtPay, Qt::Key_Up, [this] { moveRow(-1); });
    onKey(txtPay, Qt::Key_Return, [this] {
        if (ListView::count(ListView1) > 0)
            enterAmount();
    });
    // An amount typed and not yet entered is what the pay key pays on its row.
    onAction(txtPay, [this] { return !txtPay->isModified() || takeAmount(); });

    connect(txtStdID, &QLineEdit::textChanged, this, [this] { codeChanged(); });
    connect(ListView1, &QTreeWidget::itemClicked, this, [this] { rowClick(); });
    connect(ListView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current && ListView1->hasFocus())
            rowClick();
    });
    setOpeningControl(txtStdID);
    txtStdID->setFocus();
}

// The amount box and the total end where the payment column, the last one, ends: at
// the right edge of the list's rows.
void frmPay::placePanel() {
    const QRect rows = ListView1->viewport()->geometry();
    Picture1->layout()->setContentsMargins(0, 2, ListView1->width() - rows.x() - rows.width(), 2);
}

void frmPay::LoadUnpaidCourses(const QString& stdId) {
    ListView1->clear();
    Recordset rs = Library::OpenRecordset(
        QStringLiteral("SELECT CourseNo, CourseName, CourseLevel, Subject, CourseDate, CourseTime, "
                       "DateStart, DateEnd, CoursePrice, CoursePayAmt, CoursePayDate "
                       "FROM QStudentCourse WHERE StdID = ? AND CoursePayAmt < CoursePrice "
                       "AND CourseStatus = '1' ORDER BY CourseID, CourseNo"),
        {stdId});
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext()) {
        const Money price = rs.money(QStringLiteral("CoursePrice"));
        const Money balance = price - rs.money(QStringLiteral("CoursePayAmt"));
        ListView::addRow(ListView1,
                         {rs.text(QStringLiteral("CourseName")),
                          rs.text(QStringLiteral("CourseLevel")),
                          rs.text(QStringLiteral("Subject")), Library::classDatesText(rs),
                          price.toText(true), balance.toText(true), QStringLiteral("0.00")},
                         rs.text(QStringLiteral("CourseNo")));
    }
    CalcTotal();
}

void frmPay::CalcTotal() {
    Money sum;
    for (int i = 1; i <= ListView::count(ListView1); ++i)
        sum += Money::fromText(ListView::item(ListView1, i)->text(colPayment));
    lblTotal->setText(sum.toText(true));
}

void frmPay::showStudent(const Recordset& student) {
    txtStdID->setText(student.text(QStringLiteral("StdID")));
    txtStdName->setText(student.text(QStringLiteral("StdName")));
    lblLevel->setText(student.text(QStringLiteral("StdLevel")));
    lblStdAddr->setText(student.text(QStringLiteral("StdAddr")));
}

void frmPay::lookupByCode() {
    lblTotal->setText(QStringLiteral("0.00"));
    txtPay->clear();
    lblCourse->clear();
    m_listTag.clear();
    ListView1->clear();

    const Recordset student = StudentLookup::byCode(txtStdID->text(), studentColumns);
    if (student.isEmpty()) {
        Library::MsgError(codeNotValid);
        txtStdName->clear();
        lblLevel->clear();
        lblStdAddr->clear();
        txtStdID->selectAll();
        return;
    }
    showStudent(student);
    m_listTag = student.text(QStringLiteral("StdID"));
    LoadUnpaidCourses(m_listTag);
    if (ListView::count(ListView1) > 0) {
        ListView::select(ListView1, 1);
        rowClick();
    }
}

void frmPay::lookupByName() {
    // No row is selected in the list loaded again, so none is shown for an amount.
    m_listTag.clear();
    ListView1->clear();
    lblCourse->clear();
    txtPay->clear();
    CalcTotal();

    Recordset student;
    const StudentLookup::Outcome outcome =
        StudentLookup::byName(txtStdName->text().trimmed(), studentColumns, this, student);
    if (outcome == StudentLookup::Outcome::NoneFound) {
        txtStdID->clear();
        txtStdName->selectAll();
        return;
    }
    if (outcome == StudentLookup::Outcome::Cancelled)
        return;
    if (!student.isEmpty())
        showStudent(student);
    m_listTag = txtStdID->text();
    LoadUnpaidCourses(m_listTag);
    txtStdID->setFocus();
}

void frmPay::rowClick() {
    QTreeWidgetItem* row = ListView::item(ListView1, ListView::selectedIndex(ListView1));
    if (!row || txtStdID->text().trimmed().isEmpty()) {
        lblCourse->clear();
        txtPay->clear();
        return;
    }
    lblCourse->setText(row->text(colCourse) + QStringLiteral("   ระดับ ") + row->text(colLevel) +
                       QStringLiteral("   วิชา ") + row->text(colSubject));
    txtPay->setText(row->text(colBalance));
    txtPay->setFocus();
}

void frmPay::moveRow(int step) {
    const int target = ListView::selectedIndex(ListView1) + step;
    if (target < 1 || target > ListView::count(ListView1))
        return;
    ListView::select(ListView1, target);
    rowClick();
    txtPay->selectAll();
}

void frmPay::enterAmount() {
    if (!ListView::item(ListView1, ListView::selectedIndex(ListView1)) || !takeAmount())
        return;
    moveRow(1);
    txtPay->selectAll();
}

bool frmPay::takeAmount() {
    QTreeWidgetItem* row = ListView::item(ListView1, ListView::selectedIndex(ListView1));
    if (!row)
        return true;
    if (!Library::amountFits(txtPay, QStringLiteral("ชำระ")))
        return false;
    Money typed = Money::fromText(txtPay->text());
    if (typed < Money())
        typed = Money();
    const Money balance = Money::fromText(row->text(colBalance));
    row->setText(colPayment, typed > balance ? row->text(colBalance) : typed.toText(true));
    txtPay->setModified(false);
    CalcTotal();
    return true;
}

void frmPay::codeChanged() {
    if (ListView::count(ListView1) == 0 && lblLevel->text().trimmed().isEmpty())
        return;
    ListView1->clear();
    lblTotal->setText(QStringLiteral("0.00"));
    m_listTag.clear();
    txtStdName->clear();
    lblLevel->clear();
    lblCourse->clear();
    lblStdAddr->clear();
    txtPay->clear();
}

void frmPay::cancel() {
    if (ListView::count(ListView1) == 0) {
        unload();
        return;
    }
    ListView1->clear();
    lblTotal->setText(QStringLiteral("0.00"));
    txtPay->clear();
    lblCourse->clear();
    lblLevel->clear();
    lblStdAddr->clear();
    txtStdName->clear();
    txtStdID->setFocus();
}

void frmPay::pay() {
    const Busy busy(m_paying);
    const QString code = txtStdID->text();
    if (code.trimmed().isEmpty() || StudentLookup::byCode(code, studentColumns).isEmpty()) {
        Library::MsgError(codeNotValid);
        txtStdID->setFocus();
        return;
    }
    if (m_listTag != code) {
        m_listTag.clear();
        ListView1->clear();
        Library::MsgError(courseDataNotValid);
        txtStdID->setFocus();
        return;
    }
    if (ListView::count(ListView1) == 0 || Money::fromText(lblTotal->text()) <= Money()) {
        Library::MsgError(noPaymentData);
        txtStdID->setFocus();
        return;
    }

    frmPayAmt dialog(this);
    dialog.lblTotal->setText(lblTotal->text());
    dialog.showModal();
    if (!dialog.IsOK) {
        txtPay->setFocus();
        return;
    }

    Payment payment{code.trimmed(), dialog.DocNo, {}, Library::gToday, Library::gUserID, {}};
    for (int i = 1; i <= ListView::count(ListView1); ++i) {
        QTreeWidgetItem* row = ListView::item(ListView1, i);
        payment.lines << PaymentLine{i, ListView::rowTag(row),
                                     Money::fromText(row->text(colPayment))};
    }
    payment.confirmedTotal = Money::fromText(dialog.lblTotal->text());
    payment.proposedDocNo = dialog.ProposedDocNo;
    PaymentResult result;
    if (!runDatabaseWork(QStringLiteral("บันทึกการชำระเงินไม่ได้"),
                         [&] { result = PaymentStore::post(payment, Seams::today()); }))
        return;
    if (result.status == PaymentResult::Status::NothingToPay ||
        result.status == PaymentResult::Status::TotalChanged) {
        Library::MsgError(result.status == PaymentResult::Status::NothingToPay ? noPaymentData
                                                                               : totalNotConfirmed);
        CalcTotal();
        txtStdID->setFocus();
        return;
    }
    if (result.status == PaymentResult::Status::CourseChanged) {
        Library::MsgError(courseDataNotValid);
        txtPay->clear();
        lblCourse->clear();
        LoadUnpaidCourses(m_listTag);
        if (ListView::count(ListView1) > 0) {
            ListView::select(ListView1, 1);
            rowClick();
        } else {
            txtStdID->setFocus();
        }
        return;
    }

    if (dialog.PrintChosen)
        Bill::PrintBiLL({result.stmId, result.addressText, txtStdName->text().trimmed(),
                         lblStdAddr->text().trimmed(), result.docNo, result.total});
    clearAfterPayment();
}

void frmPay::clearAfterPayment() {
    ListView1->clear();
    lblTotal->clear();
    lblCourse->clear();
    txtPay->clear();
    lblLevel->clear();
    txtStdName->clear();
    lblStdAddr->clear();
    // The next pupil's code replaces this one's.
    txtStdID->setFocus();
    txtStdID->selectAll();
}

bool frmPay::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched == ListView1->viewport() &&
        ListView::count(ListView1) > 0) {
        txtPay->setFocus();
    }
    if (event->type() == QEvent::Resize && watched == ListView1->viewport())
        placePanel();
    return FormBase::eventFilter(watched, event);
}

void frmPay::closeEvent(QCloseEvent* event) {
    // A payment being printed must finish before the window goes.
    if (m_paying) {
        event->ignore();
        return;
    }
    FormBase::closeEvent(event);
}
