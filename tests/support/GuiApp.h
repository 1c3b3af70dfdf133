#pragma once

// Makes sure the one QApplication of the test program exists; form tests
// call it before creating any widget. Offscreen, as CTest runs them.
void ensureGuiApp();
