#include "GuiTestSupport.h"
#include "Help.h"
#include "JoinDlg.h"
#include "JoinDlgIds.h"
#include "ListView.h"
#include "SkinButton.h"

#include <QComboBox>
#include <QHeaderView>
#include <QProgressBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace join_ids;

namespace {

const int kRestingDuringJoin[] = {IDC_BEGIN, IDC_ADD, IDC_DELETE, IDC_MOVE_UP, IDC_MOVE_DOWN,
                                  IDC_PLAY_FILE};
const int kAlwaysEnabled[] = {IDC_STOP, IDC_SETTINGS, IDC_BACK, IDC_EXIT, IDC_HELP, IDC_HOME_PAGE};

} // namespace

TEST(JoinPage, MatchesTemplate219)
{
    CJoinDlg page;
    page.show();
    testsupport::ExpectPageMatchesTemplate(page);
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Tarnwick"));
    EXPECT_EQ(page.DlgItem<QProgressBar>(IDC_PROGRESS)->value(), 0);
}

TEST(JoinPage, FileListHasTwoCentredColumnsGridLinesAndSingleRowSelection)
{
    CJoinDlg page;
    page.show();
    auto* files = page.DlgItem<QTreeWidget>(IDC_FILES);
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->columnCount(), 2);
    EXPECT_EQ(files->headerItem()->text(0), QStringLiteral("Source File"));
    EXPECT_EQ(files->headerItem()->text(1), QStringLiteral("Time"));
    EXPECT_EQ(files->header()->sectionSize(0), 300);
    EXPECT_EQ(files->header()->sectionSize(1), 80);
    EXPECT_TRUE(files->headerItem()->textAlignment(1) & Qt::AlignHCenter);
    EXPECT_EQ(ui::GetListViewExtendedStyle(files), ui::LVS_EX_GRIDLINES | ui::LVS_EX_FULLROWSELECT);
    EXPECT_EQ(files->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(files->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_FALSE(files->isHeaderHidden());
    EXPECT_FALSE(files->rootIsDecorated());
}

TEST(JoinPage, OutputFormatHoldsOnlyMp3Selected)
{
    CJoinDlg page;
    page.show();
    auto* format = page.DlgItem<QComboBox>(IDC_OUTPUT_FORMAT);
    ASSERT_EQ(format->count(), 1);
    EXPECT_EQ(format->itemText(0), QStringLiteral("MP3"));
    EXPECT_EQ(format->currentIndex(), 0);
}

TEST(JoinPage, EveryButtonIsSkinnedWithItsTip)
{
    CJoinDlg page;
    page.show();
    const std::vector<std::pair<int, QString>> buttons{
        {IDC_BACK, "Back"},          {IDC_EXIT, "Exit"},
        {IDC_HELP, "Help"},          {IDC_HOME_PAGE, "Home Page"},
        {IDC_ADD, "Add Mp3 Files"},  {IDC_DELETE, "Delete Mp3 Files"},
        {IDC_MOVE_UP, "Move Up"},    {IDC_MOVE_DOWN, "Move Down"},
        {IDC_STOP, "Stop Joining"},  {IDC_PLAY_FILE, "Play The File"},
        {IDC_SETTINGS, "Setting"},   {IDC_BEGIN, "Begin to Join Files"}};
    testsupport::ExpectSkinnedButtons<CSkinButton>(page, buttons);
    for (const auto& [id, tip] : buttons)
        EXPECT_TRUE(page.GetDlgItem(id)->isEnabled()) << id;
}

TEST(JoinPage, EnableControlsTouchesExactlySixButtons)
{
    CJoinDlg page;
    page.show();
    page.EnableControls(false);
    for (int id : kRestingDuringJoin)
        EXPECT_FALSE(page.GetDlgItem(id)->isEnabled()) << id;
    for (int id : kAlwaysEnabled)
        EXPECT_TRUE(page.GetDlgItem(id)->isEnabled()) << id;
    page.EnableControls(true);
    for (int id : kRestingDuringJoin)
        EXPECT_TRUE(page.GetDlgItem(id)->isEnabled()) << id;
}

TEST(JoinPage, BackAndEnterEndWithOkExitEscapeAndCloseBoxWithCancel)
{
    testsupport::ExpectSecondPageEndings<CJoinDlg>(IDC_BACK, IDC_EXIT, IDC_FILES);
}

TEST(JoinPage, HelpAndHomePageLaunch)
{
    std::vector<QUrl> urls;
    help::LaunchHook previous = help::SetLaunchHook([&](const help::LaunchRequest& r) {
        urls.push_back(r.url);
        return true;
    });
    CJoinDlg page;
    page.show();
    QTest::mouseClick(page.GetDlgItem(IDC_HELP), Qt::LeftButton);
    QTest::mouseClick(page.GetDlgItem(IDC_HOME_PAGE), Qt::LeftButton);
    help::SetLaunchHook(std::move(previous));

    EXPECT_TRUE(page.isVisible());
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_EQ(urls[0], QUrl::fromLocalFile(help::HelpFilePath()));
    EXPECT_EQ(urls[1], QUrl(QString::fromLatin1(help::kHomePageUrl)));
}
