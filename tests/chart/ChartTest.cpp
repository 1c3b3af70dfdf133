#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <cmath>

#include "chart/AxisValueFormat.h"
#include "chart/Chart.h"
#include "support/GuiApp.h"

namespace {

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        chart = std::make_unique<Chart>();
        chart->resize(640, 400);
    }

    ChartSeries& seriesOf(std::initializer_list<double> ys, const QColor& color = Qt::red)
    {
        ChartSeries& s = chart->addSeries();
        s.setColor(color);
        int x = 0;
        for (double y : ys)
            s.addPoint(x++, y, QString());
        return s;
    }

    // Counts the chart's redraws of its curves through one series' event.
    int& countDraws(ChartSeries& series)
    {
        series.setAfterDrawValues([this] { ++draws; });
        return draws;
    }

    void showAndSettle()
    {
        chart->show();
        QApplication::processEvents();
    }

    // A mouse event at a point of the chart, to whatever widget of it lies there.
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button)
    {
        QWidget* target = chart->childAt(at);
        if (!target)
            target = chart.get();
        const QPoint local = target == chart.get() ? at : target->mapFrom(chart.get(), at);
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, local, target->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : button,
                          held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    std::unique_ptr<Chart> chart;
    int draws = 0;
};

TEST_F(ChartTest, AutomaticAxesSpanTheActiveSeries)
{
    seriesOf({0, 10, 20});
    ChartSeries& high = seriesOf({100, 200, 300, 400, 500});
    ChartSeries& hiddenLine = seriesOf({-50});
    hiddenLine.setLineVisible(false);
    EXPECT_EQ(chart->leftAxis().minimum(), -50) << "a hidden line still scales the axis";
    EXPECT_EQ(chart->leftAxis().maximum(), 500);
    EXPECT_EQ(chart->bottomAxis().maximum(), 4);
    high.setActive(false);
    EXPECT_EQ(chart->leftAxis().maximum(), 20);
    EXPECT_EQ(chart->bottomAxis().maximum(), 2);
}

// 115 then 85 leaves 0.7 x 1.3 = 0.91 of each span about the same centre;
// undo brings back the automatic bottom axis and the manual left one.
TEST_F(ChartTest, PercentZoomAndUndo)
{
    ChartSeries& s = seriesOf({});
    for (int x = 0; x <= 100; ++x)
        s.addPoint(x, 0, QString());
    chart->leftAxis().setMinMax(0, 500);
    int zooms = 0, undos = 0;
    QObject::connect(chart.get(), &Chart::zoomed, [&] { ++zooms; });
    QObject::connect(chart.get(), &Chart::zoomUndone, [&] { ++undos; });

    chart->zoomPercent(115);
    EXPECT_DOUBLE_EQ(chart->bottomAxis().minimum(), 15);
    EXPECT_DOUBLE_EQ(chart->bottomAxis().maximum(), 85);
    EXPECT_DOUBLE_EQ(chart->leftAxis().minimum(), 75);
    EXPECT_DOUBLE_EQ(chart->leftAxis().maximum(), 425);
    chart->zoomPercent(85);
    EXPECT_DOUBLE_EQ(chart->bottomAxis().maximum() - chart->bottomAxis().minimum(), 91);
    EXPECT_DOUBLE_EQ(chart->bottomAxis().minimum() + chart->bottomAxis().maximum(), 100);
    EXPECT_DOUBLE_EQ(chart->leftAxis().maximum() - chart->leftAxis().minimum(), 455);
    EXPECT_DOUBLE_EQ(chart->leftAxis().minimum() + chart->leftAxis().maximum(), 500);
    EXPECT_FALSE(chart->bottomAxis().isAutomatic());
    EXPECT_EQ(zooms, 2);

    chart->undoZoom();
    EXPECT_EQ(undos, 1);
    EXPECT_FALSE(chart->isZoomed());
    EXPECT_TRUE(chart->bottomAxis().isAutomatic());
    EXPECT_FALSE(chart->leftAxis().isAutomatic());
    EXPECT_EQ(chart->leftAxis().maximum(), 500);
    s.addPoint(101, 0, QString());
    EXPECT_EQ(chart->bottomAxis().maximum(), 101);

    chart->undoZoom();
    EXPECT_EQ(undos, 2) << "undo without a zoom still tells";
    EXPECT_EQ(chart->leftAxis().maximum(), 500);
}

