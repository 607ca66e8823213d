#include "BreakpointList.h"

#include "DialogPage.h"
#include "SplitDlgIds.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>

using namespace split_ids;

bool CBreakpointList::SubclassDlgItem(int id, ui::CDialogPage* page, QAbstractItemModel* model)
{
    m_list = page ? page->DlgItem<QListView>(id) : nullptr;
    if (!m_list)
        return false;
    QItemSelectionModel* previous = m_list->selectionModel();
    m_list->setModel(model);
    delete previous;
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    return true;
}

QMenu* CBreakpointList::LoadMenu()
{
    auto* menu = new QMenu(m_list);
    menu->setObjectName(QStringLiteral("menu%1").arg(IDR_BREAKPOINT_MENU));
    QAction* one = menu->addAction(tr("delete this BreakPoint"));
    one->setData(ID_DELETE_THIS_BREAKPOINT);
    connect(one, &QAction::triggered, this, &CBreakpointList::OnDeleteThisBreakpoint);
    QAction* all = menu->addAction(tr("delete all BreakPoint"));
    all->setData(ID_DELETE_ALL_BREAKPOINTS);
    connect(all, &QAction::triggered, this, &CBreakpointList::OnDeleteAllBreakpoints);
    return menu;
}

void CBreakpointList::TrackPopupMenu(const QPoint& at)
{
    QMenu* menu = LoadMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_list->viewport()->mapToGlobal(at));
}

bool CBreakpointList::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_list || (watched != m_list && watched != m_list->viewport()))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A right click leaves the selection alone: "delete this" acts on
        // the entry chosen with the left button.
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        TrackPopupMenu(mouse->position().toPoint());
        return true;
    }
    case QEvent::ContextMenu: {
        // The mouse opens the menu on release; the Menu key opens it at the
        // chosen entry.
        auto* context = static_cast<QContextMenuEvent*>(event);
        if (context->reason() == QContextMenuEvent::Keyboard) {
            const QModelIndex current = m_list->currentIndex();
            TrackPopupMenu(current.isValid() ? m_list->visualRect(current).center() : QPoint(0, 0));
        }
        return true;
    }
    default:
        return false;
    }
}

int CBreakpointList::SelectedRow() const
{
    if (!m_list || !m_list->selectionModel())
        return -1;
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() && m_list->selectionModel()->isSelected(current) ? current.row() : -1;
}

void CBreakpointList::OnDeleteThisBreakpoint()
{
    if (const int row = SelectedRow(); row >= 0)
        emit deleteRequested(row);
}

void CBreakpointList::OnDeleteAllBreakpoints()
{
    if (m_list && m_list->model() && m_list->model()->rowCount() > 0)
        emit deleteAllRequested();
}
