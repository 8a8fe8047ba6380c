// What the themed progress bar's window tests share: a form holding bars,
// each from its own stored layout, and what they read back of them.
#pragma once

#include "tests/support/HostForm.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "controls/small/ProgressBar.h"
#include "controls/small/ProgressBarColours.h"
#include "forms/Gdi.h"
#include "forms/Loaded.h"
#include "forms/Pump.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace quill::small::bartest {

// One bar of a board: its stored layout and its place in pixels.
struct PlacedBar {
    forms::PropertyBag layout;
    int left, top, width, height;
};

// A form at the screen's top left holding one bar per PlacedBar, shown.
class BarBoard {
public:
    BarBoard(std::vector<PlacedBar> placed, int clientWidth, int clientHeight)
        : placed_(std::move(placed)), form_(
                                          [this](test::HostForm<>& f) {
                                              for (size_t i = 0; i < placed_.size(); ++i) {
                                                  const PlacedBar& s = placed_[i];
                                                  bars_.Load(static_cast<int>(i), f,
                                                             {.name = L"bar",
                                                              .left = s.left * 15,
                                                              .top = s.top * 15,
                                                              .width = s.width * 15,
                                                              .height = s.height * 15},
                                                             &s.layout);
                                              }
                                          },
                                          {.caption = L"ProgressBar",
                                           .clientWidth = clientWidth * 15,
                                           .clientHeight = clientHeight * 15,
                                           .startUpPosition = forms::vbStartUpManual,
                                           .borderStyle = forms::vbFixedSingle})
    {
        form_.Show();
        forms::DoEvents();
    }
    ~BarBoard() { form_.Unload(); }
    BarBoard(const BarBoard&) = delete;
    BarBoard& operator=(const BarBoard&) = delete;

    ProgressBar& operator[](int i) const { return bars_[i]; }
    int Count() const { return bars_.Count(); }
    forms::Form& Form() { return form_; }

private:
    std::vector<PlacedBar> placed_;
    forms::ControlArray<ProgressBar> bars_;
    test::HostForm<> form_;
};

inline Colour SurfacePixel(const ProgressBar& bar, int x, int y)
{
    return static_cast<Colour>(bar.Point(x, y));
}

// Channel by channel within `tolerance`.
inline bool Near(Colour a, Colour b, int tolerance)
{
    return std::abs(RedOfColour(a) - RedOfColour(b)) <= tolerance &&
           std::abs(GreenOfColour(a) - GreenOfColour(b)) <= tolerance &&
           std::abs(BlueOfColour(a) - BlueOfColour(b)) <= tolerance;
}

inline std::string Hex(Colour c)
{
    char text[16];
    snprintf(text, sizeof text, "#%02X%02X%02X", RedOfColour(c), GreenOfColour(c), BlueOfColour(c));
    return text;
}

// What the screen shows of the bar's window equals its surface wherever its
// rounded region lets the window show. Reports the first difference.
inline std::string ScreenMatchesSurface(const ProgressBar& bar)
{
    // Windows reach the display once the pump has run dry.
    forms::DoEvents();
    const RECT area = test::ClientAreaOnScreen(bar.hWnd());
    const std::vector<uint32_t> screen = test::ScreenPixels(area);
    const int w = bar.ScaleWidth(), h = bar.ScaleHeight();
    if (screen.size() != static_cast<size_t>(w) * h)
        return "no screen pixels";
    forms::gdi::RegionHandle shape(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(bar.hWnd(), shape) == ERROR)
        return "no window region";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (PtInRegion(shape, x, y) &&
                (screen[static_cast<size_t>(y) * w + x] & 0xFFFFFF) != SurfacePixel(bar, x, y))
                return "at " + std::to_string(x) + "," + std::to_string(y) + ": screen " +
                       Hex(screen[static_cast<size_t>(y) * w + x]) + ", surface " +
                       Hex(SurfacePixel(bar, x, y));
    return {};
}

// A picture for the documentation: the board as the screen shows it.
inline void SaveDocsPicture(forms::Form& form, const wchar_t* name)
{
    forms::DoEvents();
    const std::wstring path = test::ScreensPath(std::wstring(name) + L".png");
    EXPECT_TRUE(test::SaveClientAreaPng(form.hWnd(), path));
}

// The pixels of a rectangle of the surface equal to `colour`.
struct Ink {
    int count = 0;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
};
inline Ink InkOf(const ProgressBar& bar, Colour colour)
{
    Ink ink;
    for (int y = 0; y < bar.ScaleHeight(); ++y)
        for (int x = 0; x < bar.ScaleWidth(); ++x)
            if (SurfacePixel(bar, x, y) == colour) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

// WM_PAINT messages a window receives while it lives.
class PaintCounter {
public:
    explicit PaintCounter(HWND window) : window_(window)
    {
        SetWindowSubclass(window_, &PaintCounter::Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~PaintCounter() { RemoveWindowSubclass(window_, &PaintCounter::Proc, 1); }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;
    int Paints() const { return paints_; }
    void Reset() { paints_ = 0; }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self)
    {
        auto* counter = reinterpret_cast<PaintCounter*>(self);
        if (msg == WM_PAINT && ++counter->paints_ > 1000) {
            ValidateRect(h, nullptr);  // a loop: end it so the test can fail
            return 0;
        }
        return DefSubclassProc(h, msg, wp, lp);
    }
    HWND window_;
    int paints_ = 0;
};

}  // namespace quill::small::bartest
