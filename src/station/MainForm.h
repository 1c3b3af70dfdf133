#pragma once
#include <QList>
#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "comm/CommControl.h"
#include "platform/ClientSocket.h"
#include "platform/Colors.h"
#include "platform/DateTime.h"
#include "shared/DeviceTable.h"
#include "shared/HistoryFile.h"
#include "station/core/AlarmRecordFile.h"
#include "station/core/AlarmSchedule.h"
#include "station/core/HistoryWriter.h"
#include "station/core/SmsAlarm.h"
#include "station/StringGrid.h"

class QCheckBox;
class QCloseEvent;
class QLabel;
class QResizeEvent;
class QShowEvent;
class ChartSeries;
class GeneralView;
class QTimer;

// The station's main window. It holds the station's whole data model and
// owns every control on the screen; the components of its pages keep the
// form's names (ui->btn_Login). Its handlers are public under the names the
// components' events give them, and so are the two mode entries; its state
// is private. Each topic's behaviour lives in a file of its own
// (MainForm<Topic>.cpp), its handlers and its state in its sections below.
class Tfm_MainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit Tfm_MainForm(QWidget* parent = nullptr);
    ~Tfm_MainForm() override;

    // --- start-up -----------------------------------------------------------
    void FormCreate();
    void FormCloseQuery(bool& CanClose);
    void FormClose();

    // The temperature/humidity tab, never shown; its handlers do nothing.
    void btTH_CtrlOKClick();
    void btTH_CtrlExitClick();
    void tabSheet_HT_CtrlShow();
    void btTempUpClick();
    void btTempDownClick();
    void Button2Click();
    void Button3Click();

    // --- modes and password -------------------------------------------------
    void EnterRunMode();
    void EnterConfigMode();
    void btn_LoginClick();
    void btn_SignOutClick();
    void btn_ModifyPasswordClick();

    // The one seam for what is not a user: the station's tests and
    // benchmarks (through tests/support/StationDriver.h) stand in for the
    // polling threads here. It stops them; the caller then writes the slot's
    // run-time part (values, alarm flags, online flag) as the device's
    // thread would, and reads it back.
    MeterRecord& pollingStandIn(int slot);

    // --- device editor ------------------------------------------------------
    void strgGrid_MeterListClick();
    void strgGrid_MeterChannelListClick();
    GridCellPaint strgGrid_MeterListDrawCell(int col, int row, bool selected) const;
    GridCellPaint strgGrid_MeterChannelListDrawCell(int col, int row, bool selected) const;
    void btn_MeterAddClick();
    void btn_MeterDelClick();
    void btn_MeterModifyClick();
    void btn_MeterSaveClick();
    void btn_ChannelAddClick();
    void btn_ChannelDelClick();
    void btn_ChannelModifyClick();
    void btn_ChannelSaveClick();
    // Appends the devices of the batch-add dialog and loads the last of them.
    void btn_MeterBatchAddClick();

    // --- one-second cycle ---------------------------------------------------
    void timer_PerSecondTimer();

    // --- overview panels ----------------------------------------------------
    void FormResize();

    // --- real-time curves ---------------------------------------------------
    void chkBoxCurvesSelectClick();
    void chkBox_SelectAllCurvesClick();
    void colorBox_CurvesBackColorChange();
    void upDown_CurvesWidthClick();
    void btn_CurvesPrintPreviewClick();
    void btn_CurvesZoomOutClick();
    void btn_CurvesZoomInClick();
    void btn_CurvesResumeClick();
    void btn_SetCurvesRangeClick();

    // --- SMS ----------------------------------------------------------------
    // Throws EConvertError at a number that is no whole number; the keys
    // before it are written.
    void btnGSM_SetSaveClick();

    // --- set value ----------------------------------------------------------
    // Each handler blocks the GUI thread while a polling thread serves it.
    void strgGrid_MeterListDblClick();
    void btReadSVClick();
    void btSetSvClick();
    void btExitSvOpClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Every component of the window's pages; see MainFormWidgets.h.
    struct Widgets;
    std::unique_ptr<Widgets> ui;

    // statusBar_MainForm's panels. Panel 4 carries the Ethernet thread's
    // connection texts, so it takes what is left of the bar's width.
    static constexpr int StatusPanelCount = 5;
    QLabel* StatusPanels[StatusPanelCount] = {};
    // 1000 ms; on in run mode only.
    QTimer* timer_PerSecond = nullptr;
    void createStatusPanels();
    void connectHandlers();

    // --- start-up -----------------------------------------------------------
    DeviceTable Devices;
    QString BaseDir;
    QString AlarmSoundPath;
    std::int32_t FlowChartPointNum = 0;

    // BaseDir + "/" + name: every station file lies under the base directory.
    QString BasePath(const QString& name) const;
    void LoadStartupSettings();
    void LoadSmsSettings();
    void LoadFlowChart();
    void SetPhoneGridHeadings();

    // Config.dat, one field per routine. A save that cannot reach the file
    // shows "无法写入 Config.dat".
    QString ConfigPath() const;
    void LoadMeterConfig();
    void SaveMeterConfig();
    void LoadCurvesBackColor();
    void SaveCurvesBackColor();
    void LoadCurvesRange();
    void SaveCurvesRange();
    void LoadPortBaudTable();
    void SavePortBaudTable();
    void LoadPassword();
    void SavePassword();

    // --- modes and password -------------------------------------------------
    QString ConfigPassword;
    // The polling threads, run in run mode only. Declared after Devices, so
    // that they are stopped before the table they write goes.
    ClientSocket clientSocket_MeterComm;
    CommControl Comm{clientSocket_MeterComm, [this](const QString& text) { postCommStatus(text); }};

    // The Ethernet thread's connection texts into status panel 4, from any
    // thread; never waits for the GUI thread.
    void postCommStatus(const QString& text);
    void connectModeHandlers();
    // Every control that changes the configuration, in the order the modes
    // switch them.
    void setConfigControlsEnabled(bool enabled);

    // --- device editor ------------------------------------------------------
    void FillMeterList();
    void FillChannelList(int slot);
    // False when a number was refused; the fields before it are stored.
    bool StoreMeterFields(int slot);
    // Throws EConvertError for a limit that is not a number; the fields
    // before it are stored.
    void StoreChannelFields(int slot, int channel);
    // Slot of the device grid's selected row, or -1 on the heading or trailing row.
    int selectedMeterSlot() const;
    // Selects the row and runs the grid's click handler, also when the row
    // already was selected.
    void selectMeterRow(int row);
    void selectChannelRow(int row);
    // Grids, edit limits and handlers of the page "设备配置"; constructor only.
    void setupMeterConfigPage();

    // --- one-second cycle ---------------------------------------------------
    std::uint8_t AnyAlarm = 0;
    // AlarmDelayCountdown and AlarmSoundCountdown; the delay follows the
    // text of GSMedAlarmDelayT.
    AlarmSchedule Alarm;
    std::int32_t MeterLogTicks[MaxMeters] = {};
    // The tick's history row, one value per channel in global channel order.
    HistoryRecord HistoryRow = {};

    // Timer and alarm window handlers; constructor only.
    void connectCycleHandlers();
    // The alarm window and sound in a tick with an alarm, and in one without.
    void alarmTick();
    void quietTick();

    // --- overview panels ----------------------------------------------------
    // Paints every configured channel's panel inside scrBox_GeneralView.
    GeneralView* GeneralViewControls = nullptr;

    void BuildGeneralView();
    void UpdateGeneralViewItem(int k, int j, int g);
    // The width the panels are laid out for: the scroll box's, as the tab
    // pages share one size even while another page is in front.
    int generalViewWidth() const;

    // --- real-time curves ---------------------------------------------------
    QList<QCheckBox*> CurveCheckBoxes;
    TColor CurvesBackColor = 0;
    float CurvesRangeLow = 0;
    float CurvesRangeHigh = 0;

    void BuildCurveSeries();
    void BuildCurvesSelectList();
    // Slides one curve by a point: the oldest goes, value comes in at the end.
    void Animate(ChartSeries& series, const QString& label, double value);
    // The stored background colour and range onto the chart and the controls.
    void applyCurvesBackColor();
    void applyCurvesRange();
    void showCurvesRangeTexts();
    // Page "实时曲线" onto its tab, its chart's look and its handlers; constructor only.
    void setupCurvesPage();

    // --- alarm records ------------------------------------------------------
    // Where each open alarm sits in the alarm grid, so that its end is
    // written to the same row: [slot][LL, L, H, HH][channel], 0 while closed.
    std::int32_t OpenAlarmRows[MaxMeters][4][MaxChannels] = {};

    void UpdateAlarmRecords(int k, int j, const QString& timeText);
    void WriteAlarmRecordRow(int r);

    // --- recording ----------------------------------------------------------
    // The period's history file: PeriodHistoryPath, HistoryInterval and
    // NextHistoryTime, and the header until it is on disk.
    HistoryRecorder History;
    // The period's alarm-record file.
    AlarmRecordFile AlarmRecords;

    void StartRecordPeriod();

    // --- SMS ----------------------------------------------------------------
    SmsAlarm Sms;

    // One tick's SMS work, while the SMS alarm is switched on.
    void SmsAlarmStep();
    // The SMS page's controls as the step reads them.
    SmsSettings smsSettings() const;
    void connectSmsHandlers();

    // --- set value ----------------------------------------------------------
    // Hidden until a device row is double-clicked.
    QWidget* plSV_Op = nullptr;

    // The device in slot becomes the target; its port is looked up when a
    // request is posted, so that ports opened later count.
    void setSetValueTarget(int slot);
    // Reads the target's set value into edSV and column 3; false on failure,
    // edSV then empty.
    bool readSetValue();
    // The panel over the device edits and its handlers; constructor only.
    void setupSetValuePanel();
};
