#pragma once

#include "frame/DialogBase.h"
#include "frame/ListView.h"

class QTreeWidget;

// A read-only list of one student's history: the list, "เลือก" (no action) and
// "ยกเลิก" (also Esc), which closes the dialog.
class HistoryDialog : public DialogBase {
    Q_OBJECT
public:
    QTreeWidget* ListView1 = nullptr;

protected:
    HistoryDialog(const QList<ListView::Column>& columns, QWidget* parent);
    // The caption and the heading take the title; the list is emptied.
    void begin(const QString& title);
};
