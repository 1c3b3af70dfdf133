#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <sys/resource.h>
#include <thread>

#include "chart/Chart.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "station/AlarmForm.h"
#include "station/ColorBox.h"
#include "station/MainForm.h"
#include "station/StringGrid.h"
#include "support/FileBytes.h"
#include "support/GuiApp.h"
#include "support/HugePictures.h"
#include "support/FifoWatchdog.h"
#include "support/WindowDriver.h"
#include "support/WorkDir.h"

namespace {

constexpr std::size_t ConfigSize = 477608;
constexpr std::size_t SlotOffset = 2048;

std::string gbk(const char* utf8) { return toGbk(QString::fromUtf8(utf8)).toStdString(); }

MeterConfig device(const char* name, int address, int channels)
{
    MeterConfig m{};
    copyToField(m.MeterName, QString::fromUtf8(name));
    m.MeterAddr = std::uint8_t(address);
    m.ChannelNum = std::uint8_t(channels);
    m.PreRecordTime = 5;
    for (int j = 0; j < channels; ++j)
        copyToField(m.Channels[j].ChannelName, QStringLiteral("CH_%1").arg(j + 1));
    return m;
}

class Startup : public testing::Test {
protected:
    void SetUp() override { ensureGuiApp(); }

    void write(const std::string& name, const std::string& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(dir.file(name)).parent_path());
        writeFileBytes(dir.file(name), bytes);
    }

    Tfm_MainForm& start()
    {
        form = std::make_unique<Tfm_MainForm>();
        return *form;
    }

    WorkDir dir;
    std::unique_ptr<Tfm_MainForm> form;
};

TEST_F(Startup, FirstStartInAnEmptyDirectory)
{
    Tfm_MainForm& f = start();

    EXPECT_EQ(f.windowTitle(), "Dcs");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Res")));
    EXPECT_TRUE(f.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_TRUE(f.timer_PerSecond->isActive()) << "start-up ends in run mode";

    const std::string config = readFileBytes(dir.file("Config.dat"));
    ASSERT_EQ(config.size(), ConfigSize);
    EXPECT_EQ(config.substr(4, 8), std::string("418263\0\0", 8));
    EXPECT_EQ(f.ConfigPassword, "418263");
    EXPECT_EQ(f.Devices.MeterCount, 0);
    // A solid black back wall and the vertical axis fixed to 0..0.
    EXPECT_EQ(widget<Chart>(f, "chart_RealTimeCurves")->backColor(), QColor(Qt::black));
    EXPECT_EQ(widget<ColorBox>(f, "colorBox_CurvesBackColor")->Selected(), 0);
    EXPECT_FALSE(widget<Chart>(f, "chart_RealTimeCurves")->leftAxis().isAutomatic());
    EXPECT_EQ(widget<Chart>(f, "chart_RealTimeCurves")->leftAxis().maximum(), 0.0);
    EXPECT_EQ(widget<QLineEdit>(f, "ed_CurvesMix")->text(), "0");
    EXPECT_EQ(widget<QLineEdit>(f, "ed_CurvesMax")->text(), "0");

    // SMS page: the defaults, never the layout's own values.
    EXPECT_FALSE(widget<QCheckBox>(f, "GSMcbAlarmEn")->isChecked());
    EXPECT_EQ(widget<QComboBox>(f, "GSMcbbCOM")->currentText(), "COM1");
    EXPECT_FALSE(widget<QCheckBox>(f, "GSMcbPWR_AlarmEn")->isChecked());
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmPWR_CH")->text(), "1");
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmDelayT")->text(), "10");
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmReload")->text(), "60");
    EXPECT_EQ(widget<QPlainTextEdit>(f, "GSMmeAlarmText")->toPlainText(), "ALARM!");
    EXPECT_EQ(f.Alarm.AlarmDelayCountdown, 10);
    EXPECT_EQ(f.Alarm.AlarmSoundCountdown, 0);
    EXPECT_FALSE(widget<QFrame>(f, "plGSM_Alarm")->isEnabled());

    StringGrid& phones = *widget<StringGrid>(f, "GSM_SG_PhoneNum");
    ASSERT_EQ(phones.RowCount(), 11);
    EXPECT_EQ(phones.Cells(0, 0), "编号");
    EXPECT_EQ(phones.Cells(1, 0), "联系人");
    EXPECT_EQ(phones.Cells(2, 0), "手机号");
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(phones.Cells(0, row), QString::number(row));
        EXPECT_EQ(phones.Cells(1, row), "");
        EXPECT_EQ(phones.Cells(2, row), "");
    }

    EXPECT_TRUE(widget<QLabel>(f, "ImFlowChart1")->pixmap().isNull());
    EXPECT_TRUE(widget<QLabel>(f, "Image1")->pixmap().isNull());
}

