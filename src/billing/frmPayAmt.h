#pragma once

#include "frame/DialogBase.h"

#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;

// The bill number dialog of a payment: shows the amount, proposes or takes the
// bill number and offers to print the bill. After showModal read IsOK, DocNo,
// ProposedDocNo and PrintChosen.
class frmPayAmt : public DialogBase {
    Q_OBJECT
public:
    explicit frmPayAmt(QWidget* parent = nullptr);

    QString DocNo;
    // The number the dialog proposed; empty when the user types it.
    QString ProposedDocNo;
    // The print box as it was when the user confirmed.
    bool PrintChosen = false;

    QLabel* lblTotal = nullptr;
    QLineEdit* txtDocNo = nullptr;
    QCheckBox* Check1 = nullptr;

private:
    void confirmNumber();
};
