#include "SkinButtonFixture.h"

#include "Resources.h"

#include <QLineEdit>
#include <QSignalSpy>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace skintest;

namespace {

const QRect kButtonRect(40, 30, 30, 20);

}  // namespace

// --- taking over a template button -----------------------------------------

TEST_F(SkinPage, SubclassTakesTheTemplateButtonsPlace)
{
    auto* before = new QLineEdit(page.get());
    QPushButton* old = AddTemplateButton(1021, kButtonRect);
    old->setDefault(true);
    auto* after = new QLineEdit(page.get());
    QWidget::setTabOrder(before, old);
    QWidget::setTabOrder(old, after);

    auto* skin = new CSkinButton(page.get());
    ASSERT_TRUE(skin->SubclassDlgItem(1021, page.get()));

    EXPECT_TRUE(page->findChildren<QPushButton*>().isEmpty());
    EXPECT_EQ(skin->parentWidget(), page.get());
    EXPECT_EQ(skin->geometry(), kButtonRect);
    EXPECT_EQ(skin->property("controlId").toInt(), 1021);
    EXPECT_EQ(skin->objectName(), QStringLiteral("id1021"));
    EXPECT_TRUE(skin->property("default").toBool());
    EXPECT_EQ(before->nextInFocusChain(), skin);
    EXPECT_EQ(skin->nextInFocusChain(), after);
}

TEST_F(SkinPage, SubclassKeepsDisabledStateAndVisibility)
{
    AddTemplateButton(1016, kButtonRect)->setEnabled(false);
    ShowActive();
    auto* skin = new CSkinButton(page.get());
    ASSERT_TRUE(skin->SubclassDlgItem(1016, page.get()));
    EXPECT_FALSE(skin->isEnabled());
    EXPECT_TRUE(skin->isVisible());
}

TEST_F(SkinPage, SubclassOfAnUnknownIdFails)
{
    AddTemplateButton(1021, kButtonRect);
    CSkinButton skin;
    EXPECT_FALSE(skin.SubclassDlgItem(1999, page.get()));
    EXPECT_EQ(page->findChildren<QPushButton*>().size(), 1);
}

// --- bitmaps ---------------------------------------------------------------

TEST_F(SkinPage, SetBitmapsReportsMissingBitmaps)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    EXPECT_EQ(skin->SetBitmaps(157, kHoverKey, 158, kNormalKey), CSkinButton::BitmapResult::Loaded);
    // The id is taken modulo 65536, as resource ids are 16 bits.
    EXPECT_EQ(skin->SetBitmaps(157 + 65536, kHoverKey, 158 + 65536, kNormalKey),
              CSkinButton::BitmapResult::Loaded);
    EXPECT_EQ(skin->SetBitmaps(1, kHoverKey, 158, kNormalKey), CSkinButton::BitmapResult::Unreadable);
    EXPECT_EQ(skin->SetBitmaps(157, kHoverKey, 1, kNormalKey), CSkinButton::BitmapResult::Unreadable);
}

TEST_F(SkinPage, MissingHoverBitmapLeavesNoImage)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    EXPECT_EQ(skin->SetBitmaps(1, kHoverKey, 158, kNormalKey), CSkinButton::BitmapResult::Unreadable);
    EXPECT_EQ(PixelOf(skin, ImageMiddle()), kPage);
}

TEST_F(SkinPage, MissingNormalBitmapShowsTheHoverImageAlways)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    EXPECT_EQ(skin->SetBitmapHandles(TestImage(kHoverInk, kHoverKey), kHoverKey, QImage(), kNormalKey),
              CSkinButton::BitmapResult::Loaded);
    EXPECT_EQ(PixelOf(skin, ImageMiddle()), kHoverInk);
}

// --- which image, where ----------------------------------------------------

TEST_F(SkinPage, NormalImageIsCentredWhenNotHovered)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    const QImage shown = skin->grab().toImage();
    EXPECT_EQ(shown.pixelColor(ImageMiddle()), kNormalInk);
    // (30 - 20) / 2 and (20 - 10) / 2: the yellow column starts at x = 5.
    EXPECT_EQ(shown.pixelColor(5, 8), QColor(255, 255, 0));
    EXPECT_EQ(shown.pixelColor(4, 8), kPage);
}

TEST_F(SkinPage, PressedShowsTheHoverImageOnePixelDownRight)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    QTest::mousePress(skin, Qt::LeftButton, {}, ImageMiddle());
    ASSERT_TRUE(skin->isDown());
    const QImage shown = skin->grab().toImage();
    EXPECT_EQ(shown.pixelColor(ImageMiddle()), kHoverInk);
    EXPECT_EQ(shown.pixelColor(6, 8), QColor(255, 255, 0));
    EXPECT_EQ(shown.pixelColor(5, 8), kPage);
    QTest::mouseRelease(skin, Qt::LeftButton, {}, ImageMiddle());
}

