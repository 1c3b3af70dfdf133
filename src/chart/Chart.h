#pragma once
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "chart/ChartAxis.h"
#include "chart/ChartSeries.h"

class QMouseEvent;
class QPaintDevice;

// A line chart of many series against a shared X axis: title, a plot area
// with a left and a bottom axis, an optional legend below. The bottom axis
// writes the labels of the points at its ticks. Changes are drawn once,
// on the next pass of the event loop and only while the chart is on the
// screen; a hidden chart just keeps its points.
//
// The mouse zooms by dragging a rectangle down and to the right, undoes the
// zoom by dragging up and to the left, and scrolls with the right button.
class Chart : public QWidget {
    Q_OBJECT
public:
    explicit Chart(QWidget* parent = nullptr);
    ~Chart() override;

    int seriesCount() const;
    ChartSeries& series(int index);
    const ChartSeries& series(int index) const;
    // A new series after the others, drawn over them, in the next colour of
    // the chart's palette.
    ChartSeries& addSeries();
    void removeAllSeries();

    // Smallest and largest X and Y of the active series; 0 without points.
    double minXValue() const;
    double maxXValue() const;
    double minYValue() const;
    double maxYValue() const;

    ChartAxis& leftAxis() { return leftAxis_; }
    ChartAxis& bottomAxis() { return bottomAxis_; }

    void setTitle(const QString& text);
    QString title() const;
    void setTitleFont(const QFont& font);
    void setTitleColor(const QColor& color);
    // The back wall behind the curves, filled solid once set.
    void setBackColor(const QColor& color);
    QColor backColor() const { return backColor_; }
    // The chart's surface around the plot area.
    void setPanelColor(const QColor& color);
    // The legend, one entry per series, sits below the plot area.
    void setLegendVisible(bool visible);
    bool isLegendVisible() const { return legendVisible_; }
    void setLegendFont(const QFont& font);

    // Every axis keeps its centre and each end moves inward by
    // (percent - 100) % of its span: 115 narrows, 85 widens. The axes become
    // manual; the first zoom or scroll keeps their state for undoZoom.
    void zoomPercent(double percent);
    // Axes back to the state kept by the first zoom or scroll, if any.
    void undoZoom();
    bool isZoomed() const { return zoomKept_; }

    // The plot area inside the axes, in the chart's own pixels.
    QRect plotRect() const;
    double xValueAt(int x) const;
    double yValueAt(int y) const;
    QString leftAxisLabel(double value) const;
    // The bottom axis's ticks as last drawn: where each stands and its label.
    struct AxisTick {
        double at;
        QString label;
    };
    std::vector<AxisTick> bottomAxisTicks() const;

    // A crosshair over the plot area through (x, y), drawn on top without
    // redrawing the curves. Drawing the same one again takes it away; any
    // redraw of the whole chart wipes them all.
    void toggleCrossHair(int x, int y, const QColor& color, Qt::PenStyle style = Qt::SolidLine);
    int crossHairCount() const;

    // Room around the title, the axes and the legend, in percent of the
    // chart's width (left, right) and height (top, bottom); none at first.
    void setMargins(int left, int top, int right, int bottom);
    // Margins in percent of the page, for print and preview.
    void setPrintMargins(int left, int top, int right, int bottom);
    QRect printArea(const QRect& page) const;
    // Draws the chart onto a page (a printer, an image), laid out afresh for
    // the page's area within the margins: title, axes, labels and legend at
    // their screen size in the page's units, the curves filling the rest.
    void print(QPaintDevice& page);
    // The print preview of a landscape page, modal; its printing draws what
    // it shows. The chart is redrawn when it closes.
    void showPrintPreview();

    // Draws the whole chart now.
    void replot();

signals:
    void zoomed();
    void zoomUndone();
    void scrolled();
    void mouseMoved(int x, int y);

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend class ChartSeries;
    friend class ChartAxis;
    struct Private;

    // Axis ranges, legend and crosshairs made ready for the drawing to come.
    void prepareReplot();
    // The mouse: a left drag zooms or undoes, a right drag scrolls.
    void startDrag(QMouseEvent* event);
    void followMouse(QMouseEvent* event);
    void endDrag(QMouseEvent* event);
    void contentChanged();
    void legendChanged();
    void replotIfPending();
    // Draws now what changed since the last drawing, if anything did.
    void drawPendingChanges();
    // Axis ranges into the plot, and the legend wrapped for the width.
    void syncView(int layoutWidth);
    void placeLegend(bool shown);
    void keepAxesForUndo();
    void zoomTo(const QRect& pixels);
    void scrollBy(const QPoint& pixels);

    std::unique_ptr<Private> d_;
    ChartAxis leftAxis_{*this, ChartAxis::Direction::Vertical};
    ChartAxis bottomAxis_{*this, ChartAxis::Direction::Horizontal};
    QColor backColor_{Qt::white};
    bool legendVisible_ = false;
    bool replotPending_ = false;
    bool zoomKept_ = false;
    struct AxisState {
        bool automatic;
        double minimum, maximum;
    };
    AxisState keptLeft_{}, keptBottom_{};
    QMargins printMargins_{15, 15, 15, 15};
};
