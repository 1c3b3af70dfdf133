#include "AlarmSound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int SampleRate = 16000;

void put16(std::string& out, std::uint16_t v)
{
    out += char(v & 0xFF);
    out += char(v >> 8);
}

void put32(std::string& out, std::uint32_t v)
{
    put16(out, std::uint16_t(v & 0xFFFF));
    put16(out, std::uint16_t(v >> 16));
}

// 880 Hz then 660 Hz, 0.25 s each, with short fades against clicks.
std::vector<std::int16_t> beepSamples()
{
    std::vector<std::int16_t> samples;
    const int toneLength = SampleRate / 4;
    const int fade = SampleRate / 100;
    for (const double frequency : {880.0, 660.0})
        for (int i = 0; i < toneLength; ++i) {
            const double envelope = std::min({1.0, double(i) / fade, double(toneLength - i) / fade});
            const double wave = std::sin(2 * std::numbers::pi * frequency * i / SampleRate);
            samples.push_back(std::int16_t(12000 * envelope * wave));
        }
    return samples;
}

}  // namespace

bool writeAlarmSound(const std::string& path)
{
    const std::vector<std::int16_t> samples = beepSamples();
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    std::string wav = "RIFF";
    put32(wav, 36 + dataBytes);
    wav += "WAVEfmt ";
    put32(wav, 16);
    put16(wav, 1);  // PCM
    put16(wav, 1);  // mono
    put32(wav, SampleRate);
    put32(wav, SampleRate * 2);
    put16(wav, 2);
    put16(wav, 16);
    wav += "data";
    put32(wav, dataBytes);
    for (const std::int16_t s : samples)
        put16(wav, std::uint16_t(s));
    std::ofstream out(path, std::ios::binary);
    out.write(wav.data(), std::streamsize(wav.size()));
    return bool(out);
}
