#pragma once

#include <QDialog>

class QDateEdit;
class QLabel;
class QPushButton;

// Removal of old bills: the user chooses the last day; after a question, every
// bill dated on or before it goes with its lines.
class frmDelStatement : public QDialog {
    Q_OBJECT
public:
    explicit frmDelStatement(QWidget* parent = nullptr);

    QDateEdit* dtpDate;
    QLabel* lblDate;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

public slots:
    void accept() override;

private:
    void showThaiDate();
};
