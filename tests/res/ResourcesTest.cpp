#include "Resources.h"

#include <QFile>
#include <QPixmap>
#include <gtest/gtest.h>
#include <queue>
#include <vector>

namespace {

struct Pair {
    int hover;
    int normal;
    int width;
    int height;
    int depth;
    bool circle;
};

// Every skinned-button bitmap pair of the pages, with the sizes the
// controls leave for them.
const std::vector<Pair> kPairs = {
    {157, 158, 67, 21, 24, false}, {161, 160, 67, 21, 24, false}, {163, 162, 67, 21, 24, false},
    {165, 164, 67, 21, 24, false}, {216, 217, 67, 21, 24, false}, {174, 175, 30, 30, 8, false},
    {181, 180, 30, 30, 24, false}, {185, 184, 36, 24, 24, false}, {187, 186, 192, 19, 24, false},
    {190, 189, 19, 19, 24, true},  {191, 192, 19, 19, 24, true},  {202, 204, 19, 19, 24, true},
    {195, 196, 19, 19, 24, true},  {197, 198, 19, 19, 24, true},  {199, 200, 19, 19, 24, true},
    {210, 209, 67, 21, 24, false}, {211, 212, 67, 21, 24, false}, {226, 225, 45, 45, 24, false},
    {228, 227, 45, 45, 24, false}, {230, 229, 45, 45, 24, false}, {231, 232, 45, 45, 24, false},
    {234, 233, 45, 45, 24, false}, {242, 241, 45, 45, 24, false}, {237, 238, 26, 28, 24, false},
    {240, 239, 64, 18, 24, false},
};

constexpr QRgb kHoverKey = 0x000000;
constexpr QRgb kNormalKey = 0x00ff00;

// Bits per pixel as written in the bitmap file's header.
int StoredDepth(int id)
{
    QFile file(QStringLiteral(":/tarnwick/bitmaps/%1.bmp").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray header = file.read(30);
    if (header.size() < 30 || !header.startsWith("BM"))
        return -1;
    return quint8(header[28]) | (quint8(header[29]) << 8);
}

bool IsKey(const QImage& image, int x, int y, QRgb key)
{
    return (image.pixel(x, y) & 0xffffff) == key;
}

// Key pixels must only be the outside of the button's outline: every one of
// them joins the image's edge through other key pixels.
bool KeyOnlyOutside(const QImage& image, QRgb key)
{
    const int w = image.width(), h = image.height();
    std::vector<char> reached(size_t(w) * h, 0);
    std::queue<QPoint> queue;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h || reached[size_t(y) * w + x] || !IsKey(image, x, y, key))
            return;
        reached[size_t(y) * w + x] = 1;
        queue.push({x, y});
    };
    for (int x = 0; x < w; ++x) {
        visit(x, 0);
        visit(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        visit(0, y);
        visit(w - 1, y);
    }
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop();
        visit(p.x() + 1, p.y());
        visit(p.x() - 1, p.y());
        visit(p.x(), p.y() + 1);
        visit(p.x(), p.y() - 1);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (IsKey(image, x, y, key) && !reached[size_t(y) * w + x])
                return false;
    return true;
}

int CountPixels(const QImage& image, bool (*match)(QRgb))
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += match(image.pixel(x, y)) ? 1 : 0;
    return count;
}

bool IsRedInk(QRgb c) { return qRed(c) > 150 && qGreen(c) < 60 && qBlue(c) < 60; }
bool IsBlackInk(QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; }

}  // namespace

TEST(ButtonBitmaps, EveryPairHasItsSizeAndDepth)
{
    for (const Pair& pair : kPairs) {
        for (int id : {pair.hover, pair.normal}) {
            SCOPED_TRACE(id);
            const QImage image = LoadBitmapResource(id);
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), QSize(pair.width, pair.height));
            EXPECT_EQ(StoredDepth(id), pair.depth);
        }
    }
}

