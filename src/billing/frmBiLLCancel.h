#pragma once

#include "frame/FormBase.h"

#include <QDate>

class QTreeWidget;

// The valid bills of one day (today at first, another through the date dialog);
// the bill chosen is cancelled and its amounts are owing again.
class frmBiLLCancel : public FormBase {
    Q_OBJECT
public:
    explicit frmBiLLCancel(QWidget* parent = nullptr);

    QTreeWidget* ListView1 = nullptr;

    void LoadList(const QDate& day);

private:
    void CancelBill();
    void ChooseDate();
};
