#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "comm/ComPort.h"
#include "platform/SerialCustomBaud.h"
#include "platform/SerialPort.h"
#include "support/Devsim.h"
#include "support/PtyPair.h"
#include "support/WorkDir.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

TEST(ComPortPath, ResLinkWhenPresentElseTtyS)
{
    WorkDir dir;
    PtyPair com1(comLink(1));
    PtyPair com40(comLink(40));
    ASSERT_EQ(::symlink("/nonexistent/ttyUSB7", comLink(3).c_str()), 0);

    EXPECT_EQ(ComPortPath(0), dir.file("Res/COM1"));
    EXPECT_EQ(ComPortPath(39), dir.file("Res/COM40"));
    EXPECT_EQ(ComPortPath(2), dir.file("Res/COM3")) << "an unplugged adapter is not replaced by another line";
    EXPECT_EQ(ComPortPath(1), "/dev/ttyS1");
}

TEST(OpenComPort, EveryRateOfTheTable)
{
    WorkDir dir;
    PtyPair com1(comLink(1));
    const unsigned expected[8] = {2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200};
    PortHandle slot;
    for (int index = 0; index < 8; ++index) {
        ASSERT_TRUE(OpenComPort(slot, 0, index)) << "baud index " << index;
        EXPECT_EQ(CurrentBaud(slot.fd()), expected[index]) << "baud index " << index;
    }
    CloseComPort(slot);
}

TEST(OpenComPort, RawEightDataBitsNoParityTwoStopBits)
{
    WorkDir dir;
    PtyPair com40(comLink(40));
    PortHandle slot;
    ASSERT_TRUE(OpenComPort(slot, 39, 2));
    termios line{};
    ASSERT_EQ(::tcgetattr(slot.fd(), &line), 0);
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    EXPECT_FALSE(line.c_cflag & PARENB);
    EXPECT_FALSE(line.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(line.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP));
    EXPECT_FALSE(line.c_oflag & OPOST);

    // Every byte value crosses unchanged both ways, XON/XOFF and CR/LF included.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(char(b));
    EXPECT_EQ(SerialWrite(slot, all.data(), 256), 256);
    EXPECT_EQ(com40.readMaster(256, 2000), all);
    com40.writeMaster(all);
    std::string back(256, '\0');
    EXPECT_EQ(SerialRead(slot, back.data(), 256), 256);
    EXPECT_EQ(back, all);
    CloseComPort(slot);
}

TEST(OpenComPort, HeldPortIsRefusedToASecondSlot)
{
    WorkDir dir;
    PtyPair com2(comLink(2));
    PortHandle first, second;
    ASSERT_TRUE(OpenComPort(first, 1, 2));
    EXPECT_FALSE(OpenComPort(second, 1, 2));
    EXPECT_TRUE(second.isInvalid());

    CloseComPort(first);
    EXPECT_TRUE(first.isInvalid());
    EXPECT_TRUE(OpenComPort(second, 1, 2)) << "closing frees the port";
    CloseComPort(second);
}

TEST(OpenComPort, ReopeningASlotClosesItsOldHandleFirst)
{
    WorkDir dir;
    PtyPair com1(comLink(1));
    PortHandle slot;
    ASSERT_TRUE(OpenComPort(slot, 0, 2));
    const int oldFd = slot.fd();
    ASSERT_TRUE(OpenComPort(slot, 0, 4)) << "the slot's own old handle must not hold the port";

    const bool oldClosed = oldFd == slot.fd() || ::fcntl(oldFd, F_GETFD) == -1;
    EXPECT_TRUE(oldClosed) << "old descriptor still open";
    PortHandle other;
    EXPECT_FALSE(OpenComPort(other, 0, 2)) << "the new handle holds the port";
    CloseComPort(slot);
}

