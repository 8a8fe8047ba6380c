// Where the button puts its icon and caption, what state it draws, its regions.
#include "controls/button/ButtonLayout.h"
#include "controls/button/PaintedStyles.h"

#include <gtest/gtest.h>

namespace {

using namespace quill::button;

TEST(ButtonLayout, SettledState)
{
    struct Case {
        int state, style;
        bool userMode;
        int buttonType;
        bool value, enabled;
        int want;
    } cases[] = {
        {StateNormal, 0, true, 0, false, true, StateNormal},
        {StateNormal, 0, false, 0, false, true, StateHot},       // design surface
        {StateNormal, 5, false, 0, false, true, StateNormal},    // except Style 5
        {StateHot, 3, true, 1, true, true, StatePressed},        // on toggle
        {StateHot, 3, true, 0, true, true, StateHot},            // Value alone changes nothing
        {StatePressed, 3, true, 1, true, false, StateDisabled},  // disabled wins
        {StateNormal, 10, false, 0, false, false, StateDisabled},
    };
    for (auto c : cases)
        EXPECT_EQ(SettleState(c.state, c.style, c.userMode, c.buttonType, c.value, c.enabled), c.want)
            << c.state << " style " << c.style;
}

TEST(ButtonLayout, IconMarginByStyle)
{
    const int want[] = {4, 4, 4, 4, 4, 5, 4, 5, 4, 7, 7, 4};
    for (int style = 0; style <= 11; ++style)
        EXPECT_EQ(IconMargin(style), want[style]) << style;
}

TEST(ButtonLayout, IconPosition)
{
    struct Case {
        int align;
        Point want;
    } cases[] = {
        // W 81, H 40, icon 32 x 16, margin 7: (81 - 32) / 2 = 24.5 goes to 24.
        {0, {24, 12}},          {1, {7, 12}}, {2, {81 - 32 - 7, 12}}, {3, {24, 7}},
        {4, {24, 40 - 16 - 7}}, {5, {0, 0}},  {-1, {0, 0}},
    };
    for (auto c : cases)
        EXPECT_EQ(IconPosition(c.align, 7, 81, 40, 32, 16), c.want) << c.align;
    // 3.5 goes to 4.
    EXPECT_EQ(IconPosition(0, 4, 23, 23, 16, 16), (Point{4, 4}));
}

TEST(ButtonLayout, CaptionFormat)
{
    EXPECT_EQ(CaptionFormatFor(0), 37u);
    EXPECT_EQ(CaptionFormatFor(1), 36u);
    EXPECT_EQ(CaptionFormatFor(2), 38u);
    EXPECT_EQ(CaptionFormatFor(3), 33u);
    EXPECT_EQ(CaptionFormatFor(4), 41u);
    EXPECT_FALSE(CaptionFormatFor(5));
    EXPECT_FALSE(CaptionFormatFor(-1));
    EXPECT_EQ(kNewInstanceCaptionFormat, 17u);
}

TEST(ButtonLayout, RegionsByStyle)
{
    const RegionShape want[] = {RegionShape::Rectangle, RegionShape::Rectangle, RegionShape::Rectangle,
                                RegionShape::Rectangle, RegionShape::Rectangle, RegionShape::CutSmall,
                                RegionShape::Rectangle, RegionShape::CutSmall,  RegionShape::CutLarge,
                                RegionShape::CutLarge,  RegionShape::Round,     RegionShape::Rectangle};
    for (int style = 0; style <= 11; ++style)
        EXPECT_EQ(RegionShapeFor(style), want[style]) << style;
    const std::array<Point, 8> small{
        {{0, 1}, {1, 0}, {59, 0}, {60, 1}, {60, 22}, {58, 24}, {2, 24}, {0, 22}}};
    EXPECT_EQ(CutRegionSmall(60, 24), small);
    const std::array<Point, 8> large{
        {{0, 2}, {2, 0}, {57, 0}, {60, 3}, {60, 21}, {57, 24}, {4, 24}, {0, 20}}};
    EXPECT_EQ(CutRegionLarge(60, 24), large);
}

}  // namespace

TEST(ButtonStyles, EveryStoredNumberHasItsNamedStyleAndTraits)
{
    EXPECT_FALSE(quill::button::StyleFrom(-1));
    EXPECT_FALSE(quill::button::StyleFrom(11));
    for (int style = 0; style < quill::button::kStyleCount; ++style) {
        ASSERT_TRUE(quill::button::StyleFrom(style));
        EXPECT_EQ(static_cast<int>(*quill::button::StyleFrom(style)), style);
    }
    EXPECT_EQ(quill::button::StyleFrom(6), quill::button::ButtonStyle::Themed);
    EXPECT_EQ(quill::button::TraitsOf(10).region, quill::button::RegionShape::Round);
    EXPECT_EQ(quill::button::TraitsOf(10).iconMargin, 7);
    EXPECT_EQ(quill::button::TraitsOf(42).region, quill::button::RegionShape::Rectangle);
    EXPECT_EQ(quill::button::TraitsOf(42).iconMargin, 4);
}
