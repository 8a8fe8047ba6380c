// What the segmented progress bar draws, step by step: its extent, blocks,
// gaps, marquee, frame, colours and text for the figures of the updater's bar.
#include "updater/SegmentedBarPicture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quill::updater {
namespace {

constexpr std::uint32_t Green = 0xFF00;
const BarRect Down1{0, 0, 235, 22};

SegmentedBarState Bar(std::int32_t value, std::int32_t scrolling = 0, std::int32_t orientation = 0)
{
    SegmentedBarState s;
    s.colour = Green;
    s.value = value;
    s.scrolling = scrolling;
    s.orientation = orientation;
    return s;
}

std::vector<BarStep> Of(const std::vector<BarStep>& steps, BarStep::Kind kind, std::uint32_t colour)
{
    std::vector<BarStep> out;
    std::copy_if(steps.begin(), steps.end(), std::back_inserter(out),
                 [&](const BarStep& s) { return s.kind == kind && s.colour == colour; });
    return out;
}

TEST(SegmentedBarColours, LightenAndVertices)
{
    EXPECT_EQ(LightenColor(0xFF00, 150), 0x96FF96u);
    EXPECT_EQ(LightenColor(0x000000, 220), 0xDCDCDCu);
    EXPECT_EQ(LightenColor(0xFFFFFF, 0), 0xFFFFFFu);
    EXPECT_EQ(LightenColor(0x804020, 100), 0xB18A77u);  // 100 + 155 * c / 255 per channel
    EXPECT_EQ(ColorToVertex(0xFF00), (VertexColour{0, 0xFF00, 0}));
    EXPECT_EQ(ColorToVertex(0x123456), (VertexColour{0x5600, 0x3400, 0x1200}));
}

TEST(SegmentedBarExtent, HorizontalInStepsOfTen)
{
    struct Case {
        std::int32_t min, max, value;
        int right;
    } cases[] = {
        {0, 100, 38, 80},  // 89.3 rounds to 89, cut to 80
        {0, 100, 0, 0},     {0, 100, -5, 0},   {0, 100, 100, 230},
        {0, 100, 250, 230}, {0, 100, 4, 0},    {0, 100, 5, 10},  // 11.75 rounds to 12
        {0, 100, 12, 20},   {0, 100, 50, 110},                   // 117.5 rounds to 118
        {20, 120, 58, 80},                                       // the share of the range, not of Max
        {50, 50, 50, 0},                                         // an empty range fills nothing
        {100, 0, 50, 110},                                       // a reversed range still gives a share
    };
    for (const Case& c : cases) {
        SegmentedBarState s = Bar(c.value);
        s.min = c.min;
        s.max = c.max;
        EXPECT_EQ(BarExtent(Down1, s), (BarRect{0, 0, c.right, 22}))
            << c.min << " " << c.max << " " << c.value;
    }
}

TEST(SegmentedBarExtent, VerticalFromTheBottom)
{
    const BarRect client{0, 0, 20, 100};
    const std::pair<std::int32_t, int> cases[] = {{5, 100}, {10, 90}, {50, 50}, {0, 100}, {100, 0}, {99, 0}};
    for (const auto& [value, top] : cases)
        EXPECT_EQ(BarExtent(client, Bar(value, 0, 1)).top, top) << value;
}

TEST(SegmentedBarSteps, EightBlocksFromTwoAt38)
{
    const std::vector<BarStep> steps = BarSteps(Down1, Bar(38));
    ASSERT_GE(steps.size(), 4u);
    EXPECT_EQ(steps[0].area, Down1);  // white field
    EXPECT_EQ(steps[0].colour, 0xFFFFFFu);
    EXPECT_EQ(steps[1].kind, BarStep::Kind::Gradient);
    EXPECT_EQ(steps[1].area, (BarRect{2, 3, 80, 9}));
    EXPECT_EQ(steps[1].from, ColorToVertex(0x96FF96));
    EXPECT_EQ(steps[1].to, ColorToVertex(Green));
    EXPECT_TRUE(steps[1].vertical);
    EXPECT_EQ(steps[2].area, (BarRect{2, 8, 80, 16}));
    EXPECT_EQ(steps[2].colour, Green);
    EXPECT_EQ(steps[3].area, (BarRect{2, 14, 80, 20}));
    EXPECT_EQ(steps[3].from, ColorToVertex(Green));
    // Gaps at 10, 20 ... 80 over the whole height leave blocks at 2, 12 ... 72.
    std::vector<BarStep> gaps(steps.begin() + 4, steps.end());
    ASSERT_EQ(gaps.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(gaps[i].area, (BarRect{10 + 10 * i, 0, 12 + 10 * i, 22}));
        EXPECT_EQ(gaps[i].colour, 0xFFFFFFu);
    }
}

TEST(SegmentedBarSteps, ContinuousHasNoGaps)
{
    const std::vector<BarStep> steps = BarSteps(Down1, Bar(38, 1));
    EXPECT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[2].area, (BarRect{2, 8, 80, 16}));
}

