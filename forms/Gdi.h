#pragma once
// Owners for device contexts and GDI objects. Every object made through them
// is counted, so leak tests can compare LiveObjects() around repeated
// painting (the platform's GetGuiResources counter reports nothing under Wine).
#include <windows.h>

#include <cstdint>
#include <span>
#include <utility>

namespace quill::forms::gdi {

// Objects and device contexts made through these owners and not yet released.
long LiveObjects();

namespace detail {
void Count(int delta);
}

// The deletion each kind of handle needs; false when the system refused it.
inline bool DeleteHandle(HGDIOBJ h)
{
    return DeleteObject(h) != FALSE;
}
inline bool DeleteHandle(HICON h)
{
    return DestroyIcon(h) != FALSE;
}

// A GDI object (font, bitmap, pen, brush, region) deleted with DeleteObject,
// or an icon or cursor destroyed with DestroyIcon. A deletion that fails (the
// object is still selected into a DC) is not counted as a release, so the
// leak shows in LiveObjects().
template <class H>
class Object {
public:
    Object() = default;
    explicit Object(H h) { Reset(h); }
    ~Object() { Reset(); }
    Object(Object&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    Object& operator=(Object&& o) noexcept
    {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    void Reset(H h = nullptr)
    {
        if (h_ && DeleteHandle(h_))
            detail::Count(-1);
        h_ = h;
        if (h_)
            detail::Count(+1);
    }
    // Hands the handle to a new owner that deletes it itself (a window given
    // a region, a picture given a bitmap); it no longer counts as ours.
    H Release()
    {
        if (h_)
            detail::Count(-1);
        return std::exchange(h_, nullptr);
    }
    H Get() const { return h_; }
    operator H() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    H h_ = nullptr;
};

using FontHandle = Object<HFONT>;
using BitmapHandle = Object<HBITMAP>;
using PenHandle = Object<HPEN>;
using BrushHandle = Object<HBRUSH>;
using RegionHandle = Object<HRGN>;
// Icons and cursors alike (a cursor is an icon with a hot spot).
using IconHandle = Object<HICON>;

// A DIB section: the one place the program makes them.
struct DibFormat {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;  // 1, 8, 24 or 32
    // Rows top row first; otherwise bottom-up, the platform's default.
    bool topDown = true;
    // Colour table of a 1- or 8-bit DIB (unused entries are black).
    std::span<const RGBQUAD> colours{};
};

// A DIB section of `format`, compatible with `dc` (the screen when null);
// `bits` gets the first stored row, or null when the platform refuses it.
BitmapHandle DibSection(HDC dc, const DibFormat& format, void*& bits);

// A 32-bit top-down DIB section (blue in the low byte of each pixel).
inline BitmapHandle TopDownDib(HDC dc, int width, int height, uint32_t*& bits)
{
    void* p = nullptr;
    BitmapHandle dib = DibSection(dc, {.width = width, .height = height}, p);
    bits = static_cast<uint32_t*>(p);
    return dib;
}
// The same, bottom-up (the first row in memory is the bottom one): the image
// library's pixel layout.
inline BitmapHandle BottomUpDib(HDC dc, int width, int height, uint32_t*& bits)
{
    void* p = nullptr;
    BitmapHandle dib = DibSection(dc, {.width = width, .height = height, .topDown = false}, p);
    bits = static_cast<uint32_t*>(p);
    return dib;
}

// A memory DC (CreateCompatibleDC ... DeleteDC).
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith = nullptr);
    ~MemoryDc();
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// A window's DC (GetDC ... ReleaseDC).
class WindowDc {
public:
    explicit WindowDc(HWND hwnd);
    ~WindowDc();
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// A window's DC including its frame (GetWindowDC ... ReleaseDC), for
// drawing over the non-client area.
class WholeWindowDc {
public:
    explicit WholeWindowDc(HWND hwnd);
    ~WholeWindowDc();
    WholeWindowDc(const WholeWindowDc&) = delete;
    WholeWindowDc& operator=(const WholeWindowDc&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint ... EndPaint for WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd);
    ~PaintDc();
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return ps_.hdc; }
    operator HDC() const { return ps_.hdc; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

// Selects an object into a DC and puts the previous one back when it ends,
// so the object is no longer selected when its owner deletes it.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~Selection()
    {
        if (old_)
            SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace quill::forms::gdi
