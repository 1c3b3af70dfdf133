#include "StationFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
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
#include "support/Eventually.h"
#include "support/FileBytes.h"
#include "support/FullDisk.h"
#include "support/GuiApp.h"
#include "support/WindowDriver.h"
#include "support/WorkDir.h"

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
    const char* delay;
    std::vector<Ticks> ticks;
};

class AlarmCycle : public Station, public testing::WithParamInterface<CycleCase> {};

TEST_P(AlarmCycle, WindowSoundAndPanelPerTick)
{
    widget<QLineEdit>(*form, "GSMedAlarmDelayT")->setText(GetParam().delay);
    MeterRecord& meter = addDevice("D1", {"CH1"});
    startPeriod();

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
        EXPECT_EQ(played, form->AlarmSoundPath);
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
    widget<QLineEdit>(*form, "GSMedAlarmDelayT")->setText("0");
    MeterRecord& meter = addDevice("D1", {"CH1"});
    startPeriod();
    tick();  // a quiet tick loads the delay
    meter.AlarmHHA[0] = 1;
    std::vector<TColor> colours;
    for (int i = 0; i < 3; ++i) {
        tick();
        colours.push_back(FormAlarm->Color());
    }
    EXPECT_EQ(colours, (std::vector<TColor>{clRed, clBtnFace, clRed}));
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
    widget<QLineEdit>(*form, "GSMedAlarmDelayT")->setText("0");
    MeterRecord& meter = addDevice("D1", {"CH1"});
    startPeriod();
    form->show();
    tick();
    meter.AlarmHA[0] = 1;
    Tfm_LoginForm login(form.get());
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok, &login);
    RaiseOrder order{form.get(), FormAlarm, &login, &box};

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
    MeterRecord& first = addDevice("锅炉1", {"A", "B", "C"}, 1);
    MeterRecord& second = addDevice("D2", {"X", "Y"}, 60);
    startPeriod();
    const float values[] = {1.5f, 2.0f, -0.3f, 123456.7f, 7.0f};
    for (int j = 0; j < 3; ++j)
        first.ChannelValues[j] = values[j];
    second.ChannelValues[0] = values[3];
    second.ChannelValues[1] = values[4];
    second.Online = 0;
    second.AlarmHA[1] = 1;

    tick();

    EXPECT_EQ(widget<QLabel>(*form, "lab_SysTime")->text(), "时间: 18-10-18 09:05:04    ");
    ASSERT_EQ(form->GeneralViewControls->panelCount(), 5);
    EXPECT_EQ(panel(0).title, "锅炉1--A");
    EXPECT_EQ(panel(2).valueText(), "-0.3");
    EXPECT_EQ(panel(2).unitText(), "kPa");
    EXPECT_EQ(panel(2).alarmText(), QString(17, ' '));
    EXPECT_EQ(panel(4).title, "D2--Y");
    EXPECT_EQ(panel(4).valueText(), "ERR");
    EXPECT_EQ(panel(4).alarmText(), " ");
    EXPECT_EQ(panel(4).unitText(), "kPa");
    EXPECT_EQ(panel(4).color, clLime);
    EXPECT_EQ(form->AnyAlarm, 0);

    // Every curve, the offline device's too, slid by one point.
    const ChartSeries& curve = widget<Chart>(*form, "chart_RealTimeCurves")->series(3);
    ASSERT_EQ(curve.count(), 1000);
    EXPECT_EQ(curve.yValue(999), double(values[3]));
    EXPECT_EQ(curve.label(999), "18-10-18 09:05:04");
    EXPECT_EQ(curve.label(998), " ");

    // The offline device's last values go to the history file all the same.
    const std::string history = readFileBytes(periodFile("18日09时05分03秒.nx"));
    ASSERT_EQ(history.size(), HistoryHeaderSize + sizeof values);
    EXPECT_EQ(std::memcmp(history.data() + HistoryHeaderSize, values, sizeof values), 0);
}

TEST_F(Station, NewPeriodStartsTheFilesAndClearsTheAlarmSide)
{
    MeterRecord& first = addDevice("锅炉1", {"温度", "B", "C"}, 10);
    addDevice("D2", {"X", "Y"}, 1);
    first.AlarmLLA[2] = 1;
    form->OpenAlarmRows[0][0][2] = 4;
    widget<StringGrid>(*form, "strgGrid_AlarmRecList")->setRowCount(5);

    // The names come from a second reading that lies in the next second.
    int readings = 0;
    SetClock([&] {
        return readings++ ? EncodeDateTime(2018, 10, 18, 9, 5, 4, 100) : EncodeDateTime(2018, 10, 18, 9, 5, 3, 900);
    });
    startPeriod();

    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_AlarmRecList")->RowCount(), 1);
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_AlarmRecList")->Cells(2, 0), "报警类型");
    EXPECT_EQ(first.AlarmLLA[2], 0);
    EXPECT_EQ(form->OpenAlarmRows[0][0][2], 0);

    const std::string history = readFileBytes(periodFile("18日09时05分04秒.nx"));
    ASSERT_EQ(history.size(), HistoryHeaderSize);
    HistoryFileHeader header;
    std::memcpy(&header, history.data(), sizeof header);
    EXPECT_EQ(header.StartTime, EncodeDateTime(2018, 10, 18, 9, 5, 3, 900));
    EXPECT_EQ(header.RecordInterval, 10);
    EXPECT_EQ(header.ChannelCount, 5);
    EXPECT_EQ(fromGbkField(header.ChannelNames[0]), "锅炉1温度");
    EXPECT_EQ(fromGbkField(header.ChannelNames[4]), "D2Y");

    const std::string alarms = readFileBytes(periodFile("18日09时05分04秒.xls"));
    ASSERT_EQ(alarms.size(), 150u);
    EXPECT_EQ(alarms.substr(0, 7), toGbk("设备名\t").toStdString());
}

