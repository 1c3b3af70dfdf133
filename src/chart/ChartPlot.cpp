#include "chart/ChartPlot.h"

#include <cmath>

#include "chart/AxisValueFormat.h"
#include "chart/CurveRaster.h"

namespace {

bool drawnOnScreen(const QCPPainter* painter)
{
    const int type = painter->device()->devType();
    return type == QInternal::Pixmap || type == QInternal::Image;
}

CurveWindow windowOf(const QCustomPlot& plot)
{
    const QCPRange x = plot.xAxis->range(), y = plot.yAxis->range();
    return {x.lower, x.upper, y.lower, y.upper};
}

CurveRun runOf(const PointBuffer& points)
{
    CurveRun run;
    run.points = &points;
    return run;
}

CurveRun runOf(const ColumnPoints& column)
{
    CurveRun run;
    run.column = &column;
    return run;
}

bool lineShown(const ChartSeries& s)
{
    return s.isActive() && s.isLineVisible() && s.count() > 0;
}

// The smallest of 1, 2 and 5 times a power of ten that is at least value.
double niceStepAtLeast(double value)
{
    const double magnitude = std::pow(10.0, std::floor(std::log10(value)));
    for (double mantissa : {1.0, 2.0, 5.0, 10.0})
        if (mantissa * magnitude >= value)
            return mantissa * magnitude;
    return 10 * magnitude;
}

constexpr int LabelGap = 12;
constexpr int MaxTicks = 1000;
constexpr int LegendLineLength = 20;
constexpr int LegendPadding = 4;

} // namespace

CurveLayer::CurveLayer(QCustomPlot* plot, const SeriesList& series)
    : QCPLayerable(plot, QStringLiteral("main")), series_(series)
{
}

void CurveLayer::applyDefaultAntialiasingHint(QCPPainter* painter) const
{
    painter->setAntialiasing(false);
}

QRect CurveLayer::clipRect() const
{
    return mParentPlot->axisRect()->rect();
}

void CurveLayer::draw(QCPPainter* painter)
{
    const bool onScreen = !printing_ && drawnOnScreen(painter);
    if (onScreen && !shownOnScreen_)
        return;
    const QRect area = clipRect();
    if (area.width() > 1 && area.height() > 1) {
        if (onScreen)
            drawRaster(painter, area);
        else
            drawVector(painter, area);
    }
    for (const auto& s : series_)
        if (s->isActive())
            s->afterDrawValues();
}

void CurveLayer::drawRaster(QCPPainter* painter, const QRect& area)
{
    const qreal ratio = painter->device()->devicePixelRatioF();
    const QSize size(qRound(area.width() * ratio), qRound(area.height() * ratio));
    if (image_.size() != size)
        image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    std::vector<CurveRun> runs;
    for (const auto& s : series_) {
        if (!lineShown(*s))
            continue;
        CurveRun run = s->visitPoints([](const auto& points) { return runOf(points); });
        run.color = s->color().rgb();
        run.penWidth = qRound(s->penWidth() * ratio);
        runs.push_back(run);
    }
    rasterizeCurves(image_, runs, windowOf(*mParentPlot));
    image_.setDevicePixelRatio(ratio);
    painter->drawImage(area.topLeft(), image_);
}

void CurveLayer::drawVector(QCPPainter* painter, const QRect& area)
{
    const CurveWindow w = windowOf(*mParentPlot);
    const double xScale = (area.width() - 1) / (w.xMax - w.xMin);
    const double yScale = (area.height() - 1) / (w.yMax - w.yMin);
    QVector<QPointF> line;
    for (const auto& s : series_) {
        if (!lineShown(*s))
            continue;
        line.clear();
        s->visitPoints([&](const auto& points) {
            const int first = std::max(points.lowerBound(w.xMin) - 1, 0);
            const int end = std::min(points.upperBound(w.xMax) + 1, points.count());
            for (int i = first; i < end; ++i)
                line.append(QPointF(area.left() + (points.x(i) - w.xMin) * xScale,
                                    area.bottom() - (points.y(i) - w.yMin) * yScale));
        });
        QPen pen(s->color());
        pen.setWidth(s->penWidth());
        painter->setPen(pen);
        painter->drawPolyline(line.constData(), int(line.size()));
    }
}

void PartialLayer::replotRegion(const QRegion& region)
{
    const QSharedPointer<QCPAbstractPaintBuffer> buffer = mPaintBuffer.toStrongRef();
    if (!buffer)
        return;
    QCPPainter* painter = buffer->startPainting();
    painter->setClipRegion(region);
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->fillRect(region.boundingRect(), Qt::transparent);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Each child is drawn whole again; outside the region that changes no pixel.
    draw(painter);
    delete painter;
    buffer->donePainting();
    mParentPlot->update(region);
}

OverlayLayer::OverlayLayer(QCustomPlot* plot, const QString& layer) : QCPLayerable(plot, layer) {}

