#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <memory>

#include "chart/CurveRaster.h"

namespace {

constexpr QRgb Red = 0xFFFF0000, Blue = 0xFF0000FF;

QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

struct Series {
    LabelStore labels;
    PointBuffer points{labels};
    explicit Series(std::initializer_list<double> ys)
    {
        int x = 0;
        for (double y : ys)
            points.append(x++, y, QString());
    }
};

// Rows of column x that carry the colour.
std::vector<int> rowsIn(const QImage& image, int x, QRgb color)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixel(x, y) == color)
            rows.push_back(y);
    return rows;
}

// 11 columns for X 0..10, 11 rows for Y 0..10 (row 10 at the bottom).
const CurveWindow Window{0, 10, 0, 10};

TEST(CurveRaster, FlatLineOnItsRowAcrossTheImage)
{
    Series s{3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
    QImage image = blank(11, 11);
    rasterizeCurves(image, {{&s.points, Red, 1}}, Window);
    for (int x = 0; x < 11; ++x)
        EXPECT_EQ(rowsIn(image, x, Red), std::vector<int>{7}) << "column " << x;
}

// A step is a connected line: each column covers its half of the rise.
TEST(CurveRaster, StepIsJoinedWithoutGaps)
{
    Series s{0, 10};
    QImage image = blank(11, 11);
    rasterizeCurves(image, {{&s.points, Red, 1}}, CurveWindow{0, 1, 0, 10});
    const auto left = rowsIn(image, 0, Red), right = rowsIn(image, 10, Red);
    std::vector<int> all;
    for (int x = 0; x < 11; ++x)
        for (int row : rowsIn(image, x, Red))
            all.push_back(row);
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    EXPECT_EQ(all.size(), 11u) << "every row from bottom to top is reached";
    EXPECT_EQ(left.back(), 10);
    EXPECT_EQ(right.front(), 0);
}

// Lines leave the image at its edges: nothing is drawn along the border for
// values beyond the window, and points far outside do not wrap around.
TEST(CurveRaster, ValuesOutsideTheWindowAreClippedNotClamped)
{
    Series s{5, 1e300, 5, -1e300, 5, NAN, 5, 20, 20, 20, 20};
    QImage image = blank(11, 11);
    rasterizeCurves(image, {{&s.points, Red, 1}}, Window);
    const auto all = [](int from, int to) {
        std::vector<int> rows;
        for (int r = from; r <= to; ++r)
            rows.push_back(r);
        return rows;
    };
    EXPECT_EQ(rowsIn(image, 0, Red), all(0, 5)) << "the line up to the far point leaves at the top";
    EXPECT_TRUE(rowsIn(image, 1, Red).empty()) << "the far point itself is off the image";
    EXPECT_EQ(rowsIn(image, 2, Red), all(0, 10)) << "back from the top, then off the bottom";
    EXPECT_TRUE(rowsIn(image, 3, Red).empty());
    EXPECT_TRUE(rowsIn(image, 5, Red).empty()) << "no line through a missing value";
    EXPECT_EQ(rowsIn(image, 6, Red), all(0, 5));
    for (int x : {8, 9, 10})
        EXPECT_TRUE(rowsIn(image, x, Red).empty()) << "values above the top are not drawn on the border";
}

TEST(CurveRaster, LaterSeriesDrawOverEarlierOnes)
{
    Series first{5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}, second{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QImage image = blank(11, 11);
    rasterizeCurves(image, {{&first.points, Red, 1}, {&second.points, Blue, 1}}, Window);
    EXPECT_EQ(image.pixel(5, 5), Blue);
    EXPECT_EQ(image.pixel(2, 5), Red);
}

TEST(CurveRaster, WidePenThickensTheLineBothWays)
{
    Series s{5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
    QImage image = blank(11, 11);
    rasterizeCurves(image, {{&s.points, Red, 3}}, Window);
    EXPECT_EQ(rowsIn(image, 5, Red), (std::vector<int>{4, 5, 6}));
    Series dot{NAN, NAN, NAN, NAN, NAN, 5};
    QImage single = blank(11, 11);
    rasterizeCurves(single, {{&dot.points, Red, 3}}, Window);
    for (int x : {4, 5, 6})
        EXPECT_EQ(rowsIn(single, x, Red), (std::vector<int>{4, 5, 6})) << "column " << x;
    EXPECT_TRUE(rowsIn(single, 3, Red).empty());
}

// A chart large enough to be shared out to several threads gives
// the very pixels of drawing its series one after the other.
TEST(CurveRaster, ThreadsDrawTheSamePixelsAsOneByOne)
{
    LabelStore labels;
    std::vector<std::unique_ptr<PointBuffer>> series;
    std::vector<CurveRun> runs;
    for (int s = 0; s < 300; ++s) {
        series.push_back(std::make_unique<PointBuffer>(labels));
        for (int i = 0; i < 1000; ++i)
            series.back()->append(i, 250 + 200 * std::sin(s * 0.37 + i * 0.01) + (i * 7919 % 13), QString());
        runs.push_back({series.back().get(), QRgb(0xFF000000u | unsigned(s * 2654435761u >> 8)), 1 + s % 3});
    }
    const CurveWindow window{100, 900, 0, 500};
    QImage together = blank(640, 300), oneByOne = blank(640, 300);
    rasterizeCurves(together, runs, window);
    for (const CurveRun& run : runs)
        rasterizeCurves(oneByOne, {run}, window);
    EXPECT_TRUE(together == oneByOne);
}

} // namespace
