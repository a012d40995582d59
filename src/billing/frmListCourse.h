#pragma once

#include <QDialog>
#include <QString>

class KeyToolbar;
class QComboBox;
class QLabel;
class QTreeWidget;

// The class picker: the user picks an open course, then one of its classes.
// Show it with Seams::showModal, then read IsOK and CourseNo.
class frmListCourse : public QDialog {
    Q_OBJECT
public:
    explicit frmListCourse(QWidget* parent = nullptr);

    // True only when a class was confirmed; CourseNo is meaningful only then.
    bool IsOK = false;
    QString CourseNo;

    QLabel* Label1 = nullptr;
    QComboBox* cboCouse = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QLabel* lblTitle = nullptr;
    KeyToolbar* Toolbar1 = nullptr;

    // Presses a toolbar key ("OK", "Cancel") as the window would.
    void pressButton(const QString& key);

    QString GetCourseID() const;
    void LoadList();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void InitColumns();
    void cboCouse_Click();
    void ListView1_DblClick();
};
