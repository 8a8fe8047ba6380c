// The chart control made by ProgID inside a frame, driven by name as the main
// window drives it, and read back by its pixels.
#include "ProbeControl.h"
#include "ThinSlicePies.h"
#include "forms/AddedControl.h"
#include "forms/ChartControl.h"
#include "forms/ChartPainter.h"
#include "forms/Frame.h"
#include "forms/Gdi.h"
#include "forms/lang/Error.h"
#include "forms/Pump.h"
#include "forms/Screen.h"
#include "tests/support/ChartPixels.h"
#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdio>

using namespace quill;

namespace {

using test::ErrorOf;

constexpr int kWidth = 600, kHeight = 320;  // pixels of the frame

// A form with one frame that hosts the chart, as a chart slot does.
class ChartHost {
public:
    ChartHost()
        : form([this](forms::probe::LayoutForm& f) {
              frame.Load(f,
                         {.name = L"Flashole1",
                          .left = 0,
                          .top = 0,
                          .width = forms::Screen::TwipsX(kWidth),
                          .height = forms::Screen::TwipsY(kHeight)},
                         forms::FrameArgs{.borderStyle = 0});
          })
    {
        form.Load();
        form.Show();
    }
    ~ChartHost() { form.Unload(); }

    // What the main window's show does: create, set the members, place, show.
    forms::ChartControl& Show(const std::wstring& xml, int16_t type)
    {
        if (!chart)
            chart.Add(forms::ChartControl::ProgId, L"Flashid1", *frame);
        forms::ObjectRef o = chart.object();
        o->Put(L"Menu", false);
        o->Put(L"ChartPath", std::wstring(L"C:\\prog\\js\\"));
        const int band = forms::Screen::TwipsY(forms::ChartControl::kHiddenBand);
        chart->Move(0, -band, frame->Width(), frame->Height() + band);
        o->Put(L"ChartType", int32_t(type));
        o->Put(L"setDataXML", xml);
        chart->Visible(true);
        forms::DoEvents();
        return Control();
    }
    forms::ChartControl& Control() { return dynamic_cast<forms::ChartControl&>(*chart); }

    // The control's drawn surface, within its chart area.
    test::Pixels ChartPixels() { return test::ControlPixels(Control()); }

    forms::Loaded<forms::Frame> frame;
    forms::AddedControl chart;
    forms::probe::LayoutForm form;
};

const std::wstring kColumns =
    L"<chart caption=\"账号概览\" yAxisName=\"Quillmoor\" baseFontSize=\"14\" showNames=\"1\" "
    L"decimalPrecision=\"0\" formatNumberScale=\"0\"><set name=\"甲\" value=\"400\" color=\"1F77B4\"/>"
    L"<set name=\"乙\" value=\"100\" color=\"FF0000\"/><set name=\"丙\" value=\"abc\" color=\"00AA00\"/>"
    L"<set name=\"丁\" value=\"200\" color=\"9467BD\"/></chart>";

bool IsBarColour(uint32_t c)
{
    return c == RGB(0x1F, 0x77, 0xB4) || c == RGB(0xFF, 0, 0) || c == RGB(0, 0xAA, 0) ||
           c == RGB(0x94, 0x67, 0xBD);
}

TEST(ChartControl, IsMadeByItsProgIdInsideItsFrameAndDrawsOneBarPerSet)
{
    ChartHost host;
    forms::ChartControl& c = host.Show(kColumns, forms::ChartControl::ColumnChart);
    EXPECT_EQ(host.chart->Name(), L"Flashid1");
    EXPECT_EQ(host.chart->ParentContainer(), static_cast<forms::Container*>(&*host.frame));
    EXPECT_FALSE(c.Menu());
    EXPECT_EQ(c.ChartPath(), L"C:\\prog\\js\\");
    // The band above the frame's top edge is blank: the frame hides it.
    EXPECT_EQ(c.ScaleHeight(), kHeight + forms::ChartControl::kHiddenBand);
    for (int x = 0; x < c.ScaleWidth(); x += 7)
        EXPECT_EQ(c.Point(x, 5), RGB(255, 255, 255));

    const test::Pixels pixels = host.ChartPixels();
    const RECT area{0, 0, pixels.width, pixels.height};
    const web::ColumnLayout layout = forms::ChartPainter(c.hDC(), c.Chart()).Columns(area, 0);
    // Just above the baseline: three bars; the set whose value is no number has none.
    const std::vector<test::ColourRun> runs = test::RowRuns(pixels, layout.baseline - 1, IsBarColour);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].colour, RGB(0x1F, 0x77, 0xB4));
    EXPECT_EQ(runs[1].colour, RGB(0xFF, 0, 0));
    EXPECT_EQ(runs[2].colour, RGB(0x94, 0x67, 0xBD));
    // Heights in proportion to the values: measured down each bar's middle column.
    auto height = [&](const test::ColourRun& run) {
        int h = 0;
        const int x = run.start + run.length / 2;
        for (int y = layout.baseline - 1; y >= 0 && pixels.At(x, y) == run.colour; --y)
            ++h;
        return h;
    };
    EXPECT_NEAR(height(runs[1]) * 4.0, height(runs[0]), 4);
    EXPECT_NEAR(height(runs[2]) * 2.0, height(runs[0]), 4);
    EXPECT_EQ(layout.bars[2].value.text, L"0");
    EXPECT_EQ(layout.bars[0].value.text, L"400");
}

