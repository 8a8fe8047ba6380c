// Drawing: the refusals, the three ways (GDI+, the system alpha blend, the
// library's own blender) into real DIB sections and into a window.
#include "GdiplusStates.h"
#include "ImagingTestSupport.h"
#include "imaging/cImage32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace quill::imaging {
namespace {

using namespace quill::imaging::test;

enum class Way { Gdiplus, SystemBlend, Own };

const char* Name(Way w)
{
    return w == Way::Gdiplus ? "GDI+" : w == Way::SystemBlend ? "system blend" : "own";
}

// Sets the image up so that Render takes the way: GDI+ only with its
// capability and high quality; the system blend without GDI+ and with high
// quality off; the own blender without GDI+ and with high quality on (smooth
// resampling when scaling).
void Use(cImage32& image, Way way)
{
    image.isGDIplusEnabled(way == Way::Gdiplus);
    image.HighQualityInterpolation(way != Way::SystemBlend);
}

// Premultiplied test picture: colours varying smoothly, alpha from opaque
// at the left to transparent at the right, some fully transparent pixels.
void Picture(cImage32& image, int w, int h)
{
    Paint(image, w, h, [&](int x, int y) {
        uint32_t a = x == w - 1 ? 0 : 255 - static_cast<uint32_t>(x * 200 / std::max(1, w - 1));
        uint32_t r = (static_cast<uint32_t>(x * 255 / std::max(1, w - 1)) * a) / 255;
        uint32_t g = (static_cast<uint32_t>(y * 255 / std::max(1, h - 1)) * a) / 255;
        uint32_t b = (128 * a) / 255;
        return Bgra(b, g, r, a);
    });
    image.SetAlpha(true);
}

constexpr uint32_t Background = 0xFF3060C0;

// The own blender's formulas, written out for the test.
uint32_t Expected(uint32_t s, uint32_t d, int constant)
{
    uint32_t a = s >> 24;
    if (a == 0)
        return d;
    uint32_t out = d & 0xFF000000u;
    for (int sh = 0; sh < 24; sh += 8) {
        uint32_t sc = (s >> sh) & 0xFF, dc = (d >> sh) & 0xFF;
        uint32_t v = constant == 255 ? (a == 255 ? sc : sc + dc * (255 - a) / 255)
                                     : (constant * sc + dc * (255 - constant * a / 255)) / 255;
        out |= v << sh;
    }
    return out;
}

int MaxChannelDifference(uint32_t p, uint32_t q, bool withAlpha = false)
{
    int worst = 0;
    for (int sh = 0; sh < (withAlpha ? 32 : 24); sh += 8)
        worst = std::max(worst,
                         std::abs(static_cast<int>((p >> sh) & 0xFF) - static_cast<int>((q >> sh) & 0xFF)));
    return worst;
}

using RenderStates = GdiplusStates;

TEST_P(RenderStates, Refusals)
{
    Canvas canvas(8, 8, Background);
    cImage32 image;
    EXPECT_FALSE(image.Render(canvas.Dc()));  // no image
    Picture(image, 4, 4);
    EXPECT_FALSE(image.Render(nullptr));
    EXPECT_FALSE(image.Render(canvas.Dc(), 0, 0, 0, 0, 0, 0, -1, 2));
    EXPECT_FALSE(image.Render(canvas.Dc(), 0, 0, 0, 0, 0, 0, 2, -1));
    EXPECT_FALSE(image.Render(canvas.Dc(), 0, 0, 0, 0, 0, 0, 5, 4));  // one pixel wider
    EXPECT_FALSE(image.Render(canvas.Dc(), 0, 0, 0, 0, 1, 0, 4, 4));
    EXPECT_FALSE(image.Render(canvas.Dc(), 0, 0, 0, 0, 0, 3, 0, 2));
    EXPECT_TRUE(image.Render(canvas.Dc(), 0, 0, 0, 0, 0, 0, 0, 0, 0));  // opacity 0: nothing
    EXPECT_EQ(canvas.Pixels(), std::vector<uint32_t>(64, Background));
    // A negative source position counts as 0.
    EXPECT_TRUE(image.Render(canvas.Dc(), 0, 0, 0, 0, -3, -3, 4, 4));
}

TEST_P(RenderStates, OwnBlenderIsExactAtEveryOpacity)
{
    cImage32 image;
    Picture(image, 16, 4);
    Use(image, Way::Own);
    image.isGDIplusEnabled(true);  // GDI+ only where the switch allows it
    if (image.isGDIplusEnabled())
        image.isGDIplusEnabled(false);
    for (int opacity : {100, 250, -30, 1, 99, 200}) {
        Canvas canvas(20, 6, Background);
        ASSERT_TRUE(image.Render(canvas.Dc(), 2, 1, 0, 0, 0, 0, 0, 0, opacity, true, true));
        const int constant = (std::abs(opacity) % 100 == 0 ? 100 : std::abs(opacity) % 100) * 255 / 100;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 20; ++x) {
                bool inside = x >= 2 && x < 18 && y >= 1 && y < 5;
                uint32_t want =
                    inside ? Expected(PixelAt(image, x - 2, y - 1), Background, constant) : Background;
                ASSERT_EQ(canvas.At(x, y), want) << "opacity " << opacity << " at " << x << "," << y;
            }
    }
}

