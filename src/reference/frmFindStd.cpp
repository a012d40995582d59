#include "reference/frmFindStd.h"

#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/ListView.h"
#include "library/Recordset.h"
#include "library/Seams.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

class FindStdKeys : public QObject {
public:
    FindStdKeys(frmFindStd* dialog) : QObject(dialog), m_dialog(dialog) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F9) {
            m_dialog->pressButton(QStringLiteral("Find"));
            return true;
        }
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_dialog->pressButton(watched == m_dialog->findText() ? QStringLiteral("Find")
                                                              : QStringLiteral("OK"));
        return true;
    }

private:
    frmFindStd* m_dialog;
};

} // namespace

frmFindStd::frmFindStd(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ค้นหานักเรียน"));
    auto* layout = new QVBoxLayout(this);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(new QLabel(QStringLiteral("ค้นหา"), this));
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("txtFind"));
    findRow->addWidget(m_findText, 1);
    m_byName = new QRadioButton(QStringLiteral("ชื่อ"), this);
    m_byName->setObjectName(QStringLiteral("optName"));
    m_byName->setChecked(true);
    m_byNickName = new QRadioButton(QStringLiteral("ชื่อเล่น"), this);
    m_byNickName->setObjectName(QStringLiteral("optNickName"));
    findRow->addWidget(m_byName);
    findRow->addWidget(m_byNickName);
    layout->addLayout(findRow);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1, {{QStringLiteral("รหัส"), 1400},
                                {QStringLiteral("ชื่อ - นามสกุล"), 5000},
                                {QStringLiteral("ชื่อเล่น"), 2000}});
    layout->addWidget(ListView1, 1);

    m_toolbar = new KeyToolbar(this);
    m_toolbar->addButton(QStringLiteral("OK"), QStringLiteral("ตกลง"),
                         QStringLiteral("[Enter] - ตกลง"));
    m_toolbar->addStandardButton(QStringLiteral("Find"));
    m_toolbar->addStandardButton(QStringLiteral("Cancel"));
    layout->addWidget(m_toolbar);
    connect(m_toolbar, &KeyToolbar::buttonClick, this, &frmFindStd::pressButton);

    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { confirm(); });
    auto* keys = new FindStdKeys(this);
    m_findText->installEventFilter(keys);
    ListView1->installEventFilter(keys);

    resize((1400 + 5000 + 2000) / ListView::twipsPerPixel + 60, 420);
    IsSelected = false;
}

void frmFindStd::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (ListView::count(ListView1) > 0) {
        if (ListView::selectedIndex(ListView1) == 0)
            ListView::select(ListView1, 1);
        ListView1->setFocus();
    } else {
        m_findText->setFocus();
    }
}

QString frmFindStd::chooseFrom(const Recordset& hits, QWidget* parent) {
    frmFindStd dialog(parent);
    dialog.ListView1->clear();
    Recordset rows = hits;
    for (rows.MoveFirst(); !rows.isEOF(); rows.MoveNext())
        ListView::addRow(dialog.ListView1,
                         {rows.text(QStringLiteral("StdID")), rows.text(QStringLiteral("StdName")),
                          rows.text(QStringLiteral("StdNickName"))});
    Seams::showModal(dialog);
    return dialog.IsSelected ? dialog.SelectedID : QString();
}

void frmFindStd::pressButton(const QString& key) {
    if (key == QStringLiteral("OK"))
        confirm();
    else if (key == QStringLiteral("Find"))
        find();
    else if (key == QStringLiteral("Cancel"))
        reject();
}

void frmFindStd::confirm() {
    const QTreeWidgetItem* row = ListView::item(ListView1, ListView::selectedIndex(ListView1));
    if (!row)
        return;
    IsSelected = true;
    SelectedID = row->text(0);
    accept();
}

void frmFindStd::find() {
    const bool byNick = m_byNickName->isChecked();
    const QString sql =
        byNick ? QStringLiteral("Select StdID, StdName, StdNickName From Student Where "
                                "StdNickName Like '%' || ? || '%' Order By StdNickName ")
               : QStringLiteral("Select StdID, StdName, StdNickName From Student Where "
                                "StdName Like '%' || ? || '%' Order By StdName ");
    Recordset rs = Library::OpenRecordset(sql, true, {m_findText->text()});
    ListView1->clear();
    for (; !rs.isEOF(); rs.MoveNext())
        ListView::addRow(ListView1,
                         {rs.text(QStringLiteral("StdID")), rs.text(QStringLiteral("StdName")),
                          rs.text(QStringLiteral("StdNickName"))});
    if (ListView::count(ListView1) == 0) {
        m_findText->setFocus();
        m_findText->selectAll();
        return;
    }
    ListView::select(ListView1, 1);
    if (ListView::count(ListView1) == 1) {
        confirm();
        return;
    }
    ListView1->setFocus();
}
