// The split page's breakpoints: at most two, ascending and distinct, set at
// the position the player shows or at a typed time, shown in list 1009.

#include "SplitDlg.h"

#include "MessageBox.h"
#include "SplitDlgIds.h"
#include "TypedTime.h"

#include <QListWidget>
#include <QSlider>

using namespace split_ids;

bool CSplitDlg::AddCandidateBreakpoint()
{
    if (m_breakpoints.size() >= 2) {
        ui::MessageBox(this,
                       QStringLiteral("There has been two breakpoints,so you must delete one first.\n"
                                      " Press left button to select one breakpoint,then press right "
                                      "button to delete it"),
                       QString(), ui::MessageIcon::Warning);
        return false;
    }
    std::size_t at = 0;
    for (; at < m_breakpoints.size(); ++at) {
        if (m_breakpoints[at].timeMs == m_llCandidateMs)
            return false;
        if (m_breakpoints[at].timeMs > m_llCandidateMs)
            break;
    }
    m_breakpoints.insert(m_breakpoints.begin() + static_cast<std::ptrdiff_t>(at),
                         Breakpoint{m_strCandidateText, m_llCandidateMs});
    // Inserted at its index: the list's own sorting does not apply.
    if (QListWidget* list = m_listBreakpoints.List())
        list->insertItem(static_cast<int>(at), m_strCandidateText);
    return true;
}

void CSplitDlg::OnAddCurrentBreakpoint()
{
    if (m_pSeeking)
        AddCandidateBreakpoint();
}

void CSplitDlg::OnAddTypedBreakpoint()
{
    if (!m_pSeeking)
        return;
    // Text that does not fit the 11 characters of a time is refused whole
    // rather than cut.
    const QString text = GetDlgItemText(IDC_TYPED_TIME);
    const TypedTime typed = text.size() > static_cast<qsizetype>(kTypedTimeMaxChars)
                              ? TypedTime{}
                              : ParseTypedTime(text.toStdString());
    switch (typed.status) {
    case TypedTimeStatus::BadFormat:
        ui::MessageBox(this,
                       QStringLiteral("Please input time in this format.Hour:minute:second,eg:00:01:01"),
                       QStringLiteral("Error"));
        return;
    case TypedTimeStatus::BadHours:
        ui::MessageBox(this, QStringLiteral("Hour input :Error"));
        return;
    case TypedTimeStatus::BadMinutes:
        ui::MessageBox(this, QStringLiteral("Minutes must between 00 and 59"), QStringLiteral("error"));
        return;
    case TypedTimeStatus::BadSeconds:
        ui::MessageBox(this, QStringLiteral("Seconds must between 00 and 59"), QStringLiteral("error"));
        return;
    case TypedTimeStatus::Ok:
        break;
    }
    m_llCandidateMs = typed.milliseconds;
    if (m_llCandidateMs * 10'000 > m_rtDuration) {
        ui::MessageBox(this, QStringLiteral("Input time out of the duration"), QString(),
                       ui::MessageIcon::Warning);
        return;
    }
    m_strCandidateText = QString::fromStdString(typed.text);
    AddCandidateBreakpoint();
}

qintptr CSplitDlg::OnDeleteBreakpoints(quintptr wParam, qintptr lParam)
{
    QListWidget* list = m_listBreakpoints.List();
    if (wParam != 0) {
        if (list)
            list->clear();
        m_breakpoints.clear();
    } else if (lParam >= 0 && lParam < static_cast<qintptr>(m_breakpoints.size())) {
        if (list)
            delete list->takeItem(static_cast<int>(lParam));
        m_breakpoints.erase(m_breakpoints.begin() + lParam);
    }
    return 0;
}

void CSplitDlg::OnBreakpointDblClk()
{
    QListWidget* list = m_listBreakpoints.List();
    QListWidgetItem* item = list ? list->currentItem() : nullptr;
    if (!item || !item->isSelected())
        return;
    const int index = list->row(item);
    if (index < 0 || index >= static_cast<int>(m_breakpoints.size()))
        return;
    SetSliderPos(m_breakpoints[static_cast<std::size_t>(index)].timeMs);
    SeekToSlider();
}
