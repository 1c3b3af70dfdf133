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
#include <QStatusBar>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/resource.h>

#include "chart/Chart.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "station/AlarmForm.h"
#include "station/ColorBox.h"
#include "station/MainForm.h"
#include "station/ModifyPwForm.h"
#include "station/StringGrid.h"
#include "support/DeviceSlots.h"
#include "support/Devsim.h"
#include "support/FifoWatchdog.h"
#include "support/FileBytes.h"
#include "support/GuiApp.h"
#include "support/HugePictures.h"
#include "support/ModalDialog.h"
#include "support/StationDriver.h"
#include "support/StationLogin.h"
#include "support/WindowDriver.h"

namespace {

constexpr std::size_t ConfigSize = 477608;
constexpr std::size_t SlotOffset = 2048;

std::string gbk(const char* utf8) { return toGbk(QString::fromUtf8(utf8)).toStdString(); }

MeterConfig device(const char* name, int address, int channels)
{
    MeterConfig m = namedDevice(QString::fromUtf8(name), numberedNames("CH_", channels));
    m.MeterAddr = std::uint8_t(address);
    m.PreRecordTime = 5;
    return m;
}

// Res/COMn for each port given, a line that is missing: no real port is polled.
void linkMissingLines(std::initializer_list<int> comNumbers)
{
    for (int n : comNumbers)
        std::filesystem::create_symlink("/nonexistent/tty", comLink(n));
}

class Startup : public testing::Test {
protected:
    void SetUp() override { ensureGuiApp(); }

    void write(const std::string& name, const std::string& bytes) const { station.writeBaseFile(name, bytes); }

    Tfm_MainForm& start()
    {
        station.start();
        return station.window();
    }

    int meterRows() const { return station.widget<StringGrid>("strgGrid_MeterList").RowCount(); }
    int channelRows() const { return station.widget<StringGrid>("strgGrid_MeterChannelList").RowCount(); }

    StationDriver station;
};

TEST_F(Startup, FirstStartInAnEmptyDirectory)
{
    Tfm_MainForm& f = start();

    EXPECT_EQ(f.windowTitle(), "Dcs");
    EXPECT_TRUE(std::filesystem::is_directory(station.dir().file("Res")));
    EXPECT_TRUE(f.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_TRUE(station.timer().isActive()) << "start-up ends in run mode";

    const std::string config = readFileBytes(station.dir().file("Config.dat"));
    ASSERT_EQ(config.size(), ConfigSize);
    EXPECT_EQ(config.substr(4, 8), std::string("418263\0\0", 8));
    EXPECT_EQ(meterRows(), 2) << "no device";
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

    EXPECT_TRUE(logIn(station, "418263")) << "the password of a new Config.dat";
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
    ASSERT_EQ(widget<QStatusBar>(f, "statusBar_MainForm")->findChildren<QLabel*>().size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(station.statusPanel(i).text(), "");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(station.statusPanel(i).width(), widths[i]);
    EXPECT_GE(station.statusPanel(4).minimumWidth(), 50);
    EXPECT_EQ(station.timer().interval(), 1000);
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
    MeterConfig onCom4 = device("锅炉2", 2, 48);
    onCom4.CommSerial = 3;
    put(config, SlotOffset + 3963, onCom4);
    put(config, SlotOffset + 2 * 3963, device("never read", 3, 4));
    write("Config.dat", config);
    linkMissingLines({1, 4});

    write("Res/MFPara.ini", "[mfpara]\r\nMfName=" + gbk("一号车间") + "\r\n");
    write("Res/GSM_Alarm.ini",
          "[GSM]\r\nEnable=1\r\nCOM=3\r\nPWR_ALARM=1\r\nPWR_CH=2\r\nDelay=5\r\nReload=30\r\nText=" +
              gbk("温度超限") + "\r\n[PhoneList]\r\nName1=" + gbk("张三") +
              "\r\nNum1=13800000001\r\nName10=Li\r\nNum10=13900000010\r\n");
    QImage logo(238, 79, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    ASSERT_TRUE(logo.save(QString::fromStdString(station.dir().file("DCS_LOGO.BMP")), "BMP"));

    Tfm_MainForm& f = start();

    EXPECT_EQ(f.windowTitle(), "一号车间");
    EXPECT_TRUE(widget<QCheckBox>(f, "GSMcbAlarmEn")->isChecked());
    EXPECT_EQ(widget<QComboBox>(f, "GSMcbbCOM")->currentText(), "COM4");
    EXPECT_TRUE(widget<QCheckBox>(f, "GSMcbPWR_AlarmEn")->isChecked());
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmPWR_CH")->text(), "2");
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmDelayT")->text(), "5");
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmReload")->text(), "30");
    EXPECT_EQ(widget<QPlainTextEdit>(f, "GSMmeAlarmText")->toPlainText(), "温度超限");
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(1, 1), "张三");
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(2, 1), "13800000001");
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(1, 10), "Li");
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(2, 10), "13900000010");
    EXPECT_EQ(widget<StringGrid>(f, "GSM_SG_PhoneNum")->Cells(0, 1), "1");

