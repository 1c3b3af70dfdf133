#include "history/Form1.h"

#include <QCheckBox>
#include <QDir>
#include <QFont>
#include <QLineEdit>

#include "history/PanelColor.h"
#include "platform/GuardedHandler.h"
#include "platform/ProgramFont.h"
#include "platform/StatusPanels.h"
#include "ui_Form1.h"

namespace {

// The chart's surroundings: the desktop's application workspace grey.
const QColor AppWorkSpace(171, 171, 171);
// The value axis until the operator sets a range of his own.
constexpr double DefaultAxisLow = 0;
constexpr double DefaultAxisHigh = 1000;

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>())
{
    ui->setupUi(this);
    // The pixel places of the controls are laid out for this font size.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    const QList<QLabel*> panels = addStatusPanels(ui->StatusBar1, {500, 140, 50, 50, 50});
    std::copy(panels.begin(), panels.end(), StatusPanels);
    ui->Combox_histrch_color->lineEdit()->setCursorPosition(0);
    open_histr_data.Filter = QStringLiteral("历史数据 (*.nx)");
    ui->Splitter3->setStretchFactor(1, 1);
    ui->Splitter3->setSizes({264, 100});
    setupChart2();
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::setupChart2()
{
    ui->Chart2->setTitle(QStringLiteral("历史曲线"));
    ui->Chart2->setTitleFont(programFont(12));
    ui->Chart2->setTitleColor(Qt::blue);
    ui->Chart2->setBackColor(Qt::white);
    ui->Chart2->setPanelColor(AppWorkSpace);
    // The red time labels stand in the deeper top margin, above the plot.
    ui->Chart2->setMargins(3, 6, 3, 4);
    ui->Chart2->leftAxis().setMinMax(DefaultAxisLow, DefaultAxisHigh);
    ui->Chart2->setLegendVisible(true);
    ui->Chart2->setLegendFont(programFont(9));
}

void TForm1::connectHandlers()
{
    connect(ui->N2, &QAction::triggered, this, guarded(this, &TForm1::N2Click));
    connect(ui->ComboBoxChName, &QComboBox::activated, this, guarded(this, &TForm1::ComboBoxChNameChange));
    connect(ui->btModChName, &QPushButton::clicked, this, guarded(this, &TForm1::btModChNameClick));
    connect(ui->btModChNameExit, &QPushButton::clicked, this, guarded(this, &TForm1::btModChNameExitClick));
    connect(ui->but_open_histr_data, &QPushButton::clicked, this, guarded(this, &TForm1::but_open_histr_dataClick));
    connect(ui->Button1, &QPushButton::clicked, this, guarded(this, &TForm1::Button1Click));
    connect(ui->Button_histr_next, &QPushButton::clicked, this, guarded(this, &TForm1::Button_histr_nextClick));
    connect(ui->Button_histr_back, &QPushButton::clicked, this, guarded(this, &TForm1::Button_histr_backClick));
    connect(ui->CheckBox_allhisrt_curve, &QCheckBox::toggled, this,
            guarded(this, &TForm1::CheckBox_allhisrt_curveClick));
    connect(ui->Combox_histrch_color, &QComboBox::activated, this, guarded(this, &TForm1::Combox_histrch_colorChange));
    ui->Pnl_histr_color->installEventFilter(this);
    ui->Panel_back_color->installEventFilter(this);
    connect(ui->but_mod_up, &QPushButton::clicked, this, guarded(this, &TForm1::but_mod_upClick));
    connect(ui->Button5, &QPushButton::clicked, this, guarded(this, &TForm1::Button5Click));
    connect(ui->Button11, &QPushButton::clicked, this, guarded(this, &TForm1::Button11Click));
    connect(ui->Button12, &QPushButton::clicked, this, guarded(this, &TForm1::Button12Click));
    connect(ui->but_unzoom, &QPushButton::clicked, this, guarded(this, &TForm1::but_unzoomClick));
    // The chart's zoom, undo and scroll only bring the track bar in step.
    connect(ui->Chart2, &Chart::zoomed, this, guarded(this, &TForm1::SyncTimeTrackBar));
    connect(ui->Chart2, &Chart::zoomUndone, this, guarded(this, &TForm1::SyncTimeTrackBar));
    connect(ui->Chart2, &Chart::scrolled, this, guarded(this, &TForm1::SyncTimeTrackBar));
    connect(ui->Chart2, &Chart::mouseMoved, this, guarded(this, &TForm1::Chart2MouseMove));
    connect(ui->tb_histr_time, &QSlider::valueChanged, this, guarded(this, &TForm1::tb_histr_timeChange));
    connect(ui->Button_expro_histr, &QPushButton::clicked, this, guarded(this, &TForm1::Button_expro_histrClick));
}

void TForm1::FormCreate()
{
    ChannelControls.clear();
    setPanelColor(ui->Panel_back_color, ui->Chart2->backColor());
    std::fill(std::begin(ChannelShown), std::end(ChannelShown), std::uint8_t(1));
    ui->Button1->setEnabled(false);
    CrossX = -1;
    CrossY = -1;
    CrossColorMask = 255;
    CrossPenStyle = 0;
    Busy = 1;
    StartDir = QDir::currentPath();
    // Without a readable or creatable file every alias stays empty.
    ChannelAliases.loadOrCreate(QFile::encodeName(AliasFilePath()).toStdString());
}
