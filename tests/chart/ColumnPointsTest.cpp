#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "chart/ColumnPoints.h"
#include "chart/CurveRaster.h"

namespace {

constexpr QRgb Red = 0xFFFF0000;

// The same values as a column and as a point buffer at X 0, 1, 2 ...
struct BothForms {
    explicit BothForms(const std::vector<float>& values)
    {
        auto* copy = new float[values.size()];
        std::copy(values.begin(), values.end(), copy);
        column = ColumnPoints(std::shared_ptr<const float>(copy, std::default_delete<float[]>()), int(values.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            points.append(double(i), values[i], QString());
    }
    ColumnPoints column;
    LabelStore labels;
    PointBuffer points{labels};
};

TEST(ColumnPoints, BoundsAgreeWithASearchThroughThePoints)
{
    BothForms both(std::vector<float>(10, 1.0f));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double x : {-5.0, -0.5, 0.0, 0.25, 1.0, 4.5, 9.0, 9.5, 10.0, 12.0, nan}) {
        EXPECT_EQ(both.column.lowerBound(x), both.points.lowerBound(x)) << x;
        EXPECT_EQ(both.column.upperBound(x), both.points.upperBound(x)) << x;
    }
}

std::vector<float> swinging(int count)
{
    std::vector<float> values(std::size_t(count), 0.0f);
    for (int i = 0; i < count; ++i)
        values[std::size_t(i)] = float(250 + 200 * std::sin(i * 0.0007) + (i * 7919LL % 23) - 11);
    return values;
}

std::vector<float> withGaps(std::vector<float> values)
{
    const float inf = std::numeric_limits<float>::infinity();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i % 97 == 5 || (i > 40 && i < 44))
            values[i] = std::numeric_limits<float>::quiet_NaN();
        else if (i % 1013 == 7)
            values[i] = inf;
        else if (i % 1409 == 11)
            values[i] = -inf;
    }
    return values;
}

int redPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == Red;
    return count;
}

struct RasterCase {
    const char* name;
    std::vector<float> values;
    CurveWindow window;
    int width;
    int penWidth;
};

// A column is drawn by the minimum and maximum of each pixel column; the
// pixels must be those of drawing every line between its points.
TEST(ColumnPoints, DrawsThePixelsOfEveryLineBetweenItsPoints)
{
    const std::vector<RasterCase> cases = {
        {"hundreds of points per column, on two threads", swinging(400000), {0, 399999, 0, 500}, 300, 1},
        {"a few points, far apart", swinging(50), {0, 49, 0, 500}, 640, 1},
        {"zoomed into the middle", swinging(100000), {30000.5, 31000.25, -100, 600}, 257, 1},
        {"gaps and infinite values, wide pen", withGaps(swinging(60000)), {0, 59999, 0, 500}, 640, 3},
        {"gaps where points are sparse", withGaps(swinging(300)), {0, 299, 0, 500}, 640, 1},
        {"window wider than the data", swinging(5000), {-500, 5500, 0, 500}, 640, 2},
        {"a single point", {250.0f}, {-1, 1, 0, 500}, 100, 1},
    };
    for (const RasterCase& c : cases) {
        BothForms both(c.values);
        QImage fromColumn(c.width, 200, QImage::Format_ARGB32_Premultiplied);
        fromColumn.fill(Qt::transparent);
        QImage fromPoints = fromColumn;
        CurveRun columnRun;
        columnRun.column = &both.column;
        columnRun.color = Red;
        columnRun.penWidth = c.penWidth;
        rasterizeCurves(fromColumn, {columnRun}, c.window);
        rasterizeCurves(fromPoints, {{&both.points, Red, c.penWidth}}, c.window);
        EXPECT_GT(redPixels(fromPoints), 0) << c.name;
        EXPECT_TRUE(fromColumn == fromPoints) << c.name;
    }
}

} // namespace
