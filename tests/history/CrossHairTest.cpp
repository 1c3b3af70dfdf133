// The crosshair under the mouse and its read-out.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "chart/Chart.h"
#include "history/Form1.h"
#include "history/core/ReadOutIndex.h"
#include "support/HistoryDriver.h"
#include "support/WindowDriver.h"

namespace {

const TDateTime Start = EncodeDateTime(2018, 10, 18, 9, 5, 0);

// Low values, so that on the axis' 0 to 1000 the curves keep to its bottom.
float lowValue(std::int64_t k, int j)
{
    return float(k % 7) + 0.25f * float(j);
}

struct IndexCase {
    double x, minX, maxX;
    int points, index;
};

TEST(ReadOutIndex, SharesTheLoadsSpanAmongItsPoints)
{
    const IndexCase cases[] = {
        {499.5, 0, 999, 1000, 500}, {0, 0, 999, 1000, 0},      {998.9, 0, 999, 1000, 999},
        {999, 0, 999, 1000, 999},   {-0.5, 0, 999, 1000, -1},  {999.5, 0, 999, 1000, -1},
        {0, 0, 0, 1, -1},           {3, 2, 4, 3, 1},
    };
    for (const IndexCase& c : cases)
        EXPECT_EQ(readOutIndex(c.x, c.minX, c.maxX, c.points), c.index) << c.x;
}

class CrossHair : public testing::Test {
protected:
    void SetUp() override
    {
        // Fewer records than the plot has columns, so that each is under the mouse somewhere.
        w.open(w.write("h.nx", {.start = Start, .channels = 3, .records = 500, .value = lowValue}));
        w.show(QSize(1200, 800));
    }

    TForm1& form() { return w.form(); }
    // A pixel of the chart as the screen shows it, only the changed parts
    // of the window having been painted again.
    QColor pixel(int x, int y)
    {
        const QPoint at = w.chart().mapTo(&form(), QPoint(x, y));
        return form().screen()->grabWindow(form().winId()).toImage().pixelColor(at);
    }
    QString valueText(int row) { return w.rowValueEdit(row)->text(); }

    HistoryDriver w;
};

// The read-out at known pixels: the plot's left edge is the first record,
// its right edge the last, its bottom row the axis' 0 and its top row next
// to 1000. Every row shows its value of that record, a hidden curve's too.
TEST_F(CrossHair, ReadOutShowsThePointUnderTheCursor)
{
    w.rowCheckBox(2)->click();
    const QLabel* readOut = widget<QLabel>(form(), "Label_histr_oncross");
    const QRect plot = w.chart().plotRect();
    const double yPixel = 1000.0 / plot.height();
    const struct {
        QPoint at;
        QString time;
        double y, tolerance;
        QString values[3];
    } cases[] = {
        {plot.bottomLeft(), "10-18 09:05:00", 0, 0, {"0", "0.25", "0.5"}},
        {plot.topRight(), "10-18 17:24:00", 1000, 2 * yPixel, {"2", "2.25", "2.5"}},
        {plot.bottomRight(), "10-18 17:24:00", 0, 0, {"2", "2.25", "2.5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time.toStdString() + " at " + std::to_string(c.at.y()));
        w.moveMouse(c.at);
        const QString label = readOut->text();
        const QString head = QStringLiteral("当前时刻：") + c.time + QStringLiteral("    Y坐标：");
        const QString tail(6, u' ');
        ASSERT_TRUE(label.startsWith(head) && label.endsWith(tail)) << label.toStdString();
        const QString y = label.mid(head.size(), label.size() - head.size() - tail.size());
        EXPECT_NEAR(QString(y).remove(u',').toDouble(), c.y, c.tolerance) << y.toStdString();
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(valueText(j), c.values[j]) << "row " << j;
    }

    // Off the plot area the crosshair goes and the texts stay; back on it,
    // only the new one shows.
    const QString label = readOut->text();
    w.moveMouse(QPoint(plot.left() - 3, plot.center().y()));
    EXPECT_EQ(w.chart().crossHairCount(), 0);
    EXPECT_EQ(readOut->text(), label);
    EXPECT_EQ(valueText(0), "2");
    w.moveMouse(plot.center());
    EXPECT_EQ(w.chart().crossHairCount(), 1);
}

// Red on the white back wall; a move off the plot takes it away without
// redrawing the curves, and so does a redraw of the chart, which the next
// move knows.
TEST_F(CrossHair, IsRedOnWhiteAndGoesWithoutRedrawingTheCurves)
{
    const QRect plot = w.chart().plotRect();
    const QPoint at = plot.center();
    const QColor red(255, 0, 0), white(255, 255, 255);
    int renders = 0;
    w.chart().series(1).setAfterDrawValues([&] { ++renders; });
    w.moveMouse(at);
    w.moveMouse(at + QPoint(1, 1));
    w.moveMouse(at);
    EXPECT_EQ(renders, 0);
    EXPECT_EQ(pixel(at.x(), plot.top() + 10), red);
    EXPECT_EQ(pixel(plot.right() - 10, at.y()), red);
    EXPECT_EQ(pixel(at.x() + 7, plot.top() + 10), white);
    EXPECT_EQ(w.chart().crossHairCount(), 1);

    w.moveMouse(QPoint(plot.left() - 3, at.y()));
    EXPECT_EQ(pixel(at.x(), plot.top() + 10), white);
    EXPECT_EQ(renders, 0);

    w.moveMouse(at);
    w.chart().replot();
    QApplication::processEvents();
    EXPECT_EQ(renders, 1);
    EXPECT_EQ(pixel(at.x(), plot.top() + 10), white);

    const QPoint next = at + QPoint(20, 10);
    w.moveMouse(next);
    EXPECT_EQ(w.chart().crossHairCount(), 1);
    EXPECT_EQ(pixel(at.x(), plot.top() + 10), white);
    EXPECT_EQ(pixel(next.x(), plot.top() + 10), red);
}

// A zoom not yet drawn when the mouse moves on: the move finds the chart as
// the zoom draws it, so the old crosshair is gone rather than drawn back.
TEST_F(CrossHair, AChangeNotYetDrawnIsDrawnBeforeTheMove)
{
    const QRect plot = w.chart().plotRect();
    const QPoint at = plot.center();
    w.moveMouse(at);
    widget<QPushButton>(form(), "Button11")->click();
    const QPoint next = at + QPoint(20, 10);
    w.moveMouse(next);
    EXPECT_EQ(w.chart().crossHairCount(), 1);
    EXPECT_EQ(pixel(at.x(), plot.top() + 10), QColor(Qt::white));
    EXPECT_EQ(pixel(next.x(), plot.top() + 10), QColor(Qt::red));
}

TEST(CrossHairBeforeAnyFile, DrawsAndChangesNothing)
{
    HistoryDriver w;
    w.show(QSize(1200, 800));
    w.form().Chart2MouseMove(w.chart().plotRect().center().x(), w.chart().plotRect().center().y());
    EXPECT_EQ(w.chart().crossHairCount(), 0);
    EXPECT_EQ(widget<QLabel>(w.form(), "Label_histr_oncross")->text(), QStringLiteral("当前时刻： X坐标："));
}

} // namespace
