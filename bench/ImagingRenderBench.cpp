// Render of the image object through its three ways (GDI+, the system alpha
// blend, its own resampler and blender) against the platform used directly:
// AlphaBlend from a DC kept selected, and GDI+ DrawImage with GDI+ kept
// started. Before a row is timed, both sides draw once onto the same ground
// and their pictures are compared: ours must draw every pixel the reference
// draws, and the channels may lie apart only as far as two resamplers place
// and round their samples apart (not at all where both sides are the same
// system call). Another picture prints no ratio and fails the run (exit code
// 1). So that a loose check cannot go unnoticed, each row's check must also
// refuse our picture with a fault planted in it: one pixel 50 levels off,
// every channel one level up, every channel one level down. Each row is timed
// in interleaved rounds, GDI+ started by the reference only within its own
// rounds, and prints the median time of a call, the median of the rounds'
// ratios with their lowest and highest, and how far the pictures lay apart.
// The GDI+ start-up that every bridge call makes is measured on its own.
//     imaging_render_bench            checks and times every row
//     imaging_render_bench check      checks every row, times none
//     imaging_render_bench plant=pixel|up|down
//                                     plants that fault in our pictures
//                                     before the check: every row fails
#include "forms/Gdi.h"
#include "imaging/LibrarySwitches.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cImage32.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
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
    using CreateAttributes = int(WINAPI*)(void**);
    using SetWrapMode = int(WINAPI*)(void*, int, DWORD, BOOL);
    HMODULE module = LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    template <class F>
    F Get(const char* name)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    ULONG_PTR token = 0;
    void* bitmap = nullptr;
    void* graphics = nullptr;
    void* attributes = nullptr;
    // With `edgesHeld`, the picture's edge pixels are mirrored outwards
    // (WrapModeTileFlipXY) where GDI+ would otherwise blend them with
    // transparent ones: the own bilinear sampling never reads outside the
    // picture, and so draws its edges as mirrored ones are drawn.
    DirectGdiplus(cImage32& image, HDC dc, bool smooth, bool edgesHeld)
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
        if (edgesHeld) {
            Get<CreateAttributes>("GdipCreateImageAttributes")(&attributes);
            Get<SetWrapMode>("GdipSetImageAttributesWrapMode")(attributes, 3, 0, FALSE);
        }
    }
    void DrawImage(int w, int h, int sw, int sh)
    {
        Get<Draw>("GdipDrawImageRectRectI")(graphics, bitmap, 0, 0, w, h, 0, 0, sw, sh, 2, attributes,
                                            nullptr, nullptr);
    }
    ~DirectGdiplus()
    {
        if (attributes)
            Get<Release>("GdipDisposeImageAttributes")(attributes);
        Get<Release>("GdipDeleteGraphics")(graphics);
        Get<Release>("GdipDisposeImage")(bitmap);
        Get<Shutdown>("GdiplusShutdown")(token);
        FreeLibrary(module);
    }
};

constexpr int Rounds = 9;

// A fault planted in our picture before it is compared.
enum class Plant { None, Pixel, ChannelsUp, ChannelsDown };
constexpr Plant Plants[] = {Plant::Pixel, Plant::ChannelsUp, Plant::ChannelsDown};

const char* PlantName(Plant plant)
{
    switch (plant) {
    case Plant::Pixel:
        return "one pixel 50 levels off";
    case Plant::ChannelsUp:
        return "every channel one level up";
    case Plant::ChannelsDown:
        return "every channel one level down";
    case Plant::None:
        break;
    }
    return "none";
}

// A channel at the end of its range moves the other way.
std::vector<uint32_t> Planted(std::vector<uint32_t> picture, Plant plant)
{
    const auto move = [](uint32_t& pixel, int shift, int by) {
        int c = int(pixel >> shift & 0xFF);
        c = c + by >= 0 && c + by <= 255 ? c + by : c - by;
        pixel = (pixel & ~(0xFFu << shift)) | uint32_t(c) << shift;
    };
    if (plant == Plant::Pixel && !picture.empty())
        move(picture[picture.size() / 2 + std::lround(std::sqrt(double(picture.size()))) / 2], 8, 50);
    if (plant == Plant::ChannelsUp || plant == Plant::ChannelsDown)
        for (uint32_t& pixel : picture)
            for (int shift = 0; shift < 24; shift += 8)
                move(pixel, shift, plant == Plant::ChannelsUp ? 1 : -1);
    return picture;
}

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

