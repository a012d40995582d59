#include "reference/frmFindTech.h"

#include "core/Recordset.h"
#include "frame/Library.h"
#include "frame/ListView.h"

#include <QLineEdit>
#include <QTreeWidget>

frmFindTech::frmFindTech(QWidget* parent)
    : SearchDialog(QStringLiteral("ค้นหาอาจารย์"),
                   {{QStringLiteral("รหัส"), 1400}, {QStringLiteral("ชื่อ - นามสกุล"), 5000}}, parent) {
    find();
}

void frmFindTech::showEvent(QShowEvent* event) {
    DialogBase::showEvent(event);
    findText()->setFocus();
}

QString frmFindTech::choose(QWidget* parent) {
    frmFindTech dialog(parent);
    dialog.showModal();
    return dialog.IsSelected ? dialog.SelectedID : QString();
}

void frmFindTech::find() {
    Recordset rs = Library::OpenRecordset(
        QStringLiteral("Select TechID, TechName From Teacher Where TechSts='1' and TechName "
                       "Like '%' || ? || '%' Order By TechName COLLATE THAI "),
        {findText()->text()});
    ListView1->clear();
    for (; !rs.isEOF(); rs.MoveNext())
        ListView::addRow(ListView1,
                         {rs.text(QStringLiteral("TechID")), rs.text(QStringLiteral("TechName"))});
    if (ListView::count(ListView1) == 0) {
        findText()->selectAll();
        return;
    }
    ListView::select(ListView1, 1);
    if (isVisible())
        ListView1->setFocus();
}
