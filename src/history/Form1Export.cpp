// "导出EXCEL文件......": the export dialog over the file opened last.
#include "history/Form1.h"
#include "history/Form2.h"

namespace {

QString shownTime(TDateTime t)
{
    return FormatDateTime(QStringLiteral("YY-MM-DD HH:NN:SS"), t);
}

} // namespace

void TForm1::Button_expro_histrClick()
{
    TForm2 form2(Loads, ChannelShown, this);
    form2.Label_histr_timerange->setText(QStringLiteral("有效时间范围：") + shownTime(Loads.HistStartTime)
                                         + QStringLiteral(" 至 ") + shownTime(Loads.HistEndTime) + QString(9, u' '));
    form2.DateTimePicker_histr_startdate->setValue(Loads.HistStartTime);
    form2.DateTimePicker_histr_starttime->setValue(Loads.HistStartTime);
    form2.DateTimePicker_histr_enddate->setValue(Loads.HistEndTime);
    form2.DateTimePicker_histr_endtime->setValue(Loads.HistEndTime);
    form2.exec();
}
