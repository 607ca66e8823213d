// The split page's breakpoints: typed times and their messages, the order
// of the list, its delete menu and the jump on double click.

#include "GuiTestSupport.h"
#include "SplitDlgIds.h"
#include "SplitPageFixture.h"

#include <QAction>
#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace split_ids;
using namespace splittest;
using testsupport::MessageBoxRecorder;

namespace {

QStringList ListTexts(CSplitDlg& page)
{
    QStringList texts;
    const QAbstractItemModel* shown = page.DlgItem<QListView>(IDC_BREAKPOINTS)->model();
    for (int i = 0; i < shown->rowCount(); ++i)
        texts << shown->index(i, 0).data().toString();
    return texts;
}

std::vector<qint64> Times(const CSplitDlg& page)
{
    std::vector<qint64> times;
    for (const Breakpoint& b : page.Breakpoints())
        times.push_back(b.timeMs);
    return times;
}

void AddTyped(CSplitDlg& page, const QString& text)
{
    page.SetDlgItemText(IDC_TYPED_TIME, text);
    QTest::mouseClick(page.GetDlgItem(IDC_ADD_TYPED), Qt::LeftButton);
}

// Right-clicks the list and chooses the menu command `command`.
void ChooseFromListMenu(CSplitDlg& page, int command)
{
    auto* list = page.DlgItem<QListView>(IDC_BREAKPOINTS);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(10, 60));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    EXPECT_EQ(texts, (QStringList{"delete this BreakPoint", "delete all BreakPoint"}));
    for (QAction* action : menu->actions())
        if (action->data().toInt() == command)
            action->trigger();
    menu->close();
    QCoreApplication::processEvents();
}

} // namespace

TEST(SplitBreakpoints, TypedTimesAreCheckedInOrderAndAddedReformatted)
{
    MessageBoxRecorder boxes;
    auto page = OpenSplitPage(TestSources().mp3);
    const QString format = QStringLiteral("Please input time in this format.Hour:minute:second,eg:00:01:01");
    const QString app = ui::ApplicationName();
    struct Refused {
        const char* typed;
        QString text;
        QString caption;
        ui::MessageIcon icon = ui::MessageIcon::None;
    };
    const std::vector<Refused> refused{
        {"1:2", format, "Error"},
        {"   0:0:1    ", format, "Error"}, // longer than 11 characters
        {"24:00:00", "Hour input :Error", app},
        {"00:60:00", "Minutes must between 00 and 59", "error"},
        {"0:0:60", "Seconds must between 00 and 59", "error"},
        {"00:00:04", "Input time out of the duration", app, ui::MessageIcon::Warning},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.typed);
        const std::size_t before = boxes.Boxes().size();
        AddTyped(*page, QString::fromLatin1(r.typed));
        ASSERT_EQ(boxes.Boxes().size(), before + 1);
        EXPECT_EQ(boxes.Boxes().back().text, r.text);
        EXPECT_EQ(boxes.Boxes().back().caption, r.caption);
        EXPECT_EQ(boxes.Boxes().back().icon, r.icon);
        EXPECT_EQ(page->GetDlgItemText(IDC_TYPED_TIME), QString::fromLatin1(r.typed));
    }
    EXPECT_TRUE(page->Breakpoints().empty());

    // The end of the file itself is a breakpoint; fields are read as atoi
    // reads them; the same time twice is one breakpoint, without a word.
    const std::size_t before = boxes.Boxes().size();
    AddTyped(*page, QStringLiteral("::0:0:3::"));
    AddTyped(*page, QStringLiteral("0:0:03"));
    AddTyped(*page, QStringLiteral("aa:bb:cc"));
    EXPECT_EQ(boxes.Boxes().size(), before);
    EXPECT_EQ(ListTexts(*page), (QStringList{"00:00:00", "00:00:03"}));
    EXPECT_EQ(Times(*page), (std::vector<qint64>{0, 3000}));

    // A third one is refused, even one equal to an entry.
    for (const char* typed : {"0:0:1", "0:0:3"}) {
        AddTyped(*page, QString::fromLatin1(typed));
        EXPECT_EQ(boxes.Boxes().back().text,
                  "There has been two breakpoints,so you must delete one first.\n Press left button "
                  "to select one breakpoint,then press right button to delete it");
        EXPECT_EQ(boxes.Boxes().back().icon, ui::MessageIcon::Warning);
        EXPECT_EQ(boxes.Boxes().back().caption, app);
    }
    EXPECT_EQ(boxes.Boxes().size(), before + 2);
    EXPECT_EQ(Times(*page), (std::vector<qint64>{0, 3000}));
}

