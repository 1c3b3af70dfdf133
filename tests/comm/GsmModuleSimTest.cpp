// The simulated GSM module: every text the station writes, as one line of
// its output and as raw bytes in a file.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "platform/Gbk.h"
#include "platform/SerialPort.h"
#include "support/Devsim.h"
#include "support/FileBytes.h"
#include "support/WorkDir.h"

namespace {

void writeText(const std::string& link, const std::string& text)
{
    PortHandle port = SerialOpen(link);
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(SerialWrite(port, text.data(), int(text.size())), int(text.size()));
    SerialClose(port);
}

TEST(GsmModuleSim, PrintsEachTextAsOneLineAndKeepsTheRawBytes)
{
    WorkDir dir;
    const std::string raw = dir.file("sms.raw");
    const std::string link = comLink(3);
    auto module = Devsim::gsmOnPty(link, {"--raw", raw});

    const std::string first = "86138:" + toGbk("温度超限").toStdString() + "\r\n\\x\tA\n\x01\r\n";
    writeText(link, first);
    ASSERT_TRUE(module->waitForMessages(1));
    writeText(link, "second");
    ASSERT_TRUE(module->waitForMessages(2));

    const auto messages = module->messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "86138:温度超限\r\n\\x\tA\n\x01\r\n");
    EXPECT_EQ(messages[1].text, "second");
    const std::regex arrival(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})");
    EXPECT_TRUE(std::regex_match(messages[0].arrival, arrival)) << messages[0].arrival;

    bool printed = false;
    for (const auto& line : module->process().lines())
        printed |= line.text.size() > 32 && line.text.rfind("message ", 0) == 0
                   && line.text.substr(32) == "86138:温度超限\\r\\n\\\\x\\tA\\n\\x01\\r\\n";
    EXPECT_TRUE(printed) << "control characters written out, on one line";

    EXPECT_EQ(readFileBytes(raw), first + "second");
}

}  // namespace
