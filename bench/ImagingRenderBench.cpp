// Render of the image object through its three ways (GDI+, the system alpha
// blend, its own resampler and blender) against the platform used directly:
// AlphaBlend from a DC kept selected, and GDI+ DrawImage with GDI+ kept
// started. The ways drawn with the system blend or the own blender are timed
// against AlphaBlend in interleaved rounds; each row prints the median time
// of a call and the median of the rounds' ratios with their lowest and
// highest. The GDI+ start-up that every bridge call makes is measured on its
// own.
#include "forms/Gdi.h"
#include "imaging/LibrarySwitches.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cImage32.h"

#include <windows.h>

#include <cstdio>
#include <functional>
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

// `Rounds` rounds of `repeats` calls of each side; the seconds of each round.
void TimeRounds(int repeats, const std::function<void()>& subject, const std::function<void()>& reference,
                bool interleaved, std::vector<double>& ours, std::vector<double>& theirs)
{
    const auto timer = [&](const std::function<void()>& body) { return Seconds(repeats, body); };
    if (interleaved) {
        bench::Interleaved(Rounds, timer, subject, reference, ours, theirs);
        return;
    }
    for (int r = 0; r < Rounds; ++r)
        theirs.push_back(timer(reference));
    for (int r = 0; r < Rounds; ++r)
        ours.push_back(timer(subject));
}

void Row(const char* what, int repeats, const std::vector<double>& ours, const std::vector<double>& theirs,
         const char* against)
{
    std::printf("  %-44s %9.4f ms  ", what, bench::Median(ours) / repeats * 1000);
    bench::PrintRatio(bench::RatioOf(ours, theirs));
    std::printf(" of %s\n", against);
}

// A subject timed against a reference in interleaved rounds.
void Row(const char* what, int repeats, const std::function<void()>& subject,
         const std::function<void()>& reference, const char* against)
{
    std::vector<double> ours, theirs;
    TimeRounds(repeats, subject, reference, true, ours, theirs);
    Row(what, repeats, ours, theirs, against);
}

// One drawing through each way at the given sizes, against the references.
void Case(const char* title, int from, int to, int repeats)
{
    std::printf("%s (%d x %d -> %d x %d, %d rounds of %d calls; ms a call, ratio median (lowest-highest))\n",
                title, from, from, to, to, Rounds, repeats);
    Target target(std::max(from, to));
    cImage32 image;
    Picture(image, from);
    // The references draw a twin of the picture kept selected in a DC of
    // their own: a bitmap can be selected into one DC at a time, and Render
    // keeps the image's own selected.
    cImage32 twin;
    Picture(twin, from);
    forms::gdi::MemoryDc source(nullptr);
    forms::gdi::Selection selected(source, twin.Handle());
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const auto alphaBlend = [&] { AlphaBlend(target.dc, 0, 0, to, to, source, 0, 0, from, from, bf); };
    const auto alphaBlendHalftone = [&] {
        int oldMode = SetStretchBltMode(target.dc, HALFTONE);
        AlphaBlend(target.dc, 0, 0, to, to, source, 0, 0, from, from, bf);
        SetStretchBltMode(target.dc, oldMode);
    };

    // The system blend way: GDI+ off, high quality off.
    image.isGDIplusEnabled(false);
    image.HighQualityInterpolation(false);
    Row(
        "Render, system blend", repeats, [&] { image.Render(target.dc, 0, 0, to, to); }, alphaBlend,
        "AlphaBlend");
    Row(
        "Render, system blend, halftone", repeats,
        [&] { image.Render(target.dc, 0, 0, to, to, 0, 0, 0, 0, 100, true, true); }, alphaBlendHalftone,
        "AlphaBlend halftone");
    // The own way, fast, through the members Render's own path calls (it
    // reaches them itself only when mirroring or with high quality).
    image.HighQualityInterpolation(false);
    Row(
        "own nearest (ResampleBits + BlendOntoDevice)", repeats,
        [&] {
            std::vector<uint32_t> scaled, none;
            int w = to, h = to;
            if (from != to)
                image.ResampleBits(target.dc, scaled, none, nullptr, 0, 0, from, from, 0, 0, w, h);
            image.BlendOntoDevice(target.dc, scaled, 0, 0, 0, 0, w, h, 255);
        },
        alphaBlend, "AlphaBlend");

    // Against GDI+ kept started: not interleaved, since a GDI+ kept started
    // by the reference would make the bridge's own start-up cheaper.
    std::vector<double> ownSmooth, gdiplusSmooth, bridgeFast, drawSmooth, drawFast;
    image.isGDIplusEnabled(false);
    image.HighQualityInterpolation(true);
    {
        DirectGdiplus smooth(image, target.dc, true);
        DirectGdiplus fast(image, target.dc, false);
        for (int r = 0; r < Rounds; ++r) {
            drawSmooth.push_back(Seconds(repeats, [&] { smooth.DrawImage(to, to, from, from); }));
            drawFast.push_back(Seconds(repeats, [&] { fast.DrawImage(to, to, from, from); }));
        }
    }
    for (int r = 0; r < Rounds; ++r)
        ownSmooth.push_back(Seconds(repeats, [&] { image.Render(target.dc, 0, 0, to, to); }));
    Row("Render, own bilinear", repeats, ownSmooth, drawSmooth, "DrawImage smooth");
    // The GDI+ way, starting GDI+ on every call.
    image.isGDIplusEnabled(true);
    image.HighQualityInterpolation(true);
    for (int r = 0; r < Rounds; ++r) {
        gdiplusSmooth.push_back(Seconds(repeats, [&] { image.Render(target.dc, 0, 0, to, to); }));
        bridgeFast.push_back(Seconds(repeats, [&] {
            cGDIPlus().RenderViaGdiplus(image, target.dc, 0, 100, 0, 0, to, to, 0, 0, from, from, false);
        }));
    }
    Row("Render, GDI+ smooth", repeats, gdiplusSmooth, drawSmooth, "DrawImage smooth");
    Row("GDI+ bridge, nearest", repeats, bridgeFast, drawFast, "DrawImage nearest");
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
    Case("Icon", 32, 32, 1000);
    Case("Up", 256, 1024, 5);
    Case("Down", 1024, 256, 5);
    return 0;
}
