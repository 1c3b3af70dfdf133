#pragma once

class Application;

// The programs' own application object, offscreen, as CTest runs it; for the
// tests of what it sets up. A test program uses it or ensureGuiApp, not both.
Application& programApp();
