#include "reference/frmFindTech.h"

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
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

class FindTechKeys : public QObject {
public:
    FindTechKeys(frmFindTech* dialog) : QObject(dialog), m_dialog(dialog) {}

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
    frmFindTech* m_dialog;
};

} // namespace

frmFindTech::frmFindTech(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ค้นหาอาจารย์"));
    auto* layout = new QVBoxLayout(this);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(new QLabel(QStringLiteral("ค้นหา"), this));
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("txtFind"));
    findRow->addWidget(m_findText, 1);
    layout->addLayout(findRow);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1,
                    {{QStringLiteral("รหัส"), 1400}, {QStringLiteral("ชื่อ - นามสกุล"), 5000}});
    layout->addWidget(ListView1, 1);

    m_toolbar = new KeyToolbar(this);
    m_toolbar->addButton(QStringLiteral("OK"), QStringLiteral("ตกลง"),
                         QStringLiteral("[Enter] - ตกลง"));
    m_toolbar->addStandardButton(QStringLiteral("Find"));
    m_toolbar->addStandardButton(QStringLiteral("Cancel"));
    layout->addWidget(m_toolbar);
    connect(m_toolbar, &KeyToolbar::buttonClick, this, &frmFindTech::pressButton);

    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { confirm(); });
    auto* keys = new FindTechKeys(this);
    m_findText->installEventFilter(keys);
    ListView1->installEventFilter(keys);

    resize((1400 + 5000) / ListView::twipsPerPixel + 60, 420);
    find();
}

void frmFindTech::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_findText->setFocus();
}

QString frmFindTech::choose(QWidget* parent) {
    frmFindTech dialog(parent);
    Seams::showModal(dialog);
    return dialog.IsSelected ? dialog.SelectedID : QString();
}

void frmFindTech::pressButton(const QString& key) {
    if (key == QStringLiteral("OK"))
        confirm();
    else if (key == QStringLiteral("Find"))
        find();
    else if (key == QStringLiteral("Cancel"))
        reject();
}

void frmFindTech::confirm() {
    const QTreeWidgetItem* row = ListView::item(ListView1, ListView::selectedIndex(ListView1));
    if (!row)
        return;
    IsSelected = true;
    SelectedID = row->text(0);
    accept();
}

void frmFindTech::find() {
    Recordset rs = Library::OpenRecordset(
        QStringLiteral("Select TechID, TechName From Teacher Where TechSts='1' and TechName "
                       "Like '%' || ? || '%' Order By TechName "),
        true, {m_findText->text()});
    ListView1->clear();
    for (; !rs.isEOF(); rs.MoveNext())
        ListView::addRow(ListView1,
                         {rs.text(QStringLiteral("TechID")), rs.text(QStringLiteral("TechName"))});
    if (ListView::count(ListView1) == 0) {
        m_findText->selectAll();
        return;
    }
    ListView::select(ListView1, 1);
    if (isVisible())
        ListView1->setFocus();
}