TEST_F(Startup, TabsAndStatusBar)
{
    Tfm_MainForm& f = start();

    QTabWidget& tabs = *widget<QTabWidget>(f, "pgContr_MainForm");
    const QWidget* pages[] = {widget<QWidget>(f, "tabSheet_MeterInfo"), widget<QWidget>(f, "tabSheet_GenervalView"), widget<QWidget>(f, "tabSheet_RealTimeCurves"),
                              widget<QWidget>(f, "tabSheet_AlamRecord"), widget<QWidget>(f, "tabSheet_Flowchart"), widget<QWidget>(f, "tabSheet_HT_Ctrl")};
    const char* captions[] = {"设置", "概貌显示", "实时曲线", "报警记录", "工艺图", "温湿度控制"};
    const bool shown[] = {true, true, true, true, false, false};
    ASSERT_EQ(tabs.count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tabs.widget(i), pages[i]) << i;
        EXPECT_EQ(tabs.tabText(i), QString::fromUtf8(captions[i])) << i;
        EXPECT_EQ(tabs.isTabVisible(i), shown[i]) << captions[i];
    }
    EXPECT_EQ(tabs.currentWidget(), widget<QWidget>(f, "tabSheet_GenervalView"));
    EXPECT_EQ(widget<QTabWidget>(f, "PageControl1")->tabText(0), "设备配置");
    EXPECT_EQ(widget<QTabWidget>(f, "PageControl1")->tabText(1), "短信报警设置");
    EXPECT_EQ(widget<QTabWidget>(f, "PageControl1")->currentWidget(), widget<QWidget>(f, "TabSheet1"));

    const int widths[] = {380, 50, 50, 50};
    for (int i = 0; i < Tfm_MainForm::StatusPanelCount; ++i) {
        ASSERT_NE(f.StatusPanels[i], nullptr);
        EXPECT_EQ(f.StatusPanels[i]->text(), "");
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.StatusPanels[i]->width(), widths[i]);
    EXPECT_GE(f.StatusPanels[4]->minimumWidth(), 50);
    EXPECT_EQ(f.timer_PerSecond->interval(), 1000);
}

