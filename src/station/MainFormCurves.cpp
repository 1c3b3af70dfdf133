// The tab "实时曲线": one curve per channel in global channel order, the check
// boxes that show and hide them, and the background, width, range, zoom and
// print-preview controls.
#include <QCheckBox>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "platform/Conversions.h"
#include "platform/Gbk.h"
#include "platform/GuardedHandler.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFont.h"
#include "shared/ChannelOrder.h"
#include "station/MainFormWidgets.h"

namespace {

constexpr int PointsPerCurve = 1000;
constexpr int CheckBoxLeft = 8;
constexpr int CheckBoxWidth = 200;
constexpr int CheckBoxHeight = 17;
constexpr int RowHeight = 16;
constexpr int FirstRowTop = 32;

QString curveTitle(const MeterRecord& meter, int channel)
{
    return fromGbkField(meter.MeterName) + fromGbkField(meter.Channels[channel].ChannelName);
}

// The curves' range is stored as whole numbers: what the edit holds, its
// fraction dropped, or nothing when no such number fits.
std::optional<int> rangeValue(const QString& text)
{
    double value;
    try {
        value = std::trunc(StrToFloat(text));
    } catch (const EConvertError&) {
        return std::nullopt;
    }
    if (!(value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return int(value);
}

} // namespace

void Tfm_MainForm::setupCurvesPage()
{
    ui->Ui::CurvesPage::setupUi(ui->tabSheet_RealTimeCurves);
    QFont titleFont = programFont(24);
    titleFont.setBold(true);
    ui->chart_RealTimeCurves->setTitle(QStringLiteral("实时曲线"));
    ui->chart_RealTimeCurves->setTitleFont(titleFont);
    ui->chart_RealTimeCurves->setTitleColor(Qt::blue);
    ui->chart_RealTimeCurves->setLegendVisible(false);

    connect(ui->chkBox_SelectAllCurves, &QCheckBox::clicked, this,
            guarded(this, &Tfm_MainForm::chkBox_SelectAllCurvesClick));
    connect(ui->colorBox_CurvesBackColor, &QComboBox::activated, this,
            guarded(this, &Tfm_MainForm::colorBox_CurvesBackColorChange));
    connect(ui->upDown_CurvesWidth, &QSpinBox::valueChanged, this,
            guarded(this, &Tfm_MainForm::upDown_CurvesWidthClick));
    connect(ui->btn_SetCurvesRange, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_SetCurvesRangeClick));
    connect(ui->btn_CurvesPrintPreview, &QPushButton::clicked, this,
            guarded(this, &Tfm_MainForm::btn_CurvesPrintPreviewClick));
    connect(ui->btn_CurvesZoomOut, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_CurvesZoomOutClick));
    connect(ui->btn_CurvesZoomIn, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_CurvesZoomInClick));
    connect(ui->btn_CurvesResume, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_CurvesResumeClick));
}

void Tfm_MainForm::BuildCurveSeries()
{
    Chart& chart = *ui->chart_RealTimeCurves;
    chart.removeAllSeries();
    forEachChannel(Devices.MeterRecords, Devices.MeterCount, [&](int k, int j, int) {
        ChartSeries& series = chart.addSeries();
        series.setColor(toQColor(Devices.MeterRecords[k].Channels[j].ChannelColor));
        series.fillSampleValues(PointsPerCurve);
        series.setTitle(curveTitle(Devices.MeterRecords[k], j));
    });
    const QString blank = QStringLiteral(" ");
    for (int i = 0; i < chart.seriesCount(); ++i) {
        ChartSeries& series = chart.series(i);
        for (int p = 0; p < PointsPerCurve; ++p)
            Animate(series, blank, 0);
        series.setActive(true);
    }
    chart.setCursor(Qt::CrossCursor);
}

