#include "chart/ChartAxis.h"

#include <stdexcept>

#include "chart/Chart.h"

void ChartAxis::setAutomatic(bool automatic)
{
    if (!automatic && automatic_) {
        minimum_ = minimum();
        maximum_ = maximum();
    }
    automatic_ = automatic;
    chart_.contentChanged();
}

double ChartAxis::minimum() const
{
    if (!automatic_)
        return minimum_;
    return direction_ == Direction::Horizontal ? chart_.minXValue() : chart_.minYValue();
}

double ChartAxis::maximum() const
{
    if (!automatic_)
        return maximum_;
    return direction_ == Direction::Horizontal ? chart_.maxXValue() : chart_.maxYValue();
}

void ChartAxis::setMinMax(double minimum, double maximum)
{
    automatic_ = false;
    minimum_ = minimum;
    maximum_ = maximum;
    chart_.contentChanged();
}

void ChartAxis::setMinimum(double minimum)
{
    if (minimum > maximum())
        throw std::invalid_argument("Axis minimum value must be <= maximum");
    setMinMax(minimum, maximum());
}

void ChartAxis::setMaximum(double maximum)
{
    if (maximum < minimum())
        throw std::invalid_argument("Axis maximum value must be >= minimum");
    setMinMax(minimum(), maximum);
}
