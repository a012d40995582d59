#include "frame/ListView.h"

#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>

namespace ListView {
namespace {
constexpr int tagRole = Qt::UserRole + 1;
constexpr int cellTagRole = Qt::UserRole + 2;

// Columns sized to their captions and values keep a gap between one and the next.
constexpr int gap = 16;

class SpacedCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(gap, 0);
    }
};

// The captions keep the same gap.
class SpacedHeaderStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_HeaderSection)
            result.rwidth() += gap;
        return result;
    }
};

QStyle* spacedHeaderStyle() {
    static QPointer<SpacedHeaderStyle> style;
    if (!style) {
        style = new SpacedHeaderStyle;
        style->setParent(qApp);
    }
    return style;
}
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
    // Each column is as wide as its caption and values, so none is cut; the column
    // given the most room takes what is left (shortening its values only in a
    // window made narrow), so none is pushed off the right either.
    int elastic = 0;
    for (int i = 1; i < columns.size(); ++i)
        if (columns.at(i).widthTwips > columns.at(elastic).widthTwips)
            elastic = i;
    list->setItemDelegate(new SpacedCells(list));
    QHeaderView* header = list->header();
    header->setStyle(spacedHeaderStyle());
    header->setStretchLastSection(false);
    for (int i = 0; i < columns.size(); ++i) {
        header->setSectionResizeMode(i, i == elastic ? QHeaderView::Stretch
                                                     : QHeaderView::ResizeToContents);
        list->headerItem()->setTextAlignment(i, columns.at(i).alignment | Qt::AlignVCenter);
    }
    QList<int> alignments;
    QList<int> widths;
    for (const Column& column : columns) {
        alignments << static_cast<int>(column.alignment);
        widths << column.widthTwips;
    }
    list->setProperty("vadelAlignments", QVariant::fromValue(alignments));
    list->setProperty("vadelWidths", QVariant::fromValue(widths));
    list->setProperty("vadelElastic", elastic);
}

void keepElasticColumnWhole(QTreeWidget* list) {
    const int elastic = list->property("vadelElastic").toInt();
    const QHeaderView* header = list->header();
    int width = widthBesideColumns(list);
    for (int i = 0; i < list->columnCount(); ++i)
        width += std::max({i == elastic ? givenWidth(list, i) : 0, header->sectionSizeHint(i),
                           static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(i)});
    list->setMinimumWidth(width);
}

void setMinimumSize(QTreeWidget* list, int heightTwips) {
    int width = widthBesideColumns(list);
    for (int twips : list->property("vadelWidths").value<QList<int>>())
        width += twips / twipsPerPixel;
    list->setMinimumSize(width, heightTwips / twipsPerPixel);
}

int widthBesideColumns(const QTreeWidget* list) {
    return 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width();
}

int givenWidth(const QTreeWidget* list, int column) {
    return list->property("vadelWidths").value<QList<int>>().value(column) / twipsPerPixel;
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
