#pragma once

#include "frame/FormBase.h"

#include <QString>

class QLabel;
class QLineEdit;
class QTreeWidget;
class Recordset;

// The payment window: finds a pupil by code or name, lists the classes not yet
// paid in full, takes an amount per class and posts the payment as a bill.
class frmPay : public FormBase {
    Q_OBJECT
public:
    explicit frmPay(QWidget* parent = nullptr);

    QLineEdit* txtStdID = nullptr;
    QLineEdit* txtStdName = nullptr;
    QLabel* lblLevel = nullptr;
    QLabel* lblStdAddr = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QWidget* Picture1 = nullptr;
    QLabel* lblPay = nullptr;
    QLineEdit* txtPay = nullptr;
    QLabel* lblCourse = nullptr;
    QLabel* lblTotal = nullptr;

    // The code of the pupil whose classes are listed; empty when the list belongs to nobody.
    QString listTag() const { return m_listTag; }

    void LoadUnpaidCourses(const QString& stdId);
    void CalcTotal();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placePanel();
    void lookupByCode();
    void lookupByName();
    void showStudent(const Recordset& student);
    void rowClick();
    void moveRow(int step);
    // Enter: the amount goes to the selected row and the next row is offered.
    void enterAmount();
    // Puts the amount in the box on the selected row, capped at its balance, and
    // totals again. False, said, for an amount that cannot be stored.
    bool takeAmount();
    void codeChanged();
    void cancel();
    void pay();
    void clearAfterPayment();

    QString m_listTag;
    bool m_paying = false;
};
