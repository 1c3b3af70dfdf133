#include <gtest/gtest.h>

#include "platform/Conversions.h"
#include "station/core/SetValueScale.h"

namespace {

TEST(SetValueScale, ReadValueIsShownInEngineeringUnits)
{
    struct Case {
        std::int16_t raw;
        int decimals;
        const char* text;
    };
    for (const Case& c : {Case{-125, 1, "-12.5"}, Case{1234, 2, "12.34"}, Case{-25536, 0, "-25536"},
                          Case{32767, 4, "3.2767"}, Case{1, 4, "0.0001"}, Case{0, 3, "0"}, Case{12345, 1, "1234.5"},
                          Case{-32768, 0, "-32768"}})
        EXPECT_EQ(setValueText(c.raw, c.decimals), c.text) << c.raw << " at " << c.decimals;
}

TEST(SetValueScale, TypedValueIsScaledTruncatedAndCutTo16Bits)
{
    struct Case {
        const char* text;
        int decimals;
        std::int16_t raw;
    };
    for (const Case& c : {Case{"12.345", 2, 1234}, Case{"40000", 0, std::int16_t(0x9C40)}, Case{"-12.59", 1, -125},
                          Case{"-0.9", 0, 0}, Case{"3.27679", 4, 32767}, Case{"65536", 0, 0},
                          Case{"2147483647", 0, -1}, Case{"-2147483648", 0, 0}})
        EXPECT_EQ(rawSetValue(c.text, c.decimals), c.raw) << c.text << " at " << c.decimals;
}

// Every form the conversion takes is scaled on its decimal digits, where the
// double nearest to the text would lie just below the product.
TEST(SetValueScale, TypedDecimalIsScaledExactlyInEveryForm)
{
    struct Case {
        const char* text;
        int decimals;
        std::int16_t raw;
    };
    for (const Case& c : {Case{"113e-2", 2, 113}, Case{"0.113E1", 2, 113}, Case{" +1.13 ", 2, 113},
                          Case{"-.29", 2, -29}, Case{"0.0029", 4, 29}, Case{"1.0009", 4, 10009},
                          Case{"0000000000000000000001.13", 2, 113}, Case{"0.00000000000000000000000113e24", 2, 113},
                          Case{"214748364.79", 1, -1}, Case{"-214748364.89", 1, 0}, Case{"0e999999999999999", 4, 0},
                          Case{"5.", 0, 5}, Case{"-0.00009", 4, 0}})
        EXPECT_EQ(rawSetValue(c.text, c.decimals), c.raw) << c.text << " at " << c.decimals;
}

TEST(SetValueScale, ValueBeyond32BitsIsRefusedLikeNoNumber)
{
    struct Case {
        const char* text;
        int decimals;
    };
    for (const Case& c : {Case{"2147483648", 0}, Case{"-2147483649", 0}, Case{"300000", 4}, Case{"1e300", 4},
                          Case{"214748364.8", 1}, Case{"-214748364.9", 1}, Case{"1e99999999999999999999", 0},
                          Case{"abc", 1}, Case{"", 0}, Case{"1.2.3", 1}}) {
        try {
            rawSetValue(c.text, c.decimals);
            ADD_FAILURE() << c.text << " taken";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid floating point value").arg(c.text));
        }
    }
}

}  // namespace
