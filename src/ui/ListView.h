#pragma once
// Report-style list views (QTreeView over the page's model): columns with a
// width and an alignment that their cells follow, and the grid lines style.

#include <QString>
#include <Qt>

class QTreeView;

namespace ui {

// Applies LVS_EX_GRIDLINES and LVS_EX_FULLROWSELECT (DialogConstants.h).
void SetListViewExtendedStyle(QTreeView* list, unsigned styles);
unsigned GetListViewExtendedStyle(const QTreeView* list);

// Inserts a column into the view's model (its heading and alignment as the
// model's header data); cells without an alignment of their own take the
// column's.
void InsertListViewColumn(QTreeView* list, int column, const QString& heading, int widthPx,
                          Qt::Alignment alignment);

// Prepares a QTreeView to act as a flat report list view.
void PrepareListView(QTreeView* list, bool singleSelection, bool showHeader);

} // namespace ui
