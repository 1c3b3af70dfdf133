#include "StationFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <optional>

#include "chart/Chart.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "platform/Sound.h"
#include "station/AlarmForm.h"
#include "station/GeneralView.h"
#include "station/LoginForm.h"
#include "station/MainForm.h"
#include "station/StringGrid.h"
#include "support/AlarmRecordBytes.h"
#include "support/FileBytes.h"
#include "support/FullDisk.h"
#include "support/GuiApp.h"
#include "support/WindowDriver.h"

namespace {

// The alarm grid as the alarm-record file must hold it.
std::string alarmGridBytes(const Tfm_MainForm& form)
{
    const StringGrid& grid = *widget<StringGrid>(form, "strgGrid_AlarmRecList");
    std::string bytes;
    for (int r = 0; r < grid.RowCount(); ++r) {
        std::string cells[5];
        for (int c = 0; c < 5; ++c)
            cells[c] = toGbk(grid.Cells(c, r)).toStdString();
        bytes += alarmRecordBytes(cells);
    }
    return bytes;
}

// The alarm states, driven through ticks of one channel with an LA limit.
enum class In { Quiet, Alarm, Offline, Silence, SilenceThenCloseBox };

struct Ticks {
    In in;
    int repeat;
    std::optional<TColor> panel;  // after the last tick
    bool windowShown;              // after the last tick
    int sounds;                    // played during these ticks
};

struct CycleCase {
    const char* name;
    const char* delay;  // in Res/GSM_Alarm.ini; nullptr for no file
    std::vector<Ticks> ticks;
};

class AlarmCycle : public Station, public testing::WithParamInterface<CycleCase> {};

TEST_P(AlarmCycle, WindowSoundAndPanelPerTick)
{
    if (GetParam().delay)
        writeAlarmDelay(GetParam().delay);
    addDevice("D1", {"CH1"});
    start();
    MeterRecord& meter = polled(0);

    int step = 0;
    for (const Ticks& t : GetParam().ticks) {
        const std::size_t soundsBefore = sounds.played().size();
        for (int i = 0; i < t.repeat; ++i) {
            meter.Online = t.in == In::Offline ? 0 : 1;
            meter.AlarmLA[0] = t.in == In::Quiet ? 0 : 1;
            if (t.in == In::Silence || t.in == In::SilenceThenCloseBox)
                widget<QPushButton>(*FormAlarm, "btnAlarmClearOk")->click();
            if (t.in == In::SilenceThenCloseBox)
                FormAlarm->close();
            tick();
        }
        SCOPED_TRACE("step " + std::to_string(step++));
        if (t.panel) {
            EXPECT_EQ(panel(0).color, *t.panel);
        }
        EXPECT_EQ(FormAlarm->isVisible(), t.windowShown);
        EXPECT_EQ(int(sounds.played().size() - soundsBefore), t.sounds);
    }
    for (const QString& played : sounds.played())
        EXPECT_EQ(played, QString::fromStdString(station.dir().file("Alarm.wav")));
}

const std::optional<TColor> Any;

INSTANTIATE_TEST_SUITE_P(
    States, AlarmCycle,
    testing::Values(
        CycleCase{"DelayOfThree", "3",
                  {{In::Quiet, 1, clLime, false, 0},
                   {In::Alarm, 1, clBlue, false, 0},
                   {In::Alarm, 1, clLime, false, 0},
                   {In::Alarm, 1, clBlue, false, 0},
                   {In::Alarm, 1, clLime, true, 1},
                   {In::Alarm, 1, clYellow, true, 0},
                   {In::Alarm, 2, clYellow, true, 0},
                   {In::Alarm, 1, clLime, true, 1},
                   {In::Quiet, 1, clLime, false, 0}}},
        CycleCase{"DelayOfZero", "0",
                  {{In::Quiet, 1, clLime, false, 0},
                   {In::Alarm, 1, clYellow, true, 1},
                   {In::Alarm, 3, clLime, true, 0},
                   {In::Alarm, 1, clYellow, true, 1}}},
        CycleCase{"DefaultDelayOfTen", nullptr,
                  {{In::Quiet, 1, clLime, false, 0}, {In::Alarm, 10, Any, false, 0}, {In::Alarm, 1, Any, true, 1}}},
        CycleCase{"DelayThatIsNoNumberCountsAsNone", "3s",
                  {{In::Quiet, 1, clLime, false, 0}, {In::Alarm, 1, clYellow, true, 1}}},
        CycleCase{"AlarmOnAnOfflineDeviceIsQuiet", "0",
                  {{In::Quiet, 1, clLime, false, 0},
                   {In::Alarm, 1, clYellow, true, 1},
                   {In::Offline, 4, clLime, false, 0}}},
        CycleCase{"SilenceWhileTheAlarmStays", "0",
                  {{In::Quiet, 1, clLime, false, 0},
                   {In::Alarm, 1, clYellow, true, 1},
                   {In::Silence, 1, Any, false, 0},
                   {In::Alarm, 900, Any, false, 0},
                   {In::Alarm, 1, Any, true, 1}}},
        CycleCase{"SilenceEndsWithAnAlarmFreeTick", "0",
                  {{In::Quiet, 1, clLime, false, 0},
                   {In::Alarm, 1, clYellow, true, 1},
                   {In::Silence, 1, Any, false, 0},
                   {In::Quiet, 1, clLime, false, 0},
                   {In::Alarm, 1, clYellow, true, 1}}},
        CycleCase{"CloseBoxLosesTheSilenceRequest", "0",
                  {{In::Quiet, 1, clLime, false, 0},
                   {In::Alarm, 1, clYellow, true, 1},
                   {In::SilenceThenCloseBox, 1, Any, false, 0},
                   {In::Alarm, 2, Any, false, 0},
                   {In::Alarm, 1, Any, true, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Station, WindowBlinksBetweenButtonFaceAndRed)
{
    writeAlarmDelay("0");
    addDevice("D1", {"CH1"});
    start();
    tick();  // a quiet tick loads the delay
    polled(0).AlarmHHA[0] = 1;
    std::vector<QColor> colours;
    for (int i = 0; i < 3; ++i) {
        tick();
        colours.push_back(FormAlarm->palette().color(QPalette::Window));
    }
    EXPECT_EQ(colours, (std::vector<QColor>{toQColor(clRed), toQColor(clBtnFace), toQColor(clRed)}));
    EXPECT_EQ(panel(0).color, clRed);
}

// The windows in the order they were last brought to the front.
class RaiseOrder : public QObject {
public:
    explicit RaiseOrder(std::initializer_list<QWidget*> windows)
    {
        for (QWidget* w : windows)
            w->installEventFilter(this);
    }
    std::vector<QObject*> raised;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ZOrderChange) {
            std::erase(raised, watched);
            raised.push_back(watched);
        }
        return false;
    }
};

TEST_F(Station, AlarmWindowComesToTheFrontButBelowAnOpenModalDialog)
{
    writeAlarmDelay("0");
    addDevice("D1", {"CH1"});
    start();
    station.window().show();
    tick();
    polled(0).AlarmHA[0] = 1;
    Tfm_LoginForm login(&station.window());
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok, &login);
    RaiseOrder order{&station.window(), FormAlarm, &login, &box};

    tick();  // no dialog open
    ASSERT_TRUE(FormAlarm->isVisible());
    EXPECT_EQ(order.raised.back(), FormAlarm);

    login.show();
    for (int i = 0; i < 4; ++i)
        tick();  // the window is brought to the front again in the last of them
    EXPECT_TRUE(FormAlarm->isVisible());
    EXPECT_EQ(order.raised, (std::vector<QObject*>{FormAlarm, &login}));

    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_EQ(order.raised, (std::vector<QObject*>{FormAlarm, &login, &box}));
}

TEST_F(Station, TickShowsEveryChannelInGlobalOrderAndRecordsIt)
{
    writeAlarmDelay("0");  // an alarm would show at once
    addDevice("锅炉1", {"A", "B", "C"}, 1);
    addDevice("D2", {"X", "Y"}, 60);
    start();
    MeterRecord& first = polled(0);
    MeterRecord& second = polled(1);
    const float values[] = {1.5f, 2.0f, -0.3f, 123456.7f, 7.0f};
    for (int j = 0; j < 3; ++j)
        first.ChannelValues[j] = values[j];
    second.ChannelValues[0] = values[3];
    second.ChannelValues[1] = values[4];
    second.Online = 0;
    second.AlarmHA[1] = 1;

    tick();

    EXPECT_EQ(station.widget<QLabel>("lab_SysTime").text(), "时间: 18-10-18 09:05:04    ");
    ASSERT_EQ(station.overview().panelCount(), 5);
    EXPECT_EQ(panel(0).title, "锅炉1--A");
    EXPECT_EQ(panel(2).valueText(), "-0.3");
    EXPECT_EQ(panel(2).unitText(), "kPa");
    EXPECT_EQ(panel(2).alarmText(), QString(17, ' '));
    EXPECT_EQ(panel(4).title, "D2--Y");
    EXPECT_EQ(panel(4).valueText(), "ERR");
    EXPECT_EQ(panel(4).alarmText(), " ");
    EXPECT_EQ(panel(4).unitText(), "kPa");
    EXPECT_EQ(panel(4).color, clLime);
    EXPECT_FALSE(FormAlarm->isVisible()) << "an offline device's flags raise no alarm";
    EXPECT_TRUE(sounds.played().empty());

    // Every curve, the offline device's too, slid by one point.
    const ChartSeries& curve = station.widget<Chart>("chart_RealTimeCurves").series(3);
    ASSERT_EQ(curve.count(), 1000);
    EXPECT_EQ(curve.yValue(999), double(values[3]));
    EXPECT_EQ(curve.label(999), "18-10-18 09:05:04");
    EXPECT_EQ(curve.label(998), " ");

    // The offline device's last values go to the history file all the same.
    const std::string history = readFileBytes(periodFile("18日09时05分03秒.nx"));
    ASSERT_EQ(history.size(), HistoryHeaderSize + sizeof values);
    EXPECT_EQ(std::memcmp(history.data() + HistoryHeaderSize, values, sizeof values), 0);
}

TEST_F(Station, AlarmRecordsOpenAndCloseByLevelWhileOnline)
{
    addDevice("D1", {"CH1"});
    start();
    MeterRecord& meter = polled(0);
    StringGrid& grid = station.widget<StringGrid>("strgGrid_AlarmRecList");
    auto row = [&](int r) {
        QStringList cells;
        for (int c = 0; c < 5; ++c)
            cells << grid.Cells(c, r);
        return cells;
    };

    meter.AlarmLLA[0] = 1;  // the value fell below both low limits
    meter.AlarmLA[0] = 1;
    tick();
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(row(1), (QStringList{"D1", "CH1", "LLA", "18-10-18 09:05:04", ""}));
    EXPECT_EQ(row(2), (QStringList{"D1", "CH1", "LA", "18-10-18 09:05:04", ""}));

    meter.AlarmLLA[0] = 0;
    tick();
    EXPECT_EQ(row(1)[4], "18-10-18 09:05:05");
    EXPECT_EQ(row(2)[4], "");

    meter.Online = 0;  // neither opens nor closes while offline
    meter.AlarmLA[0] = 0;
    meter.AlarmHHA[0] = 1;
    tick();
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(row(2)[4], "");

    meter.Online = 1;
    meter.AlarmHHA[0] = 0;
    tick();
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(row(2)[4], "18-10-18 09:05:07");

    auto gbk = [](const char* text) { return toGbk(QString::fromUtf8(text)).toStdString(); };
    const std::string rows[3][5] = {
        {gbk("设备名"), gbk("通道名"), gbk("报警类型"), gbk("开始时间"), gbk("结束时间")},
        {"D1", "CH1", "LLA", "18-10-18 09:05:04", "18-10-18 09:05:05"},
        {"D1", "CH1", "LA", "18-10-18 09:05:04", "18-10-18 09:05:07"},
    };
    EXPECT_EQ(readFileBytes(periodFile("18日09时05分03秒.xls")),
              alarmRecordBytes(rows[0]) + alarmRecordBytes(rows[1]) + alarmRecordBytes(rows[2]));
}

TEST_F(Station, FullDiskHoldsBackAlarmRowsAndRecordsOnlyUntilItTakesWritesAgain)
{
    addDevice("D1", {"CH1"}, 1);
    station.writeConfiguration();
    FullDisk disk;  // full from the start of the period
    start();
    MeterRecord& meter = polled(0);
    meter.AlarmLA[0] = 1;
    for (int n = 1; n <= 4; ++n) {
        if (n == 4)
            disk.free();
        meter.ChannelValues[0] = float(n);
        tick();
    }

    ASSERT_EQ(station.widget<StringGrid>("strgGrid_AlarmRecList").RowCount(), 2) << "the alarm opened during the outage";
    EXPECT_EQ(readFileBytes(periodFile("18日09时05分03秒.xls")), alarmGridBytes(station.window()));
    const std::string history = readFileBytes(periodFile("18日09时05分03秒.nx"));
    ASSERT_EQ(history.size(), HistoryHeaderSize + 4 * sizeof(float));
    const float records[] = {1, 2, 3, 4};  // one per second from the start
    EXPECT_EQ(std::memcmp(history.data() + HistoryHeaderSize, records, sizeof records), 0);
}

// A period's files are named after a second reading of the clock, which may
// lie a second after its start time; its alarms start afresh.
TEST_F(Station, NewPeriodStartsTheFilesAndClearsTheAlarmSide)
{
    addDevice("锅炉1", {"温度", "B", "C"}, 10);
    addDevice("D2", {"X", "Y"}, 1);
    start();
    polled(0).AlarmLLA[2] = 1;
    tick();
    StringGrid& grid = station.widget<StringGrid>("strgGrid_AlarmRecList");
    ASSERT_EQ(grid.RowCount(), 2);

    int readings = 0;
    SetClock([&] {
        return readings++ ? EncodeDateTime(2018, 10, 18, 9, 5, 5, 100) : EncodeDateTime(2018, 10, 18, 9, 5, 4, 900);
    });
    changeModes();
    SetClock([this] { return now; });

    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.Cells(2, 0), "报警类型");
    const std::string history = readFileBytes(periodFile("18日09时05分05秒.nx"));
    ASSERT_EQ(history.size(), HistoryHeaderSize);
    HistoryFileHeader header;
    std::memcpy(&header, history.data(), sizeof header);
    EXPECT_EQ(header.StartTime, EncodeDateTime(2018, 10, 18, 9, 5, 4, 900));
    EXPECT_EQ(header.RecordInterval, 10);
    EXPECT_EQ(header.ChannelCount, 5);
    EXPECT_EQ(fromGbkField(header.ChannelNames[0]), "锅炉1温度");
    EXPECT_EQ(fromGbkField(header.ChannelNames[4]), "D2Y");

    // The flag and the open alarm went with the old period: no row opens or ends.
    tick();
    EXPECT_EQ(grid.RowCount(), 1);
    const std::string alarms = readFileBytes(periodFile("18日09时05分05秒.xls"));
    ASSERT_EQ(alarms.size(), 150u);
    EXPECT_EQ(alarms.substr(0, 7), toGbk("设备名\t").toStdString());
}

// A log interval of 5 gives lines in ticks 5, 10, ... counted from the
// start, whether or not the station went through configuration mode.
class LogInterval : public Station, public testing::WithParamInterface<int> {};

TEST_P(LogInterval, LineEveryFifthTick)
{
    addDevice("D1", {"CH1"}, 5);
    start();
    for (int i = 1; i <= 12; ++i) {
        tick();
        if (i == GetParam())
            changeModes();
    }
    EXPECT_EQ(readFileBytes(station.dir().file("18年10月/18日AM/D1_0.xls")),
              toGbk("时间\tCH1\t\n").toStdString() + "  09:05:08\t0\t\n  09:05:13\t0\t\n");
}

INSTANTIATE_TEST_SUITE_P(ModesChangedAfterTick, LogInterval, testing::Values(0, 3));

// Each return to run mode begins a recording period: a history file and an
// alarm-record file named after that moment, while the files of the period
// before keep what they hold; with a device or none.
class NewPeriod : public Station, public testing::WithParamInterface<int> {};

TEST_P(NewPeriod, LeavingConfigurationStartsNewFilesAndKeepsTheOld)
{
    const int channels = 2 * GetParam();
    if (GetParam())
        addDevice("D1", {"CH1", "CH2"}, 1);
    start();
    if (GetParam())
        polled(0).AlarmLA[0] = 1;
    for (int i = 0; i < 3; ++i)
        tick();
    const std::string oldHistory = readFileBytes(periodFile("18日09时05分03秒.nx"));
    const std::string oldAlarms = readFileBytes(periodFile("18日09时05分03秒.xls"));
    ASSERT_EQ(oldHistory.size(), HistoryHeaderSize + 3 * 4 * std::size_t(channels));
    ASSERT_EQ(oldAlarms.size(), 150u * (1 + GetParam()));

    now = EncodeDateTime(2018, 10, 18, 9, 5, 16);
    changeModes();
    tick();

    EXPECT_EQ(readFileBytes(periodFile("18日09时05分03秒.nx")), oldHistory);
    EXPECT_EQ(readFileBytes(periodFile("18日09时05分03秒.xls")), oldAlarms);
    const std::string history = readFileBytes(periodFile("18日09时05分16秒.nx"));
    ASSERT_EQ(history.size(), HistoryHeaderSize + 4 * std::size_t(channels)) << "the header and this tick's record";
    TDateTime start = 0;
    std::memcpy(&start, history.data(), sizeof start);
    EXPECT_EQ(start, now - 1 / SecondsPerDay);
    EXPECT_EQ(readFileBytes(periodFile("18日09时05分16秒.xls")).size(), 150u) << "the heading row alone";
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_AlarmRecList").RowCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Devices, NewPeriod, testing::Values(0, 1));

// Without a window manager that maximises it, the window keeps its own size:
// the panels follow the scroll box from the first show on.
TEST_F(Station, OverviewFollowsTheScrollBoxFromTheFirstShow)
{
    addDevice("D1", {"1", "2", "3", "4", "5", "6", "7", "8"});
    start();
    const GeneralView& overview = station.overview();
    const auto columns = [&overview] {
        int n = 0;
        while (n < overview.panelCount() && overview.panelRect(n).top() == overview.panelRect(0).top())
            ++n;
        return n;
    };
    Tfm_MainForm& window = station.window();
    window.setWindowState(Qt::WindowNoState);
    window.resize(1034, 679);
    window.show();
    EXPECT_EQ(columns(), 4);
    for (const QSize size : {QSize(1500, 800), QSize(700, 600), QSize(400, 600)}) {
        window.resize(size);
        const int width = station.widget<QScrollArea>("scrBox_GeneralView").width();
        EXPECT_EQ(columns(), width < 460 ? 1 : (width - 20) / 220) << width;
    }
}

TEST_F(Station, ResizeRebuildsThePanelsGreenAndBlank)
{
    writeAlarmDelay("0");
    addDevice("D1", {"CH1"});
    start();
    tick();
    polled(0).AlarmHA[0] = 1;
    tick();
    ASSERT_EQ(panel(0).color, clRed);

    station.window().showNormal();
    station.window().resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel(0).color, clLime);
    EXPECT_EQ(panel(0).valueText(), "");
    EXPECT_EQ(panel(0).alarmText(), "");

    tick();
    EXPECT_EQ(panel(0).color, clRed);
}

}  // namespace
