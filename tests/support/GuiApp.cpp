#include "support/GuiApp.h"

#include <QApplication>
#include <cstdlib>

void ensureGuiApp()
{
    if (QApplication::instance())
        return;
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics may already be gone.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}
