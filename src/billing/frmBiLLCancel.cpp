#include "billing/frmBiLLCancel.h"

#include "billing/BillStore.h"
#include "billing/frmDate.h"
#include "core/Seams.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"

#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int colDocNo = 0;
constexpr int colStdID = 2;

const QList<ListView::Column> columns{
    {QStringLiteral("เลขที่ใบเสร็จ"), 1400, Qt::AlignLeft},
    {QStringLiteral("วันที่"), 1300, Qt::AlignHCenter},
    {QStringLiteral("รหัสนักศึกษา"), 1500, Qt::AlignHCenter},
    {QStringLiteral("ชื่อนักศึกษา"), 4000, Qt::AlignLeft},
    {QStringLiteral("จำนวนเงิน"), 1300, Qt::AlignRight},
};

} // namespace

frmBiLLCancel::frmBiLLCancel(QWidget* parent) : FormBase(parent) {
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1, columns);
    ListView::setMinimumSize(ListView1, 4000);
    body()->addWidget(ListView1, 1);

    toolbar()->addButton(QStringLiteral("Delete"), QStringLiteral("ยกเลิกใบเสร็จ"),
                         QStringLiteral("[F4] - ลบข้อมูล"));
    toolbar()->addButton(QStringLiteral("Date"), QStringLiteral("วันที่"),
                         QStringLiteral("[F5] - เปลี่ยนวันที่แสดงใบเสร็จ"));
    toolbar()->addStandardButton(QStringLiteral("Cancel"));
    declareButtons({{QStringLiteral("Delete"), [this] { CancelBill(); }},
                    {QStringLiteral("Date"), [this] { ChooseDate(); }},
                    {QStringLiteral("Cancel"), [this] { unload(); }}});
    declareKeys({{Qt::Key_F4, QStringLiteral("Delete")},
                 {Qt::Key_F5, QStringLiteral("Date")},
                 {Qt::Key_Escape, QStringLiteral("Cancel")}});
    setMenuHelp(QStringLiteral("F4=ยกเลิกใบเสร็จ  F5=วันที่  |  ESC=ยกเลิก"));
    setTitle(QStringLiteral(" ยกเลิกใบเสร็จ "));

    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (ListView::count(ListView1) > 0 && ListView::selectedIndex(ListView1) >= 1)
            pressButton(QStringLiteral("Delete"));
    });

    // The bills of the clock's day, not of the working date.
    LoadList(Seams::today());
}

void frmBiLLCancel::LoadList(const QDate& day) {
    ListView1->clear();
    Recordset rs = Library::OpenRecordset(
        QStringLiteral("Select Statement.*, Student.StdName From Statement Inner Join Student "
                       "On Statement.StdID = Student.StdID Where StmDate = ? And IsCancel = '0' "
                       "Order By StmDocNo"),
        {Library::DateToKey(day)});
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext())
        ListView::addRow(ListView1,
                         {rs.text(QStringLiteral("StmDocNo")),
                          Library::KeyToThaiDate(rs.text(QStringLiteral("StmDate"))),
                          rs.text(QStringLiteral("StdID")), rs.text(QStringLiteral("StdName")),
                          rs.money(QStringLiteral("StmNetAmt")).toText(true)},
                         rs.text(QStringLiteral("StmID")));
    ListView::select(ListView1, 1);
}

void frmBiLLCancel::ChooseDate() {
    frmDate dialog(this);
    dialog.showModal();
    if (dialog.IsOK)
        LoadList(dialog.SelDate);
}

void frmBiLLCancel::CancelBill() {
    const int selected = ListView::selectedIndex(ListView1);
    if (ListView::count(ListView1) == 0 || selected < 1)
        return;
    QTreeWidgetItem* row = ListView::item(ListView1, selected);
    const QString docNo = row->text(colDocNo);
    if (Library::MsgAsk(
            QStringLiteral("ต้องการยกเลิกใบเสร็จเลขที่ ") + docNo + QStringLiteral("  หรือไม่"), true) !=
        Library::vbYes)
        return;
    BillStore::Outcome outcome{};
    if (!runDatabaseWork(QStringLiteral("ยกเลิกใบเสร็จไม่ได้"), [&] {
            outcome = BillStore::cancel(ListView::rowTag(row), docNo, row->text(colStdID),
                                        Library::gUserID);
        }))
        return;
    // Cancelled or gone at another desk since the list was read: the row leaves the list.
    if (outcome == BillStore::Outcome::AlreadyCancelled)
        Library::MsgError(QStringLiteral("ใบเสร็จเลขที่ ") + docNo + QStringLiteral(" ถูกยกเลิกไปแล้ว"));
    else if (outcome == BillStore::Outcome::Gone)
        Library::MsgError(QStringLiteral("ไม่พบใบเสร็จเลขที่ ") + docNo +
                          QStringLiteral(" แล้ว อาจถูกลบไปแล้ว ไม่ได้ยกเลิก"));
    delete row;
    if (QTreeWidgetItem* current = ListView1->currentItem())
        ListView::select(ListView1, ListView1->indexOfTopLevelItem(current) + 1);
}
