#pragma once
// Owners for device contexts and GDI objects. Every object made through them
// is counted, so leak tests can compare LiveObjects() around repeated
// painting (the platform's GetGuiResources counter reports nothing under Wine).
#include <windows.h>

#include <cstdint>
#include <utility>

namespace quill::forms::gdi {

// Objects and device contexts made through these owners and not yet released.
long LiveObjects();

namespace detail {
void Count(int delta);
}

// A GDI object (font, bitmap, pen, brush, region) deleted with DeleteObject.
// A deletion that fails (the object is still selected into a DC) is not
// counted as a release, so the leak shows in LiveObjects().
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
        if (h_ && DeleteObject(h_))
            detail::Count(-1);
        h_ = h;
        if (h_)
            detail::Count(+1);
    }
    // Hands the object to an owner that deletes it itself (a window takes
    // the region SetWindowRgn gives it): no longer deleted or counted here.
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

// A 32-bit top-down DIB section of width x height pixels, compatible with
// `dc`; `bits` gets its first row (blue in the low byte of each pixel), or
// null when the platform refuses it.
BitmapHandle TopDownDib(HDC dc, int width, int height, uint32_t*& bits);
// The same, bottom-up (the first row in memory is the bottom one), with the
// image size filled in: the image library's pixel layout.
BitmapHandle BottomUpDib(HDC dc, int width, int height, uint32_t*& bits);

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
