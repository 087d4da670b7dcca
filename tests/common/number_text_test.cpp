#include "common/number_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

// The C library (the tests run in the "C" locale) is the reference for the printf forms.
std::string printfC(const char* format, double v) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, v);
    return buffer;
}

const std::vector<double> kSamples = {0.0, -0.0, 1.0, -1.0, 0.5, 1e-6, 0.05, 0.01, 1.0 / 3.0, -2.0 / 3.0, 123456789.125, 1e15,
    1e16, 1e17, 9999999999999999.0, 1e-4, 1e-5, 12345.678901234567, 3.141592653589793, 1e300, -1e-300, 5e-324,
    std::numeric_limits<double>::max(), 0.1 + 0.2, 100.0, 2.5e-7};

TEST(NumberText, FormsMatchTheCLibraryInTheCLocale) {
    const std::pair<double, const char*> cases[] = {{1e-6, "0.000001"}, {0.05, "0.05"}, {1.0, "1"}, {10000.0, "10000"},
                                                    {0.0, "0"}, {-2.5, "-2.5"}, {1e-20, "0"}};
    for (const auto& [v, text] : cases) EXPECT_EQ(common::formatFixed16Trimmed(v), text) << v;
    for (double v : kSamples) {
        // Trimming only removes zeros: the value read back is the "%.16lf" value.
        const auto back = common::parseDouble(common::formatFixed16Trimmed(v));
        ASSERT_TRUE(back.has_value()) << v;
        EXPECT_EQ(*back, std::strtod(printfC("%.16lf", v).c_str(), nullptr)) << v;
        EXPECT_EQ(common::formatG16(v), printfC("%.16G", v)) << v;
        EXPECT_EQ(common::formatFixed30(v), printfC("%.30lf", v)) << v;
    }
}

TEST(NumberText, ParseDoubleReadsLikeScanfButOnlyFiniteDecimals) {
    const std::pair<std::string, double> read[] = {
        {"1.5", 1.5}, {" \t\n\r\f\v-0.25", -0.25}, {"+3", 3.0}, {".5", 0.5}, {"5.", 5.0}, {"1e-6", 1e-6}, {"2E3", 2000.0},
        {"12a3", 12.0},  // stops at the first non-number character
        {"1e", 1.0},     // a dangling exponent mark is not read
        {"1,5", 1.0},    // never a decimal comma
        {"1e-400", 0.0}, {"0." + std::string(400, '0') + "1", 0.0},  // underflow reads as zero
        {"1.7976931348623157e308", std::numeric_limits<double>::max()}};
    for (const auto& [text, value] : read) EXPECT_EQ(common::parseDouble(text), value) << text;
    const std::vector<std::string> refused = {"", "   ", "-", "+", ".", "e5", "inf", "-inf", "INFINITY", "nan",
                                              "NaN(1)", "0x10", "0X1p3", "-0x1", "1e400", "-1e309", "0.5e310", "abc",
                                              "1" + std::string(400, '0')};
    for (const std::string& bad : refused) EXPECT_FALSE(common::parseDouble(bad).has_value()) << bad;
}

TEST(NumberText, ParseIntSaturatesAtTheLimits) {
    const std::pair<const char*, long long> read[] = {
        {" \t\n\r\f\v+42x", 42}, {"-0", 0}, {"-12 3", -12}, {"9223372036854775807", LLONG_MAX}, {"9223372036854775808", LLONG_MAX},
        {"-9223372036854775808", LLONG_MIN}, {"-9223372036854775809", LLONG_MIN}, {"99999999999999999999999", LLONG_MAX}};
    for (const auto& [text, value] : read) EXPECT_EQ(common::parseIntSaturating(text), value) << text;
    for (const char* bad : {"", " ", "-", "+ 1", "x1", ".5"}) EXPECT_FALSE(common::parseIntSaturating(bad)) << bad;
}

TEST(NumberText, CutUtf8NeverSplitsACharacter) {
    const std::string text = "a\xE3\x81\x82\xF0\x9F\x98\x80" "b";  // characters of 1, 3, 4 and 1 bytes
    for (std::size_t n = 0; n <= 10; ++n) {
        const std::size_t fits = n >= 9 ? 9 : n >= 8 ? 8 : n >= 4 ? 4 : n >= 1 ? 1 : 0;
        EXPECT_EQ(common::cutUtf8(text, n), text.substr(0, fits)) << n;
    }
    // A run of stray continuation bytes is not UTF-8; the cut stays within the limit.
    EXPECT_EQ(common::cutUtf8("ab" + std::string(6, '\x80'), 6).size(), 6u);
}

}  // namespace