TEST_F(Startup, PreparedDirectoryShowsWhatItsFilesHold)
{
    std::string config(ConfigSize, '\0');
    put(config, 0, std::int32_t(2));
    std::memcpy(&config[4], "pass1234", 8);  // a password of 8 bytes has no NUL
    put(config, 14, std::int32_t(0x00C0FFEE));
    put(config, 18 + 3 * 4, std::int32_t(7));
    put(config, 178, 10.0f);
    put(config, 182, 250.5f);
    put(config, SlotOffset, device("锅炉1", 1, 3));
    put(config, SlotOffset + 3963, device("锅炉2", 2, 48));
    put(config, SlotOffset + 2 * 3963, device("never read", 3, 4));
    write("Config.dat", config);

    write("Res/MFPara.ini", "[mfpara]\r\nMfName=" + gbk("一号车间") + "\r\n");
    write("Res/GSM_Alarm.ini",
          "[GSM]\r\nEnable=1\r\nCOM=3\r\nPWR_ALARM=1\r\nPWR_CH=2\r\nDelay=5\r\nReload=30\r\nText=" +
              gbk("温度超限") + "\r\n[PhoneList]\r\nName1=" + gbk("张三") +
              "\r\nNum1=13800000001\r\nName10=Li\r\nNum10=13900000010\r\n");
    QImage logo(238, 79, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    ASSERT_TRUE(logo.save(QString::fromStdString(dir.file("DCS_LOGO.BMP")), "BMP"));

    Tfm_MainForm& f = start();

    EXPECT_EQ(f.windowTitle(), "一号车间");
    EXPECT_TRUE(widget<QCheckBox>(f, "GSMcbAlarmEn")->isChecked());
    EXPECT_EQ(widget<QComboBox>(f, "GSMcbbCOM")->currentText(), "COM4");
    EXPECT_TRUE(widget<QCheckBox>(f, "GSMcbPWR_AlarmEn")->isChecked());
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmPWR_CH")->text(), "2");
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmDelayT")->text(), "5");
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmReload")->text(), "30");
    EXPECT_EQ(widget<QPlainTextEdit>(f, "GSMmeAlarmText")->toPlainText(), "温度超限");
    EXPECT_EQ(f.Alarm.AlarmDelayCountdown, 5);
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(1, 1), "张三");
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(2, 1), "13800000001");
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(1, 10), "Li");
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(2, 10), "13900000010");
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(0, 1), "1");

    EXPECT_EQ(f.Devices.MeterCount, 2);
    EXPECT_EQ(fromGbkField(f.Devices.MeterRecords[0].MeterName), "锅炉1");
    EXPECT_EQ(f.Devices.MeterRecords[1].ChannelNum, 48);
    EXPECT_EQ(f.Devices.MeterRecords[1].MeterAddr, 2);
    EXPECT_EQ(f.Devices.MeterRecords[2].MeterAddr, 0) << "slots from the count on are not read";
    EXPECT_EQ(f.ConfigPassword, "pass1234");
    EXPECT_EQ(f.CurvesBackColor, 0x00C0FFEE);
    EXPECT_EQ(f.Devices.PortBaudTable[3], 7);
    EXPECT_EQ(f.CurvesRangeLow, 10.0f);
    EXPECT_EQ(f.CurvesRangeHigh, 250.5f);
    EXPECT_EQ(widget<Chart>(f, "chart_RealTimeCurves")->backColor(), QColor(0xEE, 0xFF, 0xC0));
    EXPECT_EQ(widget<ColorBox>(f, "colorBox_CurvesBackColor")->Selected(), 0x00C0FFEE);
    EXPECT_EQ(widget<Chart>(f, "chart_RealTimeCurves")->leftAxis().minimum(), 10.0);
    EXPECT_EQ(widget<Chart>(f, "chart_RealTimeCurves")->leftAxis().maximum(), 250.5);
    EXPECT_EQ(widget<QLineEdit>(f, "ed_CurvesMix")->text(), "10");
    EXPECT_EQ(widget<QLineEdit>(f, "ed_CurvesMax")->text(), "250.5");
    EXPECT_EQ(widget<QLabel>(f, "Image1")->pixmap().size(), QSize(238, 79));

    EXPECT_EQ(readFileBytes(dir.file("Config.dat")), config) << "loading never writes";
}

TEST_F(Startup, EveryDeviceSlotStartsOffline)
{
    std::string config(ConfigSize, '\0');
    put(config, 0, std::int32_t(1));
    put(config, SlotOffset, device("D1", 1, 1));
    write("Config.dat", config);

    Tfm_MainForm& f = start();

    for (const MeterRecord& m : f.Devices.MeterRecords) {
        EXPECT_EQ(m.ErrCount, 0);
        EXPECT_EQ(m.Online, 0);
    }
}

TEST_F(Startup, DelayThatIsNotAWholeNumberCountsAsZero)
{
    write("Res/GSM_Alarm.ini", "[GSM]\r\nDelay=abc\r\nReload=7\r\n");
    write("Res/MFPara.ini", "[MFPARA]\r\nMFNAME=Station\r\n");

    Tfm_MainForm& f = start();

    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmDelayT")->text(), "abc");
    EXPECT_EQ(f.Alarm.AlarmDelayCountdown, 0);
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmReload")->text(), "7") << "start-up goes on";
    EXPECT_EQ(f.windowTitle(), "Station");
    EXPECT_EQ(f.ConfigPassword, "418263");
}

