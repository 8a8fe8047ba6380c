// Render of the image object through its three ways (GDI+, the system alpha
// blend, its own resampler and blender) against the platform used directly:
// AlphaBlend from a DC kept selected, and GDI+ DrawImage with GDI+ kept
// started. Before a row is timed, both sides draw once onto the same ground
// and their pictures are compared: ours must draw every pixel the reference
// draws, and the channels may lie apart only as far as two resamplers place
// and round their samples apart (none where both sides are the same system
// call);
// another picture fails the run (exit code 1). Each row is timed in
// interleaved rounds, GDI+ started by the reference only within its own
// rounds, and prints the median time of a call, the median of the rounds'
// ratios with their lowest and highest, and how far the pictures lay
// apart. The GDI+ start-up that every bridge call makes is measured on its
// own.
#include "forms/Gdi.h"
#include "imaging/LibrarySwitches.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cImage32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include "BenchRounds.h"

using namespace quill;
using namespace quill::imaging;
namespace bench = quill::bench;

namespace {

double Seconds(int repeats, const std::function<void()>& body)
{
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    body();  // warm up
    QueryPerformanceCounter(&a);
    for (int i = 0; i < repeats; ++i)
        body();
    QueryPerformanceCounter(&b);
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

void Picture(cImage32& image, int size)
{
    image.InitializeDIB(size, size);
    uint32_t* p = image.BitsPointer();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            uint32_t a = 64 + static_cast<uint32_t>((x + y) * 191 / (2 * size));
            p[y * size + x] = (a << 24) | ((x * 255 / size * a / 255) << 16) |
                              ((y * 255 / size * a / 255) << 8) | (128 * a / 255);
        }
    image.SetAlpha(true);
}

// A 32-bit top-down section in its own DC: the destination.
struct Target {
    explicit Target(int size)
        : bitmap(forms::gdi::TopDownDib(nullptr, size, size, bits)), selected(dc, bitmap)
    {
    }
    uint32_t* bits = nullptr;
    forms::gdi::MemoryDc dc{nullptr};
    forms::gdi::BitmapHandle bitmap;
    forms::gdi::Selection selected;
};

// GDI+ kept started, with the picture wrapped once: the outside reference.
struct DirectGdiplus {
    using Startup = int(WINAPI*)(ULONG_PTR*, const void*, void*);
    using Shutdown = void(WINAPI*)(ULONG_PTR);
    using FromScan0 = int(WINAPI*)(INT, INT, INT, INT, BYTE*, void**);
    using FromHdc = int(WINAPI*)(HDC, void**);
    using Interpolation = int(WINAPI*)(void*, int);
    using RotateFlip = int(WINAPI*)(void*, int);
    using Draw = int(WINAPI*)(void*, void*, INT, INT, INT, INT, INT, INT, INT, INT, int, const void*, void*,
                              void*);
    using Release = int(WINAPI*)(void*);
    HMODULE module = LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    template <class F>
    F Get(const char* name)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    ULONG_PTR token = 0;
    void* bitmap = nullptr;
    void* graphics = nullptr;
    DirectGdiplus(cImage32& image, HDC dc, bool smooth)
    {
        struct {
            UINT32 version = 1;
            void* callback = nullptr;
            BOOL a = FALSE, b = FALSE;
        } input;
        Get<Startup>("GdiplusStartup")(&token, &input, nullptr);
        Get<FromScan0>("GdipCreateBitmapFromScan0")(image.Width(), image.Height(), image.scanWidth(), 925707,
                                                    reinterpret_cast<BYTE*>(image.BitsPointer()), &bitmap);
        Get<RotateFlip>("GdipImageRotateFlip")(bitmap, 6);
        Get<FromHdc>("GdipCreateFromHDC")(dc, &graphics);
        Get<Interpolation>("GdipSetInterpolationMode")(graphics, smooth ? 7 : 5);
    }
    void DrawImage(int w, int h, int sw, int sh)
    {
        Get<Draw>("GdipDrawImageRectRectI")(graphics, bitmap, 0, 0, w, h, 0, 0, sw, sh, 2, nullptr, nullptr,
                                            nullptr);
    }
    ~DirectGdiplus()
    {
        Get<Release>("GdipDeleteGraphics")(graphics);
        Get<Release>("GdipDisposeImage")(bitmap);
        Get<Shutdown>("GdiplusShutdown")(token);
        FreeLibrary(module);
    }
};

constexpr int Rounds = 9;

// One side of a row: its call, and what it keeps ready around its calls
// (the platform's side keeps GDI+ started), made and cleared away outside
// the time of each round, so that the other side never runs with it.
struct Side {
    std::function<void()> draw;
    std::function<void()> open = [] {};
    std::function<void()> close = [] {};
};

// The destination's colour before a call: no colour the picture blends onto
// it can give (its blue would have to be the picture's 128).
constexpr uint32_t Ground = 0xFF808040u;

// What a side drew: the destination's colours in the drawn square after one
// call on a destination of the ground colour.
std::vector<uint32_t> Drawn(Target& target, int targetSize, int to, const Side& side)
{
    std::fill(target.bits, target.bits + size_t(targetSize) * targetSize, Ground);
    side.open();
    side.draw();
    side.close();
    GdiFlush();
    std::vector<uint32_t> square;
    for (int y = 0; y < to; ++y)
        square.insert(square.end(), target.bits + size_t(y) * targetSize,
                      target.bits + size_t(y) * targetSize + to);
    return square;
}

// How far the two sides' pictures lie apart, per colour channel (0-255); how
// many pixels our call left as the ground it found where the reference drew
// (a resampler may leave an edge of the square undrawn, as GDI+'s nearest
// does on both sides), and how many the reference drew.
struct Difference {
    int largest = 0;
    double mean = 0;
    size_t missed = 0;
    size_t drawn = 0;
};

Difference Compare(const std::vector<uint32_t>& ours, const std::vector<uint32_t>& theirs)
{
    Difference d;
    double sum = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        const bool theyDrew = (theirs[i] & 0xFFFFFF) != (Ground & 0xFFFFFF);
        d.drawn += theyDrew;
        d.missed += theyDrew && (ours[i] & 0xFFFFFF) == (Ground & 0xFFFFFF);
        for (int shift = 0; shift < 24; shift += 8) {
            const int a = int(ours[i] >> shift & 0xFF), b = int(theirs[i] >> shift & 0xFF);
            d.largest = std::max(d.largest, std::abs(a - b));
            sum += std::abs(a - b);
        }
    }
    d.mean = ours.empty() ? 0 : sum / (3.0 * double(ours.size()));
    return d;
}

