#pragma once
#include <string>

#include "platform/PortHandle.h"
#include "platform/SerialPort.h"

// Baud rates by baud index, in the order of the baud combo box.
inline constexpr unsigned BaudRateTable[8] = {2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200};

// Device path of port index i (COM i+1): BaseDir/Res/COM<i+1> when that path
// is there (also as a link whose target is missing: the port configured there
// is then not available, and no other line is taken in its place), else
// /dev/ttyS<i>. BaseDir is the current directory.
std::string ComPortPath(int portIndex);

// Opens the port for polling or for the modem: closes what the slot held,
// opens the port exclusively, 8N2 at the indexed rate, the station's
// time-outs. False, with the slot invalid, when the port does not open, the
// baud index is outside the table or the line settings are refused.
bool OpenComPort(PortHandle& slot, int portIndex, int baudIndex);

// Closes an open port; a slot never opened or already invalid is left alone.
void CloseComPort(PortHandle& slot);

// The time-outs of one transaction on a line at baud (0: not known): a read
// of n bytes may take 80 + 3n ms, unless the request's and the reply's own
// time on the wire (11 bits a byte) plus 80 ms is longer, as on slow lines;
// then the read may take that.
SerialTimeouts TransactionTimeouts(unsigned baud, int requestLength, int replyLength);
