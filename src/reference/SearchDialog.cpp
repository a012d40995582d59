#include "reference/SearchDialog.h"

#include "frame/KeyToolbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

SearchDialog::SearchDialog(const QString& title, const QList<ListView::Column>& columns,
                           QWidget* parent)
    : DialogBase(title, parent) {
    m_findRow = new QHBoxLayout;
    m_findRow->addWidget(new QLabel(QStringLiteral("ค้นหา"), this));
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("txtFind"));
    m_findRow->addWidget(m_findText, 1);
    body()->addLayout(m_findRow);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1, columns);
    body()->addWidget(ListView1, 1);

    toolbar()->addButton(QStringLiteral("OK"), QStringLiteral("ตกลง"),
                         QStringLiteral("[Enter] - ตกลง"));
    toolbar()->addStandardButton(QStringLiteral("Find"));
    toolbar()->addStandardButton(QStringLiteral("Cancel"));
    declareButtons({{QStringLiteral("OK"), [this] { confirmRow(); }},
                    {QStringLiteral("Find"), [this] { find(); }},
                    {QStringLiteral("Cancel"), [this] { reject(); }}});
    declareKeys({{Qt::Key_F9, QStringLiteral("Find")}, {Qt::Key_Escape, QStringLiteral("Cancel")}});
    onKey(m_findText, Qt::Key_Return, [this] { pressButton(QStringLiteral("Find")); });
    onKey(ListView1, Qt::Key_Return, [this] { pressButton(QStringLiteral("OK")); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { confirmRow(); });

    int width = 0;
    for (const ListView::Column& column : columns)
        width += column.widthTwips;
    resize(width / ListView::twipsPerPixel + 60, 420);
}

bool SearchDialog::confirmRow() {
    const QTreeWidgetItem* row = ListView::item(ListView1, ListView::selectedIndex(ListView1));
    if (!row)
        return false;
    SelectedID = row->text(0);
    confirm();
    return true;
}