void Tfm_MainForm::BuildCurvesSelectList()
{
    qDeleteAll(CurveCheckBoxes);
    CurveCheckBoxes.clear();
    // A blank row before each device after the first.
    const int n = forEachChannel(Devices.MeterRecords, Devices.MeterCount, [&](int k, int j, int g) {
        auto* box = new QCheckBox(curveTitle(Devices.MeterRecords[k], j), ui->scrBox_CurvesSelectListContents);
        box->setObjectName(QStringLiteral("chkBoxCurvesSelect%1").arg(g));
        box->setGeometry(CheckBoxLeft, FirstRowTop + RowHeight * (g + k), CheckBoxWidth, CheckBoxHeight);
        box->setChecked(true);
        connect(box, &QCheckBox::clicked, this, guarded(this, &Tfm_MainForm::chkBoxCurvesSelectClick));
        box->show();
        CurveCheckBoxes.append(box);
    });
    ui->scrBox_CurvesSelectListContents->resize(CheckBoxLeft + CheckBoxWidth + 4,
                                            FirstRowTop + RowHeight * (n + Devices.MeterCount) + CheckBoxHeight);
}

void Tfm_MainForm::Animate(ChartSeries& series, const QString& label, double value)
{
    series.deletePoint(0);
    series.addPoint(series.lastX() + 1, value, label);
}

void Tfm_MainForm::chkBoxCurvesSelectClick()
{
    const int count = std::min(int(CurveCheckBoxes.size()), ui->chart_RealTimeCurves->seriesCount());
    for (int i = 0; i < count; ++i)
        ui->chart_RealTimeCurves->series(i).setActive(CurveCheckBoxes[i]->isChecked());
}

void Tfm_MainForm::chkBox_SelectAllCurvesClick()
{
    const bool all = ui->chkBox_SelectAllCurves->isChecked();
    const int count = std::min(int(CurveCheckBoxes.size()), ui->chart_RealTimeCurves->seriesCount());
    for (int i = 0; i < count; ++i) {
        CurveCheckBoxes[i]->setChecked(all);
        ui->chart_RealTimeCurves->series(i).setActive(all);
    }
}

void Tfm_MainForm::colorBox_CurvesBackColorChange()
{
    ui->chart_RealTimeCurves->setBackColor(toQColor(ui->colorBox_CurvesBackColor->Selected()));
    CurvesBackColor = ui->colorBox_CurvesBackColor->Selected();
    SaveCurvesBackColor();
}

void Tfm_MainForm::upDown_CurvesWidthClick()
{
    for (int i = 0; i < ui->chart_RealTimeCurves->seriesCount(); ++i)
        ui->chart_RealTimeCurves->series(i).setPenWidth(ui->upDown_CurvesWidth->value());
}

void Tfm_MainForm::btn_CurvesPrintPreviewClick()
{
    ui->chart_RealTimeCurves->setPrintMargins(0, 0, 0, 0);
    ui->chart_RealTimeCurves->showPrintPreview();
}

void Tfm_MainForm::btn_CurvesZoomOutClick()
{
    ui->chart_RealTimeCurves->zoomPercent(115);
}

void Tfm_MainForm::btn_CurvesZoomInClick()
{
    ui->chart_RealTimeCurves->zoomPercent(85);
}

void Tfm_MainForm::btn_CurvesResumeClick()
{
    ui->chart_RealTimeCurves->undoZoom();
}

void Tfm_MainForm::btn_SetCurvesRangeClick()
{
    const std::optional<int> low = rangeValue(ui->ed_CurvesMix->text());
    const std::optional<int> high = rangeValue(ui->ed_CurvesMax->text());
    if (!low || !high) {
        ShowErrorBox(QStringLiteral("请正确输入曲线量程值!"));
        return;
    }
    if (*low < *high) {
        CurvesRangeLow = float(*low);
        CurvesRangeHigh = float(*high);
        ui->chart_RealTimeCurves->leftAxis().setMinMax(*low, *high);
        SaveCurvesRange();
        return;
    }
    showCurvesRangeTexts();
    ShowErrorBox(QStringLiteral("曲线量程上限要大于下限!"));
}

void Tfm_MainForm::applyCurvesBackColor()
{
    ui->chart_RealTimeCurves->setBackColor(toQColor(CurvesBackColor));
    ui->colorBox_CurvesBackColor->setSelected(CurvesBackColor);
}

void Tfm_MainForm::applyCurvesRange()
{
    ui->chart_RealTimeCurves->leftAxis().setMinMax(CurvesRangeLow, CurvesRangeHigh);
    showCurvesRangeTexts();
}

void Tfm_MainForm::showCurvesRangeTexts()
{
    ui->ed_CurvesMix->setText(FloatToStrF(CurvesRangeLow, 5, 3));
    ui->ed_CurvesMax->setText(FloatToStrF(CurvesRangeHigh, 5, 3));
}