    EXPECT_EQ(meterRows(), 4);
    EXPECT_EQ(station.cell("strgGrid_MeterList", 1, 1), "锅炉1");
    EXPECT_EQ(station.cell("strgGrid_MeterList", 0, 2), "COM4");
    EXPECT_EQ(station.cell("strgGrid_MeterList", 2, 2), "2");
    station.clickRow("strgGrid_MeterList", 2);
    EXPECT_EQ(channelRows(), 50);
    EXPECT_EQ(widget<QComboBox>(f, "cboBox_MeterCommBaundrate")->currentIndex(), 7) << "COM4's baud index";
    EXPECT_EQ(widget<Chart>(f, "chart_RealTimeCurves")->backColor(), QColor(0xEE, 0xFF, 0xC0));
    EXPECT_EQ(widget<ColorBox>(f, "colorBox_CurvesBackColor")->Selected(), 0x00C0FFEE);
    EXPECT_EQ(widget<Chart>(f, "chart_RealTimeCurves")->leftAxis().minimum(), 10.0);
    EXPECT_EQ(widget<Chart>(f, "chart_RealTimeCurves")->leftAxis().maximum(), 250.5);
    EXPECT_EQ(widget<QLineEdit>(f, "ed_CurvesMix")->text(), "10");
    EXPECT_EQ(widget<QLineEdit>(f, "ed_CurvesMax")->text(), "250.5");
    EXPECT_EQ(widget<QLabel>(f, "Image1")->pixmap().size(), QSize(238, 79));

    EXPECT_EQ(readFileBytes(station.dir().file("Config.dat")), config) << "loading never writes";

    // Slots from the count on are not read: the next device's add takes over
    // the zeros of a slot never used, not the file's channels.
    ASSERT_TRUE(logIn(station, "pass1234"));
    station.addInEditor("D3");
    station.click("btn_MeterSave");
    EXPECT_STREQ(station.savedDevice(2).Channels[1].ChannelName, "");
}

