#pragma once

class Chart;

// One axis of a chart. An automatic axis spans the data of the active series
// (X for the bottom axis, Y for the left one); a manual one keeps its range.
class ChartAxis {
public:
    ChartAxis(const ChartAxis&) = delete;
    ChartAxis& operator=(const ChartAxis&) = delete;

    bool isAutomatic() const { return automatic_; }
    void setAutomatic(bool automatic);
    // The range in force: the data's for an automatic axis.
    double minimum() const;
    double maximum() const;
    // These make the axis manual; the other end stays where it is. One end
    // alone never passes the other: that throws std::invalid_argument, so a
    // caller moving both sets them in the order that keeps them apart.
    void setMinMax(double minimum, double maximum);
    void setMinimum(double minimum);
    void setMaximum(double maximum);

private:
    friend class Chart;
    enum class Direction { Horizontal, Vertical };
    ChartAxis(Chart& chart, Direction direction) : chart_(chart), direction_(direction) {}

    Chart& chart_;
    Direction direction_;
    bool automatic_ = true;
    double minimum_ = 0;
    double maximum_ = 0;
};