// How far the two sides' pictures lie apart, per colour channel (0-255):
// the most in any channel of any pixel, the mean of the channels' distances,
// and the mean of ours less theirs; how many pixels our call left as the
// ground it found where the reference drew (a resampler may leave an edge of
// the square undrawn, as GDI+'s nearest does on both sides), and how many
// the reference drew.
struct Difference {
    int largest = 0;
    double mean = 0;
    double bias = 0;
    size_t missed = 0;
    size_t drawn = 0;
};

Difference Compare(const std::vector<uint32_t>& ours, const std::vector<uint32_t>& theirs)
{
    Difference d;
    double sum = 0, signedSum = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        const bool theyDrew = (theirs[i] & 0xFFFFFF) != (Ground & 0xFFFFFF);
        d.drawn += theyDrew;
        d.missed += theyDrew && (ours[i] & 0xFFFFFF) == (Ground & 0xFFFFFF);
        for (int shift = 0; shift < 24; shift += 8) {
            const int a = int(ours[i] >> shift & 0xFF), b = int(theirs[i] >> shift & 0xFF);
            d.largest = std::max(d.largest, std::abs(a - b));
            sum += std::abs(a - b);
            signedSum += a - b;
        }
    }
    const double channels = 3.0 * double(std::max<size_t>(ours.size(), 1));
    d.mean = sum / channels;
    d.bias = signedSum / channels;
    return d;
}

// How far a row's pictures may lie apart. Where both sides end in the same
// system call, not at all. The own resampler places its samples as the
// platform does, within rounding, and takes the floor of every channel
// where the platform rounds: each channel at most 2 levels apart, at most
// 0.9 apart on average, and never higher than the reference's on average.
struct Limits {
    int largest;
    double mean;
};
constexpr Limits SameCall{0, 0};
constexpr Limits OwnResampler{2, 0.9};

bool AllDrawn(const Difference& d, int to)
{
    return d.missed == 0 && d.drawn * 2 > size_t(to) * size_t(to);
}

bool Within(const Difference& d, const Limits& limits, int to)
{
    return AllDrawn(d, to) && d.largest <= limits.largest && d.mean <= limits.mean && d.bias <= 0;
}

// How the run goes: whether rows are timed, and the fault planted in our
// pictures, if any.
struct Mode {
    bool timed = true;
    Plant plant = Plant::None;
};

// A subject timed against a reference in interleaved rounds, after checking
// that both drew the same picture within the row's limits, and that the
// check refuses every planted fault. False, with no ratio, when either
// does not hold.
bool Row(const Mode& mode, const char* what, int repeats, Target& target, int targetSize, int to,
         const Side& subject, const Side& reference, const char* against, const Limits& limits)
{
    const std::vector<uint32_t> ours = Drawn(target, targetSize, to, subject);
    const std::vector<uint32_t> theirs = Drawn(target, targetSize, to, reference);
    const Difference d = Compare(Planted(ours, mode.plant), theirs);
    const bool same = Within(d, limits, to);
    bool missed = false;
    for (Plant plant : Plants)
        missed |= Within(Compare(Planted(ours, plant), theirs), limits, to);
    std::printf("  %-44s ", what);
    if (same && !missed && mode.timed) {
        const auto round = [&](const Side& side) {
            side.open();
            const double seconds = Seconds(repeats, side.draw);
            side.close();
            return seconds;
        };
        std::vector<double> oursSeconds, theirSeconds;
        bench::InterleavedRounds(
            Rounds, [&] { return round(subject); }, [&] { return round(reference); }, oursSeconds,
            theirSeconds);
        std::printf("%9.4f ms  ", bench::Median(oursSeconds) / repeats * 1000);
        bench::PrintRatio(bench::RatioOf(oursSeconds, theirSeconds));
    } else {
        std::printf("%12s  %18s", "", "");
    }
    std::printf(" of %-28s apart: mean %.2f, ours less theirs %+.2f, most %d%s\n", against, d.mean, d.bias,
                d.largest,
                !AllDrawn(d, to) ? "  NOT DRAWN"
                : !same          ? "  DIFFERENT PICTURES"
                                 : "");
    for (Plant plant : Plants)
        if (Within(Compare(Planted(ours, plant), theirs), limits, to))
            std::printf("  the check lets a planted fault pass: %s\n", PlantName(plant));
    return same && !missed;
}

