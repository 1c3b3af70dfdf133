#include <gtest/gtest.h>

#include "chart/PointBuffer.h"

namespace {

// A buffer that slid past its first ring size keeps its points in order.
TEST(PointBuffer, SlidingKeepsOrderAndCount)
{
    LabelStore labels;
    PointBuffer points(labels);
    for (int i = 0; i < 1000; ++i)
        points.append(i, 0, QStringLiteral(" "));
    for (int tick = 0; tick < 2500; ++tick) {
        points.remove(0);
        points.append(1000 + tick, tick, QStringLiteral("t%1").arg(tick));
    }
    ASSERT_EQ(points.count(), 1000);
    EXPECT_EQ(points.x(0), 2500);
    EXPECT_EQ(points.x(999), 3499);
    EXPECT_EQ(points.y(0), 1500);
    EXPECT_EQ(points.y(999), 2499);
    EXPECT_EQ(points.label(999), QStringLiteral("t2499"));
    EXPECT_EQ(points.label(0), QStringLiteral("t1500"));
}

TEST(PointBuffer, GrowsBeyondItsFirstRingAfterSliding)
{
    LabelStore labels;
    PointBuffer points(labels);
    for (int i = 0; i < 1024; ++i)
        points.append(i, i, QString());
    for (int i = 0; i < 100; ++i)
        points.remove(0);
    for (int i = 1024; i < 3000; ++i)
        points.append(i, i, QString());
    ASSERT_EQ(points.count(), 2900);
    for (int i = 0; i < points.count(); i += 97) {
        EXPECT_EQ(points.x(i), 100 + i);
        EXPECT_EQ(points.y(i), 100 + i);
    }
}

// X values that do not run one apart are kept as given, and so are those
// around a point taken from the middle.
TEST(PointBuffer, IrregularXValuesAreKept)
{
    LabelStore labels;
    PointBuffer points(labels);
    for (double x : {0.0, 1.0, 2.0, 3.5, 7.0})
        points.append(x, x * 10, QString());
    EXPECT_EQ(points.x(2), 2.0);
    EXPECT_EQ(points.x(3), 3.5);
    EXPECT_EQ(points.x(4), 7.0);

    PointBuffer middle(labels);
    for (int i = 0; i < 5; ++i)
        middle.append(10 + i, i, QStringLiteral("p%1").arg(i));
    middle.remove(2);
    ASSERT_EQ(middle.count(), 4);
    EXPECT_EQ(middle.x(1), 11);
    EXPECT_EQ(middle.x(2), 13);
    EXPECT_EQ(middle.y(2), 3);
    EXPECT_EQ(middle.label(2), QStringLiteral("p3"));
    middle.append(20, 9, QString());
    EXPECT_EQ(middle.x(4), 20);
}

TEST(PointBuffer, OutOfRangeRemoveIsIgnored)
{
    LabelStore labels;
    PointBuffer points(labels);
    points.remove(0);
    points.append(5, 1, QString());
    points.remove(-1);
    points.remove(1);
    ASSERT_EQ(points.count(), 1);
    EXPECT_EQ(points.x(0), 5);
}

TEST(PointBuffer, BoundsFindTheXRange)
{
    LabelStore labels;
    PointBuffer points(labels);
    for (int i = 0; i < 10; ++i)
        points.append(100 + i, 0, QString());
    EXPECT_EQ(points.lowerBound(103), 3);
    EXPECT_EQ(points.upperBound(103), 4);
    EXPECT_EQ(points.lowerBound(103.5), 4);
    EXPECT_EQ(points.lowerBound(50), 0);
    EXPECT_EQ(points.upperBound(500), 10);
}

// All series of one tick share the tick's label: one stored text, freed
// when the last point carrying it goes.
TEST(LabelStore, OneTickLabelIsStoredOnceAndFreedWithItsPoints)
{
    LabelStore labels;
    {
        std::vector<std::unique_ptr<PointBuffer>> series;
        for (int s = 0; s < 50; ++s)
            series.push_back(std::make_unique<PointBuffer>(labels));
        for (int tick = 0; tick < 3; ++tick) {
            const QString label = QStringLiteral("24-05-01 12:00:0%1").arg(tick);
            for (auto& points : series)
                points->append(tick, 0, label);
        }
        EXPECT_EQ(labels.liveCount(), 3);
        for (auto& points : series)
            points->remove(0);
        EXPECT_EQ(labels.liveCount(), 2);
        EXPECT_EQ(series[7]->label(0), QStringLiteral("24-05-01 12:00:01"));
        series.front()->clear();
        EXPECT_EQ(labels.liveCount(), 2);
    }
    EXPECT_EQ(labels.liveCount(), 0);
}

// A freed entry is not revived by the same text: the new owner gets a
// counted entry of its own.
TEST(LabelStore, FreedEntryIsNotRevived)
{
    LabelStore labels;
    const auto a = labels.acquire(QStringLiteral("a"));
    labels.release(a);
    const auto again = labels.acquire(QStringLiteral("a"));
    const auto b = labels.acquire(QStringLiteral("b"));
    EXPECT_NE(again, b);
    EXPECT_EQ(labels.text(again), QStringLiteral("a"));
    EXPECT_EQ(labels.text(b), QStringLiteral("b"));
    EXPECT_EQ(labels.liveCount(), 2);
    EXPECT_EQ(labels.acquire(QString()), 0u);
}

} // namespace
