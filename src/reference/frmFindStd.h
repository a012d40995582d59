#pragma once

#include <QDialog>
#include <QString>

class KeyToolbar;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
class Recordset;

// The modal student search dialog. The caller fills ListView1 with candidates,
// shows the dialog (Seams::showModal) and reads IsSelected and SelectedID.
class frmFindStd : public QDialog {
    Q_OBJECT
public:
    explicit frmFindStd(QWidget* parent = nullptr);

    // Loads a dialog, lists the hits (columns StdID, StdName, StdNickName of
    // the record set, in its order), shows it modally and returns the confirmed
    // student code, or an empty text when the user cancelled.
    static QString chooseFrom(const Recordset& hits, QWidget* parent = nullptr);

    bool IsSelected = false;
    QString SelectedID;
    QTreeWidget* ListView1 = nullptr;

    // The dialog's keys: "OK", "Cancel", "Find".
    void pressButton(const QString& key);
    QLineEdit* findText() const { return m_findText; }
    QRadioButton* byNickName() const { return m_byNickName; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void confirm();
    void find();

    KeyToolbar* m_toolbar = nullptr;
    QLineEdit* m_findText = nullptr;
    QRadioButton* m_byName = nullptr;
    QRadioButton* m_byNickName = nullptr;
};
