// The crosshair under the mouse and its read-out.
#include "HistoryWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "chart/AxisValueFormat.h"
#include "history/core/ReadOutIndex.h"
#include "platform/Conversions.h"
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
        w.open(w.write("h.nx", {.start = Start, .channels = 3, .records = 1000, .value = lowValue}));
        showWindow();
    }

    void showWindow()
    {
        form().resize(1200, 800);
        form().show();
        QApplication::processEvents();
    }
    TForm1& form() { return w.form(); }
    // A real mouse move over the chart, to whatever widget of it lies there.
    void moveTo(QPoint at)
    {
        QWidget* target = w.chart().childAt(at);
        ASSERT_NE(target, nullptr);
        const QPoint local = target->mapFrom(&w.chart(), at);
        QMouseEvent move(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QApplication::processEvents();
    }
    // A pixel of the chart as the screen shows it, only the changed parts
    // of the window having been painted again.
    QColor pixel(int x, int y)
    {
        const QPoint at = w.chart().mapTo(&form(), QPoint(x, y));
        return form().screen()->grabWindow(form().winId()).toImage().pixelColor(at);
    }
    QString valueText(int row) { return qobject_cast<QLineEdit*>(form().ChannelControls[3 * row + 1])->text(); }

    HistoryWindow w;
};

// The read-out shows the time of the point under the cursor, the value at
// its height as the axis writes it, and every row's value of that point,
// a hidden curve's too.
TEST_F(CrossHair, ReadOutShowsThePointUnderTheCursor)
{
    qobject_cast<QCheckBox*>(form().ChannelControls[3 * 2])->click();
    const QRect plot = w.chart().plotRect();
    const QPoint at(plot.left() + plot.width() / 3, plot.top() + plot.height() / 4);
    moveTo(at);
    const int index = readOutIndex(w.chart().xValueAt(at.x()), 0, 999, 1000);
    ASSERT_GE(index, 0);
    const TDateTime time = Start + index * 60 / SecondsPerDay;
    EXPECT_EQ(widget<QLabel>(form(), "Label_histr_oncross")->text(), QStringLiteral("当前时刻：") + FormatDateTime(QStringLiteral("MM-DD HH:NN:SS"), time)
                                                      + QStringLiteral("    Y坐标：")
                                                      + formatAxisValue(w.chart().yValueAt(at.y())) + QString(6, u' '));
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(valueText(j), FloatToStrF(lowValue(index, j), 5, 0)) << j;

    // Off the plot area the crosshair goes and the texts stay.
    const QString label = widget<QLabel>(form(), "Label_histr_oncross")->text();
    moveTo(QPoint(plot.left() - 3, at.y()));
    EXPECT_EQ(w.chart().crossHairCount(), 0);
    EXPECT_EQ(form().CrossX, -1);
    EXPECT_EQ(widget<QLabel>(form(), "Label_histr_oncross")->text(), label);
    EXPECT_EQ(valueText(0), FloatToStrF(lowValue(index, 0), 5, 0));
}

// Red on the white back wall; drawn again at its place it is gone, and so
// it is after the chart is drawn anew, which the next move knows.
TEST_F(CrossHair, IsRedOnWhiteAndGoesWithoutRedrawingTheCurves)
{
    const QRect plot = w.chart().plotRect();
    const QPoint at = plot.center();
    const QColor red(255, 0, 0), white(255, 255, 255);
    int renders = 0;
    w.chart().series(1).setAfterDrawValues([&] { ++renders; });
    moveTo(at);
    moveTo(at + QPoint(1, 1));
    moveTo(at);
    EXPECT_EQ(renders, 0);
    EXPECT_EQ(pixel(at.x(), plot.top() + 10), red);
    EXPECT_EQ(pixel(plot.right() - 10, at.y()), red);
    EXPECT_EQ(pixel(at.x() + 7, plot.top() + 10), white);
    EXPECT_EQ(form().CrossX, at.x());

    form().DrawCrossHair(at.x(), at.y());
    QApplication::processEvents();
    EXPECT_EQ(pixel(at.x(), plot.top() + 10), white);
    form().DrawCrossHair(at.x(), at.y());

    w.chart().replot();
    QApplication::processEvents();
    EXPECT_EQ(renders, 1);
    EXPECT_EQ(form().CrossX, -1);
    EXPECT_EQ(pixel(at.x(), plot.top() + 10), white);

    const QPoint next = at + QPoint(20, 10);
    moveTo(next);
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
    moveTo(at);
    widget<QPushButton>(form(), "Button11")->click();
    const QPoint next = at + QPoint(20, 10);
    moveTo(next);
    EXPECT_EQ(w.chart().crossHairCount(), 1);
    EXPECT_EQ(pixel(at.x(), plot.top() + 10), QColor(Qt::white));
    EXPECT_EQ(pixel(next.x(), plot.top() + 10), QColor(Qt::red));
}

TEST(CrossHairBeforeAnyFile, DrawsAndChangesNothing)
{
    HistoryWindow w;
    w.form().resize(1200, 800);
    w.form().show();
    QApplication::processEvents();
    w.form().Chart2MouseMove(w.chart().plotRect().center().x(), w.chart().plotRect().center().y());
    EXPECT_EQ(w.chart().crossHairCount(), 0);
    EXPECT_EQ(w.form().CrossX, -1);
    EXPECT_EQ(widget<QLabel>(w.form(), "Label_histr_oncross")->text(), QStringLiteral("当前时刻： X坐标："));
}

} // namespace
