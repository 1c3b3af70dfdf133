#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/Conversions.h"
#include "support/WorkDir.h"

namespace {

struct FloatCase {
    double value;
    int precision, digits;
    const char* expected;
};

class FloatToStrFCases : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatToStrFCases, GeneralFormat)
{
    const FloatCase& c = GetParam();
    EXPECT_EQ(FloatToStrF(c.value, c.precision, c.digits), QString::fromUtf8(c.expected)) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    ValueTexts, FloatToStrFCases,
    ::testing::Values(FloatCase{12.5, 5, 3, "12.5"}, FloatCase{0.0, 5, 3, "0"}, FloatCase{-0.0, 5, 3, "0"},
                      FloatCase{-0.3, 5, 3, "-0.3"}, FloatCase{1234.5678, 5, 3, "1234.6"},
                      FloatCase{12345.0, 5, 3, "12345"}, FloatCase{123456.7, 5, 3, "1.2346E005"},
                      FloatCase{-123456.7, 5, 3, "-1.2346E005"}, FloatCase{1e10, 5, 3, "1E010"},
                      // Rounding that adds a digit moves to scientific notation.
                      FloatCase{99999.5, 5, 3, "1E005"}, FloatCase{99999.4, 5, 3, "99999"},
                      FloatCase{0.000001, 5, 3, "1E-006"}, FloatCase{0.00001, 5, 3, "0.00001"},
                      FloatCase{0.0000123456, 5, 3, "0.000012346"}, FloatCase{0.0000099999, 5, 3, "9.9999E-006"},
                      // A channel value is a float: its binary tail never shows.
                      FloatCase{double(12.3f), 5, 3, "12.3"}, FloatCase{double(-0.1f), 5, 3, "-0.1"},
                      // Halves round away from zero.
                      FloatCase{2.5, 1, 0, "3"}, FloatCase{0.125, 2, 3, "0.13"},
                      FloatCase{123456.0, 5, 0, "1.2346E5"}, FloatCase{1e-7, 5, 0, "1E-7"},
                      FloatCase{std::numeric_limits<double>::quiet_NaN(), 5, 3, "NAN"},
                      FloatCase{-std::numeric_limits<double>::infinity(), 5, 3, "-INF"}));

// Qt's application object hands the user's locale to the C library; a
// German desktop must not make the station write "12,5" into its files.
TEST(FloatToStrF, KeepsItsPointUnderADecimalCommaLocale)
{
    WorkDir dir;
    const std::string make = "localedef -i de_DE -f UTF-8 " + dir.file("de_DE.UTF-8") + " >/dev/null 2>&1";
    setenv("LOCPATH", dir.path().c_str(), 1);
    if (std::system(make.c_str()) != 0 || !std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        unsetenv("LOCPATH");
        GTEST_SKIP() << "no German locale can be made here";
    }
    const QString twelveAndAHalf = FloatToStrF(12.5, 5, 3);
    const QString large = FloatToStrF(123456.7, 5, 3);
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    EXPECT_EQ(twelveAndAHalf, "12.5");
    EXPECT_EQ(large, "1.2346E005");
}

TEST(StrToInt, AcceptsDecimalAndHexadecimal)
{
    const std::pair<const char*, int> cases[] = {
        {"123", 123},        {" -45", -45},         {"+7", 7},
        {"$1F", 31},         {"0x1f", 31},          {"0X10", 16},
        {"$FFFFFFFF", -1},   {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"007", 7},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(StrToInt(QString::fromUtf8(text)), value) << text;
}

TEST(StrToInt, RefusesOtherTextWithTheLibraryMessage)
{
    for (const char* text : {"", " ", "12a", "1.5", "12 ", "2147483648", "-2147483649", "$", "0x", "$100000000",
                             "abc", "１２"}) {
        const QString q = QString::fromUtf8(text);
        try {
            StrToInt(q);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(q));
        }
    }
    EXPECT_EQ(StrToIntDef(QStringLiteral("x1"), -9), -9);
}

TEST(StrToFloat, AcceptsDecimalNumbersWithExponent)
{
    const std::pair<const char*, double> cases[] = {
        {"1.5", 1.5}, {" -2.25 ", -2.25}, {"1e3", 1000}, {"2.E-2", 0.02}, {".5", 0.5}, {"+3", 3}, {"-0", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(StrToFloat(QString::fromUtf8(text)), value) << text;
}

TEST(StrToFloat, RefusesOtherTextWithTheLibraryMessage)
{
    for (const char* text : {"", "abc", "1,5", "1e", ".", "1.2.3", "1e999", "inf", "nan", "0x10", "- 1"}) {
        const QString q = QString::fromUtf8(text);
        try {
            StrToFloat(q);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), QStringLiteral("'%1' is not a valid floating point value").arg(q).toUtf8().constData());
        }
    }
}

} // namespace
