#include "billing/frmExp.h"

#include "billing/ExpenseStore.h"
#include "core/Seams.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

enum Column { colDate, colDesc, colReceived, colPaid };

const QList<ListView::Column> columns{
    {QStringLiteral("วันที่"), 1300, Qt::AlignLeft},
    {QStringLiteral("รายการ"), 6000, Qt::AlignLeft},
    {QStringLiteral("รับ"), 1500, Qt::AlignLeft},
    {QStringLiteral("จ่าย"), 1500, Qt::AlignLeft},
};

const QString amountCaption = QStringLiteral("จำนวนเงิน");
const QString amountNotValid = amountCaption + QStringLiteral(" ไม่ถูกต้อง");

QLineEdit* amountBox(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(15);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return box;
}

} // namespace

frmExp::frmExp(QWidget* parent) : FormBase(parent) {
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1, columns);
    ListView::setMinimumSize(ListView1, 4000);
    buildPanel();
    addListAndPanel(ListView1, Frame1);

    KeyToolbar* bar = toolbar();
    for (const char16_t* key : {u"New", u"Edit", u"Delete", u"Find", u"Save", u"Cancel"})
        bar->addStandardButton(QString::fromUtf16(key));
    // "Find" is carried hidden; F9 has no action here.
    declareListAndPanel({{QStringLiteral("New"), QStringLiteral("Edit"), QStringLiteral("Delete"),
                          QStringLiteral("Find"), QStringLiteral("Cancel")},
                         QStringLiteral("F2=เพิ่มข้อมูล  F3=แก้ไข  F4=ลบข้อมูล  | ESC=ยกเลิก"),
                         {QStringLiteral("Find")},
                         {{QStringLiteral("New"), [this] { NewRecord(); }},
                          {QStringLiteral("Edit"), [this] { EditRecord(); }},
                          {QStringLiteral("Delete"), [this] { DeleteRecord(); }},
                          {QStringLiteral("Save"), [this] { SaveRecord(); }}},
                         [this] { backToBrowse(); }});

    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (ListView::count(ListView1) > 0 && ListView::selectedIndex(ListView1) >= 1)
            pressButton(QStringLiteral("Edit"));
    });

    setTitle(QStringLiteral(" รับ/จ่าย อื่นๆ "));
    LoadList();
}

void frmExp::buildPanel() {
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    txtExpDesc = new QLineEdit(Frame1);
    txtExpDesc->setObjectName(QStringLiteral("txtExpDesc"));
    txtExpDesc->setMaxLength(100);
    txtExpCrAmt = amountBox(Frame1, QStringLiteral("txtExpCrAmt"));
    txtExpDbAmt = amountBox(Frame1, QStringLiteral("txtExpDbAmt"));

    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(new QLabel(QStringLiteral("รายการ :"), Frame1), 0, 0, Qt::AlignRight);
    grid->addWidget(txtExpDesc, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("รับ :"), Frame1), 1, 0, Qt::AlignRight);
    grid->addWidget(txtExpCrAmt, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("บาท"), Frame1), 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("จ่าย :"), Frame1), 2, 0, Qt::AlignRight);
    grid->addWidget(txtExpDbAmt, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("บาท"), Frame1), 2, 2);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(1, 1500 / ListView::twipsPerPixel);
    grid->setRowStretch(3, 1);

    setTabOrder(txtExpDesc, txtExpCrAmt);
    setTabOrder(txtExpCrAmt, txtExpDbAmt);
    moveFocusFrom(Frame1);
    selectOnEntry(txtExpDesc);
    moneyBox(txtExpCrAmt);
    moneyBox(txtExpDbAmt);
    onKey(txtExpDbAmt, Qt::Key_Return, [this] { pressButton(QStringLiteral("Save")); });
}

void frmExp::LoadList() {
    ListView1->clear();
    Recordset rs = Library::OpenRecordset(
        QStringLiteral("Select * From Expense Where ExpDate = ? Order By ExpID"),
        {Library::gToday});
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext())
        ListView::addRow(ListView1,
                         {Library::KeyToThaiDate(rs.text(QStringLiteral("ExpDate"))),
                          rs.text(QStringLiteral("ExpDesc")),
                          rs.money(QStringLiteral("ExpCrAmt")).toText(true),
                          rs.money(QStringLiteral("ExpDbAmt")).toText(true)},
                         rs.text(QStringLiteral("ExpID")));
    ListView::select(ListView1, 1);
}

void frmExp::openPanel(int mode) {
    setMode(mode);
    showPanel(true);
    txtExpDesc->setFocus();
}

void frmExp::backToBrowse() {
    setMode(Browse);
    showPanel(false);
    ListView1->setFocus();
}