TEST_F(ChartTest, MouseDragZoomsScrollsAndUndoes)
{
    ChartSeries& s = seriesOf({});
    for (int x = 0; x <= 100; ++x)
        s.addPoint(x, x, QString());
    showAndSettle();
    int zooms = 0, undos = 0, scrolls = 0, moves = 0;
    QObject::connect(chart.get(), &Chart::zoomed, [&] { ++zooms; });
    QObject::connect(chart.get(), &Chart::zoomUndone, [&] { ++undos; });
    QObject::connect(chart.get(), &Chart::scrolled, [&] { ++scrolls; });
    QObject::connect(chart.get(), &Chart::mouseMoved, [&](int, int) { ++moves; });
    const QRect area = chart->plotRect();
    const QPoint from = area.topLeft() + QPoint(area.width() / 4, area.height() / 4);
    const QPoint to = area.center();

    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(QEvent::MouseMove, to, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton);
    EXPECT_EQ(zooms, 1);
    EXPECT_NEAR(chart->bottomAxis().minimum(), 25, 1.5);
    EXPECT_NEAR(chart->bottomAxis().maximum(), 50, 1.5);
    EXPECT_NEAR(chart->leftAxis().maximum(), 75, 1.5);
    EXPECT_GE(moves, 1);

    const double before = chart->bottomAxis().minimum();
    chart->replot();
    mouse(QEvent::MouseButtonPress, to, Qt::RightButton);
    mouse(QEvent::MouseMove, to + QPoint(area.width() / 10, 0), Qt::RightButton);
    mouse(QEvent::MouseButtonRelease, to + QPoint(area.width() / 10, 0), Qt::RightButton);
    EXPECT_EQ(scrolls, 1);
    EXPECT_LT(chart->bottomAxis().minimum(), before) << "dragging right shows earlier points";

    mouse(QEvent::MouseButtonPress, to, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, from, Qt::LeftButton);
    EXPECT_EQ(undos, 1);
    EXPECT_TRUE(chart->bottomAxis().isAutomatic());
    EXPECT_EQ(zooms, 1);
}

// Pixels to axis values as the chart shows them: the bottom axis runs from
// its minimum at the plot's left column to its maximum one pixel past the
// right one, the left axis from its minimum at the bottom row to its maximum
// one pixel above the top; pixels beside the plot lie beyond the ranges.
TEST_F(ChartTest, PixelsMapOntoTheAxisRangesAsDrawn)
{
    seriesOf({0, 1});
    showAndSettle();
    struct Range {
        double minimum, maximum;
    };
    const std::pair<Range, Range> views[] = {{{0, 100}, {0, 500}}, {{-50, 50}, {1000, 3000}}};
    for (const auto& [bottom, left] : views) {
        chart->bottomAxis().setMinMax(bottom.minimum, bottom.maximum);
        chart->leftAxis().setMinMax(left.minimum, left.maximum);
        QApplication::processEvents();
        const QRect plot = chart->plotRect();
        const double column = (bottom.maximum - bottom.minimum) / plot.width();
        const double row = (left.maximum - left.minimum) / plot.height();
        const struct {
            const char* where;
            double value, expected, tolerance;
        } cases[] = {
            {"left column", chart->xValueAt(plot.left()), bottom.minimum, 1e-9},
            {"past the right column", chart->xValueAt(plot.left() + plot.width()), bottom.maximum, 1e-9},
            {"middle column", chart->xValueAt(plot.center().x()), (bottom.minimum + bottom.maximum) / 2, column},
            {"left of the plot", chart->xValueAt(plot.left() - 10), bottom.minimum - 10 * column, 1e-9},
            {"bottom row", chart->yValueAt(plot.bottom()), left.minimum, 1e-9},
            {"above the top row", chart->yValueAt(plot.bottom() - plot.height()), left.maximum, 1e-9},
            {"middle row", chart->yValueAt(plot.center().y()), (left.minimum + left.maximum) / 2, row},
            {"below the plot", chart->yValueAt(plot.bottom() + 10), left.minimum - 10 * row, 1e-9},
        };
        for (const auto& c : cases)
            EXPECT_NEAR(c.value, c.expected, c.tolerance) << c.where << ", bottom axis from " << bottom.minimum;
    }
}

