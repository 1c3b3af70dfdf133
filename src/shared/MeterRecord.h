#pragma once
#include <cstddef>
#include <cstdint>

#include "shared/Relaxed.h"

constexpr int MaxMeters = 120;
constexpr int MaxChannels = 48;
constexpr int MaxComPorts = 40;
constexpr int MaxGlobalChannels = MaxMeters * MaxChannels;

#pragma pack(push, 1)

// One channel's configuration, as stored in Config.dat.
struct ChannelRecord {
    std::uint8_t ChannelPoin;   // decimal places 0..4
    std::int32_t ChannelColor;  // 0x00BBGGRR or a system colour
    float ChannelLLA;
    float ChannelLA;
    float ChannelHA;
    float ChannelHHA;
    char ChannelUnit[20];
    char ChannelName[40];
};

// The stored part of a device slot: the layout of one slot in Config.dat.
struct MeterConfig {
    std::uint8_t MeterAddr;
    std::uint8_t ChannelNum;     // 1..48
    std::uint8_t CommSerial;     // 0 = COM1 .. 39 = COM40
    std::uint8_t CommStyle;      // 0 = "3X" (function 4), 1 = "4X" (function 3)
    std::uint8_t CommMod;        // 0 = serial, non-zero = Ethernet
    std::uint16_t CommStartReg;
    std::int32_t PreRecordTime;  // log interval in seconds; slot 0's is the history interval
    std::uint8_t Reserved[4];    // carried along unchanged
    std::int32_t IPPort;
    char IPAddr[16];
    char MeterName[40];
    ChannelRecord Channels[MaxChannels];
};

#pragma pack(pop)

static_assert(sizeof(ChannelRecord) == 81);
static_assert(offsetof(ChannelRecord, ChannelPoin) == 0);
static_assert(offsetof(ChannelRecord, ChannelColor) == 1);
static_assert(offsetof(ChannelRecord, ChannelLLA) == 5);
static_assert(offsetof(ChannelRecord, ChannelLA) == 9);
static_assert(offsetof(ChannelRecord, ChannelHA) == 13);
static_assert(offsetof(ChannelRecord, ChannelHHA) == 17);
static_assert(offsetof(ChannelRecord, ChannelUnit) == 21);
static_assert(offsetof(ChannelRecord, ChannelName) == 41);

static_assert(sizeof(MeterConfig) == 3963);
static_assert(offsetof(MeterConfig, MeterAddr) == 0);
static_assert(offsetof(MeterConfig, ChannelNum) == 1);
static_assert(offsetof(MeterConfig, CommSerial) == 2);
static_assert(offsetof(MeterConfig, CommStyle) == 3);
static_assert(offsetof(MeterConfig, CommMod) == 4);
static_assert(offsetof(MeterConfig, CommStartReg) == 5);
static_assert(offsetof(MeterConfig, PreRecordTime) == 7);
static_assert(offsetof(MeterConfig, Reserved) == 11);
static_assert(offsetof(MeterConfig, IPPort) == 15);
static_assert(offsetof(MeterConfig, IPAddr) == 19);
static_assert(offsetof(MeterConfig, MeterName) == 35);
static_assert(offsetof(MeterConfig, Channels) == 75);

// One device slot: the stored part followed by the run-time part that the
// device's polling thread writes and the GUI thread reads once a second.
struct MeterRecord : MeterConfig {
    Relaxed<float> ChannelValues[MaxChannels] = {};
    Relaxed<std::uint8_t> AlarmLLA[MaxChannels] = {};
    Relaxed<std::uint8_t> AlarmLA[MaxChannels] = {};
    Relaxed<std::uint8_t> AlarmHA[MaxChannels] = {};
    Relaxed<std::uint8_t> AlarmHHA[MaxChannels] = {};
    Relaxed<std::uint8_t> ErrCount = 0;
    Relaxed<std::uint8_t> Online = 0;

    MeterRecord() : MeterConfig{} {}

    MeterConfig& config() { return *this; }
    const MeterConfig& config() const { return *this; }
    // Channels in use, kept within the table even if the stored count is damaged.
    int channelCount() const { return ChannelNum > MaxChannels ? MaxChannels : ChannelNum; }
};

// The devices one polling thread serves, in slot order.
struct PortPollList {
    std::int32_t PollCount = 0;
    MeterRecord* PollMeters[MaxMeters] = {};

    void clear() { PollCount = 0; }
    void append(MeterRecord* meter) { PollMeters[PollCount++] = meter; }
};
