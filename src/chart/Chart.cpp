#include "chart/Chart.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/AxisValueFormat.h"
#include "chart/ChartPlot.h"

namespace {

// A mouse drag shorter than this, both ways, is a click.
constexpr int DragThreshold = 3;

// The colours that new series take in turn; none vanishes on the white back wall.
const QColor SeriesPalette[] = {
    QColor(255, 0, 0),   QColor(0, 128, 0),   QColor(255, 255, 0), QColor(0, 0, 255),     QColor(128, 128, 128),
    QColor(255, 0, 255), QColor(0, 128, 128), QColor(0, 0, 128),   QColor(128, 0, 0),     QColor(0, 255, 0),
    QColor(128, 128, 0), QColor(128, 0, 128), QColor(192, 192, 192), QColor(0, 255, 255), QColor(0, 0, 0),
    QColor(192, 220, 192), QColor(166, 202, 240), QColor(160, 160, 164),
};

// Margins given in percent, left and right of a width, top and bottom of a
// height, in pixels of that size.
QMargins percentOf(const QMargins& percents, const QSize& size)
{
    return QMargins(size.width() * percents.left() / 100, size.height() * percents.top() / 100,
                    size.width() * percents.right() / 100, size.height() * percents.bottom() / 100);
}

class Plot : public QCustomPlot {
public:
    using QCustomPlot::QCustomPlot;
    using QCustomPlot::hasInvalidatedPaintBuffers;
    using QCustomPlot::updateLayout;

    void setMarginPercents(const QMargins& percents) { marginPercents_ = percents; }
    // The width that the title, the axes and the legend share in a viewport.
    int layoutWidth(int viewportWidth) const
    {
        const QMargins margins = percentOf(marginPercents_, QSize(viewportWidth, 0));
        return viewportWidth - margins.left() - margins.right();
    }

    // The bottom axis picks its ticks for the axis rect's width before the
    // layout places it, so a new size takes one layout pass ahead.
    void layOutFor(const QRect& viewport)
    {
        setViewport(viewport);
        plotLayout()->setMargins(percentOf(marginPercents_, viewport.size()));
        updateLayout();
    }

    // A layer on top of all, buffered on its own.
    PartialLayer* addTopLayer(const QString& name)
    {
        auto* layer = new PartialLayer(this, name);
        mLayers.append(layer);
        updateLayerIndices();
        layer->setMode(QCPLayer::lmBuffered);
        return layer;
    }

protected:
    // A region of several rectangles (a crosshair's two bands) is drawn one
    // rectangle at a time: the raster engine copies a simple clip fast and
    // a complex one pixel by pixel over its whole bounding box.
    void paintEvent(QPaintEvent* event) override
    {
        if (event->region().rectCount() <= 1) {
            QCustomPlot::paintEvent(event);
            return;
        }
        QCPPainter painter(this);
        for (const QRect& rect : event->region()) {
            painter.setClipRect(rect);
            if (mBackgroundBrush.style() != Qt::NoBrush)
                painter.fillRect(mViewport, mBackgroundBrush);
            drawBackground(&painter);
            for (const QSharedPointer<QCPAbstractPaintBuffer>& buffer : mPaintBuffers)
                buffer->draw(&painter);
        }
    }

    // Else the redraw after a resize spaces the bottom labels for the old
    // width, and a chart that does not change keeps them so.
    void resizeEvent(QResizeEvent* event) override
    {
        layOutFor(rect());
        QCustomPlot::resizeEvent(event);
    }

private:
    QMargins marginPercents_;
};

// QCustomPlot needs lower < upper; a flat or empty range is opened by one
// unit each way, as the data then has no span to show.
QCPRange viewRange(double minimum, double maximum)
{
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (!(maximum - minimum > std::abs(maximum) * 1e-12))
        return QCPRange(minimum - 1, maximum + 1);
    return QCPRange(minimum, maximum);
}

// Fonts sized in pixels are not scaled again by a page's resolution, so a
// page drawn under a scale keeps the proportions measured on the screen.
QFont inPixels(const QFont& font, int dpi)
{
    if (font.pixelSize() > 0)
        return font;
    QFont sized = font;
    sized.setPixelSize(std::max(1, qRound(font.pointSizeF() * dpi / 72.0)));
    return sized;
}

} // namespace

struct Chart::Private {
    LabelStore labels;
    SeriesList series;
    Plot* plot = nullptr;
    QCPTextElement* title = nullptr;
    CurveLayer* curves = nullptr;
    PartialLayer* mouseLayer = nullptr;
    OverlayLayer* overlay = nullptr;
    bool legendDirty = true;
    Qt::MouseButton dragButton = Qt::NoButton;
    QPoint dragStart;
    QPoint dragLast;
};

