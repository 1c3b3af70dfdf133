#include <QApplication>

#include "station/AlarmForm.h"
#include "station/MainForm.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    auto* fm_MainForm = new Tfm_MainForm;
    FormAlarm = new TFormAlarm;
    fm_MainForm->show();
    const int result = app.exec();
    delete FormAlarm;
    delete fm_MainForm;
    return result;
}
