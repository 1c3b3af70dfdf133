#pragma once

// Makes sure the one application object of the test program exists: the
// programs' own, so that a window's handlers run as they run in the programs.
// Form tests call it before creating any widget. Offscreen, as CTest runs them.
void ensureGuiApp();
