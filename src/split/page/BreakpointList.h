#pragma once
// The split page's breakpoint list (list box 1009) with its right-click
// menu. The list never changes the breakpoints itself: its menu commands
// ask the page through signals, which the page takes queued, so it deletes
// once the menu has closed.

#include <QListView>
#include <QObject>
#include <QPointer>

class QAbstractItemModel;
class QMenu;
class QPoint;

namespace ui {
class CDialogPage;
}

class CBreakpointList : public QObject {
    Q_OBJECT
public:
    CBreakpointList() = default;

    // Takes over the template's list box `id` on `page`, showing `model`.
    bool SubclassDlgItem(int id, ui::CDialogPage* page, QAbstractItemModel* model);
    QListView* List() const { return m_list; }
    // The entry chosen with the left button; -1 when none is.
    int SelectedRow() const;

    // Menu 130: "delete this BreakPoint" (32771), "delete all BreakPoint"
    // (32772). The caller owns the menu.
    QMenu* LoadMenu();

    void OnDeleteThisBreakpoint();
    void OnDeleteAllBreakpoints();

signals:
    void deleteRequested(int row);
    void deleteAllRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opens the menu at `at` (list coordinates) without blocking; its
    // commands come back to this list.
    void TrackPopupMenu(const QPoint& at);

    QPointer<QListView> m_list;
};