// A subject timed against a reference in interleaved rounds, after checking
// that both drew the same picture: most of the square drawn, every pixel
// the reference drew drawn by ours too, and no channel
// farther apart on average than `meanApart` (two resamplers round and
// place their samples apart). False when they did not.
bool Row(const char* what, int repeats, Target& target, int targetSize, int to, const Side& subject,
         const Side& reference, const char* against, double meanApart)
{
    const Difference d =
        Compare(Drawn(target, targetSize, to, subject), Drawn(target, targetSize, to, reference));
    const bool drawn = d.missed == 0 && d.drawn * 2 > size_t(to) * size_t(to);
    const bool same = drawn && d.mean <= meanApart;
    const auto round = [&](const Side& side) {
        side.open();
        const double seconds = Seconds(repeats, side.draw);
        side.close();
        return seconds;
    };
    std::vector<double> ours, theirs;
    bench::InterleavedRounds(
        Rounds, [&] { return round(subject); }, [&] { return round(reference); }, ours, theirs);
    std::printf("  %-44s %9.4f ms  ", what, bench::Median(ours) / repeats * 1000);
    bench::PrintRatio(bench::RatioOf(ours, theirs));
    std::printf(" of %-20s apart: mean %.2f, most %d%s\n", against, d.mean, d.largest,
                same     ? ""
                : !drawn ? "  NOT DRAWN"
                         : "  DIFFERENT PICTURES");
    return same;
}

