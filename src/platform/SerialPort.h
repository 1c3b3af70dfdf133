#pragma once
#include <string>

#include "platform/PortHandle.h"

// A serial line in the manner of the Windows comm API: a handle that is opened
// exclusively, set to raw 8 data bits, no parity, 2 stop bits, and read and
// written under time-outs that the port keeps.

// Time-outs in milliseconds, meant as Windows' COMMTIMEOUTS: a read of n
// bytes ends after ReadTotalTimeoutConstant + n * ReadTotalTimeoutMultiplier,
// or sooner once ReadIntervalTimeout passes between two bytes (counted from
// the first byte); a write of n bytes is given WriteTotalTimeoutConstant +
// n * WriteTotalTimeoutMultiplier. A total time-out whose constant and
// multiplier are both 0 sets no total limit, as on Windows.
struct SerialTimeouts {
    unsigned ReadIntervalTimeout = 0;
    unsigned ReadTotalTimeoutMultiplier = 0;
    unsigned ReadTotalTimeoutConstant = 0;
    unsigned WriteTotalTimeoutMultiplier = 0;
    unsigned WriteTotalTimeoutConstant = 0;
};

// Opens the device at path for reading and writing, held against every other
// open (also by root) until it is closed. Invalid handle on failure.
PortHandle SerialOpen(const std::string& path);

// The line hung up or failed (an adapter pulled, say): reads and writes
// return 0 at once until SerialReopen brings it back.
bool SerialLineLost(PortHandle port);
// Lets go of the line and opens its path again, exclusively, with the rate
// and time-outs it had. The handle stays the same, so whoever holds a copy
// still names the port. False while the path does not open; the handle then
// holds no line and the next call tries again.
bool SerialReopen(PortHandle port);

// Raw mode, 8N2, the given rate (any rate the driver takes, 14400 included);
// the line's flow-control settings stay as they were. False when refused.
bool SerialSetLine(PortHandle port, unsigned baud);

void SerialSetTimeouts(PortHandle port, const SerialTimeouts& timeouts);
SerialTimeouts SerialGetTimeouts(PortHandle port);

// The rate the line runs at; 0 when it cannot be told.
unsigned SerialBaud(PortHandle port);

// Empties the receive queue; the transmit side is left alone.
void SerialPurgeReceive(PortHandle port);

// Returns the number of bytes written or read within the port's time-outs.
int SerialWrite(PortHandle port, const void* bytes, int length);
int SerialRead(PortHandle port, void* bytes, int length);

void SerialClose(PortHandle port);
