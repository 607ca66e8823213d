#pragma once
// The split page's breakpoint list (list box 1009) with its right-click
// menu. The list never changes the page's breakpoints itself: its menu
// commands post WM_SPLIT_DELETEBREAKPOINT to the page, which deletes once
// the menu has closed.

#include <QListWidget>
#include <QObject>
#include <QPointer>

class QMenu;
class QPoint;

namespace ui {
class CDialogPage;
}

class CBreakpointList : public QObject {
    Q_OBJECT
public:
    CBreakpointList() = default;

    // Takes over the template's list box `id` on `page`.
    bool SubclassDlgItem(int id, ui::CDialogPage* page);
    QListWidget* List() const { return m_list; }

    // Menu 130: "delete this BreakPoint" (32771), "delete all BreakPoint"
    // (32772). The caller owns the menu.
    QMenu* LoadMenu();

    void OnDeleteThisBreakpoint();
    void OnDeleteAllBreakpoints();

    // The page that receives the delete requests; not owned.
    ui::CDialogPage* m_pOwner = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opens the menu at `at` (list coordinates) without blocking; its
    // commands come back to this list.
    void TrackPopupMenu(const QPoint& at);

    QPointer<QListWidget> m_list;
};