TEST_F(SkinPage, DisabledButtonShowsItsNormalImageGreyedEvenUnderThePointer)
{
    CSkinButton* skin = AddSkinned(1016, kButtonRect);
    skin->setEnabled(false);
    ShowActive();
    QTest::mouseMove(page.get(), kButtonRect.center());
    const QColor shown = PixelOf(skin, ImageMiddle());
    EXPECT_NE(shown, kNormalInk);
    EXPECT_NE(shown, kHoverInk);
    EXPECT_LT(shown.hsvSaturation(), 60) << shown.name().toStdString();
    // The page still shows through the key colour.
    EXPECT_EQ(PixelOf(skin, QPoint(5, 5)), kPage);
}

TEST_F(SkinPage, FocusFrameIsDrawnAroundTheImage)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    const QImage unfocused = skin->grab().toImage();
    QTest::keyClick(page.get(), Qt::Key_Tab); // the keyboard, not a click, brings the frame
    ASSERT_TRUE(skin->hasFocus());
    const QImage focused = skin->grab().toImage();
    EXPECT_NE(focused, unfocused);
    // The frame runs along the edge; the picture stays itself (the style may
    // tint it faintly).
    const QColor middle = focused.pixelColor(ImageMiddle());
    EXPECT_LT(std::abs(middle.red() - kNormalInk.red()) + std::abs(middle.green() - kNormalInk.green())
                  + std::abs(middle.blue() - kNormalInk.blue()),
              48)
        << middle.name().toStdString();
}

TEST_F(SkinPage, NormalHoverDisabledAndFocusedEachLookTheirOwn)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    const struct {
        const char* state;
        std::function<void()> enter;
    } states[] = {
        {"normal", [] {}},
        {"hover", [&] { QTest::mouseMove(skin, ImageMiddle()); }},
        {"disabled", [&] { skin->setEnabled(false); }},
        {"focused", [&] { QTest::keyClick(page.get(), Qt::Key_Tab); }},
    };
    std::vector<std::pair<std::string, QImage>> looks;
    for (const auto& s : states) {
        QTest::mouseMove(page.get(), QPoint(200, 110));
        skin->setEnabled(true);
        skin->clearFocus();
        s.enter();
        const QImage look = skin->grab().toImage();
        for (const auto& [other, seen] : looks)
            EXPECT_NE(look, seen) << s.state << " looks like " << other;
        looks.emplace_back(s.state, look);
    }
}

// --- transparency ----------------------------------------------------------

TEST_F(SkinPage, KeyColourShowsThePageAndWhiteStaysWhite)
{
    SetPageColour(QColor(200, 0, 200));
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    // The image's top-left pixel is the key colour, its top-right white.
    const QImage onPage = page->grab().toImage();
    const QPoint imageTopLeft = kButtonRect.topLeft() + QPoint(5, 5);
    EXPECT_EQ(onPage.pixelColor(imageTopLeft), QColor(200, 0, 200));
    EXPECT_EQ(onPage.pixelColor(imageTopLeft + QPoint(19, 0)), QColor(255, 255, 255));
    EXPECT_EQ(onPage.pixelColor(imageTopLeft + QPoint(10, 5)), kNormalInk);
    // Around the image the button shows the page too.
    EXPECT_EQ(onPage.pixelColor(kButtonRect.topLeft()), QColor(200, 0, 200));
    EXPECT_EQ(PixelOf(skin, {5, 5}), QColor(200, 0, 200));
}

TEST_F(SkinPage, BackgroundIsTakenAgainAfterAColourChange)
{
    SetPageColour(QColor(200, 0, 200));
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    ASSERT_EQ(PixelOf(skin, {5, 5}), QColor(200, 0, 200));
    SetPageColour(QColor(0, 160, 160));
    EXPECT_EQ(PixelOf(skin, {5, 5}), QColor(0, 160, 160));
}

TEST_F(SkinPage, PageFramesUnderTheButtonShowThrough)
{
    // A frame line the button sits on stays visible in its transparent parts.
    auto* frame = new QWidget(page.get());
    frame->setGeometry(kButtonRect.left() - 10, kButtonRect.top() + 5, 100, 1);
    frame->setAutoFillBackground(true);
    QPalette pal = frame->palette();
    pal.setColor(QPalette::Window, QColor(10, 20, 30));
    frame->setPalette(pal);
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    EXPECT_EQ(PixelOf(skin, {5, 5}), QColor(10, 20, 30));   // key pixel of the image
    EXPECT_EQ(PixelOf(skin, {2, 5}), QColor(10, 20, 30));   // beside the image
}

