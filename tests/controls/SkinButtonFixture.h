#pragma once
// A white page with template-like push buttons, shown and active, and
// small test pictures whose colours tell which image a button shows.

#include "SkinButton.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace skintest {

constexpr QRgb kHoverKey = 0x000000;
constexpr QRgb kNormalKey = 0x00ff00;
const QColor kHoverInk(220, 0, 0);
const QColor kNormalInk(0, 0, 200);
const QColor kPage(255, 255, 255);
constexpr QSize kImageSize(20, 10);

// A filled picture with its top-left pixel in the key colour, a white pixel
// at its top-right corner and a yellow left column below that.
inline QImage TestImage(const QColor& ink, QRgb key)
{
    QImage image(kImageSize, QImage::Format_RGB32);
    image.fill(ink);
    for (int y = 1; y < image.height(); ++y)
        image.setPixel(0, y, qRgb(255, 255, 0));
    image.setPixel(0, 0, key);
    image.setPixel(image.width() - 1, 0, qRgb(255, 255, 255));
    return image;
}

inline QColor PixelOf(QWidget* w, QPoint p)
{
    return w->grab().toImage().pixelColor(p);
}

class SkinPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        page = std::make_unique<QWidget>();
        page->resize(220, 120);
        SetPageColour(kPage);
    }

    void SetPageColour(const QColor& colour)
    {
        QPalette pal = page->palette();
        pal.setColor(QPalette::Window, colour);
        page->setPalette(pal);
        page->setAutoFillBackground(true);
    }

    QPushButton* AddTemplateButton(int id, QRect rect)
    {
        auto* button = new QPushButton(page.get());
        button->setProperty("controlId", id);
        button->setObjectName(QStringLiteral("id%1").arg(id));
        button->setGeometry(rect);
        return button;
    }

    // A skinned button over a template button, with the test pictures.
    CSkinButton* AddSkinned(int id, QRect rect)
    {
        AddTemplateButton(id, rect);
        auto* skin = new CSkinButton(page.get());
        EXPECT_TRUE(skin->SubclassDlgItem(id, page.get()));
        EXPECT_EQ(skin->SetBitmapHandles(TestImage(kHoverInk, kHoverKey), kHoverKey,
                                         TestImage(kNormalInk, kNormalKey), kNormalKey),
                  CSkinButton::BitmapResult::Loaded);
        skin->SetDrawBorder(false);
        skin->SetTransparent(true);
        return skin;
    }

    void ShowActive()
    {
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    }

    std::unique_ptr<QWidget> page;
};

// Where the image's middle lies in a 30 x 20 button: centred at (5, 5).
inline QPoint ImageMiddle() { return {15, 10}; }

}  // namespace skintest
