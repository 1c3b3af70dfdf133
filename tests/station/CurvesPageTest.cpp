#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>
#include <cstring>

#include "chart/Chart.h"
#include "platform/DateTime.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "station/ColorBox.h"
#include "station/MainForm.h"
#include "support/DeviceSlots.h"
#include "support/Devsim.h"
#include "support/FileBytes.h"
#include "support/GuiApp.h"
#include "support/StationDriver.h"
#include "support/WindowDriver.h"

namespace {

constexpr std::size_t ConfigSize = 477608;

// An Ethernet device at a loopback port nobody listens on, so that run mode
// polls nothing real.
MeterConfig unreachableDevice(const char* name, int channels, TColor firstColor)
{
    MeterConfig m = namedDevice(QString::fromUtf8(name), numberedNames("通道", channels));
    m.MeterAddr = 1;
    m.CommMod = 1;
    m.IPPort = freeLoopbackPort();
    copyToField(m.IPAddr, "127.0.0.1");
    for (int j = 0; j < channels; ++j)
        m.Channels[j].ChannelColor = firstColor + j;
    return m;
}

// A station whose configuration has two devices, of three and two channels.
class CurvesPage : public testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        station.addDevice(unreachableDevice("锅炉", 3, 0x000010));
        station.addDevice(unreachableDevice("水泵", 2, 0x000020));
        station.start();
    }

    void TearDown() override { SetClock({}); }

    Chart& chart() { return station.widget<Chart>("chart_RealTimeCurves"); }
    ChartSeries& series(int i) { return chart().series(i); }
    std::string config() const { return station.configFile(); }

    void setRange(const char* low, const char* high)
    {
        station.type("ed_CurvesMix", QString::fromUtf8(low));
        station.type("ed_CurvesMax", QString::fromUtf8(high));
        station.click("btn_SetCurvesRange");
    }

    // Configuration mode, where the row's device goes, and back.
    void deleteDevice(int row)
    {
        station.window().EnterConfigMode();
        station.clickRow("strgGrid_MeterList", row);
        station.click("btn_MeterDel");
        station.click("btn_SignOut");
    }

    MessageBoxCapture boxes;
    StationDriver station;
};

TEST_F(CurvesPage, RebuildGivesOneCurveAndOneBoxPerChannel)
{
    ASSERT_EQ(chart().seriesCount(), 5);
    ASSERT_EQ(station.curveCheckBoxes().size(), 5);
    const char* titles[] = {"锅炉通道1", "锅炉通道2", "锅炉通道3", "水泵通道1", "水泵通道2"};
    const int tops[] = {32, 48, 64, 96, 112};
    const TColor colors[] = {0x10, 0x11, 0x12, 0x20, 0x21};
    for (int i = 0; i < 5; ++i) {
        const ChartSeries& s = series(i);
        EXPECT_EQ(s.title(), QString::fromUtf8(titles[i]));
        EXPECT_EQ(s.color(), toQColor(colors[i]));
        EXPECT_TRUE(s.isActive());
        ASSERT_EQ(s.count(), 1000);
        for (int p = 0; p < 1000; p += 111) {
            EXPECT_EQ(s.yValue(p), 0);
            EXPECT_EQ(s.label(p), " ");
        }
        EXPECT_EQ(s.xValue(999) - s.xValue(0), 999);
        const QCheckBox& box = station.curveCheckBox(i);
        EXPECT_EQ(box.text(), QString::fromUtf8(titles[i]));
        EXPECT_EQ(box.geometry(), QRect(8, tops[i], 200, 17));
        EXPECT_TRUE(box.isChecked());
    }
    EXPECT_EQ(station.curveCheckBox(4).parentWidget(), &station.widget<QWidget>("scrBox_CurvesSelectListContents"));
    EXPECT_EQ(station.widget<QWidget>("scrBox_CurvesSelectListContents").size(), QSize(212, 161))
        << "scrolls to a row below the last box";
    EXPECT_EQ(chart().title(), "实时曲线");
    EXPECT_FALSE(chart().isLegendVisible());
    EXPECT_EQ(chart().cursor().shape(), Qt::CrossCursor);
}

