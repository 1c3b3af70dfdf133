#pragma once
#include <QColor>
#include <QString>
#include <functional>

#include "chart/ColumnPoints.h"
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

    int count() const { return showsColumn_ ? column_.count() : points_.count(); }
    double xValue(int index) const { return showsColumn_ ? column_.x(index) : points_.x(index); }
    double yValue(int index) const { return showsColumn_ ? column_.y(index) : points_.y(index); }
    QString label(int index) const { return showsColumn_ ? column_.label(index) : points_.label(index); }
    // X of the last point; 0 for an empty series.
    double lastX() const;
    // Calls f with the points shown: the series' own PointBuffer or the
    // ColumnPoints it shows.
    template <typename F>
    decltype(auto) visitPoints(F&& f) const
    {
        return showsColumn_ ? f(column_) : f(points_);
    }

    // A series showing a column takes no single points: clear it first.
    void addPoint(double x, double y, const QString& label);
    // Out-of-range indices are ignored.
    void deletePoint(int index);
    // Drops the points, the series' own and a column's.
    void clear();
    // Shows the column's points in place of the series' own, which go.
    void showColumn(ColumnPoints column);
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
    ColumnPoints column_;
    bool showsColumn_ = false;
    QString title_;
    QColor color_{Qt::red};
    bool active_ = true;
    bool lineVisible_ = true;
    int penWidth_ = 1;
    std::function<void()> afterDrawValues_;
};
