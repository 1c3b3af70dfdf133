#pragma once
#include <string>

// A short two-tone alarm beep as a 16-bit mono PCM WAV file.
bool writeAlarmSound(const std::string& path);
