#include "reference/SearchDialog.h"

#include "library/KeyToolbar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

SearchDialog::SearchDialog(const QString& title, const QList<ListView::Column>& columns,
                           QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);

    m_findRow = new QHBoxLayout;
    m_findRow->addWidget(new QLabel(QStringLiteral("ค้นหา"), this));
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("txtFind"));
    m_findRow->addWidget(m_findText, 1);
    layout->addLayout(m_findRow);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1, columns);
    layout->addWidget(ListView1, 1);

    m_toolbar = new KeyToolbar(this);
    m_toolbar->addButton(QStringLiteral("OK"), QStringLiteral("ตกลง"),
                         QStringLiteral("[Enter] - ตกลง"));
    m_toolbar->addStandardButton(QStringLiteral("Find"));
    m_toolbar->addStandardButton(QStringLiteral("Cancel"));
    layout->addWidget(m_toolbar);
    connect(m_toolbar, &KeyToolbar::buttonClick, this, &SearchDialog::pressButton);

    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { confirm(); });
    m_findText->installEventFilter(this);
    ListView1->installEventFilter(this);

    int width = 0;
    for (const ListView::Column& column : columns)
        width += column.widthTwips;
    resize(width / ListView::twipsPerPixel + 60, 420);
}

void SearchDialog::pressButton(const QString& key) {
    if (key == QStringLiteral("OK"))
        confirm();
    else if (key == QStringLiteral("Find"))
        find();
    else if (key == QStringLiteral("Cancel"))
        reject();
}

bool SearchDialog::confirm() {
    const QTreeWidgetItem* row = ListView::item(ListView1, ListView::selectedIndex(ListView1));
    if (!row)
        return false;
    IsSelected = true;
    SelectedID = row->text(0);
    accept();
    return true;
}

bool SearchDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_F9) {
        pressButton(QStringLiteral("Find"));
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    pressButton(watched == m_findText ? QStringLiteral("Find") : QStringLiteral("OK"));
    return true;
}
