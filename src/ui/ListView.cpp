#include "ListView.h"

#include "DialogConstants.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace ui {

namespace {

const char* const kStyleProperty = "listViewExStyle";

class ReportDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const auto* view = qobject_cast<const QTreeWidget*>(parent());
        if (view && (GetListViewExtendedStyle(view) & LVS_EX_GRIDLINES)) {
            painter->save();
            painter->setPen(QColor(0xd0, 0xd0, 0xd0));
            const QRect r = option.rect;
            painter->drawLine(r.topRight(), r.bottomRight());
            painter->drawLine(r.bottomLeft(), r.bottomRight());
            painter->restore();
        }
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.data(Qt::TextAlignmentRole).isValid()) {
            const QVariant columnAlignment =
                index.model()->headerData(index.column(), Qt::Horizontal, Qt::TextAlignmentRole);
            if (columnAlignment.isValid())
                option->displayAlignment =
                    Qt::Alignment(columnAlignment.toInt()) | Qt::AlignVCenter;
        }
    }
};

} // namespace

void PrepareListView(QTreeWidget* list, bool singleSelection, bool showHeader)
{
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setColumnCount(0);
    list->setHeaderHidden(!showHeader);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    list->setSelectionMode(singleSelection ? QAbstractItemView::SingleSelection
                                           : QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectItems);
    list->setItemDelegate(new ReportDelegate(list));
}

void SetListViewExtendedStyle(QTreeWidget* list, unsigned styles)
{
    list->setProperty(kStyleProperty, styles);
    list->setSelectionBehavior((styles & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                               : QAbstractItemView::SelectItems);
    list->viewport()->update();
}

unsigned GetListViewExtendedStyle(const QTreeWidget* list)
{
    return list->property(kStyleProperty).toUInt();
}

void InsertListViewColumn(QTreeWidget* list, int column, const QString& heading, int widthPx,
                          Qt::Alignment alignment)
{
    if (list->columnCount() <= column)
        list->setColumnCount(column + 1);
    QTreeWidgetItem* header = list->headerItem();
    header->setText(column, heading);
    header->setTextAlignment(column, alignment | Qt::AlignVCenter);
    list->header()->resizeSection(column, widthPx);
}

} // namespace ui
