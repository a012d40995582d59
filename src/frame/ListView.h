#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;

// A list view in report view: a QTreeWidget without root decoration whose rows
// carry a tag (the record's key) and whose cells may carry a second value.
namespace ListView {

struct Column {
    QString caption;
    int widthTwips;
    Qt::Alignment alignment = Qt::AlignLeft;
};

// Sets the columns. They fit their captions and values; the widest column of the
// list given takes the room left.
void setup(QTreeWidget* list, const QList<Column>& columns);
// The list is at least wide enough for every column's caption and values, and for the
// column that takes the room left at the width it was given, so that its values show
// whole. Called again after the rows change.
void keepElasticColumnWhole(QTreeWidget* list);
// The list's smallest size: the columns' given widths side by side, and the given
// height in twips.
void setMinimumSize(QTreeWidget* list, int heightTwips);
// The width a list takes besides its columns: its frame and a vertical scroll bar.
int widthBesideColumns(const QTreeWidget* list);
// The width a column was given at setup, in pixels (0 for no such column).
int givenWidth(const QTreeWidget* list, int column);
QTreeWidgetItem* addRow(QTreeWidget* list, const QStringList& texts, const QString& tag = {});
QString rowTag(const QTreeWidgetItem* row);
void setRowTag(QTreeWidgetItem* row, const QString& tag);
QString cellTag(const QTreeWidgetItem* row, int column);
void setCellTag(QTreeWidgetItem* row, int column, const QString& tag);
// 1-based row as the windows count them; null when out of range.
QTreeWidgetItem* item(QTreeWidget* list, int index);
int count(const QTreeWidget* list);
// 1-based index of the selected row, 0 when none.
int selectedIndex(const QTreeWidget* list);
void select(QTreeWidget* list, int index);

constexpr int twipsPerPixel = 15;

} // namespace ListView