TEST(OpenComPort, FailuresLeaveTheSlotInvalid)
{
    WorkDir dir;
    PtyPair com1(comLink(1));
    ASSERT_EQ(::symlink("/nonexistent/ttyUSB0", comLink(2).c_str()), 0);
    struct Case {
        int port, baud;
        const char* what;
    };
    const Case cases[] = {
        {1, 2, "link to a missing device"},
        {0, 8, "baud index past the table"},
        {0, -1, "negative baud index"},
    };
    for (const Case& c : cases) {
        PortHandle slot;
        EXPECT_FALSE(OpenComPort(slot, c.port, c.baud)) << c.what;
        EXPECT_TRUE(slot.isInvalid()) << c.what;
    }

    PortHandle held;
    ASSERT_TRUE(OpenComPort(held, 0, 2));
    EXPECT_FALSE(OpenComPort(held, 0, 9));
    EXPECT_TRUE(held.isInvalid());
    PortHandle again;
    EXPECT_TRUE(OpenComPort(again, 0, 2)) << "a failed reopen still released the old handle";
    CloseComPort(again);
}

TEST(CloseComPort, LeavesNeverOpenedAndInvalidSlotsAlone)
{
    PortHandle never;
    CloseComPort(never);
    EXPECT_TRUE(never.neverOpened());
    PortHandle invalid = PortHandle::invalid();
    CloseComPort(invalid);
    EXPECT_TRUE(invalid.isInvalid());
    EXPECT_NE(::fcntl(0, F_GETFD), -1) << "descriptor 0 was closed";
}

TEST(TransactionTimeouts, ReadLastsAtLeastTheFramesTimeOnTheWire)
{
    struct Case {
        unsigned baud;
        int channels;
        unsigned readMs;  // for the whole reply
    };
    // A request of 8 bytes, a reply of 5 + 2 per channel, 11 bits a byte:
    // from 80 + 3n ms, the wire time + 80 ms where that is longer.
    const Case cases[] = {
        {2400, 8, 213}, {2400, 48, 580},
        {4800, 8, 147}, {4800, 48, 383},
        {9600, 8, 143}, {9600, 48, 383},
    };
    for (const Case& c : cases) {
        const int reply = 5 + 2 * c.channels;
        const SerialTimeouts t = TransactionTimeouts(c.baud, 8, reply);
        EXPECT_EQ(t.ReadTotalTimeoutConstant + t.ReadTotalTimeoutMultiplier * unsigned(reply), c.readMs)
            << c.baud << " baud, " << c.channels << " channels";
        EXPECT_EQ(t.ReadIntervalTimeout, 100u);
        EXPECT_EQ(t.WriteTotalTimeoutConstant + t.WriteTotalTimeoutMultiplier * 8, 80u + 20 * 8);
    }
}

TEST(SerialRead, TotalTimeOutEndsAReadWithWhatArrived)
{
    WorkDir dir;
    PtyPair com1(comLink(1));
    PortHandle slot;
    ASSERT_TRUE(OpenComPort(slot, 0, 2));
    std::uint8_t reply[7];

    const auto start = Clock::now();
    EXPECT_EQ(SerialRead(slot, reply, 7), 0);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(80 + 3 * 7 - 5));
    EXPECT_LT(elapsed, std::chrono::seconds(3));

    com1.writeMaster("abc");
    EXPECT_EQ(SerialRead(slot, reply, 7), 3);
    CloseComPort(slot);
}

TEST(SerialRead, IntervalTimeOutEndsAReadAfterAGap)
{
    WorkDir dir;
    PtyPair com1(comLink(1));
    PortHandle slot;
    ASSERT_TRUE(OpenComPort(slot, 0, 2));
    // A total time-out far beyond the gap, so that only the gap ends a read early.
    SerialSetTimeouts(slot, {.ReadIntervalTimeout = 100, .ReadTotalTimeoutConstant = 20000});
    std::uint8_t reply[100];

    com1.writeMaster("abc");
    const auto start = Clock::now();
    EXPECT_EQ(SerialRead(slot, reply, 100), 3);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    com1.writeMaster("def");
    EXPECT_EQ(SerialRead(slot, reply, 100), 3) << "bytes after the gap are the next read's";
    CloseComPort(slot);
}