// The test picture drawn at its natural size by each way, indexed by Way.
std::array<std::vector<uint32_t>, 3> DrawnEachWay(int opacity)
{
    std::array<std::vector<uint32_t>, 3> drawn;
    for (Way way : {Way::Own, Way::SystemBlend, Way::Gdiplus}) {
        cImage32 image;
        Picture(image, 24, 8);
        Use(image, way);
        Canvas canvas(24, 8, Background);
        EXPECT_TRUE(image.Render(canvas.Dc(), 0, 0, 0, 0, 0, 0, 0, 0, opacity, true, false)) << Name(way);
        drawn[static_cast<int>(way)] = canvas.Pixels();
    }
    return drawn;
}

TEST(RenderWays, AgreeAtNaturalSize)
{
    cImage32 reference;
    Picture(reference, 24, 8);
    auto drawn = DrawnEachWay(100);
    const auto& own = drawn[static_cast<int>(Way::Own)];
    for (int i = 0; i < 24 * 8; ++i) {
        uint32_t want = Expected(PixelAt(reference, i % 24, i / 24), Background, 255);
        ASSERT_EQ(own[i] & 0xFFFFFF, want & 0xFFFFFF) << i;
        // The system blend and GDI+ round their own way: within one step.
        EXPECT_LE(MaxChannelDifference(drawn[static_cast<int>(Way::SystemBlend)][i], own[i]), 1) << i;
        EXPECT_LE(MaxChannelDifference(drawn[static_cast<int>(Way::Gdiplus)][i], own[i]), 1) << i;
    }
}

TEST(RenderWays, HalfOpacityAgrees)
{
    auto drawn = DrawnEachWay(50);
    for (int i = 0; i < 24 * 8; ++i) {
        EXPECT_LE(MaxChannelDifference(drawn[1][i], drawn[2][i]), 2) << i;
        EXPECT_LE(MaxChannelDifference(drawn[0][i], drawn[2][i]), 2) << i;
    }
}

TEST(RenderWays, ScaledSmoothlyGdiplusAndOwnBilinearAgreeWithinTolerance)
{
    // GDI+ draws with its high-quality filter, the own path bilinear: on a
    // smooth picture scaled by 2 they differ by at most 2 per channel and
    // by less than 0.5 on average, away from the last row and column.
    std::vector<uint32_t> drawn[3];
    for (Way way : {Way::Own, Way::Gdiplus}) {
        cImage32 image;
        Paint(image, 16, 16, [](int x, int y) { return Bgra(x * 15, y * 15, 200, 255); });
        Use(image, way);
        Canvas canvas(32, 32, Background);
        ASSERT_TRUE(image.Render(canvas.Dc(), 0, 0, 32, 32)) << Name(way);
        drawn[static_cast<int>(way)] = canvas.Pixels();
    }
    const auto& own = drawn[static_cast<int>(Way::Own)];
    const auto& gdip = drawn[static_cast<int>(Way::Gdiplus)];
    long total = 0;
    int worst = 0;
    int counted = 0;
    for (size_t i = 0; i < own.size(); ++i) {
        // GDI+ fades the last column and row towards what lies outside the
        // picture; the own resampler holds the edge pixel.
        if (i % 32 == 31 || i / 32 == 31)
            continue;
        ++counted;
        int d = MaxChannelDifference(own[i], gdip[i]);
        worst = std::max(worst, d);
        total += d;
    }
    printf("GDI+ against own bilinear, x2: worst %d, mean %.2f per pixel\n", worst,
           static_cast<double>(total) / counted);
    EXPECT_LE(worst, 2);
    EXPECT_LT(static_cast<double>(total) / counted, 0.5);
}