// Changes are drawn once per pass of the event loop, and not at all while
// the chart is off the screen.
TEST_F(ChartTest, RedrawsOnceWhenSeenAndNeverWhenHidden)
{
    ChartSeries& s = seriesOf({1, 2, 3});
    int& drawn = countDraws(s);
    for (int i = 0; i < 50; ++i)
        s.addPoint(3 + i, i, QString());
    QApplication::processEvents();
    EXPECT_EQ(drawn, 0);

    showAndSettle();
    const int shown = drawn;
    EXPECT_GE(shown, 1);
    for (int i = 0; i < 50; ++i) {
        s.deletePoint(0);
        s.addPoint(s.lastX() + 1, i, QString());
    }
    QApplication::processEvents();
    EXPECT_EQ(drawn, shown + 1);

    chart->hide();
    s.addPoint(s.lastX() + 1, 0, QString());
    QApplication::processEvents();
    EXPECT_EQ(drawn, shown + 1);
    showAndSettle();
    EXPECT_GT(drawn, shown + 1) << "what changed while hidden is drawn when shown";
}

// The crosshair redraws alone on the overlay: the curves are not drawn
// again. The same crosshair twice takes it away; a full redraw wipes it.
TEST_F(ChartTest, CrossHairTogglesOverTheCurves)
{
    ChartSeries& s = seriesOf({0, 5, 10});
    int& drawn = countDraws(s);
    showAndSettle();
    const int before = drawn;
    const QPoint at = chart->plotRect().center();

    chart->toggleCrossHair(at.x(), at.y(), Qt::red);
    EXPECT_EQ(chart->crossHairCount(), 1);
    QImage shot = chart->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(at.x(), chart->plotRect().top() + 2)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(chart->plotRect().left() + 2, at.y())), QColor(Qt::red));
    chart->toggleCrossHair(at.x(), at.y(), Qt::red);
    EXPECT_EQ(chart->crossHairCount(), 0);
    EXPECT_EQ(drawn, before);

    chart->toggleCrossHair(at.x(), at.y(), Qt::red);
    chart->replot();
    EXPECT_EQ(chart->crossHairCount(), 0);
    EXPECT_EQ(drawn, before + 1);
}

TEST_F(ChartTest, CurvesAppearInTheirColourOnTheBackWall)
{
    ChartSeries& shown = seriesOf({50, 50, 50}, Qt::blue);
    ChartSeries& inactive = seriesOf({25, 25, 25}, Qt::green);
    (void)shown;
    inactive.setActive(false);
    chart->leftAxis().setMinMax(0, 100);
    chart->setBackColor(QColor(255, 255, 200));
    showAndSettle();
    const QImage shot = chart->grab().toImage();
    const QRect area = chart->plotRect();
    const int x = area.center().x();
    int blueRow = -1;
    bool green = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        if (QColor(shot.pixel(x, y)) == QColor(Qt::blue))
            blueRow = y;
        green = green || QColor(shot.pixel(x, y)) == QColor(Qt::green);
    }
    EXPECT_NEAR(blueRow, area.top() + area.height() / 2, 2);
    EXPECT_FALSE(green);
    EXPECT_EQ(QColor(shot.pixel(x, area.top() + 5)), QColor(255, 255, 200));
}

// The bottom axis writes the labels of the first active series at its ticks;
// the ticks stay on the same points while the points slide.
TEST_F(ChartTest, BottomAxisShowsPointLabels)
{
    ChartSeries& off = chart->addSeries();
    ChartSeries& labelled = chart->addSeries();
    for (int x = 0; x < 1000; ++x) {
        off.addPoint(x, 0, QStringLiteral("off"));
        labelled.addPoint(x, 0, QStringLiteral("L%1").arg(x, 4, 10, QChar(u'0')));
    }
    off.setActive(false);
    showAndSettle();
    const std::vector<Chart::AxisTick> ticks = chart->bottomAxisTicks();
    ASSERT_GE(ticks.size(), 2u);
    for (const Chart::AxisTick& tick : ticks)
        EXPECT_EQ(tick.label, QStringLiteral("L%1").arg(int(tick.at), 4, 10, QChar(u'0')));
    const double step = ticks[1].at - ticks[0].at;

    labelled.deletePoint(0);
    labelled.addPoint(1000, 0, QStringLiteral("L1000"));
    chart->replot();
    const std::vector<Chart::AxisTick> after = chart->bottomAxisTicks();
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[1].at - after[0].at, step);
    EXPECT_EQ(std::fmod(after[0].at, step), 0);
}

