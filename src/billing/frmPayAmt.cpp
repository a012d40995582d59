#include "billing/frmPayAmt.h"

#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/Recordset.h"
#include "library/Seams.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

frmPayAmt::frmPayAmt(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("บันทึกรับเงินค่าเรียน"));
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("รับเงิน"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    title->setFont(titleFont);
    outer->addWidget(title);

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
    outer->addLayout(form);

    Toolbar1 = new KeyToolbar(this);
    Toolbar1->addButton(QStringLiteral("OK"), QStringLiteral("ตกลง"),
                        QStringLiteral("[F2] - ตกลง"));
    Toolbar1->addSeparator();
    Toolbar1->addStandardButton(QStringLiteral("Cancel"));
    connect(Toolbar1, &KeyToolbar::buttonClick, this,
            [this](const QString& key) { pressButton(key); });
    outer->addWidget(Toolbar1);

    installEventFilter(this);
    const QList<QWidget*> children = findChildren<QWidget*>();
    for (QWidget* child : children)
        child->installEventFilter(this);

    loadProposal();
    adjustSize();
    Library::CenterForm(this);
}

void frmPayAmt::loadProposal() {
    IsOK = false;
    txtDocNo->clear();
    const QString yy = Library::BuddhistYY(Seams::today());
    const QString first = yy + QStringLiteral("-00001");

    const Recordset setup = Library::OpenRecordset(QStringLiteral("SELECT * FROM CtrlSetup"), true);
    if (setup.isEmpty())
        return;
    Check1->setChecked(setup.text(QStringLiteral("ShopPrintBiLL")) != QStringLiteral("0"));
    if (setup.isNull(QStringLiteral("ShopBiLLAutoRun")) ||
        setup.text(QStringLiteral("ShopBiLLAutoRun")) == QStringLiteral("0"))
        return;
    const QString storedYY = setup.text(QStringLiteral("ShopBiLLYY")).trimmed();
    if (storedYY != yy) {
        txtDocNo->setText(first);
        return;
    }
    // The counter's value is that of its leading digits.
    const QString counter = setup.text(QStringLiteral("ShopBiLLNo")).trimmed();
    qsizetype digits = 0;
    while (digits < counter.size() && counter.at(digits).isDigit())
        ++digits;
    const qulonglong last = counter.left(digits).toULongLong();
    txtDocNo->setText(storedYY + QLatin1Char('-') +
                      QStringLiteral("%1").arg(last + 1, 5, 10, QLatin1Char('0')));
}

void frmPayAmt::pressButton(const QString& key) {
    if (key == QStringLiteral("OK"))
        confirm();
    else if (key == QStringLiteral("Cancel"))
        reject();
}

void frmPayAmt::confirm() {
    const QString number = txtDocNo->text().trimmed();
    if (number.isEmpty()) {
        Library::MsgError(QStringLiteral("เลขที่ใบเสร็จ ไม่ถูกต้อง"));
        txtDocNo->setFocus();
        return;
    }
    if (Library::MsgAsk(QStringLiteral("ต้องการบันทึกข้อมูล หรือไม่"), true) != Library::vbYes)
        return;
    DocNo = number;
    IsOK = true;
    PrintChosen = Check1->isChecked();
    accept();
}

bool frmPayAmt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == txtDocNo) {
        Library::SelectAllText(txtDocNo);
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_F2) {
            event->accept();
            return false;
        }
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    // A key a control ignores travels on to its parents: see it once only.
    if (watched != focusWidget() && !(watched == this && !focusWidget()))
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_F2) {
        pressButton(QStringLiteral("OK"));
        return true;
    }
    if (key == Qt::Key_Escape) {
        pressButton(QStringLiteral("Cancel"));
        return true;
    }
    if (watched == txtDocNo && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        pressButton(QStringLiteral("OK"));
        return true;
    }
    return false;
}
