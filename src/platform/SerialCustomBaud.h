#pragma once

// Rates that termios has no constant for (14400) go through termios2 with
// BOTHER; its header cannot share a translation unit with <termios.h>.
bool SetCustomBaud(int fd, unsigned baud);
// The output rate the driver reports, 0 when it cannot be read.
unsigned CurrentBaud(int fd);
