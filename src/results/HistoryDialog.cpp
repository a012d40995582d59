#include "results/HistoryDialog.h"

#include "frame/KeyToolbar.h"

#include <QTreeWidget>
#include <QVBoxLayout>

HistoryDialog::HistoryDialog(const QList<ListView::Column>& columns, QWidget* parent)
    : DialogBase(QString(), parent) {
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView::setup(ListView1, columns);
    body()->addWidget(ListView1, 1);

    toolbar()->addButton(QStringLiteral("OK"), QStringLiteral("เลือก"),
                         QStringLiteral("[F2] - เลือกรายการ"));
    toolbar()->addButton(QStringLiteral("Cancel"), QStringLiteral("       ยกเลิก      "),
                         QStringLiteral("[ESC] - ยกเลิก"));
    declareButtons({{QStringLiteral("Cancel"), [this] { reject(); }}});
    declareKeys({{Qt::Key_Escape, QStringLiteral("Cancel")}});

    int width = 0;
    for (const ListView::Column& column : columns)
        width += column.widthTwips;
    // Every column in view, and room for a dozen rows.
    ListView1->setMinimumSize(width / ListView::twipsPerPixel + 2 * ListView1->frameWidth() + 4,
                              4000 / ListView::twipsPerPixel);
}

void HistoryDialog::begin(const QString& title) {
    setWindowTitle(title);
    setTitle(title);
    ListView1->clear();
}
