#pragma once
#include <QColor>
#include <QString>
#include <functional>

#include "chart/PointBuffer.h"

class Chart;

// One curve of a chart: points joined by straight lines in the series' colour.
// X values are expected in ascending order, as every series here adds them.
class ChartSeries {
public:
    ChartSeries(const ChartSeries&) = delete;
    ChartSeries& operator=(const ChartSeries&) = delete;

    const QString& title() const { return title_; }
    void setTitle(const QString& title);
    const QColor& color() const { return color_; }
    void setColor(const QColor& color);
    // An inactive series is neither drawn nor counted in the axis ranges.
    bool isActive() const { return active_; }
    void setActive(bool active);
    // A series whose line is hidden still counts in the axis ranges, the
    // legend and the point look-ups; only its line is not drawn.
    bool isLineVisible() const { return lineVisible_; }
    void setLineVisible(bool visible);
    int penWidth() const { return penWidth_; }
    void setPenWidth(int width);

    int count() const { return points_.count(); }
    double xValue(int index) const { return points_.x(index); }
    double yValue(int index) const { return points_.y(index); }
    const QString& label(int index) const { return points_.label(index); }
    // X of the last point; 0 for an empty series.
    double lastX() const;
    const PointBuffer& points() const { return points_; }

    void addPoint(double x, double y, const QString& label);
    // Out-of-range indices are ignored.
    void deletePoint(int index);
    void clear();
    // Replaces the points by count made-up values at X 0, 1, 2 ...
    void fillSampleValues(int count);

    // Called each time the chart has drawn its curves.
    void setAfterDrawValues(std::function<void()> handler) { afterDrawValues_ = std::move(handler); }
    void afterDrawValues() const;

private:
    friend class Chart;
    ChartSeries(Chart& chart, LabelStore& labels);

    Chart& chart_;
    PointBuffer points_;
    QString title_;
    QColor color_{Qt::red};
    bool active_ = true;
    bool lineVisible_ = true;
    int penWidth_ = 1;
    std::function<void()> afterDrawValues_;
};
