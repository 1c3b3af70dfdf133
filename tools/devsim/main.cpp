#include <cstdio>
#include <stdexcept>

#include "GsmModule.h"
#include "Options.h"
#include "Server.h"
#include "SlaveModel.h"

int main(int argc, char** argv)
{
    Options options;
    try {
        options = parseOptions(argc, argv);
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "devsim: %s\n\n%s", error.what(), Usage);
        return 2;
    }
    if (options.help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (options.gsm)
        return GsmModule(options.rawPath).servePty(options.ptyLink) ? 0 : 1;
    SlaveModel model(options.addresses, options.values);
    model.setFault(options.fault);
    model.setDelayMs(options.delayMs);
    model.setWriteMax(options.writeMax);
    model.setSwing(options.swingPercent, options.swingPeriodS);
    model.setSilentCycle(options.answerS, options.silentS);
    Server server(model);
    const bool served = options.tcpPort ? server.serveTcp(*options.tcpPort) : server.servePty(options.ptyLink);
    return served ? 0 : 1;
}
