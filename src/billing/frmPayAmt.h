#pragma once

#include <QDialog>
#include <QString>

class KeyToolbar;
class QCheckBox;
class QLabel;
class QLineEdit;

// The bill number dialog of a payment: shows the amount, proposes or takes the
// bill number and offers to print the bill. Show it with Seams::showModal, then
// read IsOK, DocNo and PrintChosen.
class frmPayAmt : public QDialog {
    Q_OBJECT
public:
    explicit frmPayAmt(QWidget* parent = nullptr);

    bool IsOK = false;
    QString DocNo;
    // The print box as it was when the user confirmed.
    bool PrintChosen = false;

    QLabel* lblTotal = nullptr;
    QLineEdit* txtDocNo = nullptr;
    QCheckBox* Check1 = nullptr;
    KeyToolbar* Toolbar1 = nullptr;

    // Presses a toolbar key ("OK", "Cancel") as the dialog would.
    void pressButton(const QString& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadProposal();
    void confirm();
};
