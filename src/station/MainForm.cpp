#include "station/MainForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <algorithm>

#include "platform/StatusPanels.h"
#include "shared/SetValueRequest.h"
#include "station/PictureFile.h"

Tfm_MainForm::Tfm_MainForm(QWidget* parent) : QMainWindow(parent), timer_PerSecond(new QTimer(this))
{
    Ui::Tfm_MainForm::setupUi(this);
    Ui::SmsAlarmPage::setupUi(TabSheet2);
    Ui::MeterConfigPage::setupUi(TabSheet1);
    setupMeterConfigPage();
    setupCurvesPage();
    connectModeHandlers();
    setupSetValuePanel();

    pgContr_MainForm->setTabVisible(pgContr_MainForm->indexOf(tabSheet_Flowchart), false);
    strgGrid_AlarmRecList->setColWidths({102, 98, 63, 120, 120});
    strgGrid_AlarmRecList->setDefaultRowHeight(18);
    GSM_SG_PhoneNum->setColWidths({120, 120, 120});
    GSM_SG_PhoneNum->setDefaultRowHeight(24);
    GSM_SG_PhoneNum->setFixedCells(1, 1);
    GSM_SG_PhoneNum->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int port = 1; port <= MaxComPorts; ++port)
        GSMcbbCOM->addItem(QStringLiteral("COM%1").arg(port));
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
    const QList<QLabel*> panels = addStatusPanels(statusBar_MainForm, {380, 50, 50, 50, 50});
    std::copy(panels.begin(), panels.end(), StatusPanels);
}

void Tfm_MainForm::connectHandlers()
{
    connect(btTH_CtrlOK, &QPushButton::clicked, this, &Tfm_MainForm::btTH_CtrlOKClick);
    connect(btTH_CtrlExit, &QPushButton::clicked, this, &Tfm_MainForm::btTH_CtrlExitClick);
    connect(btTempUp, &QPushButton::clicked, this, &Tfm_MainForm::btTempUpClick);
    connect(btTempDown, &QPushButton::clicked, this, &Tfm_MainForm::btTempDownClick);
    connect(Button2, &QPushButton::clicked, this, &Tfm_MainForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tfm_MainForm::Button3Click);
    connect(pgContr_MainForm, &QTabWidget::currentChanged, this, [this](int index) {
        if (pgContr_MainForm->widget(index) == tabSheet_HT_Ctrl)
            tabSheet_HT_CtrlShow();
    });
}

void Tfm_MainForm::FormCreate()
{
    BaseDir = QDir::currentPath();
    AlarmSoundPath = BasePath(QStringLiteral("Alarm.wav"));
    LoadStartupSettings();
    setValueRequest().finish();
    Image1->setPixmap(QPixmap::fromImage(loadPictureFile(BasePath(QStringLiteral("DCS_LOGO.BMP")))));
    SetPhoneGridHeadings();
    pgContr_MainForm->setTabVisible(pgContr_MainForm->indexOf(tabSheet_HT_Ctrl), false);

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
