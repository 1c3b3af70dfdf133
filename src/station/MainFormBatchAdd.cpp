// Batch add: many devices at once from the dialog of "批量添加设备".
#include "station/MainFormWidgets.h"
#include "station/MeterBatchAddForm.h"

void Tfm_MainForm::btn_MeterBatchAddClick()
{
    Tfm_MeterBatchAddForm form;
    form.ExistingMeterCount = Devices.MeterCount;
    if (form.exec() != QDialog::Accepted)
        return;
    appendMeterBatch(Devices, form.batch());
    FillMeterList();
    // With no device at all no row is selected and nothing is loaded.
    selectMeterRow(Devices.MeterCount);
}