Chart::Chart(QWidget* parent) : QWidget(parent), d_(std::make_unique<Private>())
{
    Plot* plot = d_->plot = new Plot(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot);

    plot->setMouseTracking(true);
    plot->setNotAntialiasedElements(QCP::aeAll);
    plot->setNoAntialiasingOnDrag(true);
    plot->plotLayout()->insertRow(0);
    d_->title = new QCPTextElement(plot, QString());
    plot->plotLayout()->addElement(0, 0, d_->title);
    plot->xAxis->setTicker(QSharedPointer<PointLabelTicker>::create(*plot->xAxis, d_->series));
    plot->yAxis->setTicker(QSharedPointer<ValueTicker>::create());
    d_->curves = new CurveLayer(plot, d_->series);
    d_->mouseLayer = plot->addTopLayer(QStringLiteral("mouse"));
    d_->overlay = new OverlayLayer(plot, d_->mouseLayer->name());
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
        axis->setTickLabelFont(inPixels(axis->tickLabelFont(), logicalDpiY()));
        axis->setLabelFont(inPixels(axis->labelFont(), logicalDpiY()));
    }
    plot->legend->setFont(inPixels(plot->legend->font(), logicalDpiY()));
    plot->axisRect()->insetLayout()->take(plot->legend);
    plot->legend->setVisible(false);
    plot->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);

    connect(plot, &QCustomPlot::beforeReplot, this, &Chart::prepareReplot);
    connect(plot, &QCustomPlot::mousePress, this, &Chart::startDrag);
    connect(plot, &QCustomPlot::mouseMove, this, &Chart::followMouse);
    connect(plot, &QCustomPlot::mouseRelease, this, &Chart::endDrag);
}

void Chart::prepareReplot()
{
    const bool seen = isVisible();
    d_->curves->setShownOnScreen(seen);
    syncView(d_->plot->layoutWidth(width()));
    replotPending_ = !seen;
    d_->overlay->clearCrossHairs();
}

void Chart::startDrag(QMouseEvent* event)
{
    d_->dragButton = event->button();
    d_->dragStart = d_->dragLast = event->pos();
}

void Chart::followMouse(QMouseEvent* event)
{
    // A change still to be drawn is drawn first: a handler that erases
    // the crosshair it drew must find it still there, and the axes as
    // the screen shows them.
    drawPendingChanges();
    emit mouseMoved(event->pos().x(), event->pos().y());
    if (d_->dragButton == Qt::LeftButton) {
        d_->overlay->setZoomRect(QRect(d_->dragStart, event->pos()));
        d_->overlay->layer()->replot();
    } else if (d_->dragButton == Qt::RightButton) {
        scrollBy(event->pos() - d_->dragLast);
        d_->dragLast = event->pos();
    }
}

void Chart::endDrag(QMouseEvent* event)
{
    const Qt::MouseButton button = d_->dragButton;
    d_->dragButton = Qt::NoButton;
    if (button != Qt::LeftButton)
        return;
    d_->overlay->setZoomRect(QRect());
    d_->overlay->layer()->replot();
    const QPoint moved = event->pos() - d_->dragStart;
    if (moved.x() < -DragThreshold || moved.y() < -DragThreshold)
        undoZoom();
    else if (moved.x() > DragThreshold && moved.y() > DragThreshold)
        zoomTo(QRect(d_->dragStart, event->pos()));
}

Chart::~Chart()
{
    // The legend items and the layers refer to the series: let the plot go first.
    delete d_->plot;
}

int Chart::seriesCount() const
{
    return int(d_->series.size());
}

ChartSeries& Chart::series(int index)
{
    return *d_->series.at(std::size_t(index));
}

const ChartSeries& Chart::series(int index) const
{
    return *d_->series.at(std::size_t(index));
}

ChartSeries& Chart::addSeries()
{
    auto* series = new ChartSeries(*this, d_->labels);
    series->color_ = SeriesPalette[d_->series.size() % std::size(SeriesPalette)];
    d_->series.push_back(std::unique_ptr<ChartSeries>(series));
    legendChanged();
    return *series;
}

void Chart::removeAllSeries()
{
    d_->plot->legend->clearItems();
    d_->series.clear();
    legendChanged();
}

double Chart::minXValue() const
{
    double v = std::numeric_limits<double>::infinity();
    for (const auto& s : d_->series)
        if (s->isActive() && s->count() > 0)
            v = std::min(v, s->xValue(0));
    return std::isinf(v) ? 0 : v;
}

