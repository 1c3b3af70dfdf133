#include "history/Form1.h"

#include <QCheckBox>
#include <QDir>
#include <QFont>
#include <QLineEdit>

#include "history/PanelColor.h"
#include "platform/ProgramFont.h"
#include "platform/StatusPanels.h"

namespace {

// The chart's surroundings: the desktop's application workspace grey.
const QColor AppWorkSpace(171, 171, 171);

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setupUi(this);
    // The pixel places of the controls are laid out for this font size.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    const QList<QLabel*> panels = addStatusPanels(StatusBar1, {500, 140, 50, 50, 50});
    std::copy(panels.begin(), panels.end(), StatusPanels);
    Combox_histrch_color->lineEdit()->setCursorPosition(0);
    open_histr_data.Filter = QStringLiteral("历史数据 (*.nx)");
    Splitter3->setStretchFactor(1, 1);
    Splitter3->setSizes({264, 100});
    setupChart2();
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::setupChart2()
{
    Chart2->setTitle(QStringLiteral("历史曲线"));
    Chart2->setTitleFont(programFont(12));
    Chart2->setTitleColor(Qt::blue);
    Chart2->setBackColor(Qt::white);
    Chart2->setPanelColor(AppWorkSpace);
    // The red time labels stand in the deeper top margin, above the plot.
    Chart2->setMargins(3, 6, 3, 4);
    Chart2->leftAxis().setMinMax(0, 1000);
    Chart2->setLegendVisible(true);
    Chart2->setLegendFont(programFont(9));
}

void TForm1::connectHandlers()
{
    connect(N2, &QAction::triggered, this, &TForm1::N2Click);
    connect(ComboBoxChName, &QComboBox::activated, this, &TForm1::ComboBoxChNameChange);
    connect(btModChName, &QPushButton::clicked, this, &TForm1::btModChNameClick);
    connect(btModChNameExit, &QPushButton::clicked, this, &TForm1::btModChNameExitClick);
    connect(but_open_histr_data, &QPushButton::clicked, this, &TForm1::but_open_histr_dataClick);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button_histr_next, &QPushButton::clicked, this, &TForm1::Button_histr_nextClick);
    connect(Button_histr_back, &QPushButton::clicked, this, &TForm1::Button_histr_backClick);
    connect(CheckBox_allhisrt_curve, &QCheckBox::toggled, this, &TForm1::CheckBox_allhisrt_curveClick);
    connect(Combox_histrch_color, &QComboBox::activated, this, &TForm1::Combox_histrch_colorChange);
    Pnl_histr_color->installEventFilter(this);
    Panel_back_color->installEventFilter(this);
    connect(but_mod_up, &QPushButton::clicked, this, &TForm1::but_mod_upClick);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button11, &QPushButton::clicked, this, &TForm1::Button11Click);
    connect(Button12, &QPushButton::clicked, this, &TForm1::Button12Click);
    connect(but_unzoom, &QPushButton::clicked, this, &TForm1::but_unzoomClick);
    // The chart's zoom, undo and scroll only bring the track bar in step.
    connect(Chart2, &Chart::zoomed, this, &TForm1::SyncTimeTrackBar);
    connect(Chart2, &Chart::zoomUndone, this, &TForm1::SyncTimeTrackBar);
    connect(Chart2, &Chart::scrolled, this, &TForm1::SyncTimeTrackBar);
    connect(Chart2, &Chart::mouseMoved, this, &TForm1::Chart2MouseMove);
    connect(tb_histr_time, &QSlider::valueChanged, this, &TForm1::tb_histr_timeChange);
    connect(Button_expro_histr, &QPushButton::clicked, this, &TForm1::Button_expro_histrClick);
}

void TForm1::FormCreate()
{
    ChannelControls.clear();
    setPanelColor(Panel_back_color, Chart2->backColor());
    std::fill(std::begin(ChannelShown), std::end(ChannelShown), std::uint8_t(1));
    Button1->setEnabled(false);
    CrossX = -1;
    CrossY = -1;
    CrossColorMask = 255;
    CrossPenStyle = 0;
    Busy = 1;
    StartDir = QDir::currentPath();
    // Without a readable or creatable file every alias stays empty.
    ChannelAliases.loadOrCreate(QFile::encodeName(AliasFilePath()).toStdString());
}
