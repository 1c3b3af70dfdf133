#include "support/GuiApp.h"

#include "support/ProgramApp.h"

void ensureGuiApp()
{
    programApp();
}
