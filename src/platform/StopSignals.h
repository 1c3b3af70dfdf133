#pragma once

// SIGTERM (a logout, a service manager) and SIGINT (Ctrl-C) end the program
// as closing its main window does: the message loop is asked to quit, every
// window closes, and the program entry returns with status 0 after what the
// windows own has been released in order. Needs the application object.
void quitOnStopSignals();
