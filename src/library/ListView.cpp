#include "library/ListView.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

namespace ListView {
namespace {
constexpr int tagRole = Qt::UserRole + 1;
constexpr int cellTagRole = Qt::UserRole + 2;
} // namespace

void setup(QTreeWidget* list, const QList<Column>& columns) {
    list->clear();
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setColumnCount(static_cast<int>(columns.size()));
    QStringList captions;
    for (const Column& column : columns)
        captions << column.caption;
    list->setHeaderLabels(captions);
    for (int i = 0; i < columns.size(); ++i) {
        list->setColumnWidth(i, columns.at(i).widthTwips / twipsPerPixel);
        list->headerItem()->setTextAlignment(i, columns.at(i).alignment | Qt::AlignVCenter);
    }
    list->setProperty("vadelAlignments", QVariant::fromValue([&columns] {
                          QList<int> alignments;
                          for (const Column& column : columns)
                              alignments << static_cast<int>(column.alignment);
                          return alignments;
                      }()));
}

void setMinimumSize(QTreeWidget* list, int heightTwips) {
    int width = 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width();
    for (int i = 0; i < list->columnCount(); ++i)
        width += list->columnWidth(i);
    list->setMinimumSize(width, heightTwips / twipsPerPixel);
}

QTreeWidgetItem* addRow(QTreeWidget* list, const QStringList& texts, const QString& tag) {
    auto* row = new QTreeWidgetItem(list, texts); // owned by the list
    const QList<int> alignments = list->property("vadelAlignments").value<QList<int>>();
    for (int i = 0; i < alignments.size(); ++i)
        row->setTextAlignment(i, Qt::Alignment(alignments.at(i)) | Qt::AlignVCenter);
    row->setData(0, tagRole, tag);
    return row;
}

QString rowTag(const QTreeWidgetItem* row) {
    return row ? row->data(0, tagRole).toString() : QString();
}

void setRowTag(QTreeWidgetItem* row, const QString& tag) {
    row->setData(0, tagRole, tag);
}

QString cellTag(const QTreeWidgetItem* row, int column) {
    return row ? row->data(column, cellTagRole).toString() : QString();
}

void setCellTag(QTreeWidgetItem* row, int column, const QString& tag) {
    row->setData(column, cellTagRole, tag);
}

QTreeWidgetItem* item(QTreeWidget* list, int index) {
    if (index < 1 || index > list->topLevelItemCount())
        return nullptr;
    return list->topLevelItem(index - 1);
}

int count(const QTreeWidget* list) {
    return list->topLevelItemCount();
}

int selectedIndex(const QTreeWidget* list) {
    QTreeWidgetItem* current = list->currentItem();
    if (!current || !current->isSelected())
        return 0;
    return list->indexOfTopLevelItem(current) + 1;
}

void select(QTreeWidget* list, int index) {
    QTreeWidgetItem* row = item(list, index);
    if (!row)
        return;
    list->setCurrentItem(row);
    row->setSelected(true);
    list->scrollToItem(row);
}

} // namespace ListView
