#pragma once
#include <string>

// What the simulators share: the pseudo-terminal they serve on, the stop
// signals and their output lines.

// A raw pseudo-terminal whose slave side is reached through a link. The
// slave stays open here too, so that the master never sees a hang-up while
// the station has the port closed.
struct LinkedPty {
    int master = -1;
    int slave = -1;
    std::string slavePath;
};

// False with a message on standard error when the pty or the link cannot be made.
bool openLinkedPty(const std::string& link, LinkedPty& pty);

// SIGTERM and SIGINT end the serving loops; a closed reader is no signal.
void installStopHandlers();
bool stopRequested();

// One line on standard output, flushed at once for whoever reads it live.
void say(const std::string& line);
