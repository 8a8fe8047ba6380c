// SegmentedProgressBar: the updater's own progress bar. A white field with a
// grey three-line frame and cut corners, the bar in its colour as 8-pixel
// blocks with white gaps, continuous, or a marquee of three blocks, and a
// centred text. It draws into an off-screen surface and copies that to the
// control in one step, so setting Value after each file does not flicker.
#pragma once

#include "forms/Font.h"
#include "forms/Gdi.h"
#include "forms/UserControl.h"
#include "updater/SegmentedBarPicture.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace quill::updater {

class SegmentedProgressBar : public forms::UserControl {
public:
    SegmentedProgressBar();
    ~SegmentedProgressBar() override;

    // Public members in the control's order.
    void DrawProgressBar();
    // Copies the off-screen picture to `hdc`; a width or height below 1
    // means the off-screen surface's.
    void pDraw(::HDC hdc, std::int32_t xSrc, std::int32_t ySrc, std::int32_t WidthSrc, std::int32_t HeightSrc,
               std::int32_t xDst, std::int32_t yDst);
    // The bar colour; a system colour is stored as its current value.
    std::uint32_t Color() const { return state_.colour; }
    void Color(std::uint32_t v);
    const forms::Font::Ref& Font() const { return font_; }
    void Font(forms::Font::Ref v) { font_ = std::move(v); }
    ::HWND hwnd() const { return hwnd_; }
    void hwnd(::HWND v) { hwnd_ = v; }
    // The current drawing surface; setting it (the value is not used) makes
    // sure of the off-screen surface for the control's size.
    ::HDC HDC() const { return drawingDc_; }
    void HDC(::HDC ignored);
    std::int32_t Min() const { return state_.min; }
    void Min(std::int32_t v) { state_.min = v; }
    std::int32_t Max() const { return state_.max; }
    void Max(std::int32_t v) { state_.max = v; }
    std::int32_t Orientation() const { return state_.orientation; }
    void Orientation(std::int32_t v) { state_.orientation = v; }
    std::int32_t Scrolling() const { return state_.scrolling; }
    void Scrolling(std::int32_t v) { state_.scrolling = v; }
    bool ShowText() const { return showText_; }
    void ShowText(bool v);
    std::int32_t Value() const { return state_.value; }
    void Value(std::int32_t v);

    // Paints of the control's window so far (tests count them).
    int Paints() const { return paints_; }

protected:
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_Resize() override;
    void UserControl_Paint() override;
    void UserControl_Terminate() override;

private:
    void Created();
    void RunSteps(::HDC dc, const std::vector<BarStep>& steps);
    void DrawPercentText(::HDC dc, const BarRect& client);
    void RoundCornerRegion();
    ::HDC EnsureOffscreenDC(int width, int height);
    void MakeOffscreenDC(int width, int height);
    void FreeOffscreenDC();

    SegmentedBarState state_;
    bool showText_ = false;
    forms::Font::Ref font_;
    ::HWND hwnd_ = nullptr;
    ::HDC drawingDc_ = nullptr;
    bool ownSurface_ = false;

    // The off-screen surface: a memory DC with its bitmap selected.
    std::unique_ptr<forms::gdi::MemoryDc> offscreenDc_;
    forms::gdi::BitmapHandle offscreenBitmap_;
    HGDIOBJ previousBitmap_ = nullptr;
    int offscreenWidth_ = 0, offscreenHeight_ = 0;

    // The size whose cut corners the window's region has.
    std::optional<std::pair<int, int>> regionSize_;
    int paints_ = 0;
};

}  // namespace quill::updater
