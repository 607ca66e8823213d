// The waveform view as a person uses it: what each column shows, zooming
// around the mouse and back to the whole file, clicking, dragging a mark,
// and the keys for cuts.

#include "WaveformView.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Time = WaveformView::Time;
constexpr Time kSecond = 10'000'000;
constexpr Time kBlock = kSecond / 100;

// A view 1000 px wide over 10 s of blocks whose level rises with time: block
// b swings between -b/1000 and +b/1000, so column x (10 ms) shows ±x/1000.
struct RampView {
    WaveformView view;
    RampView()
    {
        view.resize(1000, 200);
        view.SetDuration(10 * kSecond, kBlock);
        std::vector<WaveformView::Level> levels;
        for (int b = 0; b < 1000; ++b)
            levels.push_back({-b / 1000.0f, b / 1000.0f});
        view.AppendLevels(levels);
        view.SetCuts({3 * kSecond, 6 * kSecond});
        view.show();
    }
};

} // namespace

TEST(WaveformView, ColumnsShowTheLowestAndHighestLevelOfTheirBlocks)
{
    RampView ramp;
    const struct {
        int column;
        float min, max;
    } cases[] = {{0, 0.0f, 0.0f}, {250, -0.25f, 0.25f}, {999, -0.999f, 0.999f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        WaveformView::Level peak;
        ASSERT_TRUE(ramp.view.ColumnPeak(c.column, peak));
        EXPECT_NEAR(peak.min, c.min, 1e-6);
        EXPECT_NEAR(peak.max, c.max, 1e-6);
    }
    // Zoomed out over a window twice as long (the view clamps to the file),
    // half the width: a column of 20 ms holds two blocks, the larger wins.
    ramp.view.resize(500, 200);
    ramp.view.FitAll();
    WaveformView::Level peak;
    ASSERT_TRUE(ramp.view.ColumnPeak(100, peak));
    EXPECT_NEAR(peak.max, 0.201f, 1e-6);
    EXPECT_NEAR(peak.min, -0.201f, 1e-6);
}

TEST(WaveformView, ColumnsWithoutBlocksYetAreBlankUntilTheScanReachesThem)
{
    WaveformView view;
    view.resize(1000, 200);
    view.SetDuration(10 * kSecond, kBlock);
    view.AppendLevels(std::vector<WaveformView::Level>(300, {-0.5f, 0.5f}));
    WaveformView::Level peak;
    EXPECT_TRUE(view.ColumnPeak(299, peak));
    EXPECT_FALSE(view.ColumnPeak(300, peak));
    view.AppendLevels(std::vector<WaveformView::Level>(700, {-0.1f, 0.1f}));
    EXPECT_TRUE(view.ColumnPeak(999, peak));
    EXPECT_FLOAT_EQ(peak.max, 0.1f);
}

// A long MP3's sketch fills the columns the full decode has not reached,
// paler; the exact blocks then take their place and their colour.
TEST(WaveformView, ASketchStandsInPalerUntilTheExactBlocksReplaceIt)
{
    WaveformView view;
    view.resize(1000, 200);
    view.SetDuration(10 * kSecond, kBlock);
    view.AppendLevels(std::vector<WaveformView::Level>(300, {-0.5f, 0.5f}));
    view.SetLevels(300, std::vector<WaveformView::Level>(700, {-0.3f, 0.3f}));
    view.SetSketchFrom(300);
    const int y = 100; // just above the middle line, inside every band here
    const QColor exact = view.grab().toImage().pixelColor(100, y);
    QColor sketched = view.grab().toImage().pixelColor(800, y);
    EXPECT_GT(sketched.lightness(), exact.lightness() + 40) << "a sketched column is drawn paler";
    WaveformView::Level peak;
    ASSERT_TRUE(view.ColumnPeak(800, peak));
    EXPECT_FLOAT_EQ(peak.max, 0.3f);

    view.SetLevels(300, std::vector<WaveformView::Level>(700, {-0.1f, 0.1f}));
    view.SetSketchFrom(1000);
    ASSERT_TRUE(view.ColumnPeak(800, peak));
    EXPECT_FLOAT_EQ(peak.max, 0.1f);
    EXPECT_EQ(view.LevelCount(), 1000u);
    sketched = view.grab().toImage().pixelColor(800, y);
    EXPECT_EQ(sketched, exact);
}

TEST(WaveformView, WheelZoomsAroundTheMouseAndCtrl0ShowsAll)
{
    RampView ramp;
    const Time under = ramp.view.TimeAtX(700);
    QWheelEvent wheel(QPointF(700, 100), ramp.view.mapToGlobal(QPointF(700, 100)), QPoint(), QPoint(0, 120 * 4),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&ramp.view, &wheel);
    EXPECT_LT(ramp.view.ViewLength(), 10 * kSecond / 2);
    // The time under the mouse stays under it (to a pixel).
    EXPECT_NEAR(static_cast<double>(ramp.view.TimeAtX(700)), static_cast<double>(under),
                static_cast<double>(ramp.view.ViewLength()) / 1000);
    ramp.view.setFocus();
    QTest::keyClick(&ramp.view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(ramp.view.ViewStart(), 0);
    EXPECT_EQ(ramp.view.ViewLength(), 10 * kSecond);
}

TEST(WaveformView, ClickMovesThePositionDragMovesAMarkKeysAskForCuts)
{
    RampView ramp;
    WaveformView& view = ramp.view;
    QSignalSpy clicked(&view, &WaveformView::positionClicked);
    QSignalSpy dragged(&view, &WaveformView::cutDragged);
    QSignalSpy requested(&view, &WaveformView::cutRequested);
    QSignalSpy nudged(&view, &WaveformView::nudgeRequested);
    QSignalSpy deleted(&view, &WaveformView::deleteCutRequested);

    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(150, 100));
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked[0][0].toLongLong(), 15 * kSecond / 10);

    // The mark at 3 s (x 300) grabbed 2 px beside it and let go at x 350.
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(302, 100));
    EXPECT_EQ(view.SelectedCut(), 0);
    QMouseEvent move(QEvent::MouseMove, QPointF(350, 100), view.mapToGlobal(QPointF(350, 100)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(350, 100));
    ASSERT_EQ(dragged.size(), 1);
    EXPECT_EQ(dragged[0][0].toInt(), 0);
    EXPECT_EQ(dragged[0][1].toLongLong(), 3 * kSecond);
    EXPECT_EQ(dragged[0][2].toLongLong(), 35 * kSecond / 10);
    // No click on the position came from the drag.
    EXPECT_EQ(clicked.size(), 1);

    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(800, 100));
    ASSERT_EQ(requested.size(), 1);
    EXPECT_EQ(requested[0][0].toLongLong(), 8 * kSecond);

    view.SetPlayPosition(kSecond);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Time delta;
    } nudges[] = {{Qt::Key_Right, Qt::NoModifier, kSecond / 100},
                  {Qt::Key_Left, Qt::NoModifier, -kSecond / 100},
                  {Qt::Key_Right, Qt::ShiftModifier, kSecond},
                  {Qt::Key_Left, Qt::ShiftModifier, -kSecond}};
    for (const auto& n : nudges)
        QTest::keyClick(&view, n.key, n.modifiers);
    ASSERT_EQ(nudged.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(nudged[i][0].toInt(), 0);
        EXPECT_EQ(nudged[i][1].toLongLong(), nudges[i].delta);
    }
    QTest::keyClick(&view, Qt::Key_M);
    ASSERT_EQ(requested.size(), 2);
    EXPECT_EQ(requested[1][0].toLongLong(), kSecond);
    QTest::keyClick(&view, Qt::Key_Delete);
    ASSERT_EQ(deleted.size(), 1);
    EXPECT_EQ(deleted[0][0].toInt(), 0);
}