QRegion OverlayLayer::crossHairRegion(const QPoint& at) const
{
    const QRect plot = mParentPlot->axisRect()->rect();
    QRegion region(QRect(at.x() - 1, plot.top() - 1, 3, plot.height() + 2));
    return region.united(QRect(plot.left() - 1, at.y() - 1, plot.width() + 2, 3));
}

void OverlayLayer::toggleCrossHair(const CrossHair& crossHair)
{
    for (auto it = crossHairs_.begin(); it != crossHairs_.end(); ++it)
        if (it->at == crossHair.at) {
            crossHairs_.erase(it);
            return;
        }
    crossHairs_.push_back(crossHair);
}

void OverlayLayer::applyDefaultAntialiasingHint(QCPPainter* painter) const
{
    painter->setAntialiasing(false);
}

void OverlayLayer::draw(QCPPainter* painter)
{
    const QRect plot = mParentPlot->axisRect()->rect();
    for (const CrossHair& c : crossHairs_) {
        painter->setPen(QPen(c.color, 1, c.style));
        painter->drawLine(QLineF(c.at.x(), plot.top(), c.at.x(), plot.bottom()));
        painter->drawLine(QLineF(plot.left(), c.at.y(), plot.right(), c.at.y()));
    }
    if (!zoomRect_.isNull()) {
        painter->setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(zoomRect_.normalized());
    }
}

PointLabelTicker::PointLabelTicker(const QCPAxis& axis, const SeriesList& series) : axis_(axis), series_(series) {}

const ChartSeries* PointLabelTicker::labelSeries() const
{
    for (const auto& s : series_)
        if (s->isActive() && s->count() > 0)
            return s.get();
    return nullptr;
}

double PointLabelTicker::stepFor(const QCPRange& range, const ChartSeries& series) const
{
    // The widest of a few labels in view stands for all: blank labels
    // (points from before the data) must not squeeze the real ones.
    const QFontMetrics metrics(axis_.tickLabelFont());
    int labelWidth = metrics.averageCharWidth();
    series.visitPoints([&](const auto& points) {
        const int first = std::min(points.lowerBound(range.lower), points.count() - 1);
        const int last = std::max(std::min(points.upperBound(range.upper), points.count()) - 1, first);
        for (int i : {first, first + (last - first) / 2, last})
            labelWidth = std::max(labelWidth, metrics.horizontalAdvance(points.label(i)));
    });
    const double pixelsPerUnit = axis_.axisRect()->width() / range.size();
    return niceStepAtLeast((labelWidth + LabelGap) / pixelsPerUnit);
}

void PointLabelTicker::generate(const QCPRange& range, const QLocale&, QChar, int, QVector<double>& ticks,
                                QVector<double>* subTicks, QVector<QString>* tickLabels)
{
    ticks.clear();
    if (subTicks)
        subTicks->clear();
    if (tickLabels)
        tickLabels->clear();
    const ChartSeries* series = labelSeries();
    if (!series || !(range.size() > 0) || axis_.axisRect()->width() <= 0)
        return;
    const double step = stepFor(range, *series);
    const double kFirst = std::floor(range.lower / step), kLast = std::floor(range.upper / step);
    if (!(kLast - kFirst < MaxTicks))
        return;
    series->visitPoints([&](const auto& points) {
        for (double k = kFirst; k <= kLast; ++k) {
            // The series' first point opens a step only when it sits on its
            // start, so the ticks do not follow the oldest point as it drops out.
            const int i = points.lowerBound(k * step);
            if (i >= points.count() || points.x(i) >= (k + 1) * step || (i == 0 && points.x(i) != k * step))
                continue;
            if (points.x(i) < range.lower || points.x(i) > range.upper)
                continue;
            ticks.append(points.x(i));
            if (tickLabels)
                tickLabels->append(points.label(i));
        }
    });
}

QString ValueTicker::getTickLabel(double tick, const QLocale&, QChar, int)
{
    return formatAxisValue(tick);
}

SeriesLegendItem::SeriesLegendItem(QCPLegend* legend, const ChartSeries& series)
    : QCPAbstractLegendItem(legend), series_(series)
{
}

void SeriesLegendItem::draw(QCPPainter* painter)
{
    const QRect r = mRect;
    const int middle = r.top() + r.height() / 2;
    painter->setPen(QPen(series_.color(), 1));
    painter->drawLine(QLineF(r.left(), middle, r.left() + LegendLineLength, middle));
    painter->setFont(mFont);
    painter->setPen(mTextColor);
    const QRect text(r.left() + LegendLineLength + LegendPadding, r.top(), r.width(), r.height());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, series_.title());
}

QSize SeriesLegendItem::minimumOuterSizeHint() const
{
    const QFontMetrics metrics(mFont);
    const QSize text = metrics.size(Qt::TextSingleLine, series_.title());
    return QSize(LegendLineLength + LegendPadding + text.width(), text.height()) +
           QSize(mMargins.left() + mMargins.right(), mMargins.top() + mMargins.bottom());
}