TEST_F(Startup, EveryDeviceSlotStartsOffline)
{
    std::string config(ConfigSize, '\0');
    put(config, 0, std::int32_t(1));
    put(config, SlotOffset, device("D1", 1, 1));
    write("Config.dat", config);
    linkMissingLines({1});

    start();

    for (int k = 0; k < MaxMeters; ++k) {
        const MeterRecord& m = station.polled(k);
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
    EXPECT_EQ(widget<QLineEdit>(f, "GSMedAlarmReload")->text(), "7") << "start-up goes on";
    EXPECT_EQ(f.windowTitle(), "Station");
    EXPECT_TRUE(station.timer().isActive());
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
    linkMissingLines({1, 40});

    Tfm_MainForm& f = start();

    ASSERT_EQ(meterRows(), MaxMeters + 2);
    station.clickRow("strgGrid_MeterList", 1);
    EXPECT_EQ(channelRows(), MaxChannels + 2);
    EXPECT_EQ(station.cell("strgGrid_MeterList", 0, 1), "COM40");
    EXPECT_EQ(widget<QComboBox>(f, "cbo_MeterCommStyle")->currentText(), "4X");
    for (int row = 2; row <= MaxMeters; ++row) {
        station.clickRow("strgGrid_MeterList", row);
        EXPECT_EQ(channelRows(), 3) << "slot " << row - 1 << " reads as zeros: one channel";
    }
    EXPECT_EQ(readFileBytes(station.dir().file("Config.dat")), config);
}

struct FlowChartCase {
    const char* name;
    const char* ini;          // Res/FlowChart1.ini, nullptr for none
    const char* pictureFile;  // written under Res, nullptr for none
    const char* format;       // how it is written; nullptr writes bytes that are no picture
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
        std::filesystem::create_directories(station.dir().file("Res"));
        const QString path = QString::fromStdString(station.dir().file(std::string("Res/") + c.pictureFile));
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
    EXPECT_TRUE(f.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_TRUE(station.timer().isActive()) << "start-up goes on to run mode";
}

INSTANTIATE_TEST_SUITE_P(Cases, FlowChart, testing::Values(
    FlowChartCase{"NoIniFile", nullptr, "FlowChart1.jpg", "JPG", false},
    FlowChartCase{"PointNumZero", "[PICTURE]\r\nPointNum=0\r\n", "FlowChart1.jpg", "JPG", false},
    FlowChartCase{"PointNumNegative", "[PICTURE]\r\nPointNum=-1\r\nFileName=FlowChart1.jpg\r\n",
                  "FlowChart1.jpg", "JPG", false},
    FlowChartCase{"DefaultFileName", "[PICTURE]\r\nPointNum=1\r\n", "FlowChart1.jpg", "JPG", true},
    FlowChartCase{"JpegExtension", "[picture]\r\npointnum=3\r\nfilename=plant.jpeg\r\n", "plant.jpeg", "JPG", true},
    FlowChartCase{"OtherFormatByQt", "[PICTURE]\r\nPointNum=1\r\nFileName=plant.bmp\r\n", "plant.bmp", "BMP", true},
    FlowChartCase{"MissingFile", "[PICTURE]\r\nPointNum=1\r\nFileName=gone.jpg\r\n", nullptr, nullptr, false},
    FlowChartCase{"BrokenJpeg", "[PICTURE]\r\nPointNum=1\r\n", "FlowChart1.jpg", nullptr, false}),
    [](const testing::TestParamInfo<FlowChartCase>& info) { return info.param.name; });

TEST_F(Startup, PicturesDeclaringMoreThan64MegapixelsStayEmpty)
{
    write("DCS_LOGO.BMP", rleBmpDeclaring(8100, 8100).toStdString());
    write("Res/FlowChart1.ini", "[PICTURE]\r\nPointNum=1\r\n");
    write("Res/FlowChart1.jpg", jpegDeclaring(65500, 65500).toStdString());

    Tfm_MainForm& f = start();

    EXPECT_TRUE(widget<QLabel>(f, "Image1")->pixmap().isNull());
    EXPECT_TRUE(widget<QLabel>(f, "ImFlowChart1")->pixmap().isNull());
    EXPECT_TRUE(station.timer().isActive()) << "start-up reaches run mode";
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 1024L * 1024) << "peak resident kilobytes";
}

TEST_F(Startup, PicturesThatAreFifosStayEmpty)
{
    write("Res/FlowChart1.ini", "[PICTURE]\r\nPointNum=1\r\n");
    const FifoWatchdog logo(station.dir().file("DCS_LOGO.BMP"), FifoWatchdog::Opener::Reader);
    const FifoWatchdog flowChart(station.dir().file("Res/FlowChart1.jpg"), FifoWatchdog::Opener::Reader);

    Tfm_MainForm& f = start();

    EXPECT_FALSE(logo.released()) << "start-up waited for a writer to the logo";
    EXPECT_FALSE(flowChart.released()) << "start-up waited for a writer to the flowchart picture";
    EXPECT_TRUE(widget<QLabel>(f, "Image1")->pixmap().isNull());
    EXPECT_TRUE(widget<QLabel>(f, "ImFlowChart1")->pixmap().isNull());
    EXPECT_TRUE(station.timer().isActive()) << "start-up reaches run mode";
}

// The Ethernet thread hands its texts to the GUI thread and goes on polling;
// the GUI thread shows them as it next handles its events.
TEST_F(Startup, EthernetStatusReachesPanel4WithoutThePollingThreadWaiting)
{
    const std::unique_ptr<Devsim> device = Devsim::onTcp();
    MeterConfig& m = station.addDevice(namedDevice("D1", {"CH1"}));
    m.MeterAddr = 1;
    m.CommMod = 1;
    copyToField(m.IPAddr, "127.0.0.1");
    m.IPPort = device->port();
    start();

    ASSERT_TRUE(device->waitForRequests(2)) << "polls after the connection";
    EXPECT_EQ(station.statusPanel(4).text(), "");

    QCoreApplication::processEvents();
    EXPECT_EQ(station.statusPanel(4).text(), "127.0.0.1 Connect Success");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(station.statusPanel(i).text(), "");
}

// A new password, typed twice in its dialog and accepted.
void answerPasswordChange(const QString& password)
{
    whenShown<Tfm_ModifyPwForm>([password](Tfm_ModifyPwForm& dialog) {
        type(dialog, "ed_NewPw", password);
        type(dialog, "ed_NewPwAgain", password);
        press(dialog, "btn_Ok");
    });
}

// Every control that saves to Config.dat at once.
TEST_F(Startup, SavesThatCannotReachConfigFileSaySo)
{
    start();
    station.window().EnterConfigMode();
    std::filesystem::remove(station.dir().file("Config.dat"));
    MessageBoxCapture boxes;

    station.click("btn_MeterSave");  // the devices, then the baud table
    station.click("btn_ChannelSave");
    answerPasswordChange("1234");
    station.click("btn_ModifyPassword");
    station.choose("colorBox_CurvesBackColor", 1);
    station.type("ed_CurvesMix", "0");
    station.type("ed_CurvesMax", "10");
    station.click("btn_SetCurvesRange");

    const ShownMessage writeFailed{"错误", "无法写入 Config.dat"};
    EXPECT_EQ(boxes.shown(), std::vector<ShownMessage>(6, writeFailed));
    EXPECT_FALSE(std::filesystem::exists(station.dir().file("Config.dat"))) << "a save never creates the file";
}

TEST_F(Startup, ConfigFileThatCanBeNeitherOpenedNorCreated)
{
    std::filesystem::create_directory(station.dir().file("Config.dat"));
    MessageBoxCapture boxes;

    start();
    EXPECT_EQ(meterRows(), 2) << "no device";
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(logIn(station, "418263")) << "never an empty password read from nothing";

    answerPasswordChange("1234");
    station.click("btn_ModifyPassword");
    EXPECT_EQ(boxes.texts(), std::vector<QString>{"无法写入 Config.dat"});
}

TEST_F(Startup, ClosingTheMainWindowEndsTheProgramWhateverElseIsOpen)
{
    Tfm_MainForm& f = start();
    TFormAlarm& alarmWindow = station.alarmWindow();
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
    const std::string before = readFileBytes(station.dir().file("Config.dat"));
    f.EnterConfigMode();
    station.addInEditor("unsaved");
    station.type("GSMedAlarmReload", "15");
    f.show();

    EXPECT_TRUE(f.close());
    EXPECT_EQ(readFileBytes(station.dir().file("Config.dat")), before);
    EXPECT_FALSE(std::filesystem::exists(station.dir().file("Res/GSM_Alarm.ini")));
}

} // namespace
