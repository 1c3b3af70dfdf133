#pragma once
#include <QString>

// Writes the demo's base directory afresh: Config.dat with the demo plant,
// the station's name and a 5-second alarm delay under Res, and Alarm.wav.
// False with a message on standard error when a file cannot be written.
bool writeDemoFiles(const QString& baseDir, int tcpPort);
