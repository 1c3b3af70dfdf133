#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "platform/Conversions.h"
#include "support/WorkDir.h"

namespace {

struct FloatCase {
    double value;
    int precision, digits;
    const char* expected;
};

QString written(double value, int precision, int digits)
{
    char text[FloatToStrFMaxLength];
    return QString::fromLatin1(text, writeFloatToStrF(text, value, precision, digits));
}

class FloatToStrFCases : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatToStrFCases, GeneralFormat)
{
    const FloatCase& c = GetParam();
    EXPECT_EQ(FloatToStrF(c.value, c.precision, c.digits), QString::fromUtf8(c.expected)) << c.value;
    EXPECT_EQ(written(c.value, c.precision, c.digits), QString::fromUtf8(c.expected)) << c.value;
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
                      FloatCase{2.5, 1, 0, "3"}, FloatCase{0.125, 2, 3, "0.13"}, FloatCase{1.03125, 5, 3, "1.0313"},
                      // Just below a half, but a half in 18 digits: rounded up.
                      FloatCase{0.681755, 5, 3, "0.68176"}, FloatCase{2.07565, 5, 3, "2.0757"},
                      FloatCase{1.234567890123456789, 18, 3, "1.23456789012345669"},
                      FloatCase{-1.5e-300, 5, 3, "-1.5E-300"}, FloatCase{4.9e-324, 5, 3, "4.9407E-324"},
                      FloatCase{1.7976931348623157e308, 5, 3, "1.7977E308"}, FloatCase{-123.456, 7, 2, "-123.456"},
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

// The byte writer finds its digits another way than FloatToStrF does; its
// text must not differ for any value: any float, any double, and the values
// next to halves, where the two ways could part.
TEST(WriteFloatToStrF, GivesFloatToStrFsTextForRandomValues)
{
    std::mt19937_64 random(20181018);
    std::vector<double> values;
    for (int i = 0; i < 100000; ++i) {
        const float f = std::bit_cast<float>(std::uint32_t(random()));
        if (std::isfinite(f))
            values.push_back(f);
        values.push_back(std::bit_cast<double>(random()));
    }
    std::uniform_int_distribution<int> digits(10000, 99999), exponent(-12, 12);
    for (int i = 0; i < 30000; ++i) {
        const double half = (digits(random) + 0.5) * std::pow(10.0, exponent(random));
        for (double v : {std::nextafter(half, 0.0), half, std::nextafter(half, 1e300)})
            values.push_back(v);
    }
    int mismatches = 0;
    for (double v : values)
        for (const auto& [precision, exponentDigits] : {std::pair{5, 3}, std::pair{5, 0}, std::pair{1, 0},
                                                       std::pair{4, 2}, std::pair{6, 3}, std::pair{7, 4},
                                                       std::pair{9, 3}})
            if (written(v, precision, exponentDigits) != FloatToStrF(v, precision, exponentDigits) && ++mismatches < 10)
                ADD_FAILURE() << std::hexfloat << v << " at precision " << precision;
    EXPECT_EQ(mismatches, 0);
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
