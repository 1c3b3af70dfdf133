#include <gtest/gtest.h>

#include <vector>

#include "station/GeneralViewRules.h"

namespace {

TEST(GeneralViewLayout, ColumnsAndGapFollowTheScrollBoxWidth)
{
    const struct {
        int width;
        std::vector<QPoint> firstPanels;  // panels 0..3
    } cases[] = {
        {459, {{6, 6}, {6, 122}, {6, 238}, {6, 354}}},
        {460, {{6, 6}, {236, 6}, {6, 122}, {236, 122}}},
        {680, {{6, 6}, {232, 6}, {458, 6}, {6, 122}}},
        {100, {{6, 6}, {6, 122}, {6, 238}, {6, 354}}},
    };
    for (const auto& c : cases) {
        const PanelColumns columns = panelColumns(c.width);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(panelPosition(i, columns), c.firstPanels[i]) << "width " << c.width << " panel " << i;
    }
}

TEST(GeneralViewColour, BlinksFromGreenToTheAlarmColourAndBack)
{
    const struct {
        TColor before;
        int delayCountdown;
        std::uint8_t bits;
        TColor after;
    } cases[] = {
        {clLime, 3, AlarmBitHH, clBlue},
        {clLime, 1, AlarmBitL, clBlue},
        {clLime, 0, AlarmBitH, clRed},
        {clLime, -2, AlarmBitLL | AlarmBitHH, clRed},
        {clLime, 0, AlarmBitL, clYellow},
        {clLime, 0, AlarmBitLL | AlarmBitL, clYellow},
        {clRed, 0, AlarmBitH, clLime},
        {clYellow, 0, AlarmBitL, clLime},
        {clBlue, 2, AlarmBitL, clLime},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nextAlarmPanelColor(c.before, c.delayCountdown, c.bits), c.after)
            << "before " << c.before << " delay " << c.delayCountdown << " bits " << int(c.bits);
}

TEST(GeneralViewAlarmText, FourFieldsOfFourCharactersAfterABlank)
{
    EXPECT_EQ(panelAlarmText(AlarmBitL), " " + QString(4, ' ') + "  LA" + QString(8, ' '));
    EXPECT_EQ(panelAlarmText(AlarmBitLL | AlarmBitL | AlarmBitH | AlarmBitHH), "  LLA  LA  HA HHA");
    EXPECT_EQ(panelAlarmText(0), QString(17, ' '));
}

}  // namespace
