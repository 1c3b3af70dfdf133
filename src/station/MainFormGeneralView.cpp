// The overview panels: built from the device table, refreshed every tick.
#include <QResizeEvent>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/Gbk.h"
#include "shared/ChannelOrder.h"
#include "station/core/AlarmLevels.h"
#include "station/GeneralView.h"
#include "station/MainFormWidgets.h"

int Tfm_MainForm::generalViewWidth() const
{
    return ui->pgContr_MainForm->currentWidget()->width();
}

void Tfm_MainForm::BuildGeneralView()
{
    if (!GeneralViewControls) {
        GeneralViewControls = new GeneralView(ui->scrBox_GeneralViewContents);
        auto* layout = new QVBoxLayout(ui->scrBox_GeneralViewContents);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(GeneralViewControls);
    }
    QList<GeneralView::PanelText> panels;
    forEachChannel(Devices.MeterRecords, Devices.MeterCount, [&](int k, int j, int) {
        const MeterConfig& meter = Devices.MeterRecords[k];
        const ChannelRecord& channel = meter.Channels[j];
        panels.append({fromGbkField(meter.MeterName) + "--" + fromGbkField(channel.ChannelName),
                       fromGbkField(channel.ChannelUnit)});
    });
    GeneralViewControls->rebuild(panels, generalViewWidth());
}

void Tfm_MainForm::UpdateGeneralViewItem(int k, int j, int g)
{
    const MeterRecord& meter = Devices.MeterRecords[k];
    if (meter.Online != 1) {
        GeneralViewControls->showReading(g, clLime, GeneralViewPanel::Reading::Offline, 0, 0);
        return;
    }
    const std::uint8_t bits = channelAlarmBits(meter, j);
    TColor color = clLime;
    if (bits) {
        color = nextAlarmPanelColor(GeneralViewControls->panel(g).color, Alarm.AlarmDelayCountdown, bits);
        AnyAlarm = 1;
    }
    GeneralViewControls->showReading(g, color, GeneralViewPanel::Reading::Value, meter.ChannelValues[j], bits);
}

void Tfm_MainForm::FormResize()
{
    BuildGeneralView();
}

void Tfm_MainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

// The pages get their sizes only as the window is first shown, after its own
// resize: without a window manager that resizes it again, this is the first
// moment the scroll box's width is known.
void Tfm_MainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormResize();
}
