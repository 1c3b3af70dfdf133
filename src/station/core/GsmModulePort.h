#pragma once
#include <QByteArray>

// Writes one SMS text to the GSM module on port portIndex (0 = COM1) at 9600
// baud, 8N2: the port is opened for this text alone and closed right after
// it, so that it is free between messages; nothing is read back. False when
// the port cannot be opened (absent, or held by a polling thread).
bool sendToGsmModule(int portIndex, const QByteArray& text);
