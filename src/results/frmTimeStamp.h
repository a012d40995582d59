#pragma once

#include "frame/FormBase.h"

#include <QString>

class QFrame;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class Recordset;

// The lesson list of one class: choose the class, then add, edit and delete its
// lessons through the lesson record dialog, and show its attendance report.
class frmTimeStamp : public FormBase {
    Q_OBJECT
public:
    explicit frmTimeStamp(QWidget* parent = nullptr);

    QLabel* lblCourse = nullptr;
    QLabel* lblLevel = nullptr;
    QLabel* lblSubject = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblHour = nullptr;
    QFrame* Picture1 = nullptr;
    QTreeWidget* ListView1 = nullptr;

    // The chosen class; empty while none is.
    QString CourseNo() const { return m_courseNo; }
    // Shows the class and its lessons; false (nothing changed) when it is not found.
    bool ShowClass(const QString& courseNo);
    void LoadList();
    static int CountCourseStudents(const QString& courseNo);

private:
    enum Modes { NoClass, ClassChosen };

    void ChooseClass();
    void NewLesson();
    void EditLesson();
    void DeleteLesson();
    void PrintReport(const QString& courseNo);
    void ClearClass();
    void fillRow(QTreeWidgetItem* row, const Recordset& lesson, int registered);
    // The saved lesson read back into the row, or appended when row is null.
    void showSaved(const QString& stmId, QTreeWidgetItem* row);

    QString m_courseNo;
};
