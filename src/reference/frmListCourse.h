#pragma once

#include "frame/DialogBase.h"

#include <QString>

class QComboBox;
class QLabel;
class QTreeWidget;

// The class picker: the user picks an open course, then one of its classes.
// After showModal read IsOK and, only when it is true, CourseNo.
class frmListCourse : public DialogBase {
    Q_OBJECT
public:
    explicit frmListCourse(QWidget* parent = nullptr);

    QString CourseNo;

    QLabel* Label1 = nullptr;
    QComboBox* cboCouse = nullptr;
    QTreeWidget* ListView1 = nullptr;

    QString GetCourseID() const;
    void LoadList();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void InitColumns();
    // Confirms the class of the selected row; nothing without one.
    void confirmClass();
    void cboCouse_Click();
    void ListView1_DblClick();
    // The chosen class shows in the highlight colour only while the list has the focus,
    // so that the focus is seen in the list as it is in the course box.
    void markListFocus(bool focused);
};
