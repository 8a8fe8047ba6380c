// Render of the image object through its three ways (GDI+, the system alpha
// blend, its own resampler and blender) against the platform used directly:
// AlphaBlend from a DC kept selected, and GDI+ DrawImage with GDI+ kept
// started. Prints times and ratios; the GDI+ start-up that every bridge call
// makes is measured on its own.
#include "forms/Gdi.h"
#include "imaging/LibrarySwitches.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cImage32.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <vector>

using namespace quill;
using namespace quill::imaging;

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

void Row(const char* what, double subject, double reference, const char* against)
{
    std::printf("  %-44s %9.3f ms   x%6.2f of %s\n", what, subject * 1000, subject / reference, against);
}

// One drawing through each way at the given sizes, against the references.
void Case(const char* title, int from, int to, int repeats)
{
    std::printf("%s (%d x %d -> %d x %d, %d times)\n", title, from, from, to, to, repeats);
    Target target(std::max(from, to));
    cImage32 image;
    Picture(image, from);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    double alphaBlend, alphaBlendHalftone;
    {
        // The picture stays selected in a DC of its own for the references
        // only: a bitmap can be selected into one DC at a time.
        forms::gdi::MemoryDc source(nullptr);
        forms::gdi::Selection selected(source, image.Handle());
        alphaBlend =
            Seconds(repeats, [&] { AlphaBlend(target.dc, 0, 0, to, to, source, 0, 0, from, from, bf); });
        int oldMode = SetStretchBltMode(target.dc, HALFTONE);
        alphaBlendHalftone =
            Seconds(repeats, [&] { AlphaBlend(target.dc, 0, 0, to, to, source, 0, 0, from, from, bf); });
        SetStretchBltMode(target.dc, oldMode);
    }
    double drawFast, drawSmooth;
    {
        DirectGdiplus direct(image, target.dc, false);
        drawFast = Seconds(repeats, [&] { direct.DrawImage(to, to, from, from); });
    }
    {
        DirectGdiplus direct(image, target.dc, true);
        drawSmooth = Seconds(repeats, [&] { direct.DrawImage(to, to, from, from); });
    }
    std::printf(
        "  references: AlphaBlend %.3f ms (halftone %.3f ms), GDI+ DrawImage %.3f ms (smooth %.3f ms)\n",
        alphaBlend * 1000, alphaBlendHalftone * 1000, drawFast * 1000, drawSmooth * 1000);

    // The system blend way: GDI+ off, high quality off.
    image.isGDIplusEnabled(false);
    image.HighQualityInterpolation(false);
    Row("Render, system blend", Seconds(repeats, [&] { image.Render(target.dc, 0, 0, to, to); }), alphaBlend,
        "AlphaBlend");
    Row("Render, system blend, halftone",
        Seconds(repeats, [&] { image.Render(target.dc, 0, 0, to, to, 0, 0, 0, 0, 100, true, true); }),
        alphaBlendHalftone, "AlphaBlend halftone");
    // The own way: smooth through Render, fast through the same members
    // Render's own path calls (it reaches them itself only when mirroring).
    image.HighQualityInterpolation(true);
    Row("Render, own bilinear", Seconds(repeats, [&] { image.Render(target.dc, 0, 0, to, to); }), drawSmooth,
        "DrawImage smooth");
    image.HighQualityInterpolation(false);
    Row("own nearest (ResampleBits + BlendOntoDevice)",
        Seconds(repeats,
                [&] {
                    std::vector<uint32_t> scaled, none;
                    int w = to, h = to;
                    if (from != to)
                        image.ResampleBits(target.dc, scaled, none, nullptr, 0, 0, from, from, 0, 0, w, h);
                    image.BlendOntoDevice(target.dc, scaled, 0, 0, 0, 0, w, h, 255);
                }),
        alphaBlend, "AlphaBlend");
    // The GDI+ way, starting GDI+ on every call.
    image.isGDIplusEnabled(true);
    image.HighQualityInterpolation(true);
    Row("Render, GDI+ smooth", Seconds(repeats, [&] { image.Render(target.dc, 0, 0, to, to); }), drawSmooth,
        "DrawImage smooth");
    Row("GDI+ bridge, nearest",
        Seconds(repeats,
                [&] {
                    cGDIPlus().RenderViaGdiplus(image, target.dc, 0, 100, 0, 0, to, to, 0, 0, from, from,
                                                false);
                }),
        drawFast, "DrawImage nearest");
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
    Case("Icon", 32, 32, 10000);
    Case("Up", 256, 1024, 20);
    Case("Down", 1024, 256, 20);
    return 0;
}
