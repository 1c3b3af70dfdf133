#include "support/ProgramApp.h"

#include <cstdlib>

#include "platform/Application.h"

Application& programApp()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "Norvik";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics may already be gone.
    static Application* instance = new Application(argc, argv);
    return *instance;
}
