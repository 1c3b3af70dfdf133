// The crosshair under the mouse and its read-out: the time of the point
// below it, the value at its height, and every channel's value at that time.
#include <QLineEdit>

#include "history/Form1.h"
#include "history/core/ReadOutIndex.h"
#include "platform/Colors.h"
#include "platform/Conversions.h"
#include "ui_Form1.h"

namespace {

// The pen styles by their numbers: solid, dash, dot, dash-dot, dash-dot-dot, none.
Qt::PenStyle penStyle(std::uint8_t style)
{
    constexpr Qt::PenStyle styles[] = {Qt::SolidLine,      Qt::DashLine,      Qt::DotLine,
                                       Qt::DashDotLine,    Qt::DashDotDotLine, Qt::NoPen};
    return style < std::size(styles) ? styles[style] : Qt::SolidLine;
}

} // namespace

void TForm1::DrawCrossHair(int x, int y)
{
    // A pen of back colour xor mask, xor-ed onto the back wall, shows the
    // mask's colour there; the overlay draws that colour over the curves
    // and takes it away again without redrawing them.
    ui->Chart2->toggleCrossHair(x, y, toQColor(CrossColorMask), penStyle(CrossPenStyle));
}

void TForm1::Chart2MouseMove(int X, int Y)
{
    if (Busy)
        return;
    if (CrossX != -1) {
        DrawCrossHair(CrossX, CrossY);
        CrossX = -1;
        CrossY = -1;
    }
    if (!ui->Chart2->plotRect().contains(X, Y))
        return;
    DrawCrossHair(X, Y);
    CrossX = X;
    CrossY = Y;
    showReadOut(ui->Chart2->xValueAt(X), ui->Chart2->yValueAt(Y));
}

void TForm1::showReadOut(double x, double y)
{
    if (ui->Chart2->seriesCount() == 0)
        return;
    const int index = readOutIndex(x, ui->Chart2->minXValue(), ui->Chart2->maxXValue(), Loads.LoadedPoints);
    const ChartSeries& first = ui->Chart2->series(0);
    if (index < 0 || index >= first.count())
        return;
    ui->Label_histr_oncross->setText(QStringLiteral("当前时刻：") + first.label(index) + QStringLiteral("    Y坐标：")
                                 + ui->Chart2->leftAxisLabel(y) + QString(6, u' '));
    char text[FloatToStrFMaxLength];
    for (int i = 0; i < ui->Chart2->seriesCount() && i < rowCount(); ++i) {
        const ChartSeries& series = ui->Chart2->series(i);
        if (index >= series.count())
            continue;
        const QString value = QString::fromLatin1(text, writeFloatToStrF(text, series.yValue(index), 5, 0));
        // An edit lays its text out anew on every setText, even the same text.
        QLineEdit* edit = rowValueEdit(i);
        if (edit->text() != value)
            edit->setText(value);
    }
}