TEST(SegmentedBarSteps, MarqueeThreeBlocksFromTheEnd)
{
    const std::vector<BarStep> steps = BarSteps(Down1, Bar(38, 2));
    ASSERT_EQ(steps.size(), 10u);
    for (int k = 0; k < 3; ++k) {
        const BarStep& upper = steps[1 + 3 * k];
        const BarStep& middle = steps[2 + 3 * k];
        const BarStep& lower = steps[3 + 3 * k];
        EXPECT_EQ(upper.area, (BarRect{80 + 12 * k, 3, 90 + 12 * k, 9}));
        EXPECT_EQ(upper.from, ColorToVertex(LightenColor(Green, 220 - 40 * k)));
        EXPECT_EQ(upper.to, ColorToVertex(LightenColor(Green, 200 - 40 * k)));
        EXPECT_EQ(middle.area, (BarRect{80 + 12 * k, 8, 90 + 12 * k, 16}));
        EXPECT_EQ(middle.colour, LightenColor(Green, 200 - 40 * k));
        EXPECT_EQ(lower.area, (BarRect{80 + 12 * k, 14, 90 + 12 * k, 20}));
    }
    EXPECT_EQ(PercentText(Bar(38, 2)), L"正在查找..");
}

TEST(SegmentedBarSteps, VerticalBlocksAndGaps)
{
    const BarRect client{0, 0, 20, 100};
    const std::vector<BarStep> steps = BarSteps(client, Bar(50, 0, 1));
    EXPECT_EQ(steps[1].area, (BarRect{2, 50, 8, 150}));
    EXPECT_FALSE(steps[1].vertical);  // left to right
    EXPECT_EQ(steps[2].area, (BarRect{7, 50, 12, 100}));
    EXPECT_EQ(steps[3].area, (BarRect{12, 50, 18, 150}));
    const std::vector<BarStep> gaps(steps.begin() + 4, steps.end());
    ASSERT_EQ(gaps.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(gaps[i].area, (BarRect{0, 98 - 10 * i, 20, 100 - 10 * i}));
}

TEST(SegmentedBarSteps, FrameAndCorners)
{
    const std::vector<BarStep> frame = FrameSteps(Down1);
    ASSERT_EQ(frame.size(), 7u);
    EXPECT_EQ(Of(frame, BarStep::Kind::Outline, 0xBEBEBE)[0].area, (BarRect{1, 1, 235, 22}));
    EXPECT_EQ(Of(frame, BarStep::Kind::Outline, 0xEFEFEF)[0].area, (BarRect{1, 2, 234, 21}));
    EXPECT_EQ(Of(frame, BarStep::Kind::Outline, 0x686868)[0].area, Down1);
    const auto pixels = Of(frame, BarStep::Kind::Pixel, 0x686868);
    ASSERT_EQ(pixels.size(), 4u);
    EXPECT_EQ(pixels[3].area, (BarRect{233, 20, 234, 21}));
    const auto cut = CutCornerPixels(235, 22);
    EXPECT_EQ(cut.size(), 12u);
    EXPECT_EQ(cut[5], std::make_pair(234, 1));
    EXPECT_EQ(cut[11], std::make_pair(234, 20));
}

TEST(SegmentedBarText, ShareOfTheRange)
{
    struct Case {
        std::int32_t min, max, value;
        const wchar_t* text;
    } cases[] = {
        {0, 100, 38, L"38 %"},
        {0, 100, 0, L"0 %"},
        {0, 100, 100, L"100 %"},
        {20, 120, 70, L"50 %"},
        {0, 3, 1, L"33.3333333333333 %"},
        {0, 200, 1, L"0.5 %"},
        {5, 5, 5, L"0 %"},
        {0, 100, 150, L"150 %"},
        {0, 2147483647, 2147483647, L"100 %"},  // no 32-bit product to overflow
    };
    for (const Case& c : cases) {
        SegmentedBarState s = Bar(c.value);
        s.min = c.min;
        s.max = c.max;
        EXPECT_EQ(PercentText(s), c.text) << c.value;
    }
}

}  // namespace
}  // namespace quill::updater
