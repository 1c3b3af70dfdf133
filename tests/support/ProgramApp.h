#pragma once

class Application;

// The programs' own application object, offscreen, as CTest runs it.
Application& programApp();