// Whatever the boxes showed, a return to run mode shows every curve again;
// with no device there is nothing to show and "全选" does nothing.
TEST_F(CurvesPage, RebuildShowsEveryCurveAgain)
{
    station.curveCheckBox(1).click();
    station.click("chkBox_SelectAllCurves");
    EXPECT_FALSE(series(3).isActive());

    deleteDevice(2);
    ASSERT_EQ(chart().seriesCount(), 3);
    EXPECT_EQ(station.curveCheckBoxes().size(), 3);
    EXPECT_TRUE(station.widget<QCheckBox>("chkBox_SelectAllCurves").isChecked());
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(series(i).isActive());
        EXPECT_TRUE(station.curveCheckBox(i).isChecked());
    }

    deleteDevice(1);
    EXPECT_EQ(chart().seriesCount(), 0);
    EXPECT_TRUE(station.curveCheckBoxes().isEmpty());
    for (bool checked : {false, true}) {
        station.click("chkBox_SelectAllCurves");
        EXPECT_EQ(station.widget<QCheckBox>("chkBox_SelectAllCurves").isChecked(), checked);
        EXPECT_EQ(chart().seriesCount(), 0);
        EXPECT_TRUE(station.curveCheckBoxes().isEmpty());
    }
}

TEST_F(CurvesPage, EachTickSlidesTheCurvesByOnePoint)
{
    TDateTime now = EncodeDateTime(2024, 5, 1, 8, 0, 0);
    SetClock([&now] { return now; });
    ChartSeries& s = series(2);
    const double firstX = s.xValue(0), lastX = s.lastX();
    for (const float value : {12.5f, -3.0f}) {
        station.polled(0).ChannelValues[2] = value;
        now += 1 / SecondsPerDay;
        station.tick();
    }
    ASSERT_EQ(s.count(), 1000);
    EXPECT_EQ(s.xValue(0), firstX + 2);
    EXPECT_EQ(s.lastX(), lastX + 2);
    EXPECT_EQ(s.yValue(998), 12.5);
    EXPECT_EQ(s.label(998), "24-05-01 08:00:01");
    EXPECT_EQ(s.yValue(999), -3);
    EXPECT_EQ(s.label(999), "24-05-01 08:00:02");
    EXPECT_EQ(s.label(997), " ");
}

TEST_F(CurvesPage, BoxesAndCurvesStayInStep)
{
    station.curveCheckBox(1).click();
    station.curveCheckBox(3).click();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(series(i).isActive(), i != 1 && i != 3) << i;

    station.click("chkBox_SelectAllCurves");
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(station.curveCheckBox(i).isChecked()) << i;
        EXPECT_FALSE(series(i).isActive()) << i;
    }
    station.curveCheckBox(4).click();
    EXPECT_TRUE(series(4).isActive());
    EXPECT_FALSE(series(0).isActive());

    station.click("chkBox_SelectAllCurves");
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(station.curveCheckBox(i).isChecked()) << i;
        EXPECT_TRUE(series(i).isActive()) << i;
    }
}

TEST_F(CurvesPage, AcceptedRangeIsTruncatedAppliedAndStored)
{
    setRange("10.9", "20.2");
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_FALSE(chart().leftAxis().isAutomatic());
    EXPECT_EQ(chart().leftAxis().minimum(), 10);
    EXPECT_EQ(chart().leftAxis().maximum(), 20);
    EXPECT_EQ(station.text("ed_CurvesMix"), "10.9") << "the typed texts stay";
    const std::string bytes = config();
    ASSERT_EQ(bytes.size(), ConfigSize);
    EXPECT_EQ(storedAt<float>(bytes, 178), 10.0f);
    EXPECT_EQ(storedAt<float>(bytes, 182), 20.0f);
}

// A refused range changes neither the axis nor the file. A low end not below
// the high one (after truncation) puts the range in force back into the edits.
TEST_F(CurvesPage, RefusedRanges)
{
    setRange("10.9", "20.2");
    boxes.clear();
    const std::string stored = config();
    struct Case {
        const char *low, *high, *message, *lowAfter, *highAfter;
    };
    const Case cases[] = {
        {"-0.5", "0.5", "曲线量程上限要大于下限!", "10", "20"},
        {"500", "0", "曲线量程上限要大于下限!", "10", "20"},
        {"abc", "30", "请正确输入曲线量程值!", "abc", "30"},
        {"5", "", "请正确输入曲线量程值!", "5", ""},
        {"0", "3000000000", "请正确输入曲线量程值!", "0", "3000000000"},
        {"-2147483649", "0", "请正确输入曲线量程值!", "-2147483649", "0"},
    };
    for (const Case& c : cases) {
        boxes.clear();
        setRange(c.low, c.high);
        ASSERT_EQ(boxes.shown().size(), 1u) << c.low << " " << c.high;
        EXPECT_EQ(boxes.shown()[0], (ShownMessage{"错误", QString::fromUtf8(c.message)})) << c.low << " " << c.high;
        EXPECT_EQ(station.text("ed_CurvesMix"), QString::fromUtf8(c.lowAfter));
        EXPECT_EQ(station.text("ed_CurvesMax"), QString::fromUtf8(c.highAfter));
        EXPECT_EQ(chart().leftAxis().minimum(), 10);
        EXPECT_EQ(chart().leftAxis().maximum(), 20);
    }
    EXPECT_EQ(config(), stored);

    setRange("-2147483648", "2147483647");
    EXPECT_EQ(chart().leftAxis().minimum(), -2147483648.0) << "the ends of the 32-bit range are fine";
}