TEST(SplitBreakpoints, EnterInTheTimeBoxAddsTheTypedTimeAndThePageStays)
{
    MessageBoxRecorder boxes;
    auto page = OpenSplitPage(TestSources().mp3);
    auto* typed = page->GetDlgItem(IDC_TYPED_TIME);
    struct Press {
        Qt::Key key;
        const char* text;
        std::vector<qint64> times; // the breakpoints afterwards
        std::size_t boxes;         // messages so far
    };
    const std::vector<Press> presses{
        {Qt::Key_Return, "00:00:02", {2000}, 0},
        {Qt::Key_Enter, "0:0:1", {1000, 2000}, 0},
        {Qt::Key_Return, "0:61:0", {1000, 2000}, 1}, // refused with its message, as Add does
    };
    for (const Press& p : presses) {
        SCOPED_TRACE(p.text);
        page->SetDlgItemText(IDC_TYPED_TIME, QString::fromLatin1(p.text));
        typed->setFocus();
        QTest::keyClick(typed, p.key);
        EXPECT_EQ(Times(*page), p.times);
        EXPECT_EQ(boxes.Boxes().size(), p.boxes);
        EXPECT_TRUE(page->isVisible());
        EXPECT_EQ(page->Result(), 0);
    }
}

TEST(SplitBreakpoints, KeptInTimeOrderDeletedThroughTheMenuAndJumpedTo)
{
    MessageBoxRecorder boxes;
    auto page = OpenSplitPage(TestSources().mp3);
    auto* list = page->DlgItem<QListView>(IDC_BREAKPOINTS);
    auto rowCentre = [list](int row) { return list->visualRect(list->model()->index(row, 0)).center(); };
    QTest::mouseClick(page->GetDlgItem(IDC_PAUSE), Qt::LeftButton);

    // The position shown is what "current time" adds; an earlier time goes
    // first in both the list and the sequence.
    AddTyped(*page, QStringLiteral("0:0:2"));
    QTest::mouseClick(page->GetDlgItem(IDC_SEEK_BEGIN), Qt::LeftButton);
    QTest::mouseClick(page->GetDlgItem(IDC_FAST_FORWARD), Qt::LeftButton);
    QTest::mouseClick(page->GetDlgItem(IDC_ADD_CURRENT), Qt::LeftButton);
    EXPECT_EQ(ListTexts(*page), (QStringList{"00:00:01", "00:00:02"}));
    EXPECT_EQ(Times(*page), (std::vector<qint64>{1000, 2000}));

    // Without a chosen entry "delete this" does nothing; a right click
    // chooses none.
    ChooseFromListMenu(*page, ID_DELETE_THIS_BREAKPOINT);
    EXPECT_EQ(Times(*page), (std::vector<qint64>{1000, 2000}));

    const QPoint second = rowCentre(1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(page->DlgItem<QSlider>(IDC_POSITION)->value(), 2000);
    EXPECT_EQ(page->GetDlgItemText(IDC_CURRENT_TIME), QStringLiteral("Current Time:00:00:02"));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(0));
    ChooseFromListMenu(*page, ID_DELETE_THIS_BREAKPOINT);
    EXPECT_EQ(ListTexts(*page), QStringList{"00:00:02"});
    EXPECT_EQ(Times(*page), std::vector<qint64>{2000});

    AddTyped(*page, QStringLiteral("0:0:3"));
    ChooseFromListMenu(*page, ID_DELETE_ALL_BREAKPOINTS);
    EXPECT_TRUE(ListTexts(*page).isEmpty());
    EXPECT_TRUE(page->Breakpoints().empty());
    EXPECT_TRUE(boxes.Boxes().empty());
}
