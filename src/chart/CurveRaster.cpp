#include "chart/CurveRaster.h"

#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <utility>

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

// 1 / dx for the short steps that lines between neighbouring points take.
const std::array<double, 257> Reciprocals = [] {
    std::array<double, 257> r{};
    for (std::size_t i = 1; i < r.size(); ++i)
        r[i] = 1.0 / double(i);
    return r;
}();

// Rows where the line from (0, y0) to (dx, y1) crosses the column boundaries
// k + 1/2.
struct Boundaries {
    Boundaries(int y0, int y1, int dx)
        : y0(y0), slope(double(y1 - y0) * (std::size_t(dx) < Reciprocals.size() ? Reciprocals[std::size_t(dx)] : 1.0 / dx))
    {
    }
    int at(int k) const { return Canvas::roundHeld(y0 + slope * (k + 0.5)); }
    int y0;
    double slope;
};

// Draws the columns first..end-1 of the canvas, series after series. Each
// series first leaves the span of rows its line covers in every column it
// touches, then those spans are filled; a wider pen widens each span and
// joins it with its neighbours'.
class Band {
public:
    Band(const Canvas& canvas, int firstColumn, int endColumn)
        : canvas_(canvas),
          first_(firstColumn),
          end_(endColumn),
          lo_(std::size_t(canvas.width), INT_MAX),
          hi_(std::size_t(canvas.width), INT_MIN)
    {
    }

    void draw(const CurveRun& run)
    {
        const int penWidth = std::max(run.penWidth, 1);
        spanFirst_ = std::max(first_ - (penWidth - 1), 0);
        spanEnd_ = std::min(end_ + (penWidth - 1), canvas_.width);
        touchedFirst_ = INT_MAX;
        touchedLast_ = INT_MIN;
        if (run.column)
            collectColumnSpans(*run.column);
        else
            collectSpans(*run.points);
        if (touchedFirst_ > touchedLast_)
            return;
        fill(run.color | 0xFF000000u, penWidth);
        for (int c = touchedFirst_; c <= touchedLast_; ++c) {
            lo_[std::size_t(c)] = INT_MAX;
            hi_[std::size_t(c)] = INT_MIN;
        }
    }

private:
    void cover(int column, int a, int b)
    {
        if (column < spanFirst_ || column >= spanEnd_)
            return;
        const auto i = std::size_t(column);
        lo_[i] = std::min({lo_[i], a, b});
        hi_[i] = std::max({hi_[i], a, b});
        touchedFirst_ = std::min(touchedFirst_, column);
        touchedLast_ = std::max(touchedLast_, column);
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

    // The first and last index of the points that can reach the band's
    // columns; first > last when none can.
    template <typename Points>
    std::pair<int, int> reachingBand(const Points& points) const
    {
        const int n = points.count();
        if (n == 0 || canvas_.xScale <= 0)
            return {0, -1};
        const double xFirst = (spanFirst_ - 1 - canvas_.xOffset) / canvas_.xScale;
        const double xEnd = (spanEnd_ - canvas_.xOffset) / canvas_.xScale;
        return {std::max(points.lowerBound(xFirst) - 1, 0), std::min(points.upperBound(xEnd), n - 1)};
    }

    // The lines between the points that can reach the band's columns.
    void collectSpans(const PointBuffer& points)
    {
        const auto [i0, i1] = reachingBand(points);
        if (i0 > i1)
            return;
        int xa = canvas_.column(points.x(i0)), ya = canvas_.row(points.y(i0));
        if (ya != NoPixel)
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
    }

    // The same lines as collectSpans draws, for points at X 0, 1, 2 ...: the
    // points that fall into one pixel column cover the rows from their
    // smallest to their largest value, which is all that the short lines
    // between them add there; only the line into the next pixel column is
    // drawn as a line. A NaN breaks the line, as everywhere.
    void collectColumnSpans(const ColumnPoints& points)
    {
        const auto [i0, i1] = reachingBand(points);
        const float* values = points.values();
        for (int i = i0; i <= i1;) {
            const int column = canvas_.column(i);
            const int end = pixelColumnEnd(i, i1, column);
            float low = std::numeric_limits<float>::infinity(), high = -low;
            for (int k = i; k < end; ++k) {
                const float v = values[k];
                low = v < low ? v : low;
                high = v > high ? v : high;
            }
            if (low <= high)
                cover(column, canvas_.row(low), canvas_.row(high));
            if (end <= i1) {
                const int ya = canvas_.row(values[end - 1]), yb = canvas_.row(values[end]);
                if (ya != NoPixel && yb != NoPixel)
                    segment(column, ya, canvas_.column(end), yb);
            }
            i = end;
        }
    }

    // One past the last index from first on, up to last, that lies in the
    // pixel column of first; guessed from the scale, then made exact.
    int pixelColumnEnd(int first, int last, int column) const
    {
        const double guess = std::ceil((column + 0.5 - canvas_.xOffset) / canvas_.xScale);
        int end = int(std::clamp(guess, double(first + 1), double(last + 1)));
        while (end > first + 1 && canvas_.column(end - 1) > column)
            --end;
        while (end <= last && canvas_.column(end) <= column)
            ++end;
        return end;
    }

    void fill(QRgb color, int penWidth)
    {
        const int up = (penWidth - 1) / 2, down = penWidth - 1 - up;
        const int first = std::max(first_, touchedFirst_ - up), last = std::min(end_ - 1, touchedLast_ + down);
        for (int column = first; column <= last; ++column) {
            int low = INT_MAX, high = INT_MIN;
            for (int c = std::max(column - down, touchedFirst_); c <= std::min(column + up, touchedLast_); ++c) {
                low = std::min(low, lo_[std::size_t(c)]);
                high = std::max(high, hi_[std::size_t(c)]);
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
    int touchedFirst_ = 0, touchedLast_ = 0;
    std::vector<int> lo_, hi_;  // by column
};

void drawBand(const Canvas& canvas, const std::vector<CurveRun>& runs, int first, int end)
{
    Band band(canvas, first, end);
    for (const CurveRun& run : runs)
        band.draw(run);
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
        points += run.column ? run.column->count() : run.points->count();
    const long long wanted = 1 + points / PointsPerThread;
    return int(std::min<long long>({wanted, MaxThreads, std::max(QThread::idealThreadCount(), 1), width}));
}

} // namespace

void rasterizeCurves(QImage& image, const std::vector<CurveRun>& runs, const CurveWindow& window)
{
    if (image.isNull() || runs.empty())
        return;
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    const Canvas canvas = canvasFor(image, window);
    const int bands = threadCount(runs, canvas.width);
    const auto bandEdge = [&](int b) { return canvas.width * b / bands; };
    QThreadPool& pool = helperPool();
    for (int b = 1; b < bands; ++b)
        pool.start([&canvas, &runs, first = bandEdge(b), end = bandEdge(b + 1)] { drawBand(canvas, runs, first, end); });
    drawBand(canvas, runs, 0, bandEdge(1));
    pool.waitForDone();
}