TEST(ChartControl, DrawsAPieWithSlicesInTheirColoursAndAngles)
{
    ChartHost host;
    const std::wstring pie =
        L"<chart caption=\"平台\" yAxisName=\"Q\" baseFontSize=\"13\" showNames=\"1\" "
        L"showPercentValues=\"1\" "
        L"formatNumberScale=\"0\"><set name=\"A\" value=\"30\" color=\"FF0000\" toolText=\"A: ￥30\"/>"
        L"<set name=\"B\" value=\"60\" color=\"0000FF\" toolText=\"B: ￥60\"/>"
        L"<set name=\"C\" value=\"10\" color=\"00AA00\" toolText=\"C: ￥10\"/></chart>";
    forms::ChartControl& c = host.Show(pie, forms::ChartControl::PieChart);
    const test::Pixels pixels = host.ChartPixels();
    const web::PieLayout layout =
        forms::ChartPainter(c.hDC(), c.Chart()).Pie(RECT{0, 0, pixels.width, pixels.height});
    ASSERT_GT(layout.radius, 40);
    const std::vector<test::Arc> arcs =
        test::ArcsAround(pixels, layout.centreX, layout.centreY, layout.radius / 2);
    ASSERT_EQ(arcs.size(), 3u);
    // Clockwise from 12 o'clock: A over 108 degrees, B over 216, C over 36.
    EXPECT_EQ(arcs[0].colour, RGB(0xFF, 0, 0));
    EXPECT_NEAR(std::fmod(arcs[0].startDegrees + 180, 360), 180, 2);  // at 12 o'clock
    EXPECT_NEAR(arcs[0].sweepDegrees, 108, 2);
    EXPECT_EQ(arcs[1].colour, RGB(0, 0, 0xFF));
    EXPECT_NEAR(arcs[1].sweepDegrees, 216, 2);
    EXPECT_EQ(arcs[2].colour, RGB(0, 0xAA, 0));
    EXPECT_NEAR(arcs[2].sweepDegrees, 36, 2);

    // The mouse over a slice shows that slice's tool tip.
    const RECT area = c.ChartArea();
    const int x = area.left + layout.centreX - layout.radius / 2, y = area.top + layout.centreY;
    SendMessageW(c.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));  // lower left: B
    EXPECT_EQ(c.ToolTipText(), L"B: ￥60");
    SendMessageW(c.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(area.left + 2, area.top + 2));
    EXPECT_EQ(c.ToolTipText(), L"");
}