// One drawing through each way at the given sizes, against the references;
// false when a way drew another picture than its reference.
bool Case(const char* title, int from, int to, int repeats)
{
    std::printf("%s (%d x %d -> %d x %d, %d rounds of %d calls; ms a call, ratio median (lowest-highest); "
                "how far the pictures lie apart, per channel)\n",
                title, from, from, to, to, Rounds, repeats);
    const int targetSize = std::max(from, to);
    Target target(targetSize);
    cImage32 image;
    Picture(image, from);
    // The references draw twins of the picture: AlphaBlend one kept selected
    // in a DC of its own (a bitmap can be selected into one DC at a time, and
    // Render keeps the image's own selected), GDI+ one it wraps.
    cImage32 twin, gdiplusTwin;
    Picture(twin, from);
    Picture(gdiplusTwin, from);
    forms::gdi::MemoryDc source(nullptr);
    forms::gdi::Selection selected(source, twin.Handle());
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const Side alphaBlend{[&] { AlphaBlend(target.dc, 0, 0, to, to, source, 0, 0, from, from, bf); }};
    const Side alphaBlendHalftone{[&] {
        int oldMode = SetStretchBltMode(target.dc, HALFTONE);
        AlphaBlend(target.dc, 0, 0, to, to, source, 0, 0, from, from, bf);
        SetStretchBltMode(target.dc, oldMode);
    }};
    // GDI+ kept started by the reference only within its own rounds: kept
    // started across the subject's, it would make the bridge's own start-up
    // cheaper.
    std::optional<DirectGdiplus> gdiplus;
    const auto directGdiplus = [&](bool smooth) {
        return Side{[&] { gdiplus->DrawImage(to, to, from, from); },
                    [&, smooth] { gdiplus.emplace(gdiplusTwin, target.dc, smooth); },
                    [&] { gdiplus.reset(); }};
    };
    bool same = true;

    // The system blend way: GDI+ off, high quality off.
    image.isGDIplusEnabled(false);
    image.HighQualityInterpolation(false);
    same &= Row("Render, system blend", repeats, target, targetSize, to,
                {[&] { image.Render(target.dc, 0, 0, to, to); }}, alphaBlend, "AlphaBlend", 0);
    same &= Row("Render, system blend, halftone", repeats, target, targetSize, to,
                {[&] { image.Render(target.dc, 0, 0, to, to, 0, 0, 0, 0, 100, true, true); }},
                alphaBlendHalftone, "AlphaBlend halftone", 0);
    // The own way, fast, through the members Render's own path calls (it
    // reaches them itself only when mirroring or with high quality).
    same &= Row("own nearest (ResampleBits + BlendOntoDevice)", repeats, target, targetSize, to, {[&] {
                    std::vector<uint32_t> scaled, none;
                    int w = to, h = to;
                    if (from != to)
                        image.ResampleBits(target.dc, scaled, none, nullptr, 0, 0, from, from, 0, 0, w, h);
                    image.BlendOntoDevice(target.dc, scaled, 0, 0, 0, 0, w, h, 255);
                }},
                alphaBlend, "AlphaBlend", 2);
    // The own bilinear way: GDI+ off, high quality on.
    image.HighQualityInterpolation(true);
    same &= Row("Render, own bilinear", repeats, target, targetSize, to,
                {[&] { image.Render(target.dc, 0, 0, to, to); }}, directGdiplus(true), "DrawImage smooth", 2);
    // The GDI+ way, starting GDI+ on every call.
    image.isGDIplusEnabled(true);
    same &= Row("Render, GDI+ smooth", repeats, target, targetSize, to,
                {[&] { image.Render(target.dc, 0, 0, to, to); }}, directGdiplus(true), "DrawImage smooth", 0);
    same &=
        Row("GDI+ bridge, nearest", repeats, target, targetSize, to, {[&] {
                cGDIPlus().RenderViaGdiplus(image, target.dc, 0, 100, 0, 0, to, to, 0, 0, from, from, false);
            }},
            directGdiplus(false), "DrawImage nearest", 0);
    return same;
}

}  // namespace

int main()
{
    {
        cGDIPlus bridge;
        const int pairs = 2000;
        double startup = Seconds(pairs, [&] {
            ULONG_PTR token = 0;
            bridge.GdiplusToggle(token, false);
            bridge.GdiplusToggle(token, true);
        });
        std::printf("GDI+ start-up and shut-down (made by every bridge call): %.3f us each\n\n",
                    startup / pairs * 1e6);
    }
    bool same = Case("Icon", 32, 32, 1000);
    same &= Case("Up", 256, 1024, 5);
    same &= Case("Down", 1024, 256, 5);
    if (!same)
        std::printf("a way drew another picture than its reference\n");
    return same ? 0 : 1;
}
