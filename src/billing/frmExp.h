#pragma once

#include "frame/FormBase.h"

class QFrame;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// Other income and expenses of the working date: the list, and a panel in which
// one row is added or changed.
class frmExp : public FormBase {
    Q_OBJECT
public:
    explicit frmExp(QWidget* parent = nullptr);

    QTreeWidget* ListView1 = nullptr;
    QFrame* Frame1 = nullptr;
    QLineEdit* txtExpDesc = nullptr;
    QLineEdit* txtExpCrAmt = nullptr;
    QLineEdit* txtExpDbAmt = nullptr;

    void SaveRecord();
    // The code of the row being added or edited.
    QString editedCode() const { return m_code; }

private:
    void buildPanel();
    void LoadList();
    void NewRecord();
    void EditRecord();
    void DeleteRecord();
    void openPanel(int mode);
    void backToBrowse();
    QTreeWidgetItem* rowOf(const QString& expId) const;

    QString m_code;
};
