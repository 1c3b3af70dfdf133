// The channel rows beside the chart: per channel a check box, a value edit
// and a colour swatch, rebuilt with both channel lists at every open. The
// check boxes show and hide the curves and choose the exported channels.
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>

#include "history/Form1.h"
#include "history/PanelColor.h"
#include "platform/Gbk.h"
#include "platform/GuardedHandler.h"
#include "ui_Form1.h"

namespace {

constexpr int FirstRowTop = 28;
constexpr int RowHeight = 22;
constexpr int ControlHeight = 20;
constexpr int CheckBoxLeft = 8, CheckBoxWidth = 150;
constexpr int EditLeft = 165, EditWidth = 60;
constexpr int SwatchLeft = 230, SwatchWidth = 20;

// Row i's controls are named ChannelCheckBox<i>, ChannelValueEdit<i> and
// ChannelSwatch<i>, so that they can be found as the ones in the form are.
template <typename Control>
Control* placed(Control* control, const char* kind, int row, int left, int width, QList<QWidget*>& controls)
{
    control->setObjectName(QStringLiteral("Channel%1%2").arg(QLatin1StringView(kind)).arg(row));
    control->setGeometry(left, FirstRowTop + RowHeight * row, width, ControlHeight);
    control->show();
    controls.append(control);
    return control;
}

QLineEdit* valueEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(QStringLiteral("0.0"), parent);
    QFont font = edit->font();
    font.setPointSize(10);
    font.setBold(true);
    edit->setFont(font);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, QColor(0, 0, 255));
    edit->setPalette(palette);
    return edit;
}

} // namespace

void TForm1::FreeChannelRows()
{
    for (QWidget* control : ChannelControls)
        delete control;
}

void TForm1::BuildChannelRows(const HistoryFileHeader& header)
{
    FreeChannelRows();
    ChannelControls.clear();
    ui->Combox_histrch_color->clear();
    ui->ComboBoxChName->clear();
    ui->ScrollBox_hisrt_color->horizontalScrollBar()->setValue(0);
    ui->ScrollBox_hisrt_color->verticalScrollBar()->setValue(0);
    QWidget* rows = ui->ScrollBox_hisrt_colorContents;
    const int count = std::min({int(header.ChannelCount), MaxShownChannels, ui->Chart2->seriesCount()});
    for (int i = 0; i < count; ++i) {
        const QString name = fromGbkField(header.ChannelNames[i]);
        auto* box = placed(new QCheckBox(name, rows), "CheckBox", i, CheckBoxLeft, CheckBoxWidth, ChannelControls);
        box->setChecked(true);
        // Bound once ticked, so that building runs no handler; a tick set by
        // "全选" raises it as a click does.
        connect(box, &QCheckBox::toggled, this, guarded(this, &TForm1::CheckBox_all_histr_curveClick));
        // A ticked row's channel is exported, whatever the last file's was.
        ChannelShown[i] = 1;
        placed(valueEdit(rows), "ValueEdit", i, EditLeft, EditWidth, ChannelControls);
        auto* swatch = placed(new QFrame(rows), "Swatch", i, SwatchLeft, SwatchWidth, ChannelControls);
        swatch->setFrameStyle(QFrame::Panel | QFrame::Raised);
        setPanelColor(swatch, ui->Chart2->series(i).color());
        ui->Combox_histrch_color->addItem(name);
        ui->ComboBoxChName->addItem(name);
        ui->Chart2->series(i).setActive(true);
    }
    rows->resize(SwatchLeft + SwatchWidth + CheckBoxLeft, FirstRowTop + RowHeight * count);
    if (count > 0) {
        ui->Combox_histrch_color->setCurrentIndex(0);
        setPanelColor(ui->Pnl_histr_color, ui->Chart2->series(0).color());
    }
    ui->ComboBoxChName->setCurrentIndex(-1);
}

QCheckBox* TForm1::rowCheckBox(int i) const
{
    return static_cast<QCheckBox*>(ChannelControls[3 * i]);
}

QLineEdit* TForm1::rowValueEdit(int i) const
{
    return static_cast<QLineEdit*>(ChannelControls[3 * i + 1]);
}

void TForm1::CheckBox_all_histr_curveClick()
{
    for (int i = 0; i < ui->Chart2->seriesCount() && i < rowCount(); ++i) {
        const bool ticked = rowCheckBox(i)->isChecked();
        // A hidden curve keeps its legend entry, axis share and read-out.
        ui->Chart2->series(i).setLineVisible(ticked);
        ChannelShown[i] = ticked ? 1 : 0;
    }
}

void TForm1::CheckBox_allhisrt_curveClick()
{
    const bool all = ui->CheckBox_allhisrt_curve->isChecked();
    for (int i = 0; i < ui->Chart2->seriesCount() && i < rowCount(); ++i) {
        rowCheckBox(i)->setChecked(all);
        ui->Chart2->series(i).setLineVisible(all);
    }
}
