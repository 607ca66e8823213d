#include "TooltipText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QToolTip>
#include <gtest/gtest.h>

using controls::WrapTooltipText;

TEST(TooltipText, ShortTextIsLeftAlone)
{
    EXPECT_EQ(WrapTooltipText(QStringLiteral("Add a breakpoint"), QToolTip::font(), 388),
              QStringLiteral("Add a breakpoint"));
}

TEST(TooltipText, LongTextIsBrokenIntoLinesThatFit)
{
    const QFont font = QToolTip::font();
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("breakpoint%1 ").arg(i);
    text = text.trimmed();
    const QString wrapped = WrapTooltipText(text, font, 200);
    const QStringList lines = wrapped.split(QLatin1Char('\n'));
    ASSERT_GT(lines.size(), 3);
    const QFontMetrics metrics(font);
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), 200) << line.toStdString();
    // No word is lost or cut.
    EXPECT_EQ(lines.join(QLatin1Char(' ')), text);
}

TEST(TooltipText, LineBreaksOfTheTextAreKept)
{
    EXPECT_EQ(WrapTooltipText(QStringLiteral("one\ntwo"), QToolTip::font(), 388),
              QStringLiteral("one\ntwo"));
}
