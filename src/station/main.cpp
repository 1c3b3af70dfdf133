#include <memory>

#include "platform/Application.h"
#include "platform/StopSignals.h"
#include "station/AlarmForm.h"
#include "station/MainForm.h"

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    quitOnStopSignals();
    try {
        auto fm_MainForm = std::make_unique<Tfm_MainForm>();
        auto formAlarm = std::make_unique<TFormAlarm>();
        FormAlarm = formAlarm.get();
        fm_MainForm->show();
        app.exec();
        FormAlarm = nullptr;
    } catch (...) {
        Application::showCurrentException();
    }
    return 0;
}
