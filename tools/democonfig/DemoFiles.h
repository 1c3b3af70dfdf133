#pragma once
#include <QString>

// Writes the demo's base directory afresh: Config.dat with the demo plant,
// under Res the station's name and the SMS settings (a 5-second alarm delay,
// texts to a GSM module on COM3), and Alarm.wav.
// False with a message on standard error when a file cannot be written.
bool writeDemoFiles(const QString& baseDir, int tcpPort);
