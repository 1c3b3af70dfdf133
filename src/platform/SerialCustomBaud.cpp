#include "platform/SerialCustomBaud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

bool SetCustomBaud(int fd, unsigned baud)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return false;
    settings.c_cflag &= ~CBAUD;
    settings.c_cflag |= BOTHER;
    settings.c_cflag &= ~(CBAUD << IBSHIFT);  // input rate follows the output rate
    settings.c_ispeed = baud;
    settings.c_ospeed = baud;
    return ioctl(fd, TCSETS2, &settings) == 0;
}

unsigned CurrentBaud(int fd)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return 0;
    return settings.c_ospeed;
}
