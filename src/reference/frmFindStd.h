#pragma once

#include "reference/SearchDialog.h"

class QRadioButton;
class Recordset;

// The modal student search dialog. The caller fills ListView1 with candidates,
// shows the dialog (Seams::showModal) and reads IsSelected and SelectedID.
class frmFindStd : public SearchDialog {
    Q_OBJECT
public:
    explicit frmFindStd(QWidget* parent = nullptr);

    // Loads a dialog, lists the hits (columns StdID, StdName, StdNickName of
    // the record set, in its order), shows it modally and returns the confirmed
    // student code, or an empty text when the user cancelled.
    static QString chooseFrom(const Recordset& hits, QWidget* parent = nullptr);

    QRadioButton* byNickName() const { return m_byNickName; }

protected:
    void showEvent(QShowEvent* event) override;
    void find() override;

private:
    QRadioButton* m_byName = nullptr;
    QRadioButton* m_byNickName = nullptr;
};
