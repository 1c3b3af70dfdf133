// "导出EXCEL文件......": the export dialog over the file opened last.
#include "history/Form1.h"
#include "history/Form2.h"

void TForm1::Button_expro_histrClick()
{
    TForm2 form2(Loads, ChannelShown, this);
    form2.exec();
}
