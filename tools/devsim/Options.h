#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "SlaveModel.h"

struct Options {
    std::string ptyLink;        // serve on a pseudo-terminal linked here
    std::optional<int> tcpPort; // or on this loopback port (0 = any free one)
    std::set<std::uint8_t> addresses{1};
    std::vector<std::uint16_t> values;
    Fault fault = Fault::None;
    unsigned delayMs = 500;
    std::int16_t writeMax = INT16_MAX;
    unsigned swingPercent = 0;
    unsigned swingPeriodS = 60;
    unsigned answerS = 0;   // silent cycle: seconds answering,
    unsigned silentS = 0;   // then seconds silent (0: never)
    bool gsm = false;       // a GSM module instead of the slaves
    std::string rawPath;    // the GSM module's received bytes go here
    bool help = false;
};

extern const char* const Usage;

// Throws std::invalid_argument with a message for the user on a bad command line.
Options parseOptions(int argc, char** argv);