TEST_F(Station, AlarmRecordsOpenAndCloseByLevelWhileOnline)
{
    MeterRecord& meter = addDevice("D1", {"CH1"});
    startPeriod();
    StringGrid& grid = *widget<StringGrid>(*form, "strgGrid_AlarmRecList");
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
    MeterRecord& meter = addDevice("D1", {"CH1"}, 1);
    FullDisk disk;  // full from the start of the period
    startPeriod();
    meter.AlarmLA[0] = 1;
    for (int n = 1; n <= 4; ++n) {
        if (n == 4)
            disk.free();
        meter.ChannelValues[0] = float(n);
        tick();
    }

    ASSERT_EQ(widget<StringGrid>(*form, "strgGrid_AlarmRecList")->RowCount(), 2) << "the alarm opened during the outage";
    EXPECT_EQ(readFileBytes(periodFile("18日09时05分03秒.xls")), alarmGridBytes(*form));
    const std::string history = readFileBytes(periodFile("18日09时05分03秒.nx"));
    ASSERT_EQ(history.size(), HistoryHeaderSize + 4 * sizeof(float));
    const float records[] = {1, 2, 3, 4};  // one per second from the start
    EXPECT_EQ(std::memcmp(history.data() + HistoryHeaderSize, records, sizeof records), 0);
}

class ModeChange : public Station {
protected:
    // Configuration mode and back, the clock standing. COM1, where the
    // devices are, is a line that is missing: its thread marks them offline
    // and ends; then they are online again, as the test had them.
    void changeModes()
    {
        const std::string com1 = dir.file("Res/COM1");
        if (!std::filesystem::is_symlink(com1))
            std::filesystem::create_symlink("/nonexistent/tty", com1);
        form->EnterConfigMode();
        form->EnterRunMode();
        form->timer_PerSecond->stop();
        ASSERT_TRUE(eventually([this] {
            return std::all_of(form->Comm.CommThreads.begin(), form->Comm.CommThreads.end(),
                               [](const auto& thread) { return thread->finished(); });
        }));
        for (int k = 0; k < form->Devices.MeterCount; ++k)
            form->Devices.MeterRecords[k].Online = 1;
    }
};

// A log interval of 5 gives lines in ticks 5, 10, ... counted from the
// start, whether or not the station went through configuration mode.
class LogInterval : public ModeChange, public testing::WithParamInterface<int> {};

TEST_P(LogInterval, LineEveryFifthTick)
{
    addDevice("D1", {"CH1"}, 5);
    startPeriod();
    for (int i = 1; i <= 12; ++i) {
        tick();
        if (i == GetParam())
            changeModes();
    }
    EXPECT_EQ(readFileBytes(dir.file("18年10月/18日AM/D1_0.xls")),
              toGbk("时间\tCH1\t\n").toStdString() + "  09:05:08\t0\t\n  09:05:13\t0\t\n");
}

INSTANTIATE_TEST_SUITE_P(ModesChangedAfterTick, LogInterval, testing::Values(0, 3));

// Each return to run mode begins a recording period: a history file and an
// alarm-record file named after that moment, while the files of the period
// before keep what they hold; with a device or none.
class NewPeriod : public ModeChange, public testing::WithParamInterface<int> {};

TEST_P(NewPeriod, LeavingConfigurationStartsNewFilesAndKeepsTheOld)
{
    const int channels = 2 * GetParam();
    if (GetParam())
        addDevice("D1", {"CH1", "CH2"}, 1);
    startPeriod();
    if (GetParam())
        form->Devices.MeterRecords[0].AlarmLA[0] = 1;
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
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_AlarmRecList")->RowCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Devices, NewPeriod, testing::Values(0, 1));

// Without a window manager that maximises it, the window keeps its own size:
// the panels follow the scroll box from the first show on.
TEST_F(Station, OverviewFollowsTheScrollBoxFromTheFirstShow)
{
    addDevice("D1", {"1", "2", "3", "4", "5", "6", "7", "8"});
    startPeriod();
    const auto columns = [this] {
        int n = 0;
        while (n < form->GeneralViewControls->panelCount() &&
               form->GeneralViewControls->panelRect(n).top() == form->GeneralViewControls->panelRect(0).top())
            ++n;
        return n;
    };
    form->setWindowState(Qt::WindowNoState);
    form->resize(1034, 679);
    form->show();
    EXPECT_EQ(columns(), 4);
    for (const QSize size : {QSize(1500, 800), QSize(700, 600), QSize(400, 600)}) {
        form->resize(size);
        const int width = widget<QScrollArea>(*form, "scrBox_GeneralView")->width();
        EXPECT_EQ(columns(), width < 460 ? 1 : (width - 20) / 220) << width;
    }
}

TEST_F(Station, ResizeRebuildsThePanelsGreenAndBlank)
{
    widget<QLineEdit>(*form, "GSMedAlarmDelayT")->setText("0");
    MeterRecord& meter = addDevice("D1", {"CH1"});
    startPeriod();
    tick();
    meter.AlarmHA[0] = 1;
    tick();
    ASSERT_EQ(panel(0).color, clRed);

    form->showNormal();
    form->resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel(0).color, clLime);
    EXPECT_EQ(panel(0).valueText(), "");
    EXPECT_EQ(panel(0).alarmText(), "");

    tick();
    EXPECT_EQ(panel(0).color, clRed);
}

}  // namespace
