#pragma once

#include "frame/FormBase.h"

#include <QString>
#include <array>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

// The student enquiry: finds a student by code, name or nickname and shows the
// whole profile with the photo and the classes of open courses; its keys open
// the course history, the current results and the payment history. It only reads.
class frmQuery : public FormBase {
    Q_OBJECT
public:
    explicit frmQuery(QWidget* parent = nullptr);

    QLineEdit* txtStdID = nullptr;
    QLineEdit* txtStdName = nullptr;
    QLineEdit* txtNickName = nullptr;
    QLabel* lblFather = nullptr;
    QLabel* lblMother = nullptr;
    QLabel* lblFatherJob = nullptr;
    QLabel* lblMotherJob = nullptr;
    QLabel* lblBirthDay = nullptr;
    QLabel* lblAge = nullptr;
    QLabel* lblSex = nullptr;
    QLabel* lblReligion = nullptr;
    QLabel* lblTel = nullptr;
    QLabel* lblAddr = nullptr;
    QLabel* lblEmail = nullptr;
    QLabel* lblRegDate = nullptr;
    QLabel* lblLevel = nullptr;
    QLabel* lblSchool = nullptr;
    QLabel* lblSubject = nullptr;
    QLabel* lblHobby = nullptr;
    QLabel* lblColor = nullptr;
    QLabel* lblPurpose = nullptr;
    QLabel* lblReason = nullptr;
    QLabel* lblSuggest = nullptr;
    QPlainTextEdit* txtMemo = nullptr;
    std::array<QLabel*, 8> lblGrade{}; // lblGrade1 .. lblGrade8
    QLabel* Image1 = nullptr;
    QTreeWidget* ListView1 = nullptr;

    // Reads the student and fills the profile, photo, age and class list.
    void ShowStudent(const QString& stdId);
    // Empties everything but the code box and shows the built-in picture.
    void ClearFields();
    // The student's classes of open courses, by course and class.
    void LoadCourses(const QString& stdId);

private:
    void buildProfile();
    void lookupByCode();
    void search(QLineEdit* box);
    // A code in the box and a student on screen: the histories are those of the student
    // shown, whatever has been typed over the code since.
    bool hasStudentShown() const;
    void showHistory(const QString& status, const QString& title);
    void showPayments();
    void cancel();

    QList<QLabel*> m_fields; // every profile label that ClearFields empties
    QString m_shownStdId;    // the student whose profile is on screen, empty when none
};
