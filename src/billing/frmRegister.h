#pragma once

#include "frame/FormBase.h"

#include <QString>

class QLabel;
class QLineEdit;
class QTreeWidget;
class Recordset;

// Registration: look a student up by code or name, see the registrations on
// classes of open courses, register on a further class, remove an unpaid one.
class frmRegister : public FormBase {
    Q_OBJECT
public:
    explicit frmRegister(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtStdID = nullptr;
    QLineEdit* txtStdName = nullptr;
    QLabel* lblLevel = nullptr;
    QTreeWidget* ListView1 = nullptr;

    // Fills the list with the student's registrations on classes of open courses.
    void LoadRegisteredCourses(const QString& stdId);
    // The code of the student whose registrations the list shows; empty when none.
    QString listedStdID() const { return m_listedStdId; }

private:
    void findByCode();
    void findByName();
    void codeChanged();
    void showStudent(const Recordset& student);
    void forgetStudent();
    void addRow(const Recordset& row);
    void registerCourse();
    void removeCourse();

    QString m_listedStdId;
};