// A resize spaces the labels for the new width at once: a chart that does
// not change is not drawn again to put them right.
TEST_F(ChartTest, BottomLabelsAreSpacedForTheWidthAfterAResize)
{
    const auto labelTime = [](Chart& c) {
        ChartSeries& s = c.addSeries();
        for (int x = 0; x < 1000; ++x)
            s.addPoint(x, 0, QStringLiteral("10-18 09:05:00"));
    };
    const auto tickPlaces = [](const Chart& c) {
        std::vector<double> places;
        for (const Chart::AxisTick& tick : c.bottomAxisTicks())
            places.push_back(tick.at);
        return places;
    };
    labelTime(*chart);
    showAndSettle();
    const std::vector<double> narrow = tickPlaces(*chart);
    chart->resize(1600, 400);
    QApplication::processEvents();

    Chart wide;
    wide.resize(1600, 400);
    labelTime(wide);
    wide.show();
    QApplication::processEvents();
    EXPECT_EQ(tickPlaces(*chart), tickPlaces(wide));
    EXPECT_GT(tickPlaces(*chart).size(), narrow.size());
}

// As a caller moves both ends one after the other, the axis refuses a step
// that would put its minimum above its maximum.
TEST_F(ChartTest, OneAxisEndNeverPassesTheOther)
{
    ChartAxis& axis = chart->leftAxis();
    axis.setMinMax(100, 1000);
    EXPECT_THROW(axis.setMaximum(50), std::invalid_argument);
    EXPECT_THROW(axis.setMinimum(1001), std::invalid_argument);
    EXPECT_EQ(axis.minimum(), 100);
    EXPECT_EQ(axis.maximum(), 1000);
    axis.setMinimum(1000);
    EXPECT_EQ(axis.minimum(), 1000);
}

// A series can show values that their owner keeps: they are shared, not
// copied, they go with the last of the owner and the series, and labels are
// written only for the ticks in view.
TEST_F(ChartTest, ColumnSeriesSharesItsValuesAndLabelsOnlyTheTicks)
{
    constexpr int Count = 1000000;
    std::shared_ptr<float> values(new float[Count], std::default_delete<float[]>());
    for (int i = 0; i < Count; ++i)
        values.get()[i] = float(i % 1000);
    const std::weak_ptr<float> watch = values;
    int labelled = 0;
    ChartSeries& s = chart->addSeries();
    s.showColumn(ColumnPoints(values, Count, [&](int i) {
        ++labelled;
        return QStringLiteral("L%1").arg(i);
    }));
    values.reset();
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(s.count(), Count);
    EXPECT_EQ(s.xValue(7), 7);
    EXPECT_EQ(s.yValue(1234), 234);
    EXPECT_EQ(s.lastX(), Count - 1);
    EXPECT_EQ(s.label(5), QStringLiteral("L5"));
    EXPECT_EQ(chart->bottomAxis().maximum(), Count - 1);

    labelled = 0;
    showAndSettle();
    const std::vector<Chart::AxisTick> ticks = chart->bottomAxisTicks();
    ASSERT_GE(ticks.size(), 2u);
    for (const Chart::AxisTick& tick : ticks)
        EXPECT_EQ(tick.label, QStringLiteral("L%1").arg(qint64(tick.at)));
    EXPECT_LT(labelled, 100);

    s.clear();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(s.count(), 0);
}

// New series take the palette's colours in turn.
TEST_F(ChartTest, NewSeriesTakeTheNextPaletteColour)
{
    const QColor first = chart->addSeries().color(), second = chart->addSeries().color();
    EXPECT_EQ(first, QColor(Qt::red));
    EXPECT_NE(second, first);
    chart->removeAllSeries();
    EXPECT_EQ(chart->addSeries().color(), first);
}

TEST_F(ChartTest, LegendBelowTakesRoomFromThePlot)
{
    seriesOf({1, 2}).setTitle(QStringLiteral("一号"));
    seriesOf({2, 3}).setTitle(QStringLiteral("二号"));
    showAndSettle();
    const int without = chart->plotRect().height();
    chart->setLegendVisible(true);
    chart->replot();
    const int with = chart->plotRect().height();
    EXPECT_LT(with, without);
    chart->setLegendVisible(false);
    chart->replot();
    EXPECT_EQ(chart->plotRect().height(), without);
}

