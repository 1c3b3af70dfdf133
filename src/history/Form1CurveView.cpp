// Handlers that change only how the loaded curves look or which part of
// them shows; none of them reads the history file.
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "history/Form1.h"
#include "history/PanelColor.h"
#include "platform/Conversions.h"
#include "platform/MessageBox.h"
#include "ui_Form1.h"

namespace {

// One press of "放大" or "缩小" narrows or widens both axes by these percents.
constexpr int ZoomInPercent = 115;
constexpr int ZoomOutPercent = 85;

// The range edits hold 32-bit floats; a number beyond them is no range.
float rangeValue(const QString& text)
{
    const double value = StrToFloat(text);
    if (std::fabs(value) > std::numeric_limits<float>::max())
        throw NotAFloatError(text);
    return float(value);
}

} // namespace

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui->Pnl_histr_color)
            Pnl_histr_colorClick();
        else if (watched == ui->Panel_back_color)
            Panel_back_colorClick();
    }
    return QMainWindow::eventFilter(watched, event);
}

int TForm1::chosenColorChannel() const
{
    const int k = ui->Combox_histrch_color->currentIndex();
    if (k < 0 || ui->Combox_histrch_color->currentText() != ui->Combox_histrch_color->itemText(k))
        return -1;
    return k;
}

void TForm1::Combox_histrch_colorChange()
{
    const int k = chosenColorChannel();
    if (k >= 0 && k < ui->Chart2->seriesCount())
        setPanelColor(ui->Pnl_histr_color, ui->Chart2->series(k).color());
}

void TForm1::Pnl_histr_colorClick()
{
    if (!ColorDialog1.Execute(this))
        return;
    setPanelColor(ui->Pnl_histr_color, ColorDialog1.Color);
    const int k = chosenColorChannel();
    if (k < 0)
        return;
    if (k < ui->Chart2->seriesCount())
        ui->Chart2->series(k).setColor(ColorDialog1.Color);
    if (k < rowCount())
        setPanelColor(rowSwatch(k), ColorDialog1.Color);
}

void TForm1::Panel_back_colorClick()
{
    if (!ColorDialog1.Execute(this))
        return;
    setPanelColor(ui->Panel_back_color, ColorDialog1.Color);
    ui->Chart2->setBackColor(ColorDialog1.Color);
}

void TForm1::but_mod_upClick()
{
    const float upper = rangeValue(ui->ME_histr_up->text());
    const float lower = rangeValue(ui->ME_histr_down->text());
    if (!(upper > lower)) {
        ShowMessage(QStringLiteral("上限要大于下限！"));
        return;
    }
    // An axis end never passes the other: the end that moves away from it goes first.
    ChartAxis& axis = ui->Chart2->leftAxis();
    if (upper >= axis.minimum()) {
        axis.setMaximum(upper);
        axis.setMinimum(lower);
    } else {
        axis.setMinimum(lower);
        axis.setMaximum(upper);
    }
}

// "放大"
void TForm1::Button11Click()
{
    ui->Chart2->zoomPercent(ZoomInPercent);
}

// "缩小"
void TForm1::Button12Click()
{
    ui->Chart2->zoomPercent(ZoomOutPercent);
}

void TForm1::but_unzoomClick()
{
    ui->Chart2->undoZoom();
}

void TForm1::SyncTimeTrackBar()
{
    TrackSyncGuard = 1;
    const ChartAxis& bottom = ui->Chart2->bottomAxis();
    if (bottom.isAutomatic()) {
        ui->tb_histr_time->setEnabled(false);
    } else {
        ui->tb_histr_time->setEnabled(true);
        const double minX = ui->Chart2->minXValue();
        const double span = ui->Chart2->maxXValue() - minX;
        if (span > 0) {
            const double position = std::floor((bottom.minimum() - minX) * 100 / span);
            ui->tb_histr_time->setValue(int(std::clamp(position, double(ui->tb_histr_time->minimum()),
                                                   double(ui->tb_histr_time->maximum()))));
        }
    }
    TrackSyncGuard = 0;
}

void TForm1::tb_histr_timeChange()
{
    ChartAxis& bottom = ui->Chart2->bottomAxis();
    // An automatic axis has no window to move (only before the first load
    // is the bar enabled then): setting one would hold it at no data.
    if (TrackSyncGuard == 1 || bottom.isAutomatic())
        return;
    const double width = bottom.maximum() - bottom.minimum();
    const double minX = ui->Chart2->minXValue();
    const double span = ui->Chart2->maxXValue() - minX;
    const double minimum = minX + ui->tb_histr_time->value() * span * 0.01;
    const double maximum = minimum + width;
    if (minimum > bottom.minimum()) {
        bottom.setMaximum(maximum);
        bottom.setMinimum(minimum);
    } else {
        bottom.setMinimum(minimum);
        bottom.setMaximum(maximum);
    }
}

// "打印预览......"
void TForm1::Button5Click()
{
    ui->Chart2->setPrintMargins(0, 0, 0, 0);
    ui->Chart2->showPrintPreview();
}
