// The themed progress bar as a host holds it: a new instance's values, its
// stored layout read and written (16 keys), the order of its reports, its
// font, and that it neither repaints in a loop nor grows in GDI objects.
#include "ProgressBarHost.h"

#include "forms/Gdi.h"
#include "forms/lang/Error.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace quill::small {
namespace {

using bartest::BarBoard;
using bartest::PaintCounter;

// A bar that records every report from its first one on.
class ReportingBar : public ProgressBar {
public:
    ReportingBar()
    {
        PropertyChangeReported = [this](const std::wstring& name) { reports.push_back(name); };
    }
    std::vector<std::wstring> reports;
};

// One bar placed on a form, from a stored layout or as a new instance.
class OneBar {
public:
    explicit OneBar(std::optional<forms::PropertyBag> layout = std::nullopt, int widthPx = 0,
                    int heightPx = 0)
        : layout_(std::move(layout)), form_(
                                          [this, widthPx, heightPx](test::HostForm<>& f) {
                                              bar_.Load(f,
                                                        {.name = L"pbDownload",
                                                         .left = 150,
                                                         .top = 150,
                                                         .width = widthPx * 15,
                                                         .height = heightPx * 15},
                                                        layout_ ? &*layout_ : nullptr);
                                          },
                                          {.caption = L"ProgressBar",
                                           .clientWidth = 6000,
                                           .clientHeight = 1500,
                                           .startUpPosition = forms::vbStartUpManual})
    {
        form_.Load();
    }
    ~OneBar() { form_.Unload(); }
    ReportingBar& operator*() const { return *bar_; }
    ReportingBar* operator->() const { return bar_.get(); }
    forms::Form& Form() { return form_; }

private:
    std::optional<forms::PropertyBag> layout_;
    forms::Loaded<ReportingBar> bar_;
    test::HostForm<> form_;
};

std::vector<std::wstring> KeysOf(const forms::PropertyBag& bag)
{
    std::vector<std::wstring> keys;
    for (const auto& e : bag.Entries())
        keys.push_back(e.key);
    return keys;
}

TEST(ProgressBar, NewInstanceValuesReportsAndSize)
{
    OneBar bar;
    EXPECT_EQ(bar->reports,
              (std::vector<std::wstring>{L"Max", L"Min", L"Value", L"RoundedValue", L"Enabled", L"Theme",
                                         L"TextForeColor", L"Text", L"TextAlignment", L"TextEffect",
                                         L"TextEffectColor", L"TextStyle", L"Orientations", L"TextFont"}));
    EXPECT_EQ(bar->ScaleWidth(), ProgressBar::NewWidth);
    EXPECT_EQ(bar->ScaleHeight(), ProgressBar::NewHeight);
    EXPECT_EQ(bar->Max(), 100);
    EXPECT_EQ(bar->Value(), 50);
    EXPECT_EQ(bar->Text(), BannerText);
    EXPECT_EQ(bar->TextStyle(), 3);
    EXPECT_EQ(bar->TextEffect(), 5);
    EXPECT_EQ(bar->TextEffectColor(), 0xFFFFFFu);
    // The container's font object itself.
    EXPECT_EQ(bar->TextFont(), bar.Form().Font());
}

TEST(ProgressBar, ReadsTheSixteenKeysInOrderThroughTheSetters)
{
    auto font = forms::Font::New(L"Tahoma", 12, true);
    OneBar bar(forms::PropertyBag{{L"PBSCustomeColor1", 0x0064C8},
                                  {L"PBSCustomeColor2", 0x123456},
                                  {L"TextForeColor", 0x0000FF},
                                  {L"TextFont", font},
                                  {L"TextAlignment", 9},
                                  {L"TextEffect", 4},
                                  {L"TextEffectColor", 0x00FF00},
                                  {L"Text", L"下载中"},
                                  {L"Orientations", 2},
                                  {L"TextStyle", 2},
                                  {L"Theme", 10},
                                  {L"Enabled", false},
                                  {L"RoundedValue", 8},
                                  {L"Value", 7},
                                  {L"Min", 3},
                                  {L"Max", 40}});
    // Min 3 pulls the bar's Value of 0 up before "Min" is reported.
    EXPECT_EQ(bar->reports,
              (std::vector<std::wstring>{L"Max", L"Value", L"Min", L"Value", L"RoundedValue", L"Enabled",
                                         L"Theme", L"TextStyle", L"Orientations", L"Text", L"TextEffectColor",
                                         L"TextEffect", L"TextAlignment", L"TextFont", L"TextForeColor",
                                         L"PBSCustomeColor2", L"PBSCustomeColor1"}));
    EXPECT_EQ(bar->Max(), 40);
    EXPECT_EQ(bar->Min(), 3);
    EXPECT_EQ(bar->Value(), 7);
    EXPECT_EQ(bar->RoundedValue(), 8);
    EXPECT_FALSE(bar->Enabled());
    EXPECT_EQ(bar->Theme(), 10);
    EXPECT_EQ(bar->TextStyle(), 2);
    EXPECT_EQ(bar->Orientations(), 2);
    EXPECT_EQ(bar->Text(), L"下载中");
    EXPECT_EQ(bar->TextEffectColor(), 0x00FF00u);
    EXPECT_EQ(bar->TextEffect(), 4);
    EXPECT_EQ(bar->TextAlignment(), 9);
    ASSERT_TRUE(bar->TextFont());
    EXPECT_TRUE(bar->TextFont()->SameAs(*font));
    EXPECT_EQ(bar->TextForeColor(), 0x0000FFu);
    EXPECT_EQ(bar->PBSCustomeColor2(), 0x123456u);
    EXPECT_EQ(bar->PBSCustomeColor1(), 0x0064C8u);
}

TEST(ProgressBar, ReadingDefaultsOfMissingKeys)
{
    OneBar bar(forms::PropertyBag{}, 200, 20);
    const struct {
        const char* property;
        std::int64_t got, want;
    } cases[] = {
        {"Max", bar->Max(), 100},
        {"Min", bar->Min(), 0},
        {"Value", bar->Value(), 50},
        {"RoundedValue", bar->RoundedValue(), 5},
        {"Enabled", bar->Enabled(), true},
        {"Theme", bar->Theme(), 1},
        {"TextStyle", bar->TextStyle(), 1},
        {"Orientations", bar->Orientations(), 1},
        {"TextEffectColor", bar->TextEffectColor(), 0xC8C8C8},
        {"TextEffect", bar->TextEffect(), 1},
        {"TextAlignment", bar->TextAlignment(), 5},
        {"TextForeColor", bar->TextForeColor(), 0},
        {"PBSCustomeColor2", bar->PBSCustomeColor2(), 0},
        {"PBSCustomeColor1", bar->PBSCustomeColor1(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want) << c.property;
    EXPECT_EQ(bar->Text(), L"pbDownload");  // the name the container shows it under
    EXPECT_EQ(bar->TextFont(), bar.Form().Font());
    EXPECT_EQ(bar->reports.size(), 16u);
}

TEST(ProgressBar, AKeyThatCannotBeReadIsSkipped)
{
    OneBar bar(forms::PropertyBag{{L"Theme", L"绿色"},
                                  {L"RoundedValue", 1e12},  // beyond 32 bits
                                  {L"TextFont", 12},
                                  {L"TextStyle", 2},
                                  {L"TextAlignment", 7}},
               200, 20);
    EXPECT_EQ(bar->Theme(), 0);
    EXPECT_EQ(bar->RoundedValue(), 0);
    EXPECT_EQ(bar->TextStyle(), 2);
    EXPECT_EQ(bar->TextAlignment(), 7);
    EXPECT_EQ(bar->reports,
              (std::vector<std::wstring>{L"Max", L"Min", L"Value", L"Enabled", L"TextStyle", L"Orientations",
                                         L"Text", L"TextEffectColor", L"TextEffect", L"TextAlignment",
                                         L"TextForeColor", L"PBSCustomeColor2", L"PBSCustomeColor1"}));
}

TEST(ProgressBar, SavesInItsOrderLeavingOutDefaults)
{
    OneBar fresh;
    forms::PropertyBag saved;
    fresh->SaveProperties(saved);
    // A new instance differs from the reading defaults in these only.
    EXPECT_EQ(KeysOf(saved),
              (std::vector<std::wstring>{L"TextStyle", L"Text", L"TextEffectColor", L"TextEffect"}));

    auto font = forms::Font::New(L"Tahoma", 12);
    OneBar all(forms::PropertyBag{{L"Max", 40},
                                  {L"Min", 3},
                                  {L"Value", 7},
                                  {L"RoundedValue", 8},
                                  {L"Enabled", false},
                                  {L"Theme", 10},
                                  {L"TextStyle", 2},
                                  {L"Orientations", 2},
                                  {L"Text", L"下载中"},
                                  {L"TextEffectColor", 0x00FF00},
                                  {L"TextEffect", 4},
                                  {L"TextAlignment", 9},
                                  {L"TextFont", font},
                                  {L"TextForeColor", 0x0000FF},
                                  {L"PBSCustomeColor2", 0x123456},
                                  {L"PBSCustomeColor1", 0x0064C8}});
    forms::PropertyBag everything;
    all->SaveProperties(everything);
    EXPECT_EQ(KeysOf(everything),
              (std::vector<std::wstring>{L"Orientations", L"Max", L"Min", L"Value", L"RoundedValue",
                                         L"Enabled", L"Theme", L"TextStyle", L"TextFont", L"TextForeColor",
                                         L"TextAlignment", L"Text", L"TextEffectColor", L"TextEffect",
                                         L"PBSCustomeColor2", L"PBSCustomeColor1"}));

    OneBar again(everything);
    forms::PropertyBag resaved;
    again->SaveProperties(resaved);
    EXPECT_EQ(KeysOf(resaved), KeysOf(everything));
    EXPECT_EQ(again->Value(), 7);
    EXPECT_EQ(again->Text(), L"下载中");
    EXPECT_TRUE(again->TextFont()->SameAs(*font));
}

TEST(ProgressBar, AnEmptyTextIsNotSavedAndComesBackAsTheName)
{
    OneBar bar(forms::PropertyBag{{L"Text", L"x"}}, 200, 20);
    bar->Text(L"");
    forms::PropertyBag saved;
    bar->SaveProperties(saved);
    EXPECT_FALSE(saved.Contains(L"Text"));
    OneBar again(saved, 200, 20);
    EXPECT_EQ(again->Text(), L"pbDownload");
}

TEST(ProgressBar, LoweringMaxReportsValueFirst)
{
    OneBar bar(forms::PropertyBag{}, 200, 20);
    bar->reports.clear();
    bar->Max(40);
    EXPECT_EQ(bar->reports, (std::vector<std::wstring>{L"Value", L"Max"}));
    EXPECT_EQ(bar->Value(), 40);
    bar->reports.clear();
    bar->Min(45);
    EXPECT_EQ(bar->reports, (std::vector<std::wstring>{L"Min"}));
    EXPECT_EQ(bar->Min(), 39);
    bar->reports.clear();
    bar->Max(39 + 1);
    bar->Value(39);
    bar->reports.clear();
    bar->Max(1);
    EXPECT_EQ(bar->reports, (std::vector<std::wstring>{L"Max"}));
    EXPECT_EQ(bar->Max(), 40);
}

TEST(ProgressBar, TextFontIsTheObjectGivenAndItsChangesReachTheText)
{
    OneBar bar(forms::PropertyBag{{L"TextStyle", 3}, {L"Text", L"88"}}, 200, 40);
    auto font = forms::Font::New(L"Tahoma", 8);
    bar->TextFont(font);
    EXPECT_EQ(bar->TextFont(), font);
    EXPECT_EQ(bar->reports.back(), L"TextFont");
    const int small = bar->Graphics().TextHeight(L"88");
    font->Size(20);
    EXPECT_GT(bar->Graphics().TextHeight(L"88"), small);
}

TEST(ProgressBar, OneValueChangePaintsOnce)
{
    BarBoard board({{forms::PropertyBag{{L"TextStyle", 2}}, 4, 4, 200, 20}}, 208, 28);
    PaintCounter counter(board[0].hWnd());
    forms::DoEvents();  // nothing is pending once shown
    EXPECT_EQ(counter.Paints(), 0);
    board[0].Value(60);
    forms::DoEvents();  // returns once no message, paints included, is left
    EXPECT_EQ(counter.Paints(), 1);
    forms::DoEvents();
    EXPECT_EQ(counter.Paints(), 1);
}

// Live GDI objects of the process as Wine's handle table holds them: a
// handle given as its slot number alone matches whatever generation the slot
// is in. 0 where the platform does not answer so.
int LiveGdiHandles()
{
    int live = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; ++slot)
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return live;
}

TEST(ProgressBar, NoGdiGrowthOverTenThousandValueChanges)
{
    BarBoard board({{forms::PropertyBag{{L"TextStyle", 2}, {L"Max", 1000}}, 4, 4, 200, 20}}, 208, 28);
    ProgressBar& bar = board[0];
    bar.Value(1);
    forms::DoEvents();
    const long owned = forms::gdi::LiveObjects();
    const int handles = LiveGdiHandles();
    for (int i = 0; i < 10000; ++i) {
        bar.Value(i % 1001);
        if (i % 500 == 0)
            forms::DoEvents();
    }
    bar.Value(1);
    forms::DoEvents();
    EXPECT_EQ(forms::gdi::LiveObjects(), owned);
    EXPECT_EQ(LiveGdiHandles(), handles);
    // The count sees one object more.
    forms::gdi::PenHandle probe(CreatePen(PS_SOLID, 1, 0));
    EXPECT_EQ(LiveGdiHandles(), handles + 1);
    EXPECT_EQ(bartest::ScreenMatchesSurface(bar), "");
}

}  // namespace
}  // namespace quill::small
