#include "BalloonTip.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kEditText = QStringLiteral("Output Directory!");
const QString kListText = QStringLiteral("Press right button to delete breakpoint");
const QPoint kOnEdit(30, 12);
const QPoint kOnList(40, 30);   // in the list's viewport
constexpr int kShowDelayMs = 250;
constexpr int kLongWaitMs = 5000;

QSize TextExtent(const QString& text)
{
    return QFontMetrics(QApplication::font())
        .boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop, text)
        .size();
}

// A page with an edit and a list that carry balloon tips and a button that
// does not; the page is shown and active.
class BalloonPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Off the page: moving to where the cursor already is sends no move.
        QCursor::setPos(5, 5);
        page = std::make_unique<QWidget>();
        page->setGeometry(100, 100, 320, 160);
        edit = new QLineEdit(page.get());
        edit->setGeometry(20, 20, 160, 24);
        list = new QListWidget(page.get());
        list->setGeometry(20, 60, 160, 80);
        button = new QPushButton(QStringLiteral("Browse"), page.get());
        button->setGeometry(220, 20, 80, 24);
        balloon = new CBalloonTip;
        ASSERT_TRUE(balloon->Create(page.get()));
    }

    void ShowActive()
    {
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    }

    bool WaitShown() { return QTest::qWaitFor([this] { return balloon->isVisible(); }, kLongWaitMs); }

    void Hover(QWidget* w, QPoint pos)
    {
        QTest::mouseMove(w, pos);
        ASSERT_TRUE(WaitShown());
    }

    QPoint TipOnScreen() const
    {
        const QRect g = balloon->geometry();
        return g.topLeft() + QPoint(g.width() - 12, g.height() - 10);
    }

    // The balloon around a text of `extent`: 12 pixels of margin left and
    // right, 10 above and below, rounded corners, and the pointer reaching
    // down to the cursor's hot spot without covering it.
    void ExpectBalloonAround(QSize extent) const
    {
        const int width = extent.width() + 24;
        const int body = extent.height() + 20;
        EXPECT_EQ(balloon->size(), QSize(width, body + 25));
        EXPECT_EQ(TipOnScreen(), QCursor::pos());

        // Rounded corners, and a pointer that ends at the hot spot.
        const QRegion shape = balloon->mask();
        const QPoint tip(width - 12, body + 15);
        EXPECT_EQ(shape.boundingRect().width(), width);
        EXPECT_FALSE(shape.contains(QPoint(0, 0)));
        EXPECT_TRUE(shape.contains(tip - QPoint(3, 5)));
        EXPECT_FALSE(shape.contains(tip));
    }

    std::unique_ptr<QWidget> page;
    QLineEdit* edit = nullptr;
    QListWidget* list = nullptr;
    QPushButton* button = nullptr;
    CBalloonTip* balloon = nullptr;   // a child window of the page
};

}  // namespace

// --- shape and place -------------------------------------------------------

TEST_F(BalloonPage, OneLineBalloonFitsItsTextAndPointsAtTheHotSpot)
{
    balloon->AddTool(edit, kEditText);
    ShowActive();
    Hover(edit, kOnEdit);
    EXPECT_EQ(QCursor::pos(), edit->mapToGlobal(kOnEdit));
    ExpectBalloonAround(TextExtent(kEditText));
}

TEST_F(BalloonPage, SeveralLinesMakeATallerBalloonAsWideAsTheLongestLine)
{
    const QString longest = QStringLiteral("the longest of the three lines");
    const QString text = QStringLiteral("first\n") + longest + QStringLiteral("\nthird");
    balloon->AddTool(edit, text);
    ShowActive();
    Hover(edit, kOnEdit);
    const QSize extent = TextExtent(text);
    EXPECT_GE(extent.height(), 3 * QFontMetrics(QApplication::font()).height());
    EXPECT_EQ(extent.width(), TextExtent(longest).width());
    ExpectBalloonAround(extent);
}

TEST_F(BalloonPage, FollowsThePointerOntoAnotherControlAndItsChildren)
{
    balloon->AddTool(edit, kEditText);
    balloon->AddTool(list, kListText);
    ShowActive();
    Hover(edit, kOnEdit);
    QTest::mouseMove(list->viewport(), kOnList);
    EXPECT_TRUE(balloon->isVisible());   // stays up while it waits to move
    EXPECT_TRUE(QTest::qWaitFor([this] { return TipOnScreen() == QCursor::pos(); }, kLongWaitMs));
    EXPECT_TRUE(balloon->isVisible());
    EXPECT_EQ(balloon->Text(), kListText);
}

// --- showing and hiding ----------------------------------------------------

TEST_F(BalloonPage, ShowsOnlyAfterThePointerHasRested)
{
    balloon->AddTool(edit, kEditText);
    ShowActive();
    QTest::mouseMove(edit, kOnEdit);
    QCoreApplication::processEvents();
    EXPECT_FALSE(balloon->isVisible()); // not at once: it waits for the pointer to rest
    ASSERT_TRUE(WaitShown());
}

TEST_F(BalloonPage, MovingOffTheControlsOrTheWindowHidesIt)
{
    balloon->AddTool(edit, kEditText);
    ShowActive();
    Hover(edit, kOnEdit);
    QTest::mouseMove(button, {10, 10});
    EXPECT_FALSE(balloon->isVisible());

    // Leaving before the delay is up cancels the showing.
    QTest::mouseMove(edit, kOnEdit);
    QTest::mouseMove(page.get(), {300, 150});
    QTest::qWait(2 * kShowDelayMs);
    EXPECT_FALSE(balloon->isVisible());

    Hover(edit, kOnEdit + QPoint(10, 0));
    QCursor::setPos(page->mapToGlobal(QPoint(-60, -60)));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !balloon->isVisible(); }, kLongWaitMs));
}

TEST_F(BalloonPage, AButtonPressHidesItUntilThePointerMovesAgain)
{
    balloon->AddTool(edit, kEditText);
    balloon->AddTool(list, kListText);
    ShowActive();
    Hover(edit, kOnEdit);
    QTest::mousePress(edit, Qt::LeftButton, {}, kOnEdit);
    EXPECT_FALSE(balloon->isVisible());
    QTest::mouseRelease(edit, Qt::LeftButton, {}, kOnEdit);

    // A press while the balloon waits to appear keeps it away too.
    QTest::mouseMove(list->viewport(), kOnList);
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, kOnList);
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, kOnList);
    QTest::qWait(2 * kShowDelayMs);
    EXPECT_FALSE(balloon->isVisible());

    QTest::mouseMove(list->viewport(), kOnList + QPoint(5, 5));
    EXPECT_TRUE(WaitShown());
}

// --- texts and focus -------------------------------------------------------

TEST_F(BalloonPage, RegisteringAControlAgainReplacesItsText)
{
    const QString folder = QStringLiteral("/home/ann/Music/Split");
    balloon->AddTool(edit, kEditText);
    balloon->AddTool(edit, folder);
    ShowActive();
    Hover(edit, kOnEdit);
    EXPECT_EQ(balloon->Text(), folder);
    EXPECT_EQ(balloon->width(), TextExtent(folder).width() + 24);
}

TEST_F(BalloonPage, NeverTakesTheFocus)
{
    balloon->AddTool(list, kListText);
    ShowActive();
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    Hover(list->viewport(), kOnList);
    QTest::qWait(50);   // time for an activation to arrive, were there one
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(QApplication::activeWindow(), page.get());
    EXPECT_EQ(QApplication::focusWidget(), edit);
}
