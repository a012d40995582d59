#pragma once

#include "results/ClassForm.h"

#include <QString>

class QLabel;
class QTreeWidgetItem;

// The lesson list of one class: choose the class, then add, edit and delete its
// lessons through the lesson record dialog, and show its attendance report.
class frmTimeStamp : public ClassForm {
    Q_OBJECT
public:
    explicit frmTimeStamp(QWidget* parent = nullptr);

    QLabel* lblDate = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblHour = nullptr;

    // The chosen class; empty while none is.
    QString CourseNo() const { return courseNo(); }
    // Shows the class and its lessons; false (nothing changed) when it is not found.
    bool ShowClass(const QString& courseNo);
    void LoadList();
    static int CountCourseStudents(const QString& courseNo);

protected:
    void chooseClass() override;
    // Empties the labels and the list.
    void backToChoosing() override;

private:
    void NewLesson();
    void EditLesson();
    void DeleteLesson();
    void PrintReport(const QString& courseNo);
    void fillRow(QTreeWidgetItem* row, const Recordset& lesson, int registered);
    // The saved lesson read back into the row, or appended when row is null.
    void showSaved(const QString& stmId, QTreeWidgetItem* row);
};
