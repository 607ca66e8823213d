#include "ListView.h"

#include "DialogConstants.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeView>

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
        const auto* view = qobject_cast<const QTreeView*>(parent());
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

void PrepareListView(QTreeView* list, bool singleSelection, bool showHeader)
{
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setHeaderHidden(!showHeader);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    list->setSelectionMode(singleSelection ? QAbstractItemView::SingleSelection
                                           : QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectItems);
    list->setItemDelegate(new ReportDelegate(list));
}

void SetListViewExtendedStyle(QTreeView* list, unsigned styles)
{
    list->setProperty(kStyleProperty, styles);
    list->setSelectionBehavior((styles & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                               : QAbstractItemView::SelectItems);
    list->viewport()->update();
}

unsigned GetListViewExtendedStyle(const QTreeView* list)
{
    return list->property(kStyleProperty).toUInt();
}

void InsertListViewColumn(QTreeView* list, int column, const QString& heading, int widthPx,
                          Qt::Alignment alignment)
{
    QAbstractItemModel* model = list->model();
    if (!model)
        return;
    if (model->columnCount() <= column)
        model->insertColumns(model->columnCount(), column + 1 - model->columnCount());
    model->setHeaderData(column, Qt::Horizontal, heading, Qt::DisplayRole);
    model->setHeaderData(column, Qt::Horizontal, (alignment | Qt::AlignVCenter).toInt(),
                         Qt::TextAlignmentRole);
    list->header()->resizeSection(column, widthPx);
}

} // namespace ui