// One drawing through each way at the given sizes, against the references;
// false when a way drew another picture than its reference.
bool Case(const Mode& mode, const char* title, int from, int to, int repeats)
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
    const auto directGdiplus = [&](bool smooth, bool edgesHeld) {
        return Side{[&] { gdiplus->DrawImage(to, to, from, from); },
                    [&, smooth, edgesHeld] { gdiplus.emplace(gdiplusTwin, target.dc, smooth, edgesHeld); },
                    [&] { gdiplus.reset(); }};
    };
    bool same = true;

    // The system blend way: GDI+ off, high quality off.
    image.isGDIplusEnabled(false);
    image.HighQualityInterpolation(false);
    same &= Row(mode, "Render, system blend", repeats, target, targetSize, to,
                {[&] { image.Render(target.dc, 0, 0, to, to); }}, alphaBlend, "AlphaBlend", SameCall);
    same &= Row(mode, "Render, system blend, halftone", repeats, target, targetSize, to,
                {[&] { image.Render(target.dc, 0, 0, to, to, 0, 0, 0, 0, 100, true, true); }},
                alphaBlendHalftone, "AlphaBlend halftone", SameCall);
    // The own way, fast, through the members Render's own path calls (it
    // reaches them itself only when mirroring or with high quality).
    same &= Row(mode, "own nearest (ResampleBits + BlendOntoDevice)", repeats, target, targetSize, to, {[&] {
                    std::vector<uint32_t> scaled, none;
                    int w = to, h = to;
                    if (from != to)
                        image.ResampleBits(target.dc, scaled, none, nullptr, 0, 0, from, from, 0, 0, w, h);
                    image.BlendOntoDevice(target.dc, scaled, 0, 0, 0, 0, w, h, 255);
                }},
                alphaBlend, "AlphaBlend", OwnResampler);
    // The own bilinear way: GDI+ off, high quality on.
    image.HighQualityInterpolation(true);
    same &= Row(mode, "Render, own bilinear", repeats, target, targetSize, to,
                {[&] { image.Render(target.dc, 0, 0, to, to); }}, directGdiplus(true, true),
                "DrawImage smooth, edges held", OwnResampler);
    // The GDI+ way, Render's default (GDI+ on, high quality on), starting
    // GDI+ on every call.
    image.isGDIplusEnabled(true);
    same &= Row(mode, "Render, default (GDI+ smooth)", repeats, target, targetSize, to,
                {[&] { image.Render(target.dc, 0, 0, to, to); }}, directGdiplus(true, false),
                "DrawImage smooth", SameCall);
    same &=
        Row(mode, "GDI+ bridge, nearest", repeats, target, targetSize, to, {[&] {
                cGDIPlus().RenderViaGdiplus(image, target.dc, 0, 100, 0, 0, to, to, 0, 0, from, from, false);
            }},
            directGdiplus(false, false), "DrawImage nearest", SameCall);
    return same;
}

}  // namespace

int main(int argc, char** argv)
{
    Mode mode;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "check") {
            mode.timed = false;
        } else if (arg == "plant=pixel") {
            mode.plant = Plant::Pixel;
        } else if (arg == "plant=up") {
            mode.plant = Plant::ChannelsUp;
        } else if (arg == "plant=down") {
            mode.plant = Plant::ChannelsDown;
        } else {
            std::printf("usage: imaging_render_bench [check] [plant=pixel|up|down]\n");
            return 2;
        }
    }
    if (mode.plant != Plant::None)
        std::printf("planted in our pictures: %s\n\n", PlantName(mode.plant));
    if (mode.timed) {
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
    bool same = Case(mode, "Icon", 32, 32, 1000);
    same &= Case(mode, "Up", 256, 1024, 5);
    same &= Case(mode, "Down", 1024, 256, 5);
    if (!same)
        std::printf("a way drew another picture than its reference, or a check let a planted fault pass\n");
    return same ? 0 : 1;
}
