#pragma once
// The chart's drawing pieces over QCustomPlot; only Chart.cpp includes this.
#include <qcustomplot.h>

#include <QImage>
#include <memory>
#include <vector>

#include "chart/ChartSeries.h"

using SeriesList = std::vector<std::unique_ptr<ChartSeries>>;

// Draws every shown series inside the axis rect, under the axes. On screen it
// rasterises into an image of its own and lays that on the buffer; a page
// or any other vector device gets plain polylines.
class CurveLayer : public QCPLayerable {
public:
    CurveLayer(QCustomPlot* plot, const SeriesList& series);
    // Off the screen nothing is drawn into the plot's buffers.
    void setShownOnScreen(bool shown) { shownOnScreen_ = shown; }
    // A page gets plain polylines, whatever its device.
    void setPrinting(bool printing) { printing_ = printing; }

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    QRect clipRect() const override;
    void draw(QCPPainter* painter) override;

private:
    void drawRaster(QCPPainter* painter, const QRect& area);
    void drawVector(QCPPainter* painter, const QRect& area);

    const SeriesList& series_;
    QImage image_;
    bool shownOnScreen_ = false;
    bool printing_ = false;
};

// A buffered layer that can redraw a part of itself and show just that
// part: a crosshair changes a few lines of pixels, and a mouse move must
// not cost a picture of the whole chart.
class PartialLayer : public QCPLayer {
public:
    using QCPLayer::QCPLayer;
    // Clears the region of the layer's buffer, draws the layer's content
    // there again and shows it. The buffer must hold the plot's last drawing.
    void replotRegion(const QRegion& region);
};

// What the mouse draws over the chart: crosshairs and the zoom rectangle,
// on a buffered layer of their own above everything, so they redraw alone.
class OverlayLayer : public QCPLayerable {
public:
    OverlayLayer(QCustomPlot* plot, const QString& layer);

    struct CrossHair {
        QPoint at;
        QColor color;
        Qt::PenStyle style;
    };
    void toggleCrossHair(const CrossHair& crossHair);
    // The pixels a crosshair through a point covers.
    QRegion crossHairRegion(const QPoint& at) const;
    void clearCrossHairs() { crossHairs_.clear(); }
    int crossHairCount() const { return int(crossHairs_.size()); }
    void setZoomRect(const QRect& rect) { zoomRect_ = rect; }

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    std::vector<CrossHair> crossHairs_;
    QRect zoomRect_;
};

// Ticks of the bottom axis at points of the label series, written with the
// points' labels and spaced so that the labels do not overlap. A tick sits on
// the first point of each step of X, so the ticks travel with the points.
class PointLabelTicker : public QCPAxisTicker {
public:
    PointLabelTicker(const QCPAxis& axis, const SeriesList& series);

    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels) override;

private:
    const ChartSeries* labelSeries() const;
    double stepFor(const QCPRange& range, const ChartSeries& series) const;

    const QCPAxis& axis_;
    const SeriesList& series_;
};

// Ticks of the left axis, labelled as formatAxisValue writes values.
class ValueTicker : public QCPAxisTicker {
protected:
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;
};

// A legend entry: a short line in the series' colour and its title.
class SeriesLegendItem : public QCPAbstractLegendItem {
public:
    SeriesLegendItem(QCPLegend* legend, const ChartSeries& series);
    QSize minimumOuterSizeHint() const override;

protected:
    void draw(QCPPainter* painter) override;

private:
    const ChartSeries& series_;
};
