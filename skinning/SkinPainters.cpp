#include "skinning/SkinPainters.h"

#include "skinning/SkinArtwork.h"
#include "skinning/SkinColours.h"
#include "skinning/SkinGeometry.h"
#include "skinning/SkinPrimitives.h"
#include "skinning/SkinProperties.h"
#include "skinning/mSkinner.h"

#include <commctrl.h>

#include <vector>

namespace quill::skinning {

namespace gdi = forms::gdi;

namespace {

HDC Skin(SkinBitmap which)
{
    return mSkinner::SkinBitmapDc(which);
}

// The given DC, or the window's own (frame included) for as long as this lives.
class TargetDc {
public:
    TargetDc(HWND hWnd, HDC given)
    {
        if (given)
            dc_ = given;
        else {
            own_.emplace(hWnd);
            dc_ = own_->Get();
        }
    }
    operator HDC() const { return dc_; }

private:
    std::optional<gdi::WholeWindowDc> own_;
    HDC dc_ = nullptr;
};

int OldState(HWND hWnd)
{
    return static_cast<int>(GetSkinValue(hWnd, prop::OLDSTATE));
}

RECT HeaderItemRect(HWND hWnd, int index)
{
    RECT r{};
    SendMessageA(hWnd, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

// The bar's position against the skin's fixed divisor.
float ProgressOf(HWND hWnd)
{
    return ProgressFraction(static_cast<std::int32_t>(SendMessageA(hWnd, PBM_GETPOS, 0, 0)));
}

SIZE ClientSizeOf(HWND hWnd)
{
    RECT client{};
    GetClientRect(hWnd, &client);
    return {client.right, client.bottom};
}

HFONT FontOf(HWND hWnd)
{
    return reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0));
}

}  // namespace

COLORREF FrameColourOf(HWND hWnd)
{
    return IsWindowEnabled(hWnd) ? FrameColour : DisabledFrameColour;
}

std::string HeaderItemText(HWND hWnd, int index)
{
    // 255 characters and the terminating NUL: the buffer holds all the
    // header may write.
    char buffer[256] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(hWnd, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

void RenderButtonStates(HWND hWnd)
{
    const WindowBox box = BoxOf(hWnd);
    const int w = box.width, h = box.height;
    const std::string caption = GetWindowCaption(hWnd);
    const bool focused = GetFocus() == hWnd;
    for (int n = 0; n < 4; ++n) {
        HDC dc = reinterpret_cast<HDC>(GetSkinValue(hWnd, StateImageDcName(n).c_str()));
        if (!dc)
            continue;
        gdi::Selection font(dc, FontOf(hWnd));
        SetBkMode(dc, TRANSPARENT);
        const SkinRect cell = ButtonFaceCell(n);
        NineGridBlt(dc, 0, 0, w, h, Skin(SkinBitmap::ButtonFace), cell.x, cell.y, cell.width, cell.height,
                    ButtonFaceMargin, ButtonFaceMargin, ButtonFaceMargin, ButtonFaceMargin);
        SetTextColor(dc, n == StateDisabled ? DisabledCaptionColour : CaptionColour);
        DrawTextInRect(dc, caption, 2, 2, w - 4, h - 4, SkinTextFormat);
        if (focused)
            DrawFocusBox(dc, 2, 2, w - 4, h - 4);
    }
}

int BlendButtonState(HWND hWnd, HDC dc)
{
    if (!IsWindowEnabled(hWnd))
        SetSkinValue(hWnd, prop::OLDSTATE, StateDisabled);
    if (!SkinPaintsButton(static_cast<std::uint32_t>(GetSkinValue(hWnd, prop::OLDSTYLE))))
        return 0;
    const WindowBox box = BoxOf(hWnd);
    const int state = OldState(hWnd);
    const int alpha = static_cast<int>(GetSkinValue(hWnd, prop::ALPHALEVEL));
    if (state < 0 || state > 3)
        return 0;
    HDC image = reinterpret_cast<HDC>(GetSkinValue(hWnd, StateImageDcName(state).c_str()));
    TargetDc target(hWnd, dc);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0,
                              static_cast<BYTE>(alpha < 0     ? 0
                                                : alpha > 255 ? 255
                                                              : alpha),
                              0};
    AlphaBlend(target, 0, 0, box.width, box.height, image, 0, 0, box.width, box.height, blend);
    return 0;
}

void DrawComboButton(HWND hWnd, HDC dc, int& state, bool force)
{
    if (SendMessageA(hWnd, CB_GETDROPPEDSTATE, 0, 0))
        state = StatePressed;
    if (state == OldState(hWnd) && !force)
        return;
    if (!ComboHasDropButton(static_cast<std::uint32_t>(GetWindowLongA(hWnd, GWL_STYLE))))
        return;
    SetSkinValue(hWnd, prop::OLDSTATE, state);
    const WindowBox box = BoxOf(hWnd);
    const DropButtonLayout place = DropButtonPlace(box.width, box.height, GetSystemMetrics(SM_CXVSCROLL));
    const int bw = place.button.width, bh = place.button.height;
    auto button = CreateMemoryDC(bw, bh);
    HDC mem = button ? button->Dc() : nullptr;
    if (state == StateNormal)
        FillSolidRect(mem, 0, 0, bw, bh, WhiteColour);
    else if (state == StateHot || state == StatePressed) {
        const SkinRect face = DropFaceCell(state);
        NineGridBlt(mem, 0, 0, bw, bh, Skin(SkinBitmap::DropButton), face.x, face.y, face.width, face.height,
                    2, 1, 1, 1);
    }
    const SkinRect arrow = DropArrowCell(IsWindowEnabled(hWnd) != FALSE);
    TransparentBlit(mem, place.arrow.x, place.arrow.y, arrow.width, arrow.height,
                    Skin(SkinBitmap::DropButton), arrow.x, arrow.y, KeyColour);
    TargetDc target(hWnd, dc);
    BitBlt(target, place.button.x, place.button.y, bw, bh, mem, 0, 0, SRCCOPY);
}

int DrawCheckSkin(HWND hWnd, int state, bool force)
{
    if (state == OldState(hWnd) && !force)
        return 0;
    SetSkinValue(hWnd, prop::OLDSTATE, state);
    const LRESULT check = SendMessageA(hWnd, BM_GETCHECK, 0, 0);
    const int cw = GetSystemMetrics(SM_CXMENUCHECK), ch = GetSystemMetrics(SM_CYMENUCHECK);
    auto square = CreateMemoryDC(cw, ch);
    HDC mem = square ? square->Dc() : nullptr;
    FillSolidRect(mem, 0, 0, cw, ch, WhiteColour);
    const bool enabled = IsWindowEnabled(hWnd) != FALSE;
    if (enabled) {
        FrameSolidRect(mem, 0, 0, cw, ch, state == StatePressed ? PressedCheckFrameColour : FrameColour);
        if (state == StateHot || state == StatePressed) {
            const SkinRect band = CheckFillBand(state);
            StretchBlt(mem, 1, 1, cw - 2, ch - 2, Skin(SkinBitmap::OptionCircle), band.x, band.y, band.width,
                       band.height, SRCCOPY);
        }
    } else {
        FrameSolidRect(mem, 0, 0, cw, ch, DisabledFrameColour);
    }
    if (check == BST_CHECKED) {
        const SkinPoint at = CheckMarkAt(cw, ch);
        const SkinRect glyph = CheckMarkCell(enabled);
        TransparentBlit(mem, at.x, at.y, glyph.width, glyph.height, Skin(SkinBitmap::Glyph), glyph.x, glyph.y,
                        KeyColour);
    } else if (check == BST_INDETERMINATE) {
        const SkinPoint at = IndeterminateAt(cw, ch);
        const SkinRect glyph = IndeterminateCell(enabled);
        TransparentBlit(mem, at.x, at.y, glyph.width, glyph.height, Skin(SkinBitmap::Glyph), glyph.x, glyph.y,
                        KeyColour);
    }
    const WindowBox box = BoxOf(hWnd);
    const SkinPoint at = CheckSquareAt(box.height, ch);
    gdi::WholeWindowDc windowDc(hWnd);
    BitBlt(windowDc, at.x, at.y, cw, ch, mem, 0, 0, SRCCOPY);
    return 1;
}

int DrawOptionSkin(HWND hWnd, int state, bool force)
{
    if (state == OldState(hWnd) && !force)
        return 0;
    SetSkinValue(hWnd, prop::OLDSTATE, state);
    const int cw = GetSystemMetrics(SM_CXMENUCHECK), ch = GetSystemMetrics(SM_CYMENUCHECK);
    const WindowBox box = BoxOf(hWnd);
    const int top = OptionCircleTop(box.height, ch);
    const LRESULT check = SendMessageA(hWnd, BM_GETCHECK, 0, 0);
    const bool enabled = IsWindowEnabled(hWnd) != FALSE;
    gdi::WholeWindowDc windowDc(hWnd);
    if (!enabled || (state >= StateNormal && state <= StatePressed)) {
        const SkinRect cell = OptionCircleCell(enabled ? state : StateDisabled);
        NineGridBlt(windowDc, 0, top, cw, ch, Skin(SkinBitmap::OptionCircle), cell.x, cell.y, cell.width,
                    cell.height, OptionCircleMargin, OptionCircleMargin, OptionCircleMargin,
                    OptionCircleMargin, KeyColour);
    }
    if (check == BST_CHECKED) {
        const SkinPoint at = OptionDotAt(cw, ch, box.height);
        const SkinRect dot = OptionDotCell(enabled);
        TransparentBlit(windowDc, at.x, at.y, dot.width, dot.height, Skin(SkinBitmap::Glyph), dot.x, dot.y,
                        KeyColour);
    }
    return 1;
}

int DrawHeaderItem(HWND hWnd, HDC dc, int index, int state)
{
    if (index < 0)
        return 0;
    const RECT item = HeaderItemRect(hWnd, index);
    const int iw = item.right - item.left, ih = item.bottom - item.top;
    const int h = BoxOf(hWnd).height;
    auto face = CreateMemoryDC(iw, h);
    HDC mem = face ? face->Dc() : nullptr;
    {
        gdi::Selection font(mem, FontOf(hWnd));
        SetBkMode(mem, TRANSPARENT);
        const SkinRect cell = HeaderFaceCell(state);
        NineGridBlt(mem, 0, 0, iw, h, Skin(SkinBitmap::Header), cell.x, cell.y, cell.width, cell.height, 1, 1,
                    1, 1);
        const std::string text = HeaderItemText(hWnd, index);
        if (!text.empty())
            DrawTextInRect(mem, text, 0, 0, iw, h, SkinTextFormat);
    }
    TargetDc target(hWnd, dc);
    BitBlt(target, item.left, 0, iw, ih, mem, 0, 0, SRCCOPY);
    return 0;
}

void FrameListWindow(HWND hWnd)
{
    const WindowBox box = BoxOf(hWnd);
    gdi::WholeWindowDc windowDc(hWnd);
    FrameSolidRect(windowDc, 0, 0, box.width, box.height, FrameColourOf(hWnd));
    FrameSolidRect(windowDc, 1, 1, box.width - 2, box.height - 2, WhiteColour);
}

void FrameComboWindow(HWND hWnd, int state)
{
    FrameListWindow(hWnd);
    DrawComboButton(hWnd, nullptr, state, true);
}

void PaintHeaderBar(HWND hWnd)
{
    const WindowBox box = BoxOf(hWnd);
    const int w = box.width, h = box.height;
    auto bar = CreateMemoryDC(w, h);
    HDC mem = bar ? bar->Dc() : nullptr;
    HDC art = Skin(SkinBitmap::Header);
    StretchBlt(mem, 0, 0, w, h, art, HeaderStripCell.x, HeaderStripCell.y, HeaderStripCell.width,
               HeaderStripCell.height, SRCCOPY);
    const int count = static_cast<int>(SendMessageA(hWnd, HDM_GETITEMCOUNT, 0, 0));
    if (count > 0) {
        const int pressed = static_cast<int>(GetSkinValue(hWnd, prop::HDINDEX));
        const int hot = static_cast<int>(GetSkinValue(hWnd, prop::HMINDEX));
        for (int i = 0; i < count; ++i) {
            const RECT item = HeaderItemRect(hWnd, i);
            const std::string text = HeaderItemText(hWnd, i);
            const SkinRect cell = HeaderFaceCell(i == pressed ? StatePressed
                                                 : i == hot   ? StateHot
                                                              : StateNormal);
            NineGridBlt(mem, item.left, 0, item.right - item.left, h, art, cell.x, cell.y, cell.width,
                        cell.height, 1, 1, 1, 1);
            if (!text.empty()) {
                gdi::Selection font(mem, FontOf(hWnd));
                SetBkMode(mem, TRANSPARENT);
                DrawTextInRect(mem, text, item.left, 0, item.right - item.left, item.bottom, SkinTextFormat);
            }
        }
    }
    gdi::PaintDc paint(hWnd);
    BitBlt(paint, 0, 0, w, h, mem, 0, 0, SRCCOPY);
}

void PaintProgressClient(HWND hWnd)
{
    const SIZE client = ClientSizeOf(hWnd);
    const int cw = client.cx, ch = client.cy;
    auto surface = CreateMemoryDC(cw, ch);
    HDC mem = surface ? surface->Dc() : nullptr;
    const float fraction = ProgressOf(hWnd);
    FillSolidRect(mem, 0, 0, cw, ch, WhiteColour);
    if (fraction != 0) {
        const bool vertical = (GetWindowLongA(hWnd, GWL_STYLE) & PBS_VERTICAL) != 0;
        const SkinRect fill = ProgressClientFill(cw, ch, fraction, vertical);
        FillSolidRect(mem, fill.x, fill.y, fill.width, fill.height, ProgressColour);
    }
    gdi::PaintDc paint(hWnd);
    BitBlt(paint, 0, 0, cw, ch, mem, 0, 0, SRCCOPY);
}

void PaintProgressWindow(HWND hWnd)
{
    int bx = 0, by = 0;
    GetBorderSize(hWnd, bx, by);
    const WindowBox box = BoxOf(hWnd);
    const int w = box.width, h = box.height;
    const SIZE client = ClientSizeOf(hWnd);
    const int cw = client.cx, ch = client.cy;
    auto surface = CreateMemoryDC(w, h);
    HDC mem = surface ? surface->Dc() : nullptr;
    const float fraction = ProgressOf(hWnd);
    FillSolidRect(mem, 0, 0, w, h, FrameColour);
    FillSolidRect(mem, 1, 1, w - 2, h - 2, WhiteColour);
    if (fraction != 0) {
        const LONG style = GetWindowLongA(hWnd, GWL_STYLE);
        if (style & PBS_VERTICAL) {
            if (style & PBS_SMOOTH)
                FillSolidRect(mem, bx, by, cw, ch, ProgressColour);
            FillSolidRect(mem, bx, by, cw, RoundHalfEven(ch - static_cast<double>(fraction) * ch),
                          WhiteColour);
        } else {
            FillSolidRect(mem, bx, by, RoundHalfEven(static_cast<double>(fraction) * cw), ch, ProgressColour);
        }
    }
    gdi::WholeWindowDc windowDc(hWnd);
    BitBlt(windowDc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
}

void FlattenClientEdge(HWND hWnd)
{
    int bx = 0, by = 0;
    GetBorderSize(hWnd, bx, by);
    const WindowBox box = BoxOf(hWnd);
    const int w = box.width, h = box.height;
    gdi::WholeWindowDc windowDc(hWnd);
    gdi::WindowDc clientDc(hWnd);
    FrameSolidRect(windowDc, 0, 0, w, h, FrameColourOf(hWnd));
    for (int i = 1; i <= bx; ++i)
        FrameSolidRect(windowDc, i, i, w - 1 - i, h - 1 - i, GetBkColor(clientDc));
}

}  // namespace quill::skinning
