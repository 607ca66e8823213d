#pragma once
// Test stand-ins for what a person does: answering message boxes and file
// dialogs, and ending pages that would run modally. Each installs itself
// for its lifetime and restores the previous hook.

#include "DialogPage.h"
#include "FileDialogs.h"
#include "MessageBox.h"

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>
#include <deque>
#include <functional>
#include <utility>
#include <optional>
#include <vector>

namespace testsupport {

class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = ui::IDOK);
    ~MessageBoxRecorder();
    const std::vector<ui::MessageBoxRequest>& Boxes() const { return m_boxes; }

private:
    std::vector<ui::MessageBoxRequest> m_boxes;
    ui::MessageBoxHook m_previous;
};

// Answers file dialogs in order; a dialog with no answer left is cancelled.
class FileDialogAnswers {
public:
    FileDialogAnswers();
    ~FileDialogAnswers();
    void Choose(const QStringList& paths) { m_answers.push_back(paths); }
    void Cancel() { m_answers.push_back(std::nullopt); }
    const std::vector<ui::FileDialogRequest>& Requests() const { return m_requests; }

private:
    std::deque<std::optional<QStringList>> m_answers;
    std::vector<ui::FileDialogRequest> m_requests;
    ui::FileDialogHook m_previous;
};

// Records every page that would run modally; `play` acts for the person on
// the page and returns how the page ends (IDOK by default).
class ModalRunRecorder {
public:
    using Play = std::function<int(ui::CDialogPage&)>;
    explicit ModalRunRecorder(Play play = {});
    ~ModalRunRecorder();
    void SetPlay(Play play) { m_play = std::move(play); }
    // Class names of the pages run, in order.
    const QStringList& Runs() const { return m_runs; }

private:
    Play m_play;
    QStringList m_runs;
    ui::ModalRunHook m_previous;
};

// Checks that every control of the page's template exists with its id, kind
// of widget, text and pixel rectangle (two pixels per dialog unit).
void ExpectPageMatchesTemplate(ui::CDialogPage& page);

// The texts of a combo box's items, in order.
QStringList ComboItems(const QComboBox* combo);

// The control of the page at the template row `index` (also for controls
// without an id).
QWidget* ControlAtRow(ui::CDialogPage& page, int index);

// Each listed control is a skinned button of class `Button` carrying its
// tooltip text.
template <class Button>
void ExpectSkinnedButtons(ui::CDialogPage& page, const std::vector<std::pair<int, QString>>& tips)
{
    for (const auto& [id, tip] : tips) {
        SCOPED_TRACE(id);
        auto* button = page.DlgItem<Button>(id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), tip);
    }
}

// A second page ends with IDOK by Back and by Enter (pressed in the control
// `enterFocusId`), and with IDCANCEL by Exit, Esc and the close box.
template <class Page>
void ExpectSecondPageEndings(int backId, int exitId, int enterFocusId)
{
    Page back;
    back.show();
    QTest::mouseClick(back.GetDlgItem(backId), Qt::LeftButton);
    EXPECT_EQ(back.Result(), ui::IDOK);
    EXPECT_FALSE(back.isVisible());

    Page enter;
    enter.show();
    enter.GetDlgItem(enterFocusId)->setFocus();
    QTest::keyClick(enter.GetDlgItem(enterFocusId), Qt::Key_Return);
    EXPECT_EQ(enter.Result(), ui::IDOK);

    Page exit;
    exit.show();
    QTest::mouseClick(exit.GetDlgItem(exitId), Qt::LeftButton);
    EXPECT_EQ(exit.Result(), ui::IDCANCEL);

    Page esc;
    esc.show();
    QTest::keyClick(&esc, Qt::Key_Escape);
    EXPECT_EQ(esc.Result(), ui::IDCANCEL);

    Page closed;
    closed.show();
    closed.close();
    EXPECT_EQ(closed.Result(), ui::IDCANCEL);
}

} // namespace testsupport
