#include "Options.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <tuple>
#include <utility>

const char* const Usage =
    "Usage: devsim (--pty LINK | --tcp PORT) [options]\n"
    "       devsim --gsm --pty LINK [--raw FILE]\n"
    "A simulated field instrument: Modbus RTU slaves answering functions 3 and 4\n"
    "(read registers) and 6 (write register 31). With --gsm, a simulated GSM\n"
    "module instead, which takes the station's SMS texts.\n"
    "\n"
    "  --pty LINK       serve on a new pseudo-terminal; LINK becomes a link to it\n"
    "  --tcp PORT       serve RTU frames on 127.0.0.1:PORT (0: a free port)\n"
    "  --address LIST   slave addresses answered, comma-separated (default 1)\n"
    "  --values LIST    registers 0, 1, ... of every slave, comma-separated\n"
    "                   (default: register r of slave a holds 100*a + r)\n"
    "  --fault MODE     none, silent, bad-crc, short, exception, delay,\n"
    "                   other-address, other-function, late-write (default none)\n"
    "                   late-write: the reply to a write comes only when the\n"
    "                   slave's next write arrives, in place of that one's\n"
    "  --delay MS       reply delay of the delay mode (default 500)\n"
    "  --write-max N    writes of a value above N (signed) are refused with an\n"
    "                   exception reply\n"
    "  --swing PCT,S    read registers swing by up to PCT percent of their value,\n"
    "                   a sine of period S seconds; register r lags r/8 period;\n"
    "                   register 31, the set value, holds still\n"
    "  --silent-cycle A,S\n"
    "                   answer for A seconds, then stay silent for S seconds,\n"
    "                   over and over, as if the line were cut now and then\n"
    "  --gsm            be a GSM module: answer nothing, print every text received\n"
    "  --raw FILE       with --gsm: write the bytes received to FILE as well\n"
    "  --help           this text\n"
    "\n"
    "Prints \"ready PATH\" or \"ready PORT\" once serving, \"connect\" for every TCP\n"
    "connection and \"request ADDRESS FUNCTION REGISTER VALUE\" for every request\n"
    "received with a good CRC. Reads \"fault MODE\" and \"delay MS\" lines on its\n"
    "standard input. As a GSM module it prints \"message DATE TIME TEXT\" for every\n"
    "text, one ending where the line stays silent for 200 ms: the arrival time of\n"
    "its first byte to the millisecond and the text converted from GBK, with \\r,\n"
    "\\n, \\t, \\\\ and \\xHH for control characters and backslashes.\n"
    "Stops on SIGTERM or SIGINT.\n";

namespace {

long parseNumber(const std::string& text, long low, long high, const std::string& what)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || value < low || value > high)
        throw std::invalid_argument("invalid " + what + ": " + text);
    return value;
}

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream stream(text);
    for (std::string item; std::getline(stream, item, ',');)
        items.push_back(item);
    return items;
}

// "A,B" with A in firstLow..firstHigh and B in secondLow..secondHigh.
std::pair<unsigned, unsigned> parsePair(const std::string& text, long firstLow, long firstHigh, long secondLow,
                                        long secondHigh, const std::string& what)
{
    const auto items = splitList(text);
    if (items.size() != 2)
        throw std::invalid_argument("invalid " + what + ": " + text);
    return {unsigned(parseNumber(items[0], firstLow, firstHigh, what)),
            unsigned(parseNumber(items[1], secondLow, secondHigh, what))};
}

}  // namespace

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            options.help = true;
            return options;
        }
        if (arg == "--gsm") {
            options.gsm = true;
            continue;
        }
        if (i + 1 >= argc)
            throw std::invalid_argument("missing value after " + arg);
        const std::string value = argv[++i];
        if (arg == "--pty") {
            options.ptyLink = value;
        } else if (arg == "--tcp") {
            options.tcpPort = int(parseNumber(value, 0, 65535, "port"));
        } else if (arg == "--address") {
            options.addresses.clear();
            for (const auto& item : splitList(value))
                options.addresses.insert(std::uint8_t(parseNumber(item, 0, 255, "address")));
        } else if (arg == "--values") {
            for (const auto& item : splitList(value))
                options.values.push_back(std::uint16_t(parseNumber(item, -32768, 65535, "register value")));
        } else if (arg == "--fault") {
            auto fault = parseFault(value);
            if (!fault)
                throw std::invalid_argument("unknown fault mode: " + value);
            options.fault = *fault;
        } else if (arg == "--delay") {
            options.delayMs = unsigned(parseNumber(value, 0, 60000, "delay"));
        } else if (arg == "--write-max") {
            options.writeMax = std::int16_t(parseNumber(value, INT16_MIN, INT16_MAX, "write maximum"));
        } else if (arg == "--swing") {
            std::tie(options.swingPercent, options.swingPeriodS) = parsePair(value, 0, 100, 1, 86400, "swing");
        } else if (arg == "--raw") {
            options.rawPath = value;
        } else if (arg == "--silent-cycle") {
            std::tie(options.answerS, options.silentS) = parsePair(value, 1, 86400, 0, 86400, "silent cycle");
        } else {
            throw std::invalid_argument("unknown option: " + arg);
        }
    }
    if (options.ptyLink.empty() == !options.tcpPort)
        throw std::invalid_argument("give one of --pty LINK and --tcp PORT");
    if (options.gsm && options.tcpPort)
        throw std::invalid_argument("a GSM module serves on --pty only");
    if (!options.rawPath.empty() && !options.gsm)
        throw std::invalid_argument("--raw goes with --gsm");
    if (options.addresses.empty())
        throw std::invalid_argument("no slave address");
    return options;
}
