#include "forms/web/ChartText.h"

#include <gtest/gtest.h>

using namespace quill::web;

namespace {

TEST(ChartText, ReadsTheChartAndItsSets)
{
    const Chart chart = ReadChartText(
        L"<chart caption=\"账号概览\" yAxisName=\"Quillmoor\" baseFontSize=\"14\" showNames=\"1\" "
        L"decimalPrecision=\"0\" formatNumberScale=\"0\"><set name=\"总投入本金\" value=\"1000\" "
        L"color=\"1A2B3C\"/><set name=\"总待收利息\" value=\"25.5\" color=\"FF0000\"/></chart>");
    EXPECT_EQ(chart.caption, L"账号概览");
    EXPECT_EQ(chart.yAxisName, L"Quillmoor");
    EXPECT_EQ(chart.baseFontSize, 14);
    EXPECT_TRUE(chart.showNames);
    EXPECT_EQ(chart.decimalPrecision, 0);
    EXPECT_FALSE(chart.showPercentValues);
    ASSERT_EQ(chart.sets.size(), 2u);
    EXPECT_EQ(chart.sets[0].name, L"总投入本金");
    EXPECT_EQ(chart.sets[0].value, 1000);
    EXPECT_EQ(chart.sets[0].color, Rgb(0x3C2B1A));  // red in the low byte
    EXPECT_EQ(chart.sets[1].value, 25.5);
    EXPECT_EQ(chart.sets[1].color, Rgb(0x0000FF));
}

TEST(ChartText, IsReadAsLenientlyAsTheAttributeReader)
{
    // Attribute names in any case, missing quotes, no chart element at all.
    const Chart chart =
        ReadChartText(L"<CHART CAPTION=\"A\" SHOWPERCENTVALUES=\"1\" showNames=\"0\"><set NAME=\"x\" "
                      L"VALUE=\"3\" toolText=\"x: ￥3\"/><set name=\"open");
    EXPECT_EQ(chart.caption, L"A");
    EXPECT_TRUE(chart.showPercentValues);
    EXPECT_FALSE(chart.showNames);
    EXPECT_EQ(chart.decimalPrecision, Chart::kDefaultDecimals);
    ASSERT_EQ(chart.sets.size(), 2u);
    EXPECT_EQ(chart.sets[0].toolText, L"x: ￥3");
    EXPECT_EQ(chart.sets[1].name, L"open");
    EXPECT_EQ(chart.sets[1].value, 0);
    EXPECT_FALSE(chart.sets[1].color);

    EXPECT_TRUE(ReadChartText(L"").sets.empty());
    EXPECT_TRUE(ReadChartText(L"no markup at all").caption.empty());
}

TEST(ChartText, ValuesThatAreNoNumbersCountZero)
{
    const struct {
        const wchar_t* value;
        double read;
    } cases[] = {{L"12", 12}, {L"-3.5", -3.5}, {L".5", 0.5}, {L"7.", 7},    {L"1,200", 0},
                 {L" 12", 0}, {L"12 ", 0},     {L"1e3", 0},  {L"+1", 0},    {L"abc", 0},
                 {L"", 0},    {L"-", 0},       {L".", 0},    {L"1.2.3", 0}, {L"0x10", 0}};
    for (const auto& c : cases) {
        const Chart chart =
            ReadChartText(std::wstring(L"<chart><set name=\"a\" value=\"") + c.value + L"\"/>");
        ASSERT_EQ(chart.sets.size(), 1u);
        EXPECT_EQ(chart.sets[0].value, c.read) << c.value;
    }
    EXPECT_FALSE(ReadChartNumber(std::wstring(400, L'9')));  // beyond a double
}

// A number beyond a double's range in the chart element is read as the
// largest of its sign, so a size or precision is capped and a flag is on.
TEST(ChartText, ElementNumbersBeyondADoubleAreCapped)
{
    const struct {
        const wchar_t* element;
        int baseFontSize, decimalPrecision;
        bool showPercentValues;
    } cases[] = {
        {L"<chart baseFontSize=\"9d400\">", 40, Chart::kDefaultDecimals, false},
        {L"<chart baseFontSize=\" - 9e400\">", 6, Chart::kDefaultDecimals, false},
        {L"<chart decimalPrecision=\"1e999\">", Chart::kDefaultFontSize, 10, false},
        {L"<chart showPercentValues=\"1e400\">", Chart::kDefaultFontSize, Chart::kDefaultDecimals, true},
        {L"<chart baseFontSize=\"12\" showPercentValues=\"1e-400\">", 12, Chart::kDefaultDecimals, false},
    };
    for (const auto& c : cases) {
        const Chart chart = ReadChartText(c.element);
        EXPECT_EQ(chart.baseFontSize, c.baseFontSize) << c.element;
        EXPECT_EQ(chart.decimalPrecision, c.decimalPrecision) << c.element;
        EXPECT_EQ(chart.showPercentValues, c.showPercentValues) << c.element;
    }
}

TEST(ChartText, EscapedTextsComeBackWhole)
{
    const std::wstring odd = L"<b>\"name'&</b>";
    EXPECT_EQ(XmlEscape(odd), L"&lt;b&gt;&quot;name&apos;&amp;&lt;/b&gt;");
    EXPECT_EQ(XmlUnescape(XmlEscape(odd)), odd);
    const Chart chart = ReadChartText(L"<chart caption=\"" + XmlEscape(odd) + L"\"><set name=\"" +
                                      XmlEscape(odd) + L"\" value=\"1\"/></chart>");
    EXPECT_EQ(chart.caption, odd);
    ASSERT_EQ(chart.sets.size(), 1u);
    EXPECT_EQ(chart.sets[0].name, odd);

    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {{L"&#65;&#x42;&#X63;", L"ABc"},
                 {L"&unknown;", L"&unknown;"},
                 {L"a & b", L"a & b"},
                 {L"&#0;&#xD800;&#x110000;", L"&#0;&#xD800;&#x110000;"},
                 {L"&amp", L"&amp"},
                 {L"&amp;amp;", L"&amp;"}};
    for (const auto& c : cases)
        EXPECT_EQ(XmlUnescape(c.in), c.out) << c.in;
}

TEST(ChartText, Colours)
{
    EXPECT_EQ(ReadChartColor(L"FF0000"), Rgb(0x0000FF));
    EXPECT_EQ(ReadChartColor(L"#00ff00"), Rgb(0x00FF00));
    EXPECT_EQ(ReadChartColor(L"0000fd"), Rgb(0xFD0000));
    EXPECT_FALSE(ReadChartColor(L"FF00"));
    EXPECT_FALSE(ReadChartColor(L"GG0000"));
    EXPECT_FALSE(ReadChartColor(L""));
    // Neighbours in the palette differ.
    for (size_t i = 0; i < 24; ++i)
        EXPECT_NE(PaletteColor(i), PaletteColor(i + 1));
}

TEST(ChartText, NumbersShowTheirPlacesAndAreNeverScaled)
{
    const struct {
        double value;
        int decimals;
        const wchar_t* text;
    } cases[] = {{1234567.891, 1, L"1,234,567.9"}, {1000000, 0, L"1,000,000"}, {0.25, 1, L"0.3"},
                 {-2500.5, 0, L"-2,501"},          {12, 2, L"12.00"},          {3, -4, L"3"},
                 {3, 99, L"3.0000000000"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatChartNumber(c.value, c.decimals), c.text) << c.value;
}

}  // namespace
