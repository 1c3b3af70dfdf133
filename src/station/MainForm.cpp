#include "station/MainFormWidgets.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <algorithm>

#include "platform/GuardedHandler.h"
#include "platform/StatusPanels.h"
#include "shared/SetValueRequest.h"
#include "station/PictureFile.h"

Tfm_MainForm::Tfm_MainForm(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Widgets>()), timer_PerSecond(new QTimer(this))
{
    ui->Ui::Tfm_MainForm::setupUi(this);
    ui->Ui::SmsAlarmPage::setupUi(ui->TabSheet2);
    ui->Ui::MeterConfigPage::setupUi(ui->TabSheet1);
    setupMeterConfigPage();
    setupCurvesPage();
    connectModeHandlers();
    setupSetValuePanel();

    ui->pgContr_MainForm->setTabVisible(ui->pgContr_MainForm->indexOf(ui->tabSheet_Flowchart), false);
    ui->strgGrid_AlarmRecList->setColWidths({102, 98, 63, 120, 120});
    ui->strgGrid_AlarmRecList->setDefaultRowHeight(18);
    ui->GSM_SG_PhoneNum->setColWidths({120, 120, 120});
    ui->GSM_SG_PhoneNum->setDefaultRowHeight(24);
    ui->GSM_SG_PhoneNum->setFixedCells(1, 1);
    ui->GSM_SG_PhoneNum->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int port = 1; port <= MaxComPorts; ++port)
        ui->GSMcbbCOM->addItem(QStringLiteral("COM%1").arg(port));
    createStatusPanels();
    // A coarse timer may fire up to 5 % early: ticks would share a second.
    timer_PerSecond->setTimerType(Qt::PreciseTimer);
    timer_PerSecond->setInterval(1000);

    connectHandlers();
    connectCycleHandlers();
    connectSmsHandlers();
    FormCreate();
}

// No polling thread may outlive the device table it writes.
Tfm_MainForm::~Tfm_MainForm()
{
    Comm.StopCommThreads();
}

void Tfm_MainForm::createStatusPanels()
{
    const QList<QLabel*> panels = addStatusPanels(ui->statusBar_MainForm, {380, 50, 50, 50, 50});
    std::copy(panels.begin(), panels.end(), StatusPanels);
}

void Tfm_MainForm::connectHandlers()
{
    connect(ui->btTH_CtrlOK, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btTH_CtrlOKClick));
    connect(ui->btTH_CtrlExit, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btTH_CtrlExitClick));
    connect(ui->btTempUp, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btTempUpClick));
    connect(ui->btTempDown, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btTempDownClick));
    connect(ui->Button2, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::Button2Click));
    connect(ui->Button3, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::Button3Click));
    connect(ui->pgContr_MainForm, &QTabWidget::currentChanged, this, guarded([this](int index) {
        if (ui->pgContr_MainForm->widget(index) == ui->tabSheet_HT_Ctrl)
            tabSheet_HT_CtrlShow();
    }));
}

void Tfm_MainForm::FormCreate()
{
    BaseDir = QDir::currentPath();
    AlarmSoundPath = BasePath(QStringLiteral("Alarm.wav"));
    LoadStartupSettings();
    setValueRequest().finish();
    ui->Image1->setPixmap(QPixmap::fromImage(loadPictureFile(BasePath(QStringLiteral("DCS_LOGO.BMP")))));
    SetPhoneGridHeadings();
    ui->pgContr_MainForm->setTabVisible(ui->pgContr_MainForm->indexOf(ui->tabSheet_HT_Ctrl), false);

    LoadMeterConfig();
    LoadCurvesBackColor();
    LoadPassword();
    LoadPortBaudTable();
    LoadCurvesRange();

    setWindowState(windowState() | Qt::WindowMaximized);
    EnterRunMode();
}

void Tfm_MainForm::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    // The main window's close ends the program, whatever other windows (the
    // alarm window, say) are open. Queued, so that this close completes first.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

// Closing asks nothing and saves nothing: configuration reaches its files
// only through the Save buttons and the settings controls.
void Tfm_MainForm::FormCloseQuery(bool&) {}
void Tfm_MainForm::FormClose() {}

void Tfm_MainForm::btTH_CtrlOKClick() {}
void Tfm_MainForm::btTH_CtrlExitClick() {}
void Tfm_MainForm::tabSheet_HT_CtrlShow() {}
void Tfm_MainForm::btTempUpClick() {}
void Tfm_MainForm::btTempDownClick() {}
void Tfm_MainForm::Button2Click() {}  // "湿度增加"
void Tfm_MainForm::Button3Click() {}  // "湿度降低"