TEST_F(Startup, DamagedConfigFileIsClampedAndLeftAsItIs)
{
    // Cut short after slot 0, which has 200 channels on COM100 with register type 7.
    std::string config(SlotOffset + sizeof(MeterConfig), '\0');
    put(config, 0, std::int32_t(500));
    put(config, SlotOffset + 1, std::uint8_t(200));
    put(config, SlotOffset + 2, std::uint8_t(99));
    put(config, SlotOffset + 3, std::uint8_t(7));
    write("Config.dat", config);
    std::filesystem::create_directories(dir.file("Res"));
    for (const char* port : {"Res/COM1", "Res/COM40"})  // lines that are missing: no real port is polled
        std::filesystem::create_symlink("/nonexistent/tty", dir.file(port));

    Tfm_MainForm& f = start();

    ASSERT_EQ(f.Devices.MeterCount, MaxMeters);
    const MeterRecord* m = f.Devices.MeterRecords;
    EXPECT_EQ(m[0].ChannelNum, MaxChannels);
    EXPECT_EQ(m[0].CommSerial, MaxComPorts - 1);
    EXPECT_EQ(m[0].CommStyle, 1);
    for (int k = 1; k < MaxMeters; ++k)
        EXPECT_EQ(m[k].ChannelNum, 1) << "slot " << k << " reads as zeros";
    EXPECT_EQ(readFileBytes(dir.file("Config.dat")), config);
}

struct FlowChartCase {
    const char* name;
    const char* ini;          // Res/FlowChart1.ini, nullptr for none
    const char* pictureFile;  // written under Res, nullptr for none
    const char* format;       // how it is written; nullptr writes bytes that are no picture
    int pointNum;
    bool loaded;
};

void PrintTo(const FlowChartCase& c, std::ostream* os) { *os << c.name; }

class FlowChart : public Startup, public testing::WithParamInterface<FlowChartCase> {};

TEST_P(FlowChart, PictureIsLoadedOnlyWhenEnabledAndReadable)
{
    const FlowChartCase c = GetParam();
    if (c.ini)
        write("Res/FlowChart1.ini", c.ini);
    if (c.pictureFile) {
        std::filesystem::create_directories(dir.file("Res"));
        const QString path = QString::fromStdString(dir.file(std::string("Res/") + c.pictureFile));
        if (c.format) {
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(Qt::red);
            ASSERT_TRUE(picture.save(path, c.format));
        } else {
            write(std::string("Res/") + c.pictureFile, "\xff\xd8\xff\xe0 not a picture");
        }
    }

    Tfm_MainForm& f = start();

    if (c.loaded)
        EXPECT_EQ(widget<QLabel>(f, "ImFlowChart1")->pixmap().size(), QSize(40, 30));
    else
        EXPECT_TRUE(widget<QLabel>(f, "ImFlowChart1")->pixmap().isNull());
    EXPECT_EQ(f.FlowChartPointNum, c.pointNum);
    EXPECT_EQ(f.ConfigPassword, "418263") << "start-up goes on to the Config.dat loads";
    EXPECT_TRUE(f.windowState().testFlag(Qt::WindowMaximized));
}

INSTANTIATE_TEST_SUITE_P(Cases, FlowChart, testing::Values(
    FlowChartCase{"NoIniFile", nullptr, "FlowChart1.jpg", "JPG", 0, false},
    FlowChartCase{"PointNumZero", "[PICTURE]\r\nPointNum=0\r\n", "FlowChart1.jpg", "JPG", 0, false},
    FlowChartCase{"PointNumNegative", "[PICTURE]\r\nPointNum=-1\r\nFileName=FlowChart1.jpg\r\n",
                  "FlowChart1.jpg", "JPG", -1, false},
    FlowChartCase{"DefaultFileName", "[PICTURE]\r\nPointNum=1\r\n", "FlowChart1.jpg", "JPG", 1, true},
    FlowChartCase{"JpegExtension", "[picture]\r\npointnum=3\r\nfilename=plant.jpeg\r\n", "plant.jpeg", "JPG", 3, true},
    FlowChartCase{"OtherFormatByQt", "[PICTURE]\r\nPointNum=1\r\nFileName=plant.bmp\r\n", "plant.bmp", "BMP", 1, true},
    FlowChartCase{"MissingFile", "[PICTURE]\r\nPointNum=1\r\nFileName=gone.jpg\r\n", nullptr, nullptr, 1, false},
    FlowChartCase{"BrokenJpeg", "[PICTURE]\r\nPointNum=1\r\n", "FlowChart1.jpg", nullptr, 1, false}),
    [](const testing::TestParamInfo<FlowChartCase>& info) { return info.param.name; });

