#pragma once
// Report-style list views (QTreeWidget): columns with a width and an
// alignment that their cells follow, and the grid lines style.

#include <QString>
#include <Qt>

class QTreeWidget;

namespace ui {

// Applies LVS_EX_GRIDLINES and LVS_EX_FULLROWSELECT (DialogConstants.h).
void SetListViewExtendedStyle(QTreeWidget* list, unsigned styles);
unsigned GetListViewExtendedStyle(const QTreeWidget* list);

// Inserts a column; cells without an alignment of their own take the
// column's.
void InsertListViewColumn(QTreeWidget* list, int column, const QString& heading, int widthPx,
                          Qt::Alignment alignment);

// Prepares a QTreeWidget to act as a flat report list view.
void PrepareListView(QTreeWidget* list, bool singleSelection, bool showHeader);

} // namespace ui