// Every slice covers its share of the disc, however thin the others.
TEST(ChartControl, ASliceTooThinToDrawLeavesTheOthersTheirShares)
{
    ChartHost host;
    for (const forms::probe::ThinSlicePie& pie : forms::probe::ThinSlicePies()) {
        std::wstring xml = L"<chart caption=\"本金分布\" yAxisName=\"Q\" baseFontSize=\"13\" showNames=\"1\" "
                           L"showPercentValues=\"1\" formatNumberScale=\"0\">";
        std::vector<std::pair<uint32_t, double>> shares;
        for (size_t i = 0; i < pie.values.size(); ++i) {
            const web::Rgb colour = web::PaletteColor(i) ^ static_cast<web::Rgb>(i);  // 14 apart
            wchar_t hex[8];
            std::swprintf(hex, 8, L"%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, colour >> 16);
            xml += L"<set name=\"P" + std::to_wstring(i) + L"\" value=\"" +
                   std::to_wstring(static_cast<long>(pie.values[i])) + L"\" color=\"" + hex + L"\"/>";
            shares.emplace_back(colour, pie.values[i]);
        }
        forms::ChartControl& c = host.Show(xml + L"</chart>", forms::ChartControl::PieChart);
        const test::Pixels pixels = host.ChartPixels();
        const web::PieLayout layout =
            forms::ChartPainter(c.hDC(), c.Chart()).Pie(RECT{0, 0, pixels.width, pixels.height});
        ASSERT_GT(layout.radius, 40) << pie.what;
        EXPECT_TRUE(test::PieShares(pixels, layout.centreX, layout.centreY, layout.radius, shares))
            << pie.what;
    }
}

TEST(ChartControl, TakesOnlyItsOwnMembers)
{
    ChartHost host;
    host.Show(kColumns, forms::ChartControl::ColumnChart);
    forms::ObjectRef o = host.chart.object();
    EXPECT_EQ(ErrorOf([&] { o->Put(L"ChartType", int32_t(3)); }), forms::kInvalidPropertyValue);
    EXPECT_EQ(ErrorOf([&] { o->Put(L"Animation", true); }), forms::kMemberNotSupported);
    EXPECT_EQ(ErrorOf([&] { o->Call(L"Print"); }), forms::kMemberNotSupported);
    EXPECT_EQ(ErrorOf([&] { o->Put(L"ChartType", std::wstring(L"x")); }), forms::kTypeMismatch);
    EXPECT_EQ(forms::VariantNumber(o->Get(L"charttype")), 1);  // names without regard to case
    EXPECT_EQ(ErrorOf([&] { o->Call(L"RenderChart"); }), 0);
    // An object kept after its control ended is no longer set.
    host.chart.UnloadAll();
    forms::DoEvents();
    EXPECT_EQ(ErrorOf([&] { o->Call(L"RenderChart"); }), forms::kObjectNotSet);
}

TEST(ChartControl, ASettingMakesItsCreationFailAsOnAMachineWithoutIt)
{
    ChartHost host;
    SetEnvironmentVariableW(L"QUILL_NO_CHART_CONTROL", L"1");
    EXPECT_EQ(ErrorOf([&] { host.chart.Add(forms::ChartControl::ProgId, L"Flashid1", *host.frame); }),
              forms::kClassNotAvailable);
    EXPECT_FALSE(host.chart);
    SetEnvironmentVariableW(L"QUILL_NO_CHART_CONTROL", nullptr);
    EXPECT_EQ(ErrorOf([&] { host.chart.Add(forms::ChartControl::ProgId, L"Flashid1", *host.frame); }), 0);
    EXPECT_EQ(ErrorOf([&] { host.chart.Add(L"No.Such.Control", L"x", *host.frame); }),
              forms::kClassNotAvailable);
}

TEST(ChartControl, RepaintingLeaksNothing)
{
    ChartHost host;
    forms::ChartControl& c = host.Show(kColumns, forms::ChartControl::ColumnChart);
    c.Refresh();
    const long before = forms::gdi::LiveObjects();
    for (int i = 0; i < 200; ++i) {
        c.ChartType(i % 2 ? forms::ChartControl::PieChart : forms::ChartControl::ColumnChart);
        c.RenderChart();
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

}  // namespace
