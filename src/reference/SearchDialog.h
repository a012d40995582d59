#pragma once

#include "frame/DialogBase.h"
#include "frame/ListView.h"

#include <QString>

class QHBoxLayout;
class QLineEdit;
class QTreeWidget;

// A modal search dialog: a find box, a list of hits and the keys "OK", "Find"
// and "Cancel". Enter in the find box and F9 search, Enter or a double-click in
// the list confirms the selected row. The caller reads IsSelected and SelectedID.
class SearchDialog : public DialogBase {
    Q_OBJECT
public:
    // The search dialogs call their confirmation IsSelected.
    bool& IsSelected = IsOK;
    QString SelectedID;
    QTreeWidget* ListView1 = nullptr;

    QLineEdit* findText() const { return m_findText; }

protected:
    SearchDialog(const QString& title, const QList<ListView::Column>& columns, QWidget* parent);
    // The row of the find box, for choices a dialog adds beside it.
    QHBoxLayout* findRow() const { return m_findRow; }
    // Lists the hits of the typed text.
    virtual void find() = 0;
    // Confirms the selected row; false when no row is selected.
    bool confirmRow();

private:
    QLineEdit* m_findText = nullptr;
    QHBoxLayout* m_findRow = nullptr;
};