TEST(RenderWays, StretchedFastByTheSystemBlendRepeatsPixels)
{
    cImage32 image;
    Paint(image, 2, 1, [](int x, int) { return x ? 0xFF0000FFu : 0xFF00FF00u; });
    Use(image, Way::SystemBlend);
    Canvas canvas(4, 1, Background);
    ASSERT_TRUE(image.Render(canvas.Dc(), 0, 0, 4, 1));
    EXPECT_EQ(canvas.Pixels(), (std::vector<uint32_t>{0xFF00FF00, 0xFF00FF00, 0xFF0000FF, 0xFF0000FF}));
}

TEST_P(RenderStates, NegativeSizesMirror)
{
    cImage32 image;
    Picture(image, 6, 3);
    image.HighQualityInterpolation(false);  // with GDI+ off: mirrored by the own path
    for (auto [dw, dh] : {std::pair{-6, 3}, std::pair{6, -3}, std::pair{-6, -3}}) {
        Canvas canvas(6, 3, Background);
        ASSERT_TRUE(image.Render(canvas.Dc(), 0, 0, dw, dh, 0, 0, 0, 0, 100, true, false));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x) {
                int sx = dw < 0 ? 5 - x : x, sy = dh < 0 ? 2 - y : y;
                uint32_t want = Expected(PixelAt(image, sx, sy), Background, 255);
                if (GdiplusOn())
                    EXPECT_LE(MaxChannelDifference(canvas.At(x, y), want), 1) << dw << "x" << dh;
                else
                    ASSERT_EQ(canvas.At(x, y), want) << dw << "x" << dh << " at " << x << "," << y;
            }
    }
}

TEST(RenderWays, OwnFastModeRepeatsEachPixel)
{
    // Mirrored 2 x 1 -> 4 x 1 without high quality: the own nearest-pixel path.
    cImage32 image;
    Paint(image, 2, 1, [](int x, int) { return x ? 0xFF0000FFu : 0xFF00FF00u; });
    Use(image, Way::SystemBlend);
    Canvas canvas(4, 1, Background);
    ASSERT_TRUE(image.Render(canvas.Dc(), 0, 0, -4, 1));
    EXPECT_EQ(canvas.Pixels(), (std::vector<uint32_t>{0xFF0000FF, 0xFF0000FF, 0xFF00FF00, 0xFF00FF00}));
}

TEST(RenderWays, OwnPathClipsAtTheEdges)
{
    cImage32 image;
    Picture(image, 60, 10);
    Use(image, Way::Own);
    Canvas wide(240, 40, Background);
    ASSERT_TRUE(image.Render(wide.Dc(), 0, 0, 120, 20));
    struct Case {
        int x, y;
    } cases[] = {{-10, 0}, {50, 0}, {0, -5}, {0, 30}, {-15, 25}, {-119, 0}};
    for (const Case& c : cases) {
        Canvas canvas(100, 40, Background);
        ASSERT_TRUE(image.Render(canvas.Dc(), c.x, c.y, 120, 20)) << c.x << "," << c.y;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 100; ++x) {
                int rx = x - c.x, ry = y - c.y;
                uint32_t want = (rx >= 0 && ry >= 0 && rx < 120 && ry < 20) ? wide.At(rx, ry) : Background;
                ASSERT_EQ(canvas.At(x, y), want) << c.x << "," << c.y << " at " << x << "," << y;
            }
    }
    // Wholly outside: nothing to draw.
    Canvas canvas(100, 40, Background);
    EXPECT_FALSE(image.Render(canvas.Dc(), 100, 0, 120, 20));
    EXPECT_FALSE(image.Render(canvas.Dc(), -120, 0, 120, 20));
}

