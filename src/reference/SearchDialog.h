#pragma once

#include "library/ListView.h"

#include <QDialog>
#include <QString>

class KeyToolbar;
class QHBoxLayout;
class QLineEdit;
class QTreeWidget;

// A modal search dialog: a find box, a list of hits and the keys "OK", "Find"
// and "Cancel". Enter in the find box and F9 search, Enter or a double-click in
// the list confirms the selected row. The caller reads IsSelected and SelectedID.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    bool IsSelected = false;
    QString SelectedID;
    QTreeWidget* ListView1 = nullptr;

    void pressButton(const QString& key);
    QLineEdit* findText() const { return m_findText; }

protected:
    SearchDialog(const QString& title, const QList<ListView::Column>& columns, QWidget* parent);
    // The row of the find box, for choices a dialog adds beside it.
    QHBoxLayout* findRow() const { return m_findRow; }
    // Lists the hits of the typed text.
    virtual void find() = 0;
    // Confirms the selected row; false when no row is selected.
    bool confirm();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyToolbar* m_toolbar = nullptr;
    QLineEdit* m_findText = nullptr;
    QHBoxLayout* m_findRow = nullptr;
};
