#include "DialogConstants.h"
#include "GuiTestSupport.h"
#include "MessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ui;

TEST(MessageBox, ApplicationNameIsTheExecutablesBaseName)
{
    EXPECT_EQ(ApplicationName(), QStringLiteral("ui_tests"));
}

TEST(MessageBox, HookRecordsTextCaptionIconAndButtons)
{
    testsupport::MessageBoxRecorder boxes(IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, QStringLiteral("Failed!"), QStringLiteral("ERROR")), IDCANCEL);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("Failed!"));
    EXPECT_EQ(boxes.Boxes()[0].caption, QStringLiteral("ERROR"));
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageIcon::None);
    EXPECT_EQ(boxes.Boxes()[0].buttons, MessageButtons::Ok);
}

TEST(MessageBox, NullCaptionMeansApplicationNameButEmptyStaysEmpty)
{
    testsupport::MessageBoxRecorder boxes;
    MessageBox(nullptr, QStringLiteral("Cannot run"), QString(), MessageIcon::Error);
    MessageBox(nullptr, QStringLiteral("x"), QStringLiteral(""));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].caption, ApplicationName());
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageIcon::Error);
    EXPECT_TRUE(boxes.Boxes()[1].caption.isEmpty());
    EXPECT_FALSE(boxes.Boxes()[1].caption.isNull());
}

TEST(MessageBox, FrameworkBoxPicksAnIconByItsButtons)
{
    testsupport::MessageBoxRecorder boxes;
    AfxMessageBox(QStringLiteral("Please select the Sample Rate(KHz)"));
    AfxMessageBox(QStringLiteral("Sure?"), MessageButtons::YesNo);
    AfxMessageBox(QStringLiteral("plain"), MessageButtons::Ok, MessageIcon::None);
    ASSERT_EQ(boxes.Boxes().size(), 3u);
    EXPECT_EQ(boxes.Boxes()[0].caption, ApplicationName());
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(boxes.Boxes()[1].icon, MessageIcon::Question);
    EXPECT_EQ(boxes.Boxes()[2].icon, MessageIcon::None);
}

TEST(MessageBox, RemovingTheRecorderRestoresTheEarlierHook)
{
    testsupport::MessageBoxRecorder outer;
    {
        testsupport::MessageBoxRecorder inner;
        MessageBox(nullptr, QStringLiteral("inner"));
        EXPECT_EQ(inner.Boxes().size(), 1u);
    }
    MessageBox(nullptr, QStringLiteral("outer"));
    ASSERT_EQ(outer.Boxes().size(), 1u);
    EXPECT_EQ(outer.Boxes()[0].text, QStringLiteral("outer"));
}
