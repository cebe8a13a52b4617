#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/float_text.h"

// The reference is the standard library's float to_chars and from_chars, which GCC's has and
// the web build's does not.
namespace lorvane {
namespace {

constexpr int kValues = 100000;

std::string Printed(float value)
{
    std::array<char, 64> text{};
    const auto result = FloatToChars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(result.ec, std::errc{});
    return {text.data(), result.ptr};
}

std::string PrintedByStandard(float value)
{
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return {text.data(), result.ptr};
}

// Parses with both and reports any difference in the value's bits, the end or the error.
void ExpectParsedAlike(std::string_view text)
{
    float ours = -7.0F;
    float standard = -7.0F;
    const auto mine = FloatFromChars(text.data(), text.data() + text.size(), ours);
    const auto theirs = std::from_chars(text.data(), text.data() + text.size(), standard);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(ours), std::bit_cast<std::uint32_t>(standard)) << text;
    EXPECT_EQ(mine.ptr - text.data(), theirs.ptr - text.data()) << text;
    EXPECT_EQ(mine.ec, theirs.ec) << text;
}

TEST(FloatText, PrintsWhatToCharsPrintsForAnyBitPattern)
{
    std::mt19937 random(17);
    int differences = 0;
    for (int i = 0; i < kValues; ++i) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        const std::string ours = Printed(value);
        const std::string standard = PrintedByStandard(value);
        if (ours != standard && ++differences <= 10) {
            ADD_FAILURE() << std::hexfloat << value << ": " << ours << " instead of " << standard;
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(FloatText, PrintsSeedsAndEdgesAsLiterals)
{
    const std::array<std::pair<float, std::string_view>, 14> table = {{
        {20798.9844F, "20798.984"},
        {32702.5F, "32702.5"},
        {0.1F, "0.1"},
        {0.0001F, "1e-04"},
        {123456789.0F, "123456792"},
        {1e10F, "1e+10"},
        {100.0F, "100"},
        {-0.0F, "-0"},
        {0.0F, "0"},
        {1e-45F, "1e-45"},
        {3.4028235e38F, "3.4028235e+38"},
        {std::numeric_limits<float>::infinity(), "inf"},
        {-std::numeric_limits<float>::infinity(), "-inf"},
        {std::numeric_limits<float>::quiet_NaN(), "nan"},
    }};
    for (const auto& [value, text] : table) {
        EXPECT_EQ(Printed(value), text);
    }
}

// The shortest form of any bit pattern, which must read back to its bits; and decimal numbers that
// are not the shortest form of any float: long digit strings, midpoints between neighbouring floats
// written out exactly (where halves go to even), and numbers just beside them.
TEST(FloatText, ReadsAnyDecimalNumberAsFromCharsDoes)
{
    std::mt19937 random(19);
    std::uniform_int_distribution<int> digitCount(1, 40);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-60, 45);
    for (int i = 0; i < kValues; ++i) {
        ExpectParsedAlike(PrintedByStandard(std::bit_cast<float>(static_cast<std::uint32_t>(random()))));
        std::string text;
        const int count = digitCount(random);
        const int point = std::uniform_int_distribution<int>(0, count)(random);
        for (int d = 0; d < count; ++d) {
            if (d == point && d > 0) {
                text += '.';
            }
            text += static_cast<char>('0' + digit(random));
        }
        text += 'e';
        text += std::to_string(exponent(random));
        ExpectParsedAlike(text);

        // The midpoint above a random float, exactly (a double holds it), and a hair either side.
        const auto bits = static_cast<std::uint32_t>(random()) & 0x7f7fffffU;
        const double low = std::bit_cast<float>(bits);
        const double high = std::bit_cast<float>(bits + 1);
        std::array<char, 1200> midpoint{};
        std::snprintf(midpoint.data(), midpoint.size(), "%.1100g", low + (high - low) / 2);
        ExpectParsedAlike(midpoint.data());
        std::snprintf(midpoint.data(), midpoint.size(), "%.12g", low + (high - low) / 2);
        ExpectParsedAlike(midpoint.data());
        if (HasFailure()) {
            return;
        }
    }
}

TEST(FloatText, ReadsOnlyTheNumberAtTheStartAndRefusesWhatIsNone)
{
    struct Case {
        std::string_view text;
        float value;
        std::ptrdiff_t used;
        std::errc error;
    };
    const float unchanged = -7.0F;
    const std::array<Case, 16> table = {{
        {"1e39", unchanged, 4, std::errc::result_out_of_range},
        {"3.4028236e38", unchanged, 12, std::errc::result_out_of_range},
        {"1e-46", unchanged, 5, std::errc::result_out_of_range},
        {"7.1e-46", 1e-45F, 7, std::errc{}},
        {"+1", unchanged, 0, std::errc::invalid_argument},
        {"", unchanged, 0, std::errc::invalid_argument},
        {".", unchanged, 0, std::errc::invalid_argument},
        {"1e", 1.0F, 1, std::errc{}},
        {"1e+", 1.0F, 1, std::errc{}},
        {"0x10", 0.0F, 1, std::errc{}},
        {".5", 0.5F, 2, std::errc{}},
        {"5.", 5.0F, 2, std::errc{}},
        {"-INFinity", -std::numeric_limits<float>::infinity(), 9, std::errc{}},
        {"1e99999999999", unchanged, 13, std::errc::result_out_of_range},
        {"0e99999999999", 0.0F, 13, std::errc{}},
        {"20798.984 ", 20798.9844F, 9, std::errc{}},
    }};
    for (const Case& c : table) {
        float value = unchanged;
        const auto result = FloatFromChars(c.text.data(), c.text.data() + c.text.size(), value);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(result.ptr - c.text.data(), c.used) << c.text;
        EXPECT_EQ(result.ec, c.error) << c.text;
    }
}

TEST(FloatText, SaysWhenThePrintedNumberDoesNotFit)
{
    std::array<char, 4> text{};
    const auto result = FloatToChars(text.data(), text.data() + text.size(), 20798.9844F);
    EXPECT_EQ(result.ec, std::errc::value_too_large);
}

}  // namespace
}  // namespace lorvane
