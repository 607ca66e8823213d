#include "GuiTestSupport.h"
#include "Help.h"
#include "SkinButton.h"
#include "SplitDlg.h"
#include "SplitDlgIds.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace split_ids;

namespace {

class LaunchRecorder {
public:
    LaunchRecorder()
    {
        m_previous = help::SetLaunchHook([this](const help::LaunchRequest& r) {
            urls << r.url;
            return true;
        });
    }
    ~LaunchRecorder() { help::SetLaunchHook(std::move(m_previous)); }
    QList<QUrl> urls;

private:
    help::LaunchHook m_previous;
};

} // namespace

TEST(SplitPage, MatchesTemplate129)
{
    CSplitDlg page;
    page.show();
    testsupport::ExpectPageMatchesTemplate(page);
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Tarnwick"));
    EXPECT_EQ(page.DlgItem<QSlider>(IDC_POSITION)->tickPosition(), QSlider::NoTicks);
    EXPECT_TRUE(page.DlgItem<QLineEdit>(IDC_OUTPUT_DIR)->isReadOnly());
    EXPECT_FALSE(page.DlgItem<QLineEdit>(IDC_TYPED_TIME)->isReadOnly());
    EXPECT_TRUE(page.DlgItem<QListView>(IDC_BREAKPOINTS)->property("sorted").toBool());
}

TEST(SplitPage, StartsWithTypedTimeZeroAndMp3Chosen)
{
    CSplitDlg page;
    page.show();
    EXPECT_EQ(page.GetDlgItemText(IDC_TYPED_TIME), QStringLiteral("00:00:00"));
    auto* format = page.DlgItem<QComboBox>(IDC_OUTPUT_FORMAT);
    EXPECT_EQ(testsupport::ComboItems(format), (QStringList{QStringLiteral("Mp3"), QStringLiteral("Wav")}));
    EXPECT_EQ(format->currentIndex(), 0);
    EXPECT_FALSE(format->isEditable());
}

TEST(SplitPage, BackAndEnterEndWithOkExitEscapeAndCloseBoxWithCancel)
{
    // Enter anywhere but in the time box (which adds the typed time).
    testsupport::ExpectSecondPageEndings<CSplitDlg>(IDC_BACK, IDC_EXIT, IDC_OUTPUT_DIR);
}

TEST(SplitPage, HelpF1AndHomePageLaunch)
{
    LaunchRecorder launches;
    CSplitDlg page;
    page.show();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    QTest::mouseClick(page.GetDlgItem(IDC_HELP), Qt::LeftButton);
    QTest::keyClick(&page, Qt::Key_F1);
    QTest::mouseClick(page.GetDlgItem(IDC_HOME_PAGE), Qt::LeftButton);
    ASSERT_EQ(launches.urls.size(), 3);
    EXPECT_EQ(launches.urls[0], QUrl::fromLocalFile(help::HelpFilePath()));
    EXPECT_EQ(launches.urls[1], launches.urls[0]);
    EXPECT_EQ(launches.urls[2], QUrl(QString::fromLatin1(help::kHomePageUrl)));
}