TEST_F(Startup, PicturesDeclaringMoreThan64MegapixelsStayEmpty)
{
    write("DCS_LOGO.BMP", rleBmpDeclaring(8100, 8100).toStdString());
    write("Res/FlowChart1.ini", "[PICTURE]\r\nPointNum=1\r\n");
    write("Res/FlowChart1.jpg", jpegDeclaring(65500, 65500).toStdString());

    Tfm_MainForm& f = start();

    EXPECT_TRUE(widget<QLabel>(f, "Image1")->pixmap().isNull());
    EXPECT_TRUE(widget<QLabel>(f, "ImFlowChart1")->pixmap().isNull());
    EXPECT_TRUE(f.timer_PerSecond->isActive()) << "start-up reaches run mode";
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 1024L * 1024) << "peak resident kilobytes";
}

TEST_F(Startup, PicturesThatAreFifosStayEmpty)
{
    write("Res/FlowChart1.ini", "[PICTURE]\r\nPointNum=1\r\n");
    const FifoWatchdog logo(dir.file("DCS_LOGO.BMP"), FifoWatchdog::Opener::Reader);
    const FifoWatchdog flowChart(dir.file("Res/FlowChart1.jpg"), FifoWatchdog::Opener::Reader);

    Tfm_MainForm& f = start();

    EXPECT_FALSE(logo.released()) << "start-up waited for a writer to the logo";
    EXPECT_FALSE(flowChart.released()) << "start-up waited for a writer to the flowchart picture";
    EXPECT_TRUE(widget<QLabel>(f, "Image1")->pixmap().isNull());
    EXPECT_TRUE(widget<QLabel>(f, "ImFlowChart1")->pixmap().isNull());
    EXPECT_TRUE(f.timer_PerSecond->isActive()) << "start-up reaches run mode";
}

TEST_F(Startup, EthernetStatusReachesPanel4WithoutTheCallerWaiting)
{
    Tfm_MainForm& f = start();

    // The GUI thread handles no event until the poster has returned.
    auto posted = std::async(std::launch::async, [&f] { f.postCommStatus("192.168.0.101 Connect Success"); });
    ASSERT_EQ(posted.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(f.StatusPanels[4]->text(), "");

    QCoreApplication::processEvents();
    EXPECT_EQ(f.StatusPanels[4]->text(), "192.168.0.101 Connect Success");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.StatusPanels[i]->text(), "");
}

TEST_F(Startup, SavesThatCannotReachConfigFileSaySo)
{
    Tfm_MainForm& f = start();
    std::filesystem::remove(dir.file("Config.dat"));
    MessageBoxCapture boxes;

    f.SaveMeterConfig();
    f.SavePortBaudTable();
    f.SavePassword();
    f.SaveCurvesBackColor();
    f.SaveCurvesRange();

    const ShownMessage writeFailed{"错误", "无法写入 Config.dat"};
    EXPECT_EQ(boxes.shown(), std::vector<ShownMessage>(5, writeFailed));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Config.dat"))) << "a save never creates the file";
}

TEST_F(Startup, ConfigFileThatCanBeNeitherOpenedNorCreated)
{
    std::filesystem::create_directory(dir.file("Config.dat"));
    MessageBoxCapture boxes;

    Tfm_MainForm& f = start();
    EXPECT_EQ(f.Devices.MeterCount, 0);
    EXPECT_EQ(f.ConfigPassword, "418263") << "never an empty password read from nothing";
    EXPECT_TRUE(boxes.shown().empty());

    f.SavePassword();
    EXPECT_EQ(boxes.texts(), std::vector<QString>{"无法写入 Config.dat"});
}

TEST_F(Startup, ClosingTheMainWindowEndsTheProgramWhateverElseIsOpen)
{
    Tfm_MainForm& f = start();
    TFormAlarm alarmWindow;
    f.show();
    alarmWindow.show();  // an alarm under way
    QTimer::singleShot(0, &f, [&f] { f.close(); });
    QTimer bound;  // ends a program that would live on, so that the test can fail
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    bound.start(std::chrono::seconds(10));

    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(alarmWindow.isVisible());
}

TEST_F(Startup, ClosingAsksNothingAndSavesNothing)
{
    Tfm_MainForm& f = start();
    const std::string before = readFileBytes(dir.file("Config.dat"));
    f.Devices.MeterCount = 3;
    f.ConfigPassword = "changed";
    f.show();

    EXPECT_TRUE(f.close());
    EXPECT_EQ(readFileBytes(dir.file("Config.dat")), before);
}

} // namespace
