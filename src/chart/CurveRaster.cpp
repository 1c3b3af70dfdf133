#include "chart/CurveRaster.h"

#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int MaxThreads = 4;
// Each this many points bring in one more thread, up to MaxThreads.
constexpr long long PointsPerThread = 200000;
// Pixel positions further out than this are held there: the visible part of a
// line to such a point is then vertical to within a pixel anyway.
constexpr double FarPixel = 1.0e6;
constexpr int NoPixel = INT_MIN;

// Where the lines go: the image's pixels, and values to pixel positions.
struct Canvas {
    QRgb* bits;
    qsizetype stride;  // pixels from one row to the next
    int width, height;
    double xScale, xOffset;  // column = x * xScale + xOffset
    double yScale, yOffset;  // row = y * yScale + yOffset

    static int pixel(double v)
    {
        if (std::isnan(v))
            return NoPixel;
        return roundHeld(std::clamp(v, -FarPixel, FarPixel));
    }
    // Nearest whole number, halves up, of a value within FarPixel: shifted to
    // be positive, so that truncation rounds down.
    static int roundHeld(double v) { return int(v + (FarPixel + 0.5)) - int(FarPixel); }
    int column(double x) const { return pixel(x * xScale + xOffset); }
    int row(double y) const { return pixel(y * yScale + yOffset); }
};

// Takes the image's pixels for writing: the one detach happens here, before
// any thread writes.
Canvas canvasFor(QImage& image, const CurveWindow& w)
{
    const int width = image.width(), height = image.height();
    const double xSpan = w.xMax - w.xMin, ySpan = w.yMax - w.yMin;
    Canvas m{};
    m.bits = reinterpret_cast<QRgb*>(image.bits());
    m.stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    m.width = width;
    m.height = height;
    m.xScale = xSpan != 0 ? (width - 1) / xSpan : 0;
    m.xOffset = -w.xMin * m.xScale;
    m.yScale = ySpan != 0 ? -(height - 1) / ySpan : 0;
    m.yOffset = (height - 1) - w.yMin * m.yScale;
    return m;
}

// Rows where the line from (0, y0) to (dx, y1) crosses the column boundaries
// k + 1/2.
struct Boundaries {
    Boundaries(int y0, int y1, int dx) : y0(y0), slope(double(y1 - y0) / dx) {}
    int at(int k) const { return Canvas::roundHeld(y0 + slope * (k + 0.5)); }
    int y0;
    double slope;
};

class Tile {
public:
    Tile(const Canvas& canvas, int firstColumn, int endColumn) : canvas_(canvas), first_(firstColumn), end_(endColumn) {}

    void draw(const CurveRun& run)
    {
        const int pad = (std::max(run.penWidth, 1) - 1);
        spanFirst_ = std::max(first_ - pad, 0);
        spanEnd_ = std::min(end_ + pad, canvas_.width);
        lo_.assign(std::size_t(spanEnd_ - spanFirst_), INT_MAX);
        hi_.assign(std::size_t(spanEnd_ - spanFirst_), INT_MIN);
        if (!collectSpans(*run.points))
            return;
        fill(run.color | 0xFF000000u, std::max(run.penWidth, 1));
    }

private:
    void cover(int column, int a, int b)
    {
        if (column < spanFirst_ || column >= spanEnd_)
            return;
        const auto i = std::size_t(column - spanFirst_);
        lo_[i] = std::min({lo_[i], a, b});
        hi_[i] = std::max({hi_[i], a, b});
    }

    void segment(int xa, int ya, int xb, int yb)
    {
        if (xa > xb) {
            std::swap(xa, xb);
            std::swap(ya, yb);
        }
        if (xb < spanFirst_ || xa >= spanEnd_)
            return;
        const int dx = xb - xa;
        if (dx == 0) {
            cover(xa, ya, yb);
            return;
        }
        // Column xa + k runs from boundary k - 1/2 to k + 1/2; the end columns
        // start and stop at the points themselves.
        const int kFirst = std::max(0, spanFirst_ - xa);
        const int kEnd = std::min(dx, spanEnd_ - xa);
        const Boundaries boundary(ya, yb, dx);
        int from = kFirst == 0 ? ya : boundary.at(kFirst - 1);
        for (int k = kFirst; k < kEnd; ++k) {
            const int to = boundary.at(k);
            cover(xa + k, from, to);
            from = to;
        }
        if (kEnd == dx)
            cover(xb, from, yb);
    }

