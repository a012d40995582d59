#include "reference/frmFindStd.h"

#include "core/Recordset.h"
#include "frame/Library.h"
#include "frame/ListView.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

frmFindStd::frmFindStd(QWidget* parent)
    : SearchDialog(QStringLiteral("ค้นหานักเรียน"),
                   {{QStringLiteral("รหัส"), 1400},
                    {QStringLiteral("ชื่อ - นามสกุล"), 5000},
                    {QStringLiteral("ชื่อเล่น"), 2000}},
                   parent) {
    m_byName = new QRadioButton(QStringLiteral("ชื่อ"), this);
    m_byName->setObjectName(QStringLiteral("optName"));
    m_byName->setChecked(true);
    m_byNickName = new QRadioButton(QStringLiteral("ชื่อเล่น"), this);
    m_byNickName->setObjectName(QStringLiteral("optNickName"));
    findRow()->addWidget(m_byName);
    findRow()->addWidget(m_byNickName);
}

void frmFindStd::showEvent(QShowEvent* event) {
    DialogBase::showEvent(event);
    if (ListView::count(ListView1) > 0) {
        if (ListView::selectedIndex(ListView1) == 0)
            ListView::select(ListView1, 1);
        ListView1->setFocus();
    } else {
        findText()->setFocus();
    }
}

QString frmFindStd::chooseFrom(const Recordset& hits, QWidget* parent) {
    frmFindStd dialog(parent);
    dialog.ListView1->clear();
    const int id = hits.fieldIndex(QStringLiteral("StdID"));
    const int name = hits.fieldIndex(QStringLiteral("StdName"));
    const int nick = hits.fieldIndex(QStringLiteral("StdNickName"));
    for (const QVariantList& row : hits.rows())
        ListView::addRow(dialog.ListView1, {row.value(id).toString(), row.value(name).toString(),
                                            row.value(nick).toString()});
    dialog.showModal();
    return dialog.IsSelected ? dialog.SelectedID : QString();
}

void frmFindStd::find() {
    const bool byNick = m_byNickName->isChecked();
    const QString sql =
        byNick
            ? QStringLiteral("Select StdID, StdName, StdNickName From Student Where "
                             "StdNickName Like '%' || ? || '%' Order By StdNickName COLLATE THAI ")
            : QStringLiteral("Select StdID, StdName, StdNickName From Student Where "
                             "StdName Like '%' || ? || '%' Order By StdName COLLATE THAI ");
    Recordset rs = Library::OpenRecordset(sql, {findText()->text()});
    ListView1->clear();
    for (; !rs.isEOF(); rs.MoveNext())
        ListView::addRow(ListView1,
                         {rs.text(QStringLiteral("StdID")), rs.text(QStringLiteral("StdName")),
                          rs.text(QStringLiteral("StdNickName"))});
    if (ListView::count(ListView1) == 0) {
        findText()->setFocus();
        findText()->selectAll();
        return;
    }
    ListView::select(ListView1, 1);
    if (ListView::count(ListView1) == 1 && confirmRow())
        return;
    ListView1->setFocus();
}
