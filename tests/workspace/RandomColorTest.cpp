// Chart colours: three components of 0 to 253, in two written forms.
#include "workspace/RandomColor.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::workspace {
namespace {

struct Rgb {
    int red, green, blue;
};

Rgb FromHex(const std::wstring& text)
{
    return {std::stoi(text.substr(0, 2), nullptr, 16), std::stoi(text.substr(2, 2), nullptr, 16),
            std::stoi(text.substr(4, 2), nullptr, 16)};
}

TEST(RandomColor, HexFormIsSixUpperCaseDigitsOfAtMostFD)
{
    for (int i = 0; i < 500; ++i) {
        const std::wstring colour = RandomColor(false);
        ASSERT_EQ(colour.size(), 6u) << colour;
        EXPECT_EQ(colour.find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos) << colour;
        const Rgb c = FromHex(colour);
        EXPECT_LE(c.red, 253);
        EXPECT_LE(c.green, 253);
        EXPECT_LE(c.blue, 253);
    }
}

TEST(RandomColor, WindowsFormIsADecimalColourWithRedLow)
{
    for (int i = 0; i < 500; ++i) {
        const std::wstring colour = RandomColor(true);
        ASSERT_FALSE(colour.empty());
        EXPECT_EQ(colour.find_first_not_of(L"0123456789"), std::wstring::npos) << colour;
        const long value = std::stol(colour);
        EXPECT_LE(value, 16645629);  // 253 + 256 * 253 + 65536 * 253
        EXPECT_LE(value & 0xFF, 253);
        EXPECT_LE(value >> 8 & 0xFF, 253);
        EXPECT_LE(value >> 16, 253);
    }
}

// A chart draws its colours one after another within one tick of the clock,
// so every reseed sees the same time. Consecutive items must still differ,
// and a colour must not come out grey.
TEST(RandomColor, ConsecutiveDrawsAtOneClockReadingDiffer)
{
    forms::ClockOverride clock(forms::DateSerial(2015, 12, 3) + 0.5);
    std::vector<std::wstring> colours;
    for (int i = 0; i < 30; ++i)
        colours.push_back(RandomColor(false));
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Rgb c = FromHex(colours[i]);
        EXPECT_FALSE(c.red == c.green && c.green == c.blue) << "grey " << colours[i];
        if (i > 0) {
            EXPECT_NE(colours[i], colours[i - 1]) << i;
        }
    }
}

}  // namespace
}  // namespace quill::workspace
