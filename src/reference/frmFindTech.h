#pragma once

#include <QDialog>
#include <QString>

class KeyToolbar;
class QLineEdit;
class QTreeWidget;

// The modal teacher search dialog: lists the teachers in service whose name
// holds the typed text; the caller reads IsSelected and SelectedID.
class frmFindTech : public QDialog {
    Q_OBJECT
public:
    explicit frmFindTech(QWidget* parent = nullptr);

    // Shows a dialog modally; the confirmed TechID, or an empty text when cancelled.
    static QString choose(QWidget* parent = nullptr);

    bool IsSelected = false;
    QString SelectedID;
    QTreeWidget* ListView1 = nullptr;

    // The dialog's keys: "OK", "Cancel", "Find".
    void pressButton(const QString& key);
    QLineEdit* findText() const { return m_findText; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void confirm();
    void find();

    KeyToolbar* m_toolbar = nullptr;
    QLineEdit* m_findText = nullptr;
};