TEST_F(CurvesPage, BackgroundColourIsStoredAtOnce)
{
    const int index = station.widget<ColorBox>("colorBox_CurvesBackColor").findData(QVariant::fromValue<int>(clYellow));
    ASSERT_GE(index, 0);
    station.choose("colorBox_CurvesBackColor", index);
    EXPECT_EQ(chart().backColor(), toQColor(clYellow));
    EXPECT_EQ(storedAt<std::int32_t>(config(), 14), clYellow);
}

// "放大" then "缩小" leaves 0.7 x 1.3 = 0.91 of each span about the same
// centre; "恢复" brings back the range in force.
TEST_F(CurvesPage, ZoomButtons)
{
    setRange("0", "100");
    const double xMin = chart().bottomAxis().minimum(), xMax = chart().bottomAxis().maximum();
    station.click("btn_CurvesZoomOut");
    EXPECT_DOUBLE_EQ(chart().leftAxis().minimum(), 15);
    EXPECT_DOUBLE_EQ(chart().leftAxis().maximum(), 85);
    station.click("btn_CurvesZoomIn");
    EXPECT_DOUBLE_EQ(chart().leftAxis().maximum() - chart().leftAxis().minimum(), 91);
    EXPECT_DOUBLE_EQ(chart().leftAxis().minimum() + chart().leftAxis().maximum(), 100);
    EXPECT_NEAR(chart().bottomAxis().maximum() - chart().bottomAxis().minimum(), 0.91 * (xMax - xMin), 1e-9);
    EXPECT_NEAR(chart().bottomAxis().minimum() + chart().bottomAxis().maximum(), xMin + xMax, 1e-9);
    station.click("btn_CurvesResume");
    EXPECT_EQ(chart().leftAxis().minimum(), 0);
    EXPECT_EQ(chart().leftAxis().maximum(), 100);
    EXPECT_TRUE(chart().bottomAxis().isAutomatic());
}

// The width reaches the curves present at the change; a rebuild starts them
// at 1 again while the control keeps its position.
TEST_F(CurvesPage, LineWidthAppliesToTheCurvesPresent)
{
    QSpinBox& width = station.widget<QSpinBox>("upDown_CurvesWidth");
    width.setValue(4);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(series(i).penWidth(), 4);
    station.window().EnterConfigMode();
    station.window().EnterRunMode();
    EXPECT_EQ(series(0).penWidth(), 1);
    EXPECT_EQ(width.value(), 4);
    EXPECT_EQ(width.maximum(), 10);
    EXPECT_EQ(width.minimum(), 1);
}

TEST_F(CurvesPage, PrintPreviewUsesTheWholePage)
{
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            shown = true;
            dialog->close();
        }
    });
    station.click("btn_CurvesPrintPreview");
    EXPECT_TRUE(shown);
    EXPECT_EQ(chart().printArea(QRect(0, 0, 800, 600)), QRect(0, 0, 800, 600));
}

// Start-up puts the stored colour and range onto the chart and the controls.
TEST(CurvesStartup, StoredColourAndRangeAreApplied)
{
    ensureGuiApp();
    StationDriver station;
    std::string bytes(ConfigSize, '\0');
    std::memcpy(&bytes[4], "418263", 6);
    const std::int32_t color = 0x00C0FFEE;
    put(bytes, 14, color);
    put(bytes, 178, -12.5f);
    put(bytes, 182, 250.5f);
    station.writeBaseFile("Config.dat", bytes);

    station.start();
    Tfm_MainForm& form = station.window();
    EXPECT_EQ(widget<Chart>(form, "chart_RealTimeCurves")->backColor(), toQColor(color));
    EXPECT_EQ(widget<ColorBox>(form, "colorBox_CurvesBackColor")->Selected(), color);
    EXPECT_EQ(widget<Chart>(form, "chart_RealTimeCurves")->leftAxis().minimum(), -12.5);
    EXPECT_EQ(widget<Chart>(form, "chart_RealTimeCurves")->leftAxis().maximum(), 250.5);
    EXPECT_EQ(widget<QLineEdit>(form, "ed_CurvesMix")->text(), "-12.5");
    EXPECT_EQ(widget<QLineEdit>(form, "ed_CurvesMax")->text(), "250.5");
}

} // namespace
