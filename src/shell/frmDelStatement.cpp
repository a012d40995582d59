#include "shell/frmDelStatement.h"

#include "frame/DateBox.h"
#include "frame/Library.h"
#include "shell/SchoolDataStore.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

frmDelStatement::frmDelStatement(QWidget* parent)
    : DialogBase(QStringLiteral("ลบใบเสร็จเก่า"), parent) {
    body()->addWidget(new QLabel(QStringLiteral("ลบใบเสร็จทุกใบที่ลงวันที่ถึงวันที่ที่เลือก"), this));
    auto* form = new QFormLayout;
    dtpDate = new DateBox(this);
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    dtpDate->setDate(Library::KeyToDate(Library::gToday).addMonths(-12));
    form->addRow(QStringLiteral("ถึงวันที่ :"), dtpDate);
    body()->addLayout(form);

    addOkCancel(QStringLiteral("ตกลง"), QStringLiteral("[F2] - ตกลง"), [this] { purge(); });
}

void frmDelStatement::purge() {
    const QString question = QStringLiteral("ลบใบเสร็จทุกใบที่ลงวันที่ถึงวันที่ %1 ใช่หรือไม่")
                                 .arg(Library::DateToThaiDate(dtpDate->date()));
    if (Library::MsgAsk(question, false) != Library::vbYes)
        return;
    if (runDatabaseWork(QStringLiteral("ลบใบเสร็จไม่ได้"), [this] {
            SchoolDataStore::PurgeStatements(Library::DateToKey(dtpDate->date()));
        }))
        confirm();
}
