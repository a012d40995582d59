#pragma once

#include "frame/DialogBase.h"

#include <QString>

class DateBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The lesson record dialog: one lesson of a class with its number, date, times,
// hours and the teachers and pupils present. Call doAdd or doEdit, show it with
// showModal, then read IsSaved and, when true, StmID.
class frmTimeStampSub : public DialogBase {
    Q_OBJECT
public:
    explicit frmTimeStampSub(QWidget* parent = nullptr);

    // The lesson edited, or the one just added.
    QString StmID;
    // True once the save has written the lesson.
    bool IsSaved = false;

    QLineEdit* txtItem = nullptr;
    DateBox* dtpDate = nullptr;
    QLineEdit* txtTime1 = nullptr;
    QLineEdit* txtTime2 = nullptr;
    QLineEdit* txtHour = nullptr;
    QTreeWidget* ListView1 = nullptr;

    void doAdd(const QString& courseNo);
    // False when the lesson is no longer stored: the dialog then cannot save.
    bool doEdit(const QString& courseNo, const QString& stmId);

private:
    enum Modes { Saving, Gone };

    void LoadPeople(const QString& courseNo);
    void addPeople(const QString& sql, const QString& courseNo, const QString& kind,
                   const QString& marker);
    void SaveRecord();
    bool invalid(bool failed, const QString& message, QLineEdit* field);
    void rowTicked(QTreeWidgetItem* row, int column);

    QString m_courseNo;
    bool m_adding = true;
    bool m_filling = false;
};
