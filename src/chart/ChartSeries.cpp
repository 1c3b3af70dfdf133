#include "chart/ChartSeries.h"

#include <QRandomGenerator>

#include "chart/Chart.h"

ChartSeries::ChartSeries(Chart& chart, LabelStore& labels) : chart_(chart), points_(labels) {}

void ChartSeries::setTitle(const QString& title)
{
    title_ = title;
    chart_.legendChanged();
}

void ChartSeries::setColor(const QColor& color)
{
    color_ = color;
    chart_.legendChanged();
}

void ChartSeries::setActive(bool active)
{
    if (active_ == active)
        return;
    active_ = active;
    chart_.contentChanged();
}

void ChartSeries::setLineVisible(bool visible)
{
    if (lineVisible_ == visible)
        return;
    lineVisible_ = visible;
    chart_.contentChanged();
}

void ChartSeries::setPenWidth(int width)
{
    penWidth_ = width < 1 ? 1 : width;
    chart_.contentChanged();
}

double ChartSeries::lastX() const
{
    return count() == 0 ? 0 : xValue(count() - 1);
}

void ChartSeries::addPoint(double x, double y, const QString& label)
{
    Q_ASSERT(!showsColumn_);
    points_.append(x, y, label);
    chart_.contentChanged();
}

void ChartSeries::deletePoint(int index)
{
    Q_ASSERT(!showsColumn_);
    points_.remove(index);
    chart_.contentChanged();
}

void ChartSeries::clear()
{
    points_.clear();
    column_ = ColumnPoints();
    showsColumn_ = false;
    chart_.contentChanged();
}

void ChartSeries::showColumn(ColumnPoints column)
{
    points_.clear();
    column_ = std::move(column);
    showsColumn_ = true;
    chart_.contentChanged();
}

void ChartSeries::fillSampleValues(int count)
{
    clear();
    QRandomGenerator random(1);
    double value = 500;
    for (int i = 0; i < count; ++i) {
        value += random.bounded(-50, 51);
        points_.append(i, value, QString());
    }
    chart_.contentChanged();
}

void ChartSeries::afterDrawValues() const
{
    if (afterDrawValues_)
        afterDrawValues_();
}