TEST(RenderWays, AlphaFlagOffReplacesThroughTheSystemBlendOnly)
{
    cImage32 image;
    Paint(image, 2, 1, [](int x, int) { return x ? 0x00000000u : 0x80400000u; });
    image.SetAlpha(false);
    Use(image, Way::SystemBlend);
    Canvas canvas(2, 1, Background);
    ASSERT_TRUE(image.Render(canvas.Dc()));
    EXPECT_EQ(canvas.At(0, 0) & 0xFFFFFF, 0x400000u);
    EXPECT_EQ(canvas.At(1, 0) & 0xFFFFFF, 0u);
    // The own blender always applies the pixels' alpha.
    Use(image, Way::Own);
    canvas.Fill(Background);
    ASSERT_TRUE(image.Render(canvas.Dc()));
    EXPECT_EQ(canvas.At(0, 0), Expected(0x80400000, Background, 255));
    EXPECT_EQ(canvas.At(1, 0), Background);
}

// A visible top-level window of the display, painted white.
class Window {
public:
    Window(int width, int height)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuillImagingRenderTest";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                height, nullptr, nullptr, wc.hInstance, nullptr);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    ~Window() { DestroyWindow(hwnd_); }
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

TEST(RenderWays, IntoAWindowEveryWayDrawsWhatItDrawsIntoASection)
{
    Window window(160, 60);
    forms::gdi::WindowDc dc(window.Get());
    for (Way way : {Way::Own, Way::SystemBlend, Way::Gdiplus}) {
        for (auto [w, h] : {std::pair{40, 20}, std::pair{80, 40}}) {
            cImage32 image;
            Picture(image, 40, 20);
            Use(image, way);
            forms::gdi::BrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
            RECT all{0, 0, 160, 60};
            FillRect(dc, &all, white);
            ASSERT_TRUE(image.Render(dc, 10, 5, w, h)) << Name(way);
            Canvas shown(160, 60);
            BitBlt(shown.Dc(), 0, 0, 160, 60, dc, 0, 0, SRCCOPY);
            Canvas section(160, 60, 0xFFFFFFFF);
            ASSERT_TRUE(image.Render(section.Dc(), 10, 5, w, h));
            int differing = 0;
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 160; ++x)
                    differing += (shown.At(x, y) & 0xFFFFFF) != (section.At(x, y) & 0xFFFFFF);
            EXPECT_EQ(differing, 0) << Name(way) << " " << w << "x" << h;
            // Drawn over the whole destination, not just its first pixel.
            EXPECT_NE(shown.At(10 + w - 4, 5 + h / 2) & 0xFFFFFF, 0xFFFFFFu) << Name(way);
        }
    }
}