double Chart::maxXValue() const
{
    double v = -std::numeric_limits<double>::infinity();
    for (const auto& s : d_->series)
        if (s->isActive() && s->count() > 0)
            v = std::max(v, s->lastX());
    return std::isinf(v) ? 0 : v;
}

double Chart::minYValue() const
{
    double v = std::numeric_limits<double>::infinity();
    for (const auto& s : d_->series)
        if (s->isActive())
            for (int i = 0; i < s->count(); ++i)
                v = std::min(v, s->yValue(i));
    return std::isinf(v) ? 0 : v;
}

double Chart::maxYValue() const
{
    double v = -std::numeric_limits<double>::infinity();
    for (const auto& s : d_->series)
        if (s->isActive())
            for (int i = 0; i < s->count(); ++i)
                v = std::max(v, s->yValue(i));
    return std::isinf(v) ? 0 : v;
}

void Chart::setTitle(const QString& text)
{
    d_->title->setText(text);
    contentChanged();
}

QString Chart::title() const
{
    return d_->title->text();
}

void Chart::setTitleFont(const QFont& font)
{
    d_->title->setFont(inPixels(font, logicalDpiY()));
    contentChanged();
}

void Chart::setTitleColor(const QColor& color)
{
    d_->title->setTextColor(color);
    contentChanged();
}

void Chart::setBackColor(const QColor& color)
{
    backColor_ = color;
    d_->plot->axisRect()->setBackground(QBrush(color));
    contentChanged();
}

void Chart::setPanelColor(const QColor& color)
{
    d_->plot->setBackground(QBrush(color));
    contentChanged();
}

void Chart::setLegendVisible(bool visible)
{
    if (visible == legendVisible_)
        return;
    legendVisible_ = visible;
    legendChanged();
}

void Chart::setLegendFont(const QFont& font)
{
    d_->plot->legend->setFont(inPixels(font, logicalDpiY()));
    legendChanged();
}

void Chart::keepAxesForUndo()
{
    if (zoomKept_)
        return;
    keptLeft_ = {leftAxis_.isAutomatic(), leftAxis_.minimum(), leftAxis_.maximum()};
    keptBottom_ = {bottomAxis_.isAutomatic(), bottomAxis_.minimum(), bottomAxis_.maximum()};
    zoomKept_ = true;
}

void Chart::zoomPercent(double percent)
{
    keepAxesForUndo();
    for (ChartAxis* axis : {&leftAxis_, &bottomAxis_}) {
        const double minimum = axis->minimum(), maximum = axis->maximum();
        const double d = (maximum - minimum) * (percent - 100) * 0.01;
        axis->setMinMax(minimum + d, maximum - d);
    }
    emit zoomed();
}

void Chart::zoomTo(const QRect& pixels)
{
    keepAxesForUndo();
    bottomAxis_.setMinMax(xValueAt(pixels.left()), xValueAt(pixels.right()));
    leftAxis_.setMinMax(yValueAt(pixels.bottom()), yValueAt(pixels.top()));
    emit zoomed();
}

void Chart::scrollBy(const QPoint& pixels)
{
    if (pixels.isNull())
        return;
    keepAxesForUndo();
    const double dx = xValueAt(0) - xValueAt(pixels.x());
    const double dy = yValueAt(0) - yValueAt(pixels.y());
    bottomAxis_.setMinMax(bottomAxis_.minimum() + dx, bottomAxis_.maximum() + dx);
    leftAxis_.setMinMax(leftAxis_.minimum() + dy, leftAxis_.maximum() + dy);
    emit scrolled();
}

void Chart::undoZoom()
{
    if (zoomKept_) {
        for (auto [axis, kept] : {std::pair{&leftAxis_, keptLeft_}, std::pair{&bottomAxis_, keptBottom_}}) {
            axis->setMinMax(kept.minimum, kept.maximum);
            axis->setAutomatic(kept.automatic);
        }
        zoomKept_ = false;
    }
    emit zoomUndone();
}

QRect Chart::plotRect() const
{
    return d_->plot->axisRect()->rect();
}

double Chart::xValueAt(int x) const
{
    return d_->plot->xAxis->pixelToCoord(x);
}

double Chart::yValueAt(int y) const
{
    return d_->plot->yAxis->pixelToCoord(y);
}

QString Chart::leftAxisLabel(double value) const
{
    return formatAxisValue(value);
}

std::vector<Chart::AxisTick> Chart::bottomAxisTicks() const
{
    const QVector<double> positions = d_->plot->xAxis->tickVector();
    const QVector<QString> labels = d_->plot->xAxis->tickVectorLabels();
    std::vector<AxisTick> ticks;
    for (qsizetype i = 0; i < positions.size() && i < labels.size(); ++i)
        ticks.push_back({positions[i], labels[i]});
    return ticks;
}

