#include "skinning/SkinPrimitives.h"

#include "skinning/SkinGeometry.h"

#include <olectl.h>

namespace quill::skinning {

namespace gdi = forms::gdi;

BitmapDc::BitmapDc(int width, int height, HDC like)
{
    Resize(width, height, like);
}

BitmapDc::~BitmapDc()
{
    if (dc_ && original_)
        SelectObject(dc_->Get(), original_);
    dc_.reset();
    bitmap_.Reset();
}

bool BitmapDc::Resize(int width, int height, HDC like)
{
    // The display stands in when no DC is given, as for the platform's
    // CreateDC("DISPLAY").
    gdi::WindowDc display(nullptr);
    if (!like)
        like = display;
    if (!dc_) {
        dc_.emplace(like);
        if (!dc_->Get()) {
            dc_.reset();
            return false;
        }
    }
    gdi::BitmapHandle bitmap(CreateCompatibleBitmap(like, width, height));
    if (!bitmap) {
        if (!bitmap_) {
            dc_.reset();
        }
        return false;
    }
    HGDIOBJ previous = SelectObject(dc_->Get(), bitmap);
    if (!original_)
        original_ = previous;
    bitmap_ = std::move(bitmap);
    return true;
}

std::unique_ptr<BitmapDc> CreateMemoryDC(int width, int height)
{
    auto surface = std::make_unique<BitmapDc>(width, height);
    if (!*surface)
        return nullptr;
    return surface;
}

int NineGridBlt(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY, int srcWidth,
                int srcHeight, int left, int top, int right, int bottom, std::optional<COLORREF> key)
{
    if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0)
        return 0;
    auto compose = CreateMemoryDC(width, height);
    HDC mem = compose ? compose->Dc() : nullptr;
    for (const NineGridPiece& p :
         NineGridPieces(width, height, {srcX, srcY, srcWidth, srcHeight}, left, top, right, bottom)) {
        if (p.stretch)
            StretchBlt(mem, p.dest.x, p.dest.y, p.dest.width, p.dest.height, srcDC, p.source.x, p.source.y,
                       p.source.width, p.source.height, SRCCOPY);
        else
            BitBlt(mem, p.dest.x, p.dest.y, p.dest.width, p.dest.height, srcDC, p.source.x, p.source.y,
                   SRCCOPY);
    }
    if (!key)
        return BitBlt(destDC, x, y, width, height, mem, 0, 0, SRCCOPY);
    TransparentBlit(destDC, x, y, width, height, mem, 0, 0, *key);
    return 1;
}

namespace {

// Selects a palette as a background palette and puts the previous one back.
class PaletteSelection {
public:
    PaletteSelection(HDC dc, HPALETTE palette)
        : dc_(dc), old_(palette ? SelectPalette(dc, palette, TRUE) : nullptr)
    {
        RealizePalette(dc_);
    }
    ~PaletteSelection()
    {
        if (old_) {
            SelectPalette(dc_, old_, TRUE);
            RealizePalette(dc_);
        }
    }
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;

private:
    HDC dc_;
    HPALETTE old_;
};

}  // namespace

void TransparentBlit(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY,
                     COLORREF key, HPALETTE palette)
{
    gdi::WindowDc display(nullptr);
    gdi::Object<HPALETTE> halftone;
    if (!palette) {
        halftone.Reset(CreateHalftonePalette(display));
        palette = halftone;
    }
    COLORREF keyRgb = 0;
    OleTranslateColor(key, palette, &keyRgb);
    keyRgb &= 0xFFFFFF;

    gdi::MemoryDc back(display), colour(display), mask(display);
    gdi::BitmapHandle backBitmap(CreateCompatibleBitmap(display, width, height));
    gdi::BitmapHandle colourBitmap(CreateCompatibleBitmap(display, width, height));
    gdi::BitmapHandle maskBitmap(CreateBitmap(width, height, 1, 1, nullptr));
    {
        gdi::Selection useBack(back, backBitmap), useColour(colour, colourBitmap), useMask(mask, maskBitmap);
        PaletteSelection backPalette(back, palette), colourPalette(colour, palette);

        BitBlt(back, 0, 0, width, height, destDC, x, y, SRCCOPY);
        SetBkColor(colour, GetBkColor(srcDC));
        SetTextColor(colour, GetTextColor(srcDC));
        BitBlt(colour, 0, 0, width, height, srcDC, srcX, srcY, SRCCOPY);
        // Key pixels become 1 in the mask, all others 0.
        SetBkColor(colour, keyRgb);
        SetTextColor(colour, RGB(255, 255, 255));
        BitBlt(mask, 0, 0, width, height, colour, 0, 0, SRCCOPY);
        // The key pixels of the picture turn black (destination AND NOT source).
        SetTextColor(colour, RGB(0, 0, 0));
        SetBkColor(colour, RGB(255, 255, 255));
        BitBlt(colour, 0, 0, width, height, mask, 0, 0, 0x220326);
        // The background survives only under key pixels; the picture fills the rest.
        BitBlt(back, 0, 0, width, height, mask, 0, 0, SRCAND);
        BitBlt(back, 0, 0, width, height, colour, 0, 0, SRCPAINT);
        BitBlt(destDC, x, y, width, height, back, 0, 0, SRCCOPY);
    }
}

int FillSolidRect(HDC dc, int x, int y, int width, int height, COLORREF colour)
{
    gdi::BrushHandle brush(CreateSolidBrush(colour));
    const RECT r{x, y, x + width, y + height};
    return FillRect(dc, &r, brush);
}

int FrameSolidRect(HDC dc, int x, int y, int width, int height, COLORREF colour)
{
    gdi::BrushHandle brush(CreateSolidBrush(colour));
    const RECT r{x, y, x + width, y + height};
    return FrameRect(dc, &r, brush);
}

int DrawFocusBox(HDC dc, int x, int y, int width, int height)
{
    const RECT r{x, y, x + width, y + height};
    return DrawFocusRect(dc, &r);
}

int DrawTextInRect(HDC dc, const std::string& text, int x, int y, int width, int height, UINT format)
{
    RECT r{x, y, x + width, y + height};
    return DrawTextA(dc, text.c_str(), -1, &r, format);
}

BOOL GetWindowBox(HWND hWnd, WindowBox& box)
{
    RECT r{};
    const BOOL ok = GetWindowRect(hWnd, &r);
    box = {r.left, r.top, r.right, r.bottom, r.right - r.left, r.bottom - r.top};
    return ok;
}

WindowBox BoxOf(HWND hWnd)
{
    WindowBox box;
    GetWindowBox(hWnd, box);
    return box;
}

std::string GetWindowCaption(HWND hWnd)
{
    const int length = GetWindowTextLengthA(hWnd);
    if (length <= 0)
        return {};
    // Room for the terminating NUL the platform writes.
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hWnd, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

int GetBorderSize(HWND hWnd, int& borderX, int& borderY)
{
    RECT window{}, client{};
    GetWindowRect(hWnd, &window);
    GetClientRect(hWnd, &client);
    const LONG style = GetWindowLongW(hWnd, GWL_STYLE);
    const SkinPoint border = BorderSize(window.right - window.left, window.bottom - window.top, client.right,
                                        client.bottom, (style & WS_VSCROLL) != 0, (style & WS_HSCROLL) != 0,
                                        GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL));
    borderX = border.x;
    borderY = border.y;
    return 1;
}

}  // namespace quill::skinning
