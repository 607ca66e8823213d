#include "DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <gtest/gtest.h>

using namespace ui;

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDiv(38, 8, 4), 76);
    EXPECT_EQ(MulDiv(3, 6, 4), 5);     // 4.5
    EXPECT_EQ(MulDiv(5, 3, 4), 4);     // 3.75
    EXPECT_EQ(MulDiv(-3, 6, 4), -5);
    EXPECT_EQ(MulDiv(1, 1, 4), 0);     // 0.25
}

TEST(DialogUnits, PageUnitsAreTwoPixelsPerUnitBothWays)
{
    EXPECT_EQ(MapDialogRect(QRect(184, 146, 38, 11), kPageBaseUnits), QRect(368, 292, 76, 22));
    EXPECT_EQ(MapDialogRect(QRect(3, 9, 47, 125), kPageBaseUnits), QRect(6, 18, 94, 250));
    EXPECT_EQ(MapDialogSize(QSize(275, 159), kPageBaseUnits), QSize(550, 318));
}

TEST(DialogUnits, ButtonRectangleHoldsItsBitmap)
{
    const QRect button = MapDialogRect(QRect(0, 0, 38, 11), kPageBaseUnits);
    EXPECT_GE(button.width(), 67);
    EXPECT_GE(button.height(), 21);
}

TEST(DialogUnits, OtherBaseUnitsScaleLikeWindows)
{
    // The classic 8 pt dialog font: base units 6 x 13.
    EXPECT_EQ(MapDialogRect(QRect(10, 8, 38, 11), BaseUnits{6, 13}), QRect(15, 13, 57, 18));
}

TEST(DialogUnits, BaseUnitsFollowAverageLetterWidthAndHeight)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const BaseUnits units = ComputeBaseUnits(font);
    EXPECT_EQ(units.x, (width / 26 + 1) / 2);
    EXPECT_EQ(units.y, metrics.height());
}

TEST(DialogUnits, PageFontsAreLaidOutInPageUnits)
{
    const DialogFont sans = ChooseDialogFont(QStringLiteral("MS Sans Serif"), 12);
    EXPECT_EQ(sans.units, kPageBaseUnits);
    const DialogFont serif = ChooseDialogFont(QStringLiteral("Times New Roman"), 10);
    EXPECT_EQ(serif.units, kPageBaseUnits);
    // Serif text is drawn at the template size: 10 pt at 96 dpi.
    EXPECT_EQ(serif.font.pixelSize(), 13);
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans Condensed"))) {
        // This font measures (8, 16) itself at 14 px.
        EXPECT_TRUE(sans.unitsMeasured);
        EXPECT_EQ(ComputeBaseUnits(sans.font), kPageBaseUnits);
    }
}