void Chart::toggleCrossHair(int x, int y, const QColor& color, Qt::PenStyle style)
{
    drawPendingChanges();
    d_->overlay->toggleCrossHair({QPoint(x, y), color, style});
    d_->mouseLayer->replotRegion(d_->overlay->crossHairRegion(QPoint(x, y)));
}

int Chart::crossHairCount() const
{
    return d_->overlay->crossHairCount();
}

void Chart::setMargins(int left, int top, int right, int bottom)
{
    d_->plot->setMarginPercents(QMargins(left, top, right, bottom));
    d_->plot->layOutFor(d_->plot->viewport());
    legendChanged();
}

void Chart::setPrintMargins(int left, int top, int right, int bottom)
{
    printMargins_ = QMargins(left, top, right, bottom);
}

QRect Chart::printArea(const QRect& page) const
{
    return page.marginsRemoved(percentOf(printMargins_, page.size()));
}

void Chart::print(QPaintDevice& page)
{
    const QRect area = printArea(QRect(0, 0, page.width(), page.height()));
    // The layout is made in screen pixels and drawn scaled to the page's.
    const double scaleX = double(page.logicalDpiX()) / logicalDpiX();
    const double scaleY = double(page.logicalDpiY()) / logicalDpiY();
    const int width = qRound(area.width() / scaleX), height = qRound(area.height() / scaleY);
    if (width <= 0 || height <= 0)
        return;
    d_->legendDirty = true;
    syncView(d_->plot->layoutWidth(width));
    d_->curves->setPrinting(true);
    d_->overlay->setVisible(false);
    const QRect screen = d_->plot->viewport();
    d_->plot->layOutFor(QRect(0, 0, width, height));
    QCPPainter painter(&page);
    painter.setMode(QCPPainter::pmVectorized);
    painter.setClipRect(area);
    painter.translate(area.topLeft());
    painter.scale(scaleX, scaleY);
    d_->plot->toPainter(&painter, width, height);
    painter.end();
    d_->curves->setPrinting(false);
    d_->overlay->setVisible(true);
    // Back to the screen's layout and legend.
    d_->plot->layOutFor(screen);
    legendChanged();
    replot();
}

void Chart::showPrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog dialog(&printer);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { print(*p); });
    dialog.exec();
    replot();
}

void Chart::replot()
{
    d_->plot->replot(QCustomPlot::rpQueuedRefresh);
}

void Chart::drawPendingChanges()
{
    if (replotPending_ || d_->plot->hasInvalidatedPaintBuffers())
        replot();
}

void Chart::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (replotPending_)
        replot();
}

void Chart::contentChanged()
{
    if (replotPending_)
        return;
    replotPending_ = true;
    if (isVisible())
        QMetaObject::invokeMethod(this, &Chart::replotIfPending, Qt::QueuedConnection);
}

void Chart::legendChanged()
{
    d_->legendDirty = true;
    contentChanged();
}

void Chart::replotIfPending()
{
    if (replotPending_ && isVisible())
        replot();
}

void Chart::syncView(int layoutWidth)
{
    d_->plot->xAxis->setRange(viewRange(bottomAxis_.minimum(), bottomAxis_.maximum()));
    d_->plot->yAxis->setRange(viewRange(leftAxis_.minimum(), leftAxis_.maximum()));
    if (!d_->legendDirty)
        return;
    QCPLegend* legend = d_->plot->legend;
    legend->clearItems();
    if (legendVisible_) {
        std::vector<SeriesLegendItem*> items;
        int widest = 1;
        for (const auto& s : d_->series) {
            items.push_back(new SeriesLegendItem(legend, *s));
            widest = std::max(widest, items.back()->minimumOuterSizeHint().width());
        }
        legend->setWrap(std::max(1, layoutWidth / (widest + legend->columnSpacing())));
        for (SeriesLegendItem* item : items)
            legend->addItem(item);
    }
    placeLegend(legend->itemCount() > 0);
    d_->legendDirty = false;
}

// The legend takes its row below the plot only while it has entries: the
// width of an empty one would bound the plot's column to next to nothing.
void Chart::placeLegend(bool shown)
{
    QCPLayoutGrid* layout = d_->plot->plotLayout();
    QCPLegend* legend = d_->plot->legend;
    if (shown == (legend->layout() == layout))
        return;
    if (shown) {
        layout->addElement(layout->rowCount(), 0, legend);
        layout->setRowStretchFactor(layout->rowCount() - 1, 0.001);
    } else {
        layout->take(legend);
        layout->simplify();
    }
    legend->setVisible(shown);
}
