#pragma once

#include "frame/FormBase.h"

#include <QString>
#include <array>

class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The timetable: the classes of an open course whose start or end date lies in a
// date range, with an edit panel for one class and its four teacher rows.
class frmCourseTable : public FormBase {
    Q_OBJECT
public:
    explicit frmCourseTable(QWidget* parent = nullptr);

    QComboBox* cboCouse = nullptr;
    QDateEdit* dtpDate1 = nullptr;
    QDateEdit* dtpDate2 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QFrame* Frame1 = nullptr;
    QLineEdit* txtCourseNo = nullptr;
    QComboBox* cboLevel = nullptr;
    QComboBox* cboSubject = nullptr;
    QLineEdit* txtCourseDate = nullptr;
    QLineEdit* txtCourseTime = nullptr;
    QDateEdit* dtpStartDate = nullptr;
    QDateEdit* dtpEndDate = nullptr;
    QLineEdit* txtHour = nullptr;
    QLineEdit* txtRoom = nullptr;
    QLineEdit* txtCoursePrice = nullptr;
    std::array<QLineEdit*, 4> txtTechID{};
    std::array<QPushButton*, 4> cmdListTech{};
    std::array<QLabel*, 4> lblName{};
    std::array<QLineEdit*, 4> txtRate{};

private:
    void buildPanel();
    void LoadCombos();
    void LoadList();
    void InitColumns();
    void ClearFields();
    bool ShowRecord(const QString& courseNo);
    void PrintReport();
    void SaveRecord();
    void DeleteRecord();
    void NewRecord();
    void EditRecord();
    void backToBrowse();
    void openPanel(int mode);
    void ClearTeacherRow(int index);
    // False when the code stands in another row already.
    bool txtTechID_LostFocus(int index);
    void cmdListTech_Click(int index);
    void fillListRow(QTreeWidgetItem* row, const QStringList& texts);

    QTreeWidgetItem* m_editedRow = nullptr;
    // The teacher code whose name and rate each row shows; the standard rate is
    // proposed only when the typed code differs from it.
    std::array<QString, 4> m_rowCode;
};