void frmExp::NewRecord() {
    QString code;
    if (!runDatabaseWork(QStringLiteral("เพิ่มรายการไม่ได้"),
                         [&] { code = ExpenseStore::proposedNumber(Seams::today()); })) {
        backToBrowse();
        return;
    }
    m_code = code;
    // The focus moves first, so that no amount box formats its emptied text on leaving.
    openPanel(Add);
    for (QLineEdit* box : {txtExpDesc, txtExpCrAmt, txtExpDbAmt})
        box->clear();
}

void frmExp::EditRecord() {
    const int selected = ListView::selectedIndex(ListView1);
    if (ListView::count(ListView1) == 0 || selected < 1)
        return;
    const QTreeWidgetItem* row = ListView::item(ListView1, selected);
    m_code = ListView::rowTag(row);
    txtExpDesc->setText(row->text(colDesc));
    Library::showWhole(txtExpCrAmt, row->text(colReceived));
    Library::showWhole(txtExpDbAmt, row->text(colPaid));
    openPanel(Edit);
}

void frmExp::DeleteRecord() {
    const int selected = ListView::selectedIndex(ListView1);
    if (ListView::count(ListView1) == 0 || selected < 1)
        return;
    QTreeWidgetItem* row = ListView::item(ListView1, selected);
    if (Library::MsgAsk(QStringLiteral("ต้องการรายการ ") + row->text(colDesc) +
                            QStringLiteral("  หรือไม่"),
                        true) != Library::vbYes)
        return;
    bool found = true;
    if (!runDatabaseWork(QStringLiteral("ลบรายการไม่ได้"),
                         [&] { found = ExpenseStore::remove(ListView::rowTag(row)); }))
        return;
    if (!found)
        Library::MsgError(QStringLiteral("ไม่พบรายการนี้แล้ว อาจถูกลบไปแล้ว"));
    delete row;
    // The row now in its place (or the last) is the current one: F3 and F4 act on it.
    ListView::select(ListView1, std::min(selected, ListView::count(ListView1)));
}

void frmExp::SaveRecord() {
    ExpenseEntry entry{m_code, txtExpDesc->text().trimmed(), Money::fromText(txtExpCrAmt->text()),
                       Money::fromText(txtExpDbAmt->text())};
    auto refused = [](bool failed, const QString& message, QLineEdit* box) {
        if (failed) {
            Library::MsgError(message);
            box->setFocus();
        }
        return failed;
    };
    // The checks in order; the first that fails names its message and box. An amount beyond
    // what is stored exactly, or digits with a separator out of place, would read as 0: they
    // are refused, never saved as 0.
    if (refused(entry.description.isEmpty(), QStringLiteral("รายการ ว่างไม่ได้"), txtExpDesc) ||
        !Library::amountFits(txtExpCrAmt, amountCaption) ||
        !Library::amountFits(txtExpDbAmt, amountCaption) ||
        refused(entry.received < Money(), amountNotValid, txtExpCrAmt) ||
        refused(entry.paid < Money(), amountNotValid, txtExpDbAmt) ||
        refused(entry.received + entry.paid <= Money(), amountNotValid, txtExpCrAmt))
        return;
    if (Library::MsgAsk(QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"), true) != Library::vbYes)
        return;

    const bool adding = mode() == Add;
    bool found = true;
    if (!runDatabaseWork(QStringLiteral("บันทึกรายการรับ/จ่ายไม่ได้"), [&] {
            if (adding)
                entry.expId =
                    ExpenseStore::add(entry, Library::gToday, Library::gUserID, Seams::today());
            else
                found = ExpenseStore::update(entry, Library::gUserID);
        }))
        return;
    QTreeWidgetItem* row =
        adding ? ListView::addRow(ListView1, {Library::KeyToThaiDate(Library::gToday)})
               : rowOf(entry.expId);
    if (!found) {
        Library::MsgError(QStringLiteral("ไม่พบรายการนี้แล้ว อาจถูกลบไปแล้ว ไม่ได้บันทึก"));
        delete row;
        backToBrowse();
        return;
    }
    if (row) {
        row->setText(colDesc, entry.description);
        row->setText(colReceived, entry.received.toText(true));
        row->setText(colPaid, entry.paid.toText(true));
        ListView::setRowTag(row, entry.expId);
        // The saved row is the current one, as the first row after loading: F3, F4 and a
        // double click act on it.
        ListView::select(ListView1, ListView1->indexOfTopLevelItem(row) + 1);
    }
    if (adding)
        NewRecord();
    else
        backToBrowse();
}

QTreeWidgetItem* frmExp::rowOf(const QString& expId) const {
    for (int i = 1; i <= ListView::count(ListView1); ++i) {
        if (ListView::rowTag(ListView::item(ListView1, i)) == expId)
            return ListView::item(ListView1, i);
    }
    return nullptr;
}
