#include "SkinButtonFixture.h"

#include <QMouseEvent>

using namespace skintest;

namespace {

const QRect kFirst(20, 30, 30, 20);
const QRect kSecond(80, 30, 30, 20);

void SendMove(QWidget* w, QPoint pos, Qt::MouseButtons held)
{
    QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

bool IsLit(CSkinButton* skin)
{
    return PixelOf(skin, ImageMiddle()) == kHoverInk;
}

}  // namespace

TEST_F(SkinPage, PointerOverTheButtonLightsItUp)
{
    CSkinButton* skin = AddSkinned(1021, kFirst);
    ShowActive();
    EXPECT_FALSE(IsLit(skin));
    QTest::mouseMove(page.get(), kFirst.center());
    EXPECT_TRUE(IsLit(skin));
    QTest::mouseMove(page.get(), {2, 2});
    EXPECT_FALSE(IsLit(skin));
}

TEST_F(SkinPage, MovingToTheNextButtonSwitchesTheLight)
{
    CSkinButton* first = AddSkinned(1021, kFirst);
    CSkinButton* second = AddSkinned(1018, kSecond);
    ShowActive();
    QTest::mouseMove(page.get(), kFirst.center());
    ASSERT_TRUE(IsLit(first));
    QTest::mouseMove(page.get(), kSecond.center());
    EXPECT_FALSE(IsLit(first));
    EXPECT_TRUE(IsLit(second));
}

TEST_F(SkinPage, DraggingInWithTheLeftButtonDoesNotLightUp)
{
    CSkinButton* skin = AddSkinned(1021, kFirst);
    ShowActive();
    SendMove(skin, ImageMiddle(), Qt::LeftButton);
    EXPECT_FALSE(IsLit(skin));
    // Pressed elsewhere and dragged over the button, through the window.
    QTest::mousePress(page.get(), Qt::LeftButton, {}, {2, 2});
    QTest::mouseMove(page.get(), kFirst.center());
    EXPECT_FALSE(IsLit(skin));
    QTest::mouseRelease(page.get(), Qt::LeftButton, {}, kFirst.center());
    // Without the button held, the next move lights it.
    SendMove(skin, ImageMiddle(), Qt::NoButton);
    EXPECT_TRUE(IsLit(skin));
}

TEST_F(SkinPage, DraggingOffAPressedButtonPutsOutTheLight)
{
    CSkinButton* skin = AddSkinned(1021, kFirst);
    ShowActive();
    SendMove(skin, ImageMiddle(), Qt::NoButton);
    ASSERT_TRUE(IsLit(skin));
    SendMove(skin, {-20, -20}, Qt::LeftButton);
    EXPECT_FALSE(IsLit(skin));
}

TEST_F(SkinPage, DisablingCancelsTheHover)
{
    CSkinButton* skin = AddSkinned(1021, kFirst);
    ShowActive();
    SendMove(skin, ImageMiddle(), Qt::NoButton);
    ASSERT_TRUE(IsLit(skin));
    skin->setEnabled(false);
    EXPECT_NE(PixelOf(skin, ImageMiddle()), kHoverInk); // the normal picture, greyed
    skin->setEnabled(true);
    EXPECT_FALSE(IsLit(skin));
}

TEST_F(SkinPage, LosingFocusCancelsTheHover)
{
    CSkinButton* skin = AddSkinned(1021, kFirst);
    CSkinButton* other = AddSkinned(1018, kSecond);
    ShowActive();
    skin->setFocus();
    SendMove(skin, ImageMiddle(), Qt::NoButton);
    ASSERT_TRUE(IsLit(skin));
    other->setFocus();
    EXPECT_FALSE(IsLit(skin));
}

TEST_F(SkinPage, DeactivatingTheWindowCancelsTheHover)
{
    CSkinButton* skin = AddSkinned(1021, kFirst);
    ShowActive();
    SendMove(skin, ImageMiddle(), Qt::NoButton);
    ASSERT_TRUE(IsLit(skin));
    QWidget other;
    other.resize(50, 50);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(IsLit(skin));
}
