#pragma once
// Base of every page: a dialog built from its template, whose controls are
// found by numeric id. Handlers read like the dialog-item calls they stand
// for (GetDlgItemText, CheckRadioButton, EnableWindow ...), modal runs end
// with IDOK or IDCANCEL, timers are keyed by id and private messages arrive
// as posted events.

#include "DialogTemplate.h"
#include "DialogUnits.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <map>

class QEventLoop;
class QTimer;

namespace ui {

class CDialogPage;

// Runs a page in place of its modal loop and returns its result. Tests use
// it to play the person who ends a page (Back, Exit) without blocking.
using ModalRunHook = std::function<int(CDialogPage&)>;
ModalRunHook SetModalRunHook(ModalRunHook hook);

class CDialogPage : public QDialog {
    Q_OBJECT
public:
    // A template with appWindow set gives the page a window of its own (own
    // taskbar entry) while `parent` stays its logical owner.
    CDialogPage(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~CDialogPage() override;

    const DialogTemplate& Template() const { return m_template; }
    BaseUnits GetBaseUnits() const { return m_units; }
    QRect MapDialogRect(const QRect& dlu) const { return ui::MapDialogRect(dlu, m_units); }
    QWidget* GetParentWnd() const { return m_parentWnd; }

    // Runs the page modally (through the hook when one is installed) and
    // returns the code it ended with. The page runs its own loop, so hiding
    // it while a further page runs (the wizard's page chain) does not end it.
    int DoModal();
    void EndDialog(int result);
    int Result() const { return m_result; }

    // Runs the page set-up once; showing the page runs it if still due.
    void EnsureInitDialog();

    QWidget* GetDlgItem(int id) const;
    template <class T> T* DlgItem(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    void SetDlgItemText(int id, const QString& text);
    QString GetDlgItemText(int id) const;
    bool IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    void EnableWindow(int id, bool enable);
    void ShowWindow(int id, bool show);

    // Adds an item to a combo box or list box; a sorted one puts it in text
    // order (ignoring case), any other appends it. Returns its index, or -1
    // (also for a list box that shows a page's own model).
    int AddComboString(int id, const QString& text);
    int AddListString(int id, const QString& text);

    // (Re)starts timer `id`; OnTimer(id) runs every `periodMs`. Returns id.
    int SetTimer(int id, int periodMs);
    bool KillTimer(int id);
    bool IsTimerRunning(int id) const;

    void PostMessage(int message, quintptr wParam = 0, qintptr lParam = 0);

    // Moves the page so that its window (frame included) is centred where
    // the window `other` is: a wizard's pages open where the last one was.
    void CentreOn(const QWidget& other);

    // Enter: a focused push button is clicked; otherwise the IDOK command.
    void keyPressEvent(QKeyEvent* event) override;
    void setVisible(bool visible) override;
    // Esc and the close box.
    void reject() override;
    void done(int result) override { EndDialog(result); }

protected:
    // The page set-up; true lets the first tab stop take the focus.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnTimer(int /*id*/) {}
    // Private messages; return true when handled.
    virtual bool OnMessage(int /*message*/, quintptr /*wParam*/, qintptr /*lParam*/) { return false; }
    // F1 once EnableCommandHelp() has been called; lParam is 0 for the key.
    virtual bool OnCommandHelp(quintptr /*wParam*/, qintptr /*lParam*/) { return true; }

    void EnableCommandHelp();
    // Enter in the control `controlId` clicks the button `buttonId` instead
    // of the page's OK command (a field with its own Add button beside it).
    void SetEnterButton(int controlId, int buttonId) { m_enterButtons[controlId] = buttonId; }
    // Runs `handler` when the button with control id `id` is clicked. Call it
    // after the skinned buttons are set up, since that replaces the buttons.
    void OnClicked(int id, std::function<void()> handler);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* CreateControl(const DialogControl& control);
    // Each field that the page has not named takes the text of the label
    // beside it as its accessible name, and becomes that label's buddy.
    void NameFieldsByLabels();

    DialogTemplate m_template;
    DialogFont m_font;
    BaseUnits m_units;
    QPointer<QWidget> m_parentWnd;
    std::map<int, QTimer*> m_timers;
    std::map<int, int> m_enterButtons;
    bool m_initialized = false;
    bool m_ended = false;
    int m_result = 0;
    QEventLoop* m_loop = nullptr;
};

} // namespace ui
