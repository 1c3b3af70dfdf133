// "导出EXCEL文件......": the export dialog over the file opened last.
#include "history/Form1.h"
#include "history/Form2.h"

void TForm1::Button_expro_histrClick()
{
    TForm2 form2(Loads, ChannelShown, this);
    form2.Label_histr_timerange->setText(Loads.rangeText(QStringLiteral("有效时间范围：")));
    form2.DateTimePicker_histr_startdate->setValue(Loads.HistStartTime);
    form2.DateTimePicker_histr_starttime->setValue(Loads.HistStartTime);
    form2.DateTimePicker_histr_enddate->setValue(Loads.HistEndTime);
    form2.DateTimePicker_histr_endtime->setValue(Loads.HistEndTime);
    form2.exec();
}
