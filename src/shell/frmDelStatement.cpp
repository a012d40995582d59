#include "shell/frmDelStatement.h"

#include "library/Database.h"
#include "library/Library.h"
#include "shell/Maintenance.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmDelStatement::frmDelStatement(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ลบใบเสร็จเก่า"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ลบใบเสร็จทุกใบที่ลงวันที่ถึงวันที่ที่เลือก"), this));
    auto* form = new QFormLayout;
    dtpDate = new QDateEdit(this);
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    dtpDate->setCalendarPopup(true);
    dtpDate->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dtpDate->setDate(Library::KeyToDate(Library::gToday).addMonths(-12));
    form->addRow(QStringLiteral("ถึงวันที่ :"), dtpDate);
    lblDate = new QLabel(this);
    lblDate->setObjectName(QStringLiteral("lblDate"));
    form->addRow(QStringLiteral("พ.ศ. :"), lblDate);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("ตกลง"), QDialogButtonBox::AcceptRole);
    cmdCancel = buttons->addButton(QStringLiteral("ยกเลิก"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmDelStatement::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmDelStatement::reject);
    layout->addWidget(buttons);
    connect(dtpDate, &QDateEdit::dateChanged, this, &frmDelStatement::showThaiDate);
    showThaiDate();
}

void frmDelStatement::showThaiDate() {
    lblDate->setText(Library::DateToThaiDate(dtpDate->date()));
}

void frmDelStatement::accept() {
    const QString question = QStringLiteral("ลบใบเสร็จทุกใบที่ลงวันที่ถึงวันที่ %1 ใช่หรือไม่")
                                 .arg(Library::DateToThaiDate(dtpDate->date()));
    if (Library::MsgAsk(question, false) != Library::vbYes)
        return;
    try {
        Maintenance::PurgeStatements(Library::DateToKey(dtpDate->date()));
    } catch (const DbError& error) {
        Library::MsgError(QStringLiteral("ลบใบเสร็จไม่ได้\n") + error.message());
        return;
    }
    QDialog::accept();
}