TEST_F(ChartTest, PrintAreaIsThePageWithinItsMargins)
{
    EXPECT_EQ(chart->printArea(QRect(0, 0, 1000, 2000)), QRect(150, 300, 700, 1400));
    chart->setPrintMargins(0, 0, 0, 0);
    EXPECT_EQ(chart->printArea(QRect(0, 0, 1000, 2000)), QRect(0, 0, 1000, 2000));
    chart->setPrintMargins(10, 20, 30, 40);
    EXPECT_EQ(chart->printArea(QRect(0, 0, 1000, 1000)), QRect(100, 200, 600, 400));
}

// The smallest rectangle around the pixels of region that match.
template <typename Match>
QRect inkBox(const QImage& image, const QRect& region, Match match)
{
    QRect box;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (match(QColor(image.pixel(x, y))))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool isDark(const QColor& c)
{
    return c.red() < 100 && c.green() < 100 && c.blue() < 100;
}

// Margins count in percent of the chart's size, so the title, the axes and
// the legend move in by a share that grows with the chart, and nothing but
// the panel is drawn in them. The legend may take another row for them.
TEST_F(ChartTest, MarginsArePercentOfTheChartSize)
{
    const QColor panel(171, 171, 171);
    chart->setPanelColor(panel);
    chart->setTitle(QStringLiteral("历史曲线"));
    for (int i = 0; i < 60; ++i)
        seriesOf({1, 2}).setTitle(QStringLiteral("通道%1").arg(i));
    chart->setLegendVisible(true);
    showAndSettle();
    for (const QSize size : {QSize(640, 400), QSize(1500, 1000)}) {
        chart->resize(size);
        chart->setMargins(0, 0, 0, 0);
        chart->replot();
        const QRect without = chart->plotRect();
        chart->setMargins(3, 6, 3, 4);
        chart->replot();
        const QRect with = chart->plotRect();
        const QMargins margins(size.width() * 3 / 100, size.height() * 6 / 100, size.width() * 3 / 100,
                               size.height() * 4 / 100);
        EXPECT_EQ(with.top() - without.top(), margins.top()) << size.height();
        EXPECT_GE(without.bottom() - with.bottom(), margins.bottom()) << size.height();
        EXPECT_EQ(with.left() - without.left(), margins.left()) << size.width();
        EXPECT_EQ(without.right() - with.right(), margins.right()) << size.width();

        const QImage shot = chart->grab().toImage();
        const QRect drawn = inkBox(shot, shot.rect(), [&](const QColor& c) { return c != panel; });
        // A rectangle's outline covers one pixel past its right and bottom edge.
        const QRect inside = QRect(QPoint(0, 0), size).marginsRemoved(margins).adjusted(0, 0, 1, 1);
        EXPECT_TRUE(inside.contains(drawn)) << size.width();
    }
}

// Widths of the stretches of columns with dark pixels in band, split where
// at least minGap columns in a row are clear.
std::vector<int> inkRuns(const QImage& image, const QRect& band, int minGap)
{
    std::vector<int> runs;
    int start = -1, lastInk = -1;
    for (int x = band.left(); x <= band.right(); ++x) {
        if (inkBox(image, QRect(x, band.top(), 1, band.height()), isDark).isEmpty())
            continue;
        if (start < 0 || x - lastInk > minGap) {
            if (start >= 0)
                runs.push_back(lastInk - start + 1);
            start = x;
        }
        lastInk = x;
    }
    if (start >= 0)
        runs.push_back(lastInk - start + 1);
    return runs;
}

// A chart of the screen's look printed onto a landscape A4 page at 300 dpi:
// the page, pre-filled with a marker colour, as an image.
class PrintedPage : public ChartTest {
protected:
    static constexpr QRgb Marker = qRgb(255, 0, 255);
    const QColor backWall{255, 255, 200};

    void SetUp() override
    {
        ChartTest::SetUp();
        chart->resize(1600, 700);
        QFont titleFont;
        titleFont.setPixelSize(24);
        chart->setTitle(QStringLiteral("实时曲线"));
        chart->setTitleFont(titleFont);
        chart->setTitleColor(Qt::blue);
        chart->setBackColor(backWall);
        ChartSeries& s = chart->addSeries();
        s.setColor(Qt::red);
        for (int x = 0; x < 1000; ++x)
            s.addPoint(x, x % 200, QStringLiteral("18-10-18 09:%1:%2").arg(x / 60 % 60, 2, 10, QChar(u'0')).arg(x % 60, 2, 10, QChar(u'0')));
        showAndSettle();
    }

    QImage printed()
    {
        QImage page(3508, 2480, QImage::Format_RGB32);
        page.setDotsPerMeterX(11811);
        page.setDotsPerMeterY(11811);
        page.fill(Marker);
        chart->print(page);
        return page;
    }
};

TEST_F(PrintedPage, TheWholeChartIsLaidOutForThePage)
{
    chart->setPrintMargins(0, 0, 0, 0);
    const QImage page = printed();
    const QRect all = page.rect();

    const QRect plot = inkBox(page, all, [&](const QColor& c) { return c == backWall; });
    EXPECT_GT(plot.width(), all.width() * 8 / 10);
    EXPECT_GT(plot.height(), all.height() * 3 / 4);
    EXPECT_FALSE(inkBox(page, plot, [](const QColor& c) { return c == Qt::red; }).isEmpty());

    // Title above the plot, whole: clear of the page's edge, at its screen size.
    const QRect title = inkBox(page, QRect(0, 0, all.width(), plot.top()), [](const QColor& c) {
        return c.blue() > 150 && c.red() < 100 && c.green() < 100;
    });
    ASSERT_FALSE(title.isEmpty());
    EXPECT_GT(title.top(), 0);
    EXPECT_NEAR(title.center().x(), plot.center().x(), all.width() / 50);
    EXPECT_LT(title.height(), all.height() / 20);

    // Tick labels left of and below the plot, inside the page.
    const QRect left = inkBox(page, QRect(0, plot.top(), plot.left() - 10, plot.height()), isDark);
    ASSERT_FALSE(left.isEmpty());
    EXPECT_GT(left.left(), 0);
    const QRect below = inkBox(page, QRect(0, plot.bottom() + 10, all.width(), all.height() - plot.bottom() - 10), isDark);
    ASSERT_FALSE(below.isEmpty());
    EXPECT_LT(below.bottom(), all.bottom());
    EXPECT_GT(below.left(), 0);
    EXPECT_LT(below.right(), all.right());

    EXPECT_TRUE(inkBox(page, all, [](const QColor& c) { return c.rgb() == Marker; }).isEmpty());
}

// A page narrower than the chart on the screen: the bottom axis spaces its
// labels for the page, so that they stay apart.
TEST_F(PrintedPage, NothingIsDrawnOutsideTheMarginsAndLabelsStayApart)
{
    const QImage page = printed();
    const QRect area = chart->printArea(page.rect());
    const QRect drawn = inkBox(page, page.rect(), [](const QColor& c) { return c.rgb() != Marker; });
    EXPECT_EQ(drawn, area);
    EXPECT_FALSE(inkBox(page, area, [](const QColor& c) { return c.blue() > 150 && c.red() < 100; }).isEmpty());

    const QRect plot = inkBox(page, area, [&](const QColor& c) { return c == backWall; });
    const QRect labels(plot.left(), plot.bottom() + 10, plot.width(), area.bottom() - plot.bottom() - 10);
    const std::vector<int> runs = inkRuns(page, labels, 30);
    ASSERT_GE(runs.size(), 3u);
    EXPECT_LT(*std::max_element(runs.begin(), runs.end()), *std::min_element(runs.begin(), runs.end()) * 3 / 2);
}

TEST_F(ChartTest, PrintPreviewShowsALandscapePageAndRedrawsTheChartAfter)
{
    ChartSeries& s = seriesOf({1, 5, 2});
    int& drawn = countDraws(s);
    showAndSettle();
    const int before = drawn;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = true;
        EXPECT_EQ(dialog->printer()->pageLayout().orientation(), QPageLayout::Landscape);
        auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->pageCount(), 1);
        dialog->close();
    });
    chart->showPrintPreview();
    EXPECT_TRUE(shown);
    EXPECT_GT(drawn, before);
}

TEST(AxisValueFormat, WritesGroupedValuesWithAtMostThreeDecimals)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0"},         {12.5, "12.5"},       {1000, "1,000"},         {-1234567.891, "-1,234,567.891"},
        {0.0004, "0"},    {-0.0004, "0"},       {2.0005, "2.001"},       {999.9999, "1,000"},
        {100, "100"},     {123456, "123,456"},  {-12.25, "-12.25"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatAxisValue(value), QString::fromUtf8(text)) << value;
}

} // namespace
