// The setters' clamps and the order of their reports.
#include "controls/small/ProgressBarProperties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::small {
namespace {

// A report with the range as the repaint that follows it sees it.
struct Report {
    std::wstring name;
    std::int32_t min, max, value;
    friend bool operator==(const Report&, const Report&) = default;
};

std::ostream& operator<<(std::ostream& os, const Report& r)
{
    return os << std::string(r.name.begin(), r.name.end()) << " " << r.min << ".." << r.max << " @"
              << r.value;
}

struct Recorded {
    ProgressBarProperties bar;
    std::vector<Report> reports;
    Recorded(std::int32_t min, std::int32_t max, std::int32_t value)
    {
        bar.Max(max);
        bar.Min(min);
        bar.Value(value);
        bar.Changed = [this](std::wstring_view name) {
            reports.push_back({std::wstring(name), bar.Min(), bar.Max(), bar.Value()});
        };
    }
};

enum class Set { Max, Min, Value };

TEST(ProgressBarProperties, ClampsAndReportOrder)
{
    const struct {
        std::int32_t min, max, value;  // before
        Set property;
        std::int32_t given;
        std::vector<Report> reports;  // each with the range after its store
    } cases[] = {
        {0, 100, 50, Set::Max, 0, {{L"Value", 0, 1, 1}, {L"Max", 0, 1, 1}}},
        {0, 100, 50, Set::Max, -7, {{L"Value", 0, 1, 1}, {L"Max", 0, 1, 1}}},
        {5, 100, 50, Set::Max, 3, {{L"Value", 5, 6, 6}, {L"Max", 5, 6, 6}}},
        {0, 100, 50, Set::Max, 40, {{L"Value", 0, 40, 40}, {L"Max", 0, 40, 40}}},
        {0, 100, 50, Set::Max, 50, {{L"Max", 0, 50, 50}}},
        {0, 100, 50, Set::Max, 200, {{L"Max", 0, 200, 50}}},
        {0, 100, 50, Set::Min, 100, {{L"Value", 99, 100, 99}, {L"Min", 99, 100, 99}}},
        {0, 100, 50, Set::Min, -4, {{L"Min", 0, 100, 50}}},
        {0, 100, 50, Set::Min, 60, {{L"Value", 60, 100, 60}, {L"Min", 60, 100, 60}}},
        {0, 100, 50, Set::Min, 50, {{L"Min", 50, 100, 50}}},
        {0, 100, 50, Set::Value, 1000, {{L"Value", 0, 100, 100}}},
        {0, 100, 50, Set::Value, -1, {{L"Value", 0, 100, 0}}},
        {20, 100, 50, Set::Value, 3, {{L"Value", 20, 100, 20}}},
        {0, 100, 50, Set::Value, 50, {{L"Value", 0, 100, 50}}},  // reported though unchanged
        {0, 2'147'483'647, 0, Set::Value, 2'147'483'647, {{L"Value", 0, 2'147'483'647, 2'147'483'647}}},
    };
    for (const auto& c : cases) {
        Recorded r(c.min, c.max, c.value);
        switch (c.property) {
        case Set::Max:
            r.bar.Max(c.given);
            break;
        case Set::Min:
            r.bar.Min(c.given);
            break;
        case Set::Value:
            r.bar.Value(c.given);
            break;
        }
        EXPECT_EQ(r.reports, c.reports) << "from " << c.min << ".." << c.max << " @" << c.value << ", set "
                                        << static_cast<int>(c.property) << " to " << c.given;
    }
}

TEST(ProgressBarProperties, MinEqualToMaxStoresOneBelow)
{
    Recorded r(0, 100, 50);
    r.bar.Min(100);
    EXPECT_EQ(r.bar.Min(), 99);
    EXPECT_EQ(r.bar.Value(), 99);
}

TEST(ProgressBarProperties, OtherFieldsStoreAnyValueAndReport)
{
    Recorded r(0, 100, 50);
    r.bar.Theme(11);
    r.bar.TextEffect(-3);
    r.bar.Orientations(7);
    r.bar.TextAlignment(0);
    r.bar.TextForeColor(0x80000012);
    r.bar.Text(L"");
    r.bar.Enabled(false);
    EXPECT_EQ(r.bar.Theme(), 11);
    EXPECT_EQ(r.bar.TextEffect(), -3);
    EXPECT_EQ(r.bar.Orientations(), 7);
    EXPECT_EQ(r.bar.TextAlignment(), 0);
    EXPECT_EQ(r.bar.TextForeColor(), 0x80000012u);
    EXPECT_FALSE(r.bar.Enabled());
    std::vector<std::wstring> names;
    for (const Report& x : r.reports)
        names.push_back(x.name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Theme", L"TextEffect", L"Orientations", L"TextAlignment",
                                                L"TextForeColor", L"Text", L"Enabled"}));
}

TEST(ProgressBarProperties, NewInstanceValuesInTheirOrder)
{
    ProgressBarProperties bar;
    std::vector<std::wstring> names;
    bar.Changed = [&](std::wstring_view name) { names.emplace_back(name); };
    bar.InitNew(BannerText);
    EXPECT_EQ(names,
              (std::vector<std::wstring>{L"Max", L"Min", L"Value", L"RoundedValue", L"Enabled", L"Theme",
                                         L"TextForeColor", L"Text", L"TextAlignment", L"TextEffect",
                                         L"TextEffectColor", L"TextStyle", L"Orientations"}));
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Value(), 50);
    EXPECT_EQ(bar.RoundedValue(), 5);
    EXPECT_TRUE(bar.Enabled());
    EXPECT_EQ(bar.Theme(), 1);
    EXPECT_EQ(bar.TextForeColor(), 0u);
    EXPECT_EQ(bar.Text(), BannerText);
    EXPECT_EQ(bar.TextAlignment(), 5);
    EXPECT_EQ(bar.TextEffect(), 5);
    EXPECT_EQ(bar.TextEffectColor(), 0xFFFFFFu);
    EXPECT_EQ(bar.TextStyle(), 3);
    EXPECT_EQ(bar.Orientations(), 1);
}

}  // namespace
}  // namespace quill::small