TEST(ButtonBitmaps, KeyColourFillsTheCornersAndNothingInside)
{
    for (const Pair& pair : kPairs) {
        for (auto [id, key] : {std::pair{pair.hover, kHoverKey}, std::pair{pair.normal, kNormalKey}}) {
            SCOPED_TRACE(id);
            const QImage image = LoadBitmapResource(id);
            ASSERT_FALSE(image.isNull());
            const int w = image.width(), h = image.height();
            for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
                EXPECT_TRUE(IsKey(image, corner.x(), corner.y(), key)) << corner.x() << "," << corner.y();
            EXPECT_TRUE(KeyOnlyOutside(image, key));
            // The button's inside is white, never the key colour.
            const QPoint inside = pair.circle ? QPoint(w / 2, 3) : QPoint(2, h / 2);
            EXPECT_EQ(image.pixel(inside) & 0xffffff, 0xffffffu);
        }
    }
}

TEST(ButtonBitmaps, HoverShowsRedInkAndNormalBlackInk)
{
    for (const Pair& pair : kPairs) {
        SCOPED_TRACE(pair.hover);
        const QImage hover = LoadBitmapResource(pair.hover);
        const QImage normal = LoadBitmapResource(pair.normal);
        // Enough ink to read: at least a tenth of the inside, and none of the
        // other look's colour.
        const int area = pair.width * pair.height;
        EXPECT_GT(CountPixels(hover, IsRedInk), area / 25);
        EXPECT_GT(CountPixels(normal, IsBlackInk), area / 25);
        EXPECT_EQ(CountPixels(normal, IsRedInk), 0);
        // Pure black in a hover image would turn transparent.
        EXPECT_EQ(CountPixels(hover, [](QRgb c) { return (c & 0xffffff) == 0; }),
                  CountPixels(hover, [](QRgb c) { return (c & 0xffffff) == kHoverKey; }));
    }
}

TEST(ButtonBitmaps, UnknownIdGivesNullImage)
{
    EXPECT_TRUE(LoadBitmapResource(1).isNull());
    EXPECT_TRUE(LoadBitmapResource(203).isNull());
}

TEST(Banner, IsAnEightBitPictureOfItsSize)
{
    const QImage banner = LoadBitmapResource(res::kBitmapBanner);
    ASSERT_FALSE(banner.isNull());
    EXPECT_EQ(banner.size(), QSize(94, 250));
    EXPECT_EQ(StoredDepth(res::kBitmapBanner), 8);
    EXPECT_EQ(banner.format(), QImage::Format_Indexed8);
}

TEST(HandCursor, HasItsHotSpotAtTheFingertip)
{
    ASSERT_TRUE(HasCursorResource(res::kCursorHand));
    const QCursor cursor = LoadCursorResource(res::kCursorHand);
    EXPECT_EQ(cursor.hotSpot(), QPoint(5, 0));
    const QImage image = cursor.pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    // The fingertip is drawn at the hot spot; the far corner is clear.
    EXPECT_EQ(qAlpha(image.pixel(5, 0)), 255);
    EXPECT_EQ(qAlpha(image.pixel(31, 31)), 0);
    // Black outline and white fill only, like a monochrome cursor.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) == 0)
                continue;
            EXPECT_EQ(qAlpha(c), 255);
            EXPECT_TRUE((c & 0xffffff) == 0 || (c & 0xffffff) == 0xffffff);
        }
}

TEST(HandCursor, UnknownIdFallsBackToTheArrow)
{
    EXPECT_FALSE(HasCursorResource(158));
    EXPECT_EQ(LoadCursorResource(158).shape(), Qt::ArrowCursor);
}

TEST(AppIcon, ComesInThreeSizes)
{
    const QIcon icon = LoadIconResource(res::kIconApp);
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 32, 48})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    EXPECT_TRUE(LoadIconResource(129).isNull());
}
