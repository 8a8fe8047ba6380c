// The segmented progress bar on real windows: its pixels for the updater's
// figures, its cut corners on the screen, its stored keys, and no paint
// loop or GDI growth as its value changes.
#include "updater/SegmentedProgressBar.h"

#include "forms/Gdi.h"
#include "forms/Loaded.h"
#include "forms/Pump.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/HostForm.h"
#include "tests/support/Pump.h"
#include "tests/support/ReferenceService.h"
#include "tests/support/ScreenCapture.h"
#include "updater/SegmentedBarPicture.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace quill::updater {
namespace {

constexpr std::uint32_t Green = 0xFF00;
constexpr std::uint32_t White = 0xFFFFFF;

struct Bars {
    forms::Loaded<SegmentedProgressBar> bar, tall, extra1, extra2, extra3, extra4, extra5, extra6;
};

class BarHost : public test::HostForm<Bars> {
public:
    explicit BarHost(Layout layout)
        : HostForm(std::move(layout), {.caption = L"Bars", .clientWidth = 420 * 15, .clientHeight = 250 * 15})
    {
    }
};

forms::ControlArgs At(const wchar_t* name, int x, int y, int w, int h)
{
    return {.name = name, .left = x * 15, .top = y * 15, .width = w * 15, .height = h * 15};
}

// The updater's bar: 235 x 22, green, with its text.
const forms::PropertyBag Down1Layout{{L"Color", 0xFF00}, {L"ShowText", true}};

std::uint32_t Px(const SegmentedProgressBar& b, int x, int y)
{
    return static_cast<std::uint32_t>(b.Point(x, y));
}

// The bar's text: the bar drawn with it must equal the bar drawn without it
// with the text then put over it by the platform's DrawText in the bar's font,
// centred on one line, black and transparent (the frame, drawn after the
// text, aside). Returns the number of pixels the text changed.
int ExpectText(SegmentedProgressBar& b, const std::wstring& text, double points = 8)
{
    const int w = b.ScaleWidth(), h = b.ScaleHeight();
    b.ShowText(false);
    test::DibCanvas expected(w, h);
    BitBlt(expected.Dc(), 0, 0, w, h, b.hDC(), 0, 0, SRCCOPY);
    const auto plain = expected.Pixels();
    {
        forms::gdi::FontHandle font = forms::Font::New(L"Tahoma", points)->CreateHandle();
        forms::gdi::Selection use(expected.Dc(), font);
        SetBkMode(expected.Dc(), TRANSPARENT);
        SetTextColor(expected.Dc(), 0);
        RECT all{0, 0, w, h};
        DrawTextW(expected.Dc(), text.c_str(), -1, &all, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    b.ShowText(true);
    const auto want = expected.Pixels();
    int changed = 0, wrong = 0;
    for (int y = 3; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x) {
            const std::uint32_t got = Px(b, x, y);
            changed += (want[y * w + x] & 0xFFFFFF) != (plain[y * w + x] & 0xFFFFFF);
            if (got != (want[y * w + x] & 0xFFFFFF) && ++wrong <= 3)
                ADD_FAILURE() << "text pixel " << x << "," << y << ": " << std::hex << got << " instead of "
                              << (want[y * w + x] & 0xFFFFFF);
        }
    return changed;
}

class SegmentedProgressBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<BarHost>([](auto& f) {
            f.bar.Load(f, At(L"bar", 10, 10, 235, 22), &Down1Layout);
            static const forms::PropertyBag vertical{{L"Color", 0xFF00}, {L"Orientation", 1}};
            f.tall.Load(f, At(L"tall", 300, 10, 20, 100), &vertical);
        });
        host->Show();
        forms::DoEvents();
    }
    void TearDown() override { host->Unload(); }

    std::unique_ptr<BarHost> host;
};

TEST_F(SegmentedProgressBarTest, ThirtyEightPercentIsEightBlocksFromTwo)
{
    SegmentedProgressBar& b = *host->bar;
    b.Value(38);
    // The solid middle rows: blocks of 8 from x = 2 with gaps of 2, up to 80.
    for (int y = 9; y <= 13; ++y) {
        std::string row;
        for (int x = 2; x < 90; ++x)
            row += Px(b, x, y) == Green ? 'g' : Px(b, x, y) == White ? '.' : '?';
        EXPECT_EQ(row, "gggggggg..gggggggg..gggggggg..gggggggg..gggggggg..gggggggg..gggggggg..gggggggg"
                       "..........")
            << y;
    }
    // The bands fade from the lighter green at the top and bottom edges.
    EXPECT_EQ(Px(b, 5, 3), LightenColor(Green, 150));
    EXPECT_EQ(Px(b, 5, 19) >> 8 & 0xFF, 0xFFu);  // green all the way down
    EXPECT_NE(Px(b, 5, 19), Green);
    // "38 %", centred, in black.
    EXPECT_GT(ExpectText(b, L"38 %"), 20);
}

TEST_F(SegmentedProgressBarTest, FrameCornersAndTheCutRegion)
{
    SegmentedProgressBar& b = *host->bar;
    b.Value(50);
    const int r = 235, bottom = 22;
    EXPECT_EQ(Px(b, 0, 10), 0x686868u);
    EXPECT_EQ(Px(b, r - 1, 10), 0x686868u);
    EXPECT_EQ(Px(b, 100, 0), 0x686868u);
    EXPECT_EQ(Px(b, 100, bottom - 1), 0x686868u);
    EXPECT_EQ(Px(b, 100, 1), 0xBEBEBEu);
    EXPECT_EQ(Px(b, 1, 10), 0xEFEFEFu);
    EXPECT_EQ(Px(b, 100, 2), 0xEFEFEFu);
    EXPECT_EQ(Px(b, r - 2, 10), 0xEFEFEFu);
    EXPECT_EQ(Px(b, 150, bottom - 2), 0xEFEFEFu);
    for (auto [x, y] : {std::pair{1, 1}, {r - 2, 1}, {1, bottom - 2}, {r - 2, bottom - 2}})
        EXPECT_EQ(Px(b, x, y), 0x686868u) << x << "," << y;

    // Three pixels are cut from each corner of the window itself.
    forms::gdi::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetWindowRgn(b.hWnd(), region), COMPLEXREGION);
    std::set<std::pair<int, int>> cut;
    for (int y = 0; y < bottom; ++y)
        for (int x = 0; x < r; ++x)
            if (!PtInRegion(region, x, y))
                cut.insert({x, y});
    const auto expected = CutCornerPixels(r, bottom);
    const std::set<std::pair<int, int>> expectedCut(expected.begin(), expected.end());
    EXPECT_EQ(cut, expectedCut);
    // On the screen the form shows through them.
    test::PumpUntil([&] { return GetUpdateRect(b.hWnd(), nullptr, FALSE) == FALSE; }, "the bar painted");
    const auto screen = test::ScreenPixels(test::ClientAreaOnScreen(b.hWnd()));
    ASSERT_EQ(screen.size(), size_t(r * bottom));
    EXPECT_EQ(screen[0] & 0xFFFFFF, GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
    EXPECT_EQ(screen[1 * r + 1] & 0xFFFFFF, 0x686868u);
    EXPECT_EQ(screen[(bottom - 1) * r + (r - 1)] & 0xFFFFFF, GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
}

TEST_F(SegmentedProgressBarTest, VerticalBarFromTheBottom)
{
    SegmentedProgressBar& b = *host->tall;
    auto filledRows = [&] {
        std::string rows;
        for (int y = 0; y < 100; ++y)
            rows += Px(b, 10, y) == Green ? 'g' : '.';
        return rows;
    };
    b.Value(5);
    EXPECT_EQ(filledRows().find('g'), std::string::npos);
    b.Value(10);
    EXPECT_EQ(filledRows(), std::string(90, '.') + std::string(8, 'g') + "..");
    b.Value(50);
    std::string fifty = std::string(50, '.');
    for (int block = 0; block < 5; ++block)
        fifty += std::string(8, 'g') + "..";
    EXPECT_EQ(filledRows(), fifty);
}

TEST_F(SegmentedProgressBarTest, ContinuousAndMarquee)
{
    SegmentedProgressBar& b = *host->bar;
    b.Scrolling(1);
    b.Value(38);
    std::string row;
    for (int x = 2; x < 82; ++x)
        row += Px(b, x, 11) == Green ? 'g' : '.';
    EXPECT_EQ(row, std::string(78, 'g') + "..");

    b.Scrolling(2);
    b.ShowText(false);
    b.Value(38);
    for (int k = 0; k < 3; ++k) {
        const int x = 80 + 12 * k;
        EXPECT_EQ(Px(b, x + 5, 11), LightenColor(Green, 200 - 40 * k)) << k;
        EXPECT_EQ(Px(b, x + 5, 3), LightenColor(Green, 220 - 40 * k)) << k;
        EXPECT_EQ(Px(b, x + 11, 11), White) << k;  // two pixels between the blocks
    }
    EXPECT_EQ(Px(b, 50, 11), White);  // nothing before the blocks
    EXPECT_GT(ExpectText(b, L"正在查找.."), 20);
}

TEST_F(SegmentedProgressBarTest, StoredPropertiesWaitForTheNextDrawing)
{
    SegmentedProgressBar& b = *host->bar;
    b.Value(38);
    const std::uint32_t before = Px(b, 5, 11);
    b.Min(30);
    b.Max(40);
    b.Orientation(1);
    b.Scrolling(1);
    b.Color(0xFF);
    b.Font(forms::Font::New(L"Tahoma", 20));
    EXPECT_EQ(Px(b, 5, 11), before);
    EXPECT_EQ(Px(b, 75, 11), Green);
    b.Orientation(0);
    b.Value(35);  // half of 30..40, in red, continuous
    EXPECT_EQ(Px(b, 5, 11), 0xFFu);
    EXPECT_EQ(Px(b, 200, 11), White);
    EXPECT_GT(ExpectText(b, L"50 %", 20), 20);
}

TEST_F(SegmentedProgressBarTest, AnEmptyRangeShowsAnEmptyBar)
{
    SegmentedProgressBar& b = *host->bar;
    b.Min(10);
    b.Max(10);
    b.Value(10);
    EXPECT_EQ(Px(b, 5, 11), White);
    EXPECT_GT(ExpectText(b, L"0 %"), 10);
    // Not a pixel of bar, also at the left edge: the field and the frame only.
    b.ShowText(false);
    for (int y = 3; y < 19; ++y)
        for (int x = 2; x < 233; ++x)
            ASSERT_EQ(Px(b, x, y), White) << x << "," << y;
    EXPECT_EQ(Px(b, 1, 11), 0xEFEFEFu);
    b.Min(0);
    b.Max(100);
    b.Value(500);  // beyond the range: full, cut to steps of ten
    EXPECT_EQ(Px(b, 225, 11), Green);
    EXPECT_EQ(Px(b, 231, 11), White);
}

TEST_F(SegmentedProgressBarTest, SevenKeysWithTheResolvedColourWritten)
{
    SegmentedProgressBar& b = *host->bar;
    forms::PropertyBag saved;
    b.Color(0x8000000D);
    EXPECT_EQ(b.Color(), GetSysColor(COLOR_HIGHLIGHT));
    b.SaveProperties(saved);
    EXPECT_EQ(saved.ReadProperty(L"Color", 0), static_cast<std::int32_t>(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(saved.ReadProperty(L"ShowText", false), true);
    for (const wchar_t* key : {L"Max", L"Min", L"Orientation", L"Scrolling", L"Value"})
        EXPECT_FALSE(saved.Contains(key)) << key;  // at their defaults

    b.Max(200);
    b.Min(-5);
    b.Orientation(1);
    b.Scrolling(2);
    b.ShowText(false);
    b.Value(70);
    forms::PropertyBag all;
    b.SaveProperties(all);
    std::vector<std::wstring> keys;
    for (const auto& e : all.Entries())
        keys.push_back(e.key);
    EXPECT_EQ(keys,
              (std::vector<std::wstring>{L"Color", L"Max", L"Min", L"Orientation", L"Scrolling", L"Value"}));

    // Read back into a new bar: the same values; missing keys take their defaults.
    BarHost other([&](auto& f) { f.bar.Load(f, At(L"bar", 10, 10, 235, 22), &all); });
    other.Show();
    EXPECT_EQ(other.bar->Max(), 200);
    EXPECT_EQ(other.bar->Min(), -5);
    EXPECT_EQ(other.bar->Orientation(), 1);
    EXPECT_EQ(other.bar->Scrolling(), 2);
    EXPECT_FALSE(other.bar->ShowText());
    EXPECT_EQ(other.bar->Value(), 70);
    EXPECT_EQ(other.bar->Color(), GetSysColor(COLOR_HIGHLIGHT));
    other.Unload();

    BarHost fresh([&](auto& f) { f.bar.Load(f, At(L"bar", 10, 10, 235, 22)); });
    fresh.Show();
    EXPECT_EQ(fresh.bar->Color(), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(fresh.bar->Max(), 100);
    EXPECT_EQ(fresh.bar->Font()->Name(), L"Tahoma");
    EXPECT_EQ(fresh.bar->Font()->Size(), 8);
    fresh.Unload();
}

TEST_F(SegmentedProgressBarTest, OneValueChangeIsOnePaint)
{
    SegmentedProgressBar& b = *host->bar;
    forms::DoEvents();
    const int before = b.Paints();
    b.Value(62);
    // Dispatch what comes, counting; a region set from the paint would keep
    // the queue busy with paints.
    int dispatched = 0;
    MSG m;
    while (dispatched < 100 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
        ++dispatched;
    }
    EXPECT_LT(dispatched, 100);
    EXPECT_EQ(b.Paints() - before, 1);
    EXPECT_EQ(GetUpdateRect(b.hWnd(), nullptr, FALSE), FALSE);
}

TEST_F(SegmentedProgressBarTest, NoGdiGrowthOverTenThousandValues)
{
    SegmentedProgressBar& b = *host->bar;
    b.Value(1);
    forms::DoEvents();
    const long before = forms::gdi::LiveObjects();
    for (int i = 0; i < 10000; ++i) {
        b.Value(i % 101);
        if (i % 100 == 0)
            forms::DoEvents();
    }
    forms::DoEvents();
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

TEST_F(SegmentedProgressBarTest, GrowingMakesTheSurfaceAgainShrinkingDoesNot)
{
    SegmentedProgressBar& b = *host->bar;
    const HDC first = b.HDC();
    ASSERT_NE(first, nullptr);
    host->bar->Move(10 * 15, 10 * 15, 200 * 15, 22 * 15);
    EXPECT_EQ(b.HDC(), first);
    host->bar->Move(10 * 15, 10 * 15, 300 * 15, 30 * 15);
    EXPECT_NE(b.HDC(), nullptr);
    b.Value(100);
    EXPECT_EQ(Px(b, 285, 15), Green);  // 290 of 300, the whole width drawn
    // The region follows the new size.
    forms::gdi::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(b.hWnd(), region);
    EXPECT_FALSE(PtInRegion(region, 299, 29));
    EXPECT_TRUE(PtInRegion(region, 297, 28));
}

TEST(SegmentedProgressBarPicture, EachState)
{
    const forms::PropertyBag continuous{{L"Color", 0xFF00}, {L"ShowText", true}, {L"Scrolling", 1}};
    const forms::PropertyBag marquee{{L"Color", 0xFF00}, {L"ShowText", true}, {L"Scrolling", 2}};
    const forms::PropertyBag vertical{{L"Color", 0xFF00}, {L"Orientation", 1}};
    BarHost host([&](auto& f) {
        f.bar.Load(f, At(L"blocks", 10, 10, 235, 22), &Down1Layout);
        f.extra1.Load(f, At(L"continuous", 10, 42, 235, 22), &continuous);
        f.extra2.Load(f, At(L"marquee", 10, 74, 235, 22), &marquee);
        f.extra3.Load(f, At(L"empty", 10, 106, 235, 22), &Down1Layout);
        f.extra4.Load(f, At(L"full", 10, 138, 235, 22), &Down1Layout);
        f.tall.Load(f, At(L"five", 280, 10, 20, 100), &vertical);
        f.extra5.Load(f, At(L"ten", 310, 10, 20, 100), &vertical);
        f.extra6.Load(f, At(L"fifty", 340, 10, 20, 100), &vertical);
    });
    host.Show();
    host.bar->Value(38);
    host.extra1->Value(62);
    host.extra2->Value(38);
    host.extra3->Value(0);
    host.extra4->Value(100);
    host.tall->Value(5);
    host.extra5->Value(10);
    host.extra6->Value(50);
    RedrawWindow(host.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    test::PumpUntil([&] { return GetUpdateRect(host.hWnd(), nullptr, FALSE) == FALSE; }, "the bars painted");
    // What the picture shows.
    EXPECT_EQ(Px(*host.bar, 72, 11), Green);
    EXPECT_EQ(Px(*host.bar, 82, 11), White);
    EXPECT_EQ(Px(*host.extra1, 100, 11), Green);
    EXPECT_EQ(Px(*host.extra2, 85, 11), LightenColor(Green, 200));
    EXPECT_EQ(Px(*host.extra3, 5, 11), White);
    EXPECT_EQ(Px(*host.extra4, 225, 11), Green);
    EXPECT_EQ(Px(*host.tall, 10, 95), White);
    EXPECT_EQ(Px(*host.extra5, 10, 95), Green);
    EXPECT_EQ(Px(*host.extra6, 10, 55), Green);
    RECT r{};
    GetWindowRect(host.hWnd(), &r);
    EXPECT_TRUE(test::SaveScreenPng(r, test::ScreensPath(L"segmented-bar.png")));
    host.Unload();
}

}  // namespace
}  // namespace quill::updater