    // The points whose lines can reach the tile; false when none can.
    bool collectSpans(const PointBuffer& points)
    {
        const int n = points.count();
        if (n == 0 || canvas_.xScale <= 0)
            return false;
        const double xFirst = (spanFirst_ - 1 - canvas_.xOffset) / canvas_.xScale;
        const double xEnd = (spanEnd_ - canvas_.xOffset) / canvas_.xScale;
        const int i0 = std::max(points.lowerBound(xFirst) - 1, 0);
        const int i1 = std::min(points.upperBound(xEnd), n - 1);
        if (i0 > i1)
            return false;
        int xa = canvas_.column(points.x(i0)), ya = canvas_.row(points.y(i0));
        if (i0 == i1 && ya != NoPixel)
            cover(xa, ya, ya);
        for (int i = i0 + 1; i <= i1; ++i) {
            const int xb = canvas_.column(points.x(i)), yb = canvas_.row(points.y(i));
            if (ya != NoPixel && yb != NoPixel)
                segment(xa, ya, xb, yb);
            else if (yb != NoPixel)
                cover(xb, yb, yb);
            xa = xb;
            ya = yb;
        }
        return true;
    }

    void fill(QRgb color, int penWidth)
    {
        const int up = (penWidth - 1) / 2, down = penWidth - 1 - up;
        for (int column = first_; column < end_; ++column) {
            int low = INT_MAX, high = INT_MIN;
            for (int c = std::max(column - down, spanFirst_); c <= std::min(column + up, spanEnd_ - 1); ++c) {
                const auto i = std::size_t(c - spanFirst_);
                low = std::min(low, lo_[i]);
                high = std::max(high, hi_[i]);
            }
            if (low > high)
                continue;
            const int top = std::max(low - up, 0), bottom = std::min(high + down, canvas_.height - 1);
            QRgb* p = canvas_.bits + qsizetype(top) * canvas_.stride + column;
            for (int row = top; row <= bottom; ++row, p += canvas_.stride)
                *p = color;
        }
    }

    const Canvas& canvas_;
    const int first_, end_;
    int spanFirst_ = 0, spanEnd_ = 0;
    std::vector<int> lo_, hi_;
};

// Columns drawn together: a tile's rows stay in the cache while every series
// passes through it.
constexpr int TileWidth = 64;

// Draws tiles first, first + step, first + 2 step ... of the image.
void drawTiles(const Canvas& canvas, const std::vector<CurveRun>& runs, int first, int step)
{
    for (int column = first * TileWidth; column < canvas.width; column += step * TileWidth) {
        Tile tile(canvas, column, std::min(column + TileWidth, canvas.width));
        for (const CurveRun& run : runs)
            tile.draw(run);
    }
}

QThreadPool& helperPool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(MaxThreads - 1);
        return p;
    }();
    return *pool;
}

int threadCount(const std::vector<CurveRun>& runs, int width)
{
    long long points = 0;
    for (const CurveRun& run : runs)
        points += run.points->count();
    const long long wanted = 1 + points / PointsPerThread;
    const int tiles = (width + TileWidth - 1) / TileWidth;
    return int(std::min<long long>({wanted, MaxThreads, std::max(QThread::idealThreadCount(), 1), tiles}));
}

} // namespace

void rasterizeCurves(QImage& image, const std::vector<CurveRun>& runs, const CurveWindow& window)
{
    if (image.isNull() || runs.empty())
        return;
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    const Canvas canvas = canvasFor(image, window);
    const int threads = threadCount(runs, canvas.width);
    QThreadPool& pool = helperPool();
    for (int t = 1; t < threads; ++t)
        pool.start([&canvas, &runs, t, threads] { drawTiles(canvas, runs, t, threads); });
    drawTiles(canvas, runs, 0, threads);
    pool.waitForDone();
}