TEST(RenderWays, RepeatedDrawingLeaksNothing)
{
    Canvas canvas(64, 64, Background);
    const long before = forms::gdi::LiveObjects();
    for (Way way : {Way::Own, Way::SystemBlend, Way::Gdiplus}) {
        cImage32 image;
        Picture(image, 32, 32);
        Use(image, way);
        for (int i = 0; i < 300; ++i) {
            ASSERT_TRUE(image.Render(canvas.Dc(), 0, 0, 0, 0));
            ASSERT_TRUE(image.Render(canvas.Dc(), -5, -5, 48, 48, 0, 0, 0, 0, 60, true, true));
            ASSERT_TRUE(image.Render(canvas.Dc(), 0, 0, -32, 32));
        }
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

TEST(RenderWays, SystemBlendKeepsTheImageSelectedInItsOwnDc)
{
    Canvas canvas(40, 40, Background);
    cImage32 image;
    Picture(image, 32, 32);
    Use(image, Way::SystemBlend);
    ASSERT_TRUE(image.Render(canvas.Dc(), 2, 2));
    const std::vector<uint32_t> first = canvas.Pixels();
    // Held by its own DC, the bitmap cannot be selected into another one.
    forms::gdi::MemoryDc other(nullptr);
    EXPECT_EQ(SelectObject(other, image.Handle()), nullptr);
    EXPECT_EQ(GetCurrentObject(image.LoadDIBinDC(true), OBJ_BITMAP), image.Handle());
    // Let go, it can; the next drawing takes it back.
    image.LoadDIBinDC(false);
    HGDIOBJ previous = SelectObject(other, image.Handle());
    ASSERT_NE(previous, nullptr);
    SelectObject(other, previous);
    canvas.Fill(Background);
    ASSERT_TRUE(image.Render(canvas.Dc(), 2, 2));
    EXPECT_EQ(canvas.Pixels(), first);
}

TEST(RenderWays, DrawingAgainMakesNothingAfterTheFirstDrawing)
{
    // The system blend keeps the image's DC, the own blender its section.
    for (Way way : {Way::SystemBlend, Way::Own}) {
        cImage32 image;
        Picture(image, 32, 32);
        Use(image, way);
        Canvas canvas(40, 40, Background);
        ASSERT_TRUE(image.Render(canvas.Dc(), 4, 4)) << Name(way);
        const std::vector<uint32_t> first = canvas.Pixels();
        const long held = forms::gdi::LiveObjects();
        for (int i = 0; i < 50; ++i) {
            canvas.Fill(Background);
            ASSERT_TRUE(image.Render(canvas.Dc(), 4, 4)) << Name(way);
            ASSERT_TRUE(image.Render(canvas.Dc(), 30, 30, 20, 20)) << Name(way);  // clipped, smaller
        }
        EXPECT_EQ(forms::gdi::LiveObjects(), held) << Name(way);
        canvas.Fill(Background);
        ASSERT_TRUE(image.Render(canvas.Dc(), 4, 4)) << Name(way);
        EXPECT_EQ(canvas.Pixels(), first) << Name(way);
    }
}

TEST(RenderWays, OwnBlendKeepsToTheDestinationsClipOriginAndRowOrder)
{
    cImage32 image;
    Picture(image, 30, 20);
    Use(image, Way::Own);
    for (auto [w, h] : {std::pair{30, 20}, std::pair{45, 30}}) {
        Canvas plain(80, 60, Background);
        ASSERT_TRUE(image.Render(plain.Dc(), 10, 8, w, h));
        // A clip region: only its inside changes.
        Canvas clipped(80, 60, Background);
        forms::gdi::RegionHandle region(CreateRectRgn(15, 10, 30, 25));
        SelectClipRgn(clipped.Dc(), region);
        ASSERT_TRUE(image.Render(clipped.Dc(), 10, 8, w, h));
        SelectClipRgn(clipped.Dc(), nullptr);
        // A viewport origin moves the picture.
        Canvas moved(80, 60, Background);
        SetViewportOrgEx(moved.Dc(), 5, 3, nullptr);
        ASSERT_TRUE(image.Render(moved.Dc(), 5, 5, w, h));
        SetViewportOrgEx(moved.Dc(), 0, 0, nullptr);
        // A bottom-up section holds the same picture.
        uint32_t* bits = nullptr;
        forms::gdi::BitmapHandle bottomUp(forms::gdi::BottomUpDib(nullptr, 80, 60, bits));
        forms::gdi::MemoryDc bottomUpDc(nullptr);
        forms::gdi::Selection selected(bottomUpDc, bottomUp);
        std::fill(bits, bits + 80 * 60, Background);
        ASSERT_TRUE(image.Render(bottomUpDc, 10, 8, w, h));
        GdiFlush();
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x) {
                const bool inside = x >= 15 && x < 30 && y >= 10 && y < 25;
                ASSERT_EQ(clipped.At(x, y), inside ? plain.At(x, y) : Background)
                    << w << " " << x << "," << y;
                ASSERT_EQ(moved.At(x, y), plain.At(x, y)) << w << " " << x << "," << y;
                ASSERT_EQ(bits[(59 - y) * 80 + x], plain.At(x, y)) << w << " " << x << "," << y;
            }
        EXPECT_NE(plain.At(12, 10), Background) << w;
    }
}

QUILL_GDIPLUS_STATES(RenderStates);

}  // namespace
}  // namespace quill::imaging
