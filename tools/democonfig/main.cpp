// The demo's files and simulator options, from one description of the plant:
//   democonfig write BASEDIR TCPPORT   Config.dat, Res/*.ini and Alarm.wav
//   democonfig options LINE            devsim options for COM1, COM2 or TCP
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "DemoFiles.h"
#include "DemoPlant.h"

namespace {

int usage()
{
    std::fputs("Usage: democonfig write BASEDIR TCPPORT\n"
               "       democonfig options COM1|COM2|TCP\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write" && argc == 4) {
        char* end = nullptr;
        const long port = std::strtol(argv[3], &end, 10);
        if (*end != '\0' || port < 1 || port > 65535)
            return usage();
        return writeDemoFiles(QString::fromLocal8Bit(argv[2]), int(port)) ? 0 : 1;
    }
    if (command == "options" && argc == 3) {
        const auto options = devsimOptions(argv[2]);
        if (options.empty())
            return usage();
        for (const std::string& option : options)
            std::printf("%s\n", option.c_str());
        return 0;
    }
    return usage();
}