TEST_F(SkinPage, StandardSkinWithTheRealBitmaps)
{
    SetPageColour(QColor(200, 0, 200));
    AddTemplateButton(1021, QRect(10, 10, 76, 22));
    auto* skin = new CSkinButton(page.get());
    ASSERT_TRUE(skin->SetupStandardSkin(1021, page.get(), 157, 158, QStringLiteral("Next")));
    ShowActive();
    const QImage shown = skin->grab().toImage();
    // The 67 x 21 image sits at (4, 0); its rounded corner lets the page through.
    EXPECT_EQ(shown.pixelColor(4, 0), QColor(200, 0, 200));
    EXPECT_EQ(shown.pixelColor(6, 10), QColor(255, 255, 255));
    EXPECT_EQ(skin->toolTip(), QStringLiteral("Next"));
    EXPECT_EQ(skin->cursor().hotSpot(), QPoint(5, 0));
    EXPECT_EQ(skin->focusPolicy(), Qt::StrongFocus);
}

// --- caption ---------------------------------------------------------------

TEST_F(SkinPage, CaptionIsDrawnRightOfTheImage)
{
    CSkinButton* skin = AddSkinned(1021, QRect(10, 10, 120, 30));
    skin->setText(QStringLiteral("MMMM"));
    ShowActive();
    const QImage shown = skin->grab().toImage();
    // With a caption the image starts 3 pixels in.
    EXPECT_EQ(shown.pixelColor(3, 15), QColor(255, 255, 0));
    int inkColumns = 0;
    for (int x = 0; x < shown.width(); ++x)
        for (int y = 0; y < shown.height(); ++y)
            if (x >= 26 && qGray(shown.pixel(x, y)) < 128) {
                ++inkColumns;
                break;
            }
    EXPECT_GT(inkColumns, 10);
}

// --- clicks and cursor -----------------------------------------------------

TEST_F(SkinPage, DoubleClickGivesTwoClicks)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    ShowActive();
    QSignalSpy clicks(skin, &QAbstractButton::clicked);
    // What a widget receives for a double click: press, release, double
    // click, release.
    QTest::mousePress(skin, Qt::LeftButton, {}, ImageMiddle());
    QTest::mouseRelease(skin, Qt::LeftButton, {}, ImageMiddle());
    QTest::mouseDClick(skin, Qt::LeftButton, {}, ImageMiddle());
    QTest::mouseRelease(skin, Qt::LeftButton, {}, ImageMiddle());
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(SkinPage, CursorIsTheHandOrNone)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    EXPECT_TRUE(skin->SetButtonCursor(res::kCursorHand));
    EXPECT_EQ(skin->cursor().hotSpot(), QPoint(5, 0));
    EXPECT_FALSE(skin->SetButtonCursor(4242));
    EXPECT_EQ(skin->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(skin->SetButtonCursor(0));
}

TEST_F(SkinPage, TooltipTextAndActivation)
{
    CSkinButton* skin = AddSkinned(1021, kButtonRect);
    skin->SetTooltipText(QStringLiteral("Seek to Begin"), true);
    EXPECT_EQ(skin->toolTip(), QStringLiteral("Seek to Begin"));
    skin->SetTooltipText(nullptr, true);   // a null text changes nothing
    EXPECT_EQ(skin->toolTip(), QStringLiteral("Seek to Begin"));
}

TEST_F(SkinPage, DisabledCaptionIsEngraved)
{
    AddTemplateButton(1016, QRect(10, 10, 60, 24));
    auto* skin = new CSkinButton(page.get());
    ASSERT_TRUE(skin->SubclassDlgItem(1016, page.get()));
    skin->SetDrawBorder(false);
    QPalette pal = skin->palette();
    pal.setColor(QPalette::Light, QColor(0, 250, 250));
    pal.setColor(QPalette::Dark, QColor(250, 0, 250));
    skin->setPalette(pal);
    skin->setText(QStringLiteral("MMM"));
    skin->setEnabled(false);
    ShowActive();
    const QImage shown = skin->grab().toImage();
    bool highlight = false, shadow = false;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            highlight |= shown.pixelColor(x, y) == QColor(0, 250, 250);
            shadow |= shown.pixelColor(x, y) == QColor(250, 0, 250);
        }
    EXPECT_TRUE(highlight);
    EXPECT_TRUE(shadow);
}
