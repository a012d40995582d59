#include "billing/frmPayAmt.h"

#include "billing/Bill.h"
#include "core/Seams.h"
#include "frame/Library.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

frmPayAmt::frmPayAmt(QWidget* parent) : DialogBase(QStringLiteral("บันทึกรับเงินค่าเรียน"), parent) {
    auto* form = new QFormLayout;
    lblTotal = new QLabel(this);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    lblTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont totalFont = lblTotal->font();
    totalFont.setBold(true);
    lblTotal->setFont(totalFont);
    form->addRow(QStringLiteral("จำนวนเงิน :"), lblTotal);
    txtDocNo = new QLineEdit(this);
    txtDocNo->setObjectName(QStringLiteral("txtDocNo"));
    form->addRow(QStringLiteral("เลขที่ใบเสร็จ :"), txtDocNo);
    Check1 = new QCheckBox(QStringLiteral("พิมพ์ใบเสร็จ"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    form->addRow(QString(), Check1);
    body()->addLayout(form);

    addOkCancel(QStringLiteral("ตกลง"), QStringLiteral("[F2] - ตกลง"), [this] { confirmNumber(); });
    setTitle(QStringLiteral("รับเงิน"));
    onKey(txtDocNo, Qt::Key_Return, [this] { pressButton(QStringLiteral("OK")); });
    selectOnEntry(txtDocNo);

    const Bill::Proposal proposal = Bill::propose(Seams::today());
    ProposedDocNo = proposal.docNo;
    txtDocNo->setText(proposal.docNo);
    Check1->setChecked(proposal.print);
    if (!proposal.usedUp.isEmpty())
        Library::MsgError(QStringLiteral("เสนอเลขที่ใบเสร็จไม่ได้\n") + proposal.usedUp);
}

void frmPayAmt::confirmNumber() {
    const QString number = txtDocNo->text().trimmed();
    if (number.isEmpty()) {
        Library::MsgError(QStringLiteral("เลขที่ใบเสร็จ ไม่ถูกต้อง"));
        txtDocNo->setFocus();
        return;
    }
    if (Library::MsgAsk(QStringLiteral("ต้องการบันทึกข้อมูล หรือไม่"), true) != Library::vbYes)
        return;
    DocNo = number;
    PrintChosen = Check1->isChecked();
    confirm();
}
