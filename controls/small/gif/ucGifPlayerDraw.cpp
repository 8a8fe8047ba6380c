// ucGifPlayer's frame strip and drawing: the 8-bit strip and the canvas DIBs
// the frames are built into, and painting a frame onto the control.
#include "controls/small/gif/ucGifPlayer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace quill::gif {
namespace {

int32_t RoundEven(double v)
{
    return static_cast<int32_t>(std::nearbyint(v));
}

// The colours of a table as a DIB colour table: entries past the table's own
// count are black.
std::array<RGBQUAD, 256> Quads(const uint32_t* colors, uint32_t count)
{
    std::array<RGBQUAD, 256> quads{};
    for (uint32_t i = 0; i < 256 && i < count; ++i) {
        quads[i] = {static_cast<BYTE>(colors[i]), static_cast<BYTE>(colors[i] >> 8),
                    static_cast<BYTE>(colors[i] >> 16), 0};
    }
    return quads;
}

COLORREF ColorOf(int32_t color)
{
    // A negative colour names a system colour by its low byte.
    if (color < 0)
        return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

}  // namespace

// --------------------------------------------------------------- frame strip

bool ucGifPlayer::DibDc::Create(const forms::gdi::DibFormat& format)
{
    forms::gdi::WindowDc screen(nullptr);
    dc = std::make_unique<forms::gdi::MemoryDc>(screen);
    void* p = nullptr;
    if (dc->Get())
        dib = forms::gdi::DibSection(screen, format, p);
    if (!dib) {
        Release();
        return false;
    }
    bits = static_cast<uint8_t*>(p);
    selected.emplace(*dc, dib.Get());
    return true;
}

bool ucGifPlayer::CreateStrip(int32_t width, int32_t height)
{
    // Entry i is blue i: a pixel's colour is its raw index until a frame's
    // colours are loaded for drawing.
    std::array<RGBQUAD, 256> indexColours{};
    for (int i = 0; i < 256; ++i)
        indexColours[i].rgbBlue = static_cast<BYTE>(i);
    if (!strip_.Create(
            {.width = width, .height = height, .bitsPerPixel = 8, .topDown = false, .colours = indexColours}))
        return false;
    stripWidth_ = width;
    stripHeight_ = height;
    return true;
}

GifBitmapView ucGifPlayer::StripView() const
{
    return {strip_.bits, stripWidth_, stripHeight_, ScanlineBytes(stripWidth_, 8), true};
}

bool ucGifPlayer::CreateCanvasDibs(bool withMask)
{
    const int32_t W = store_.Header.width;
    const int32_t H = store_.Header.height;
    if (!canvas_.Create({.width = W, .height = H, .bitsPerPixel = 24, .topDown = false}))
        return false;
    if (withMask) {
        // White (1) is see-through, black (0) covered.
        static constexpr RGBQUAD kBlackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        void* maskBits = nullptr;
        canvasMask_ = forms::gdi::DibSection(
            canvas_.dc->Get(),
            {.width = W, .height = H, .bitsPerPixel = 1, .topDown = false, .colours = kBlackWhite}, maskBits);
        if (!canvasMask_)
            return false;
        maskBits_ = static_cast<uint8_t*>(maskBits);
        // No frame has covered anything yet: all see-through, as a step past
        // frame 1 before it was ever drawn must show (a new DIB is all 0).
        std::fill_n(maskBits_, static_cast<size_t>(ScanlineBytes(W, 1)) * H, uint8_t{0xFF});
    }
    composer_.Attach(canvas_.bits, maskBits_, W, H);
    return true;
}

bool ucGifPlayer::BuildFrameStrip(bool& firstPass, bool startAnimation)
{
    const int32_t count = static_cast<int32_t>(store_.Frames.size());
    int32_t first = 1;
    int32_t last = 1;
    if (firstPass) {
        GifStripPlan plan;
        if (!store_.PlanFrameStrip(!RunTime(), plan))
            return false;
        UsesMask_ = plan.UsesMask;
        if (plan.needsCanvas && !CreateCanvasDibs(UsesMask_))
            return false;
        if (!CreateStrip(plan.stripWidth, plan.stripHeight))
            return false;
        if (plan.someTransparent || UsesMask_)
            WorkPalette.assign(256, 0);
        store_.StartRebuild(plan.largestSpan);
    } else {
        if (count > 1) {
            // Colours loaded for drawing since the first pass are undone.
            std::array<uint32_t, 256> indexTable{};
            for (uint32_t i = 0; i < 256; ++i)
                indexTable[i] = i;
            const auto quads = Quads(indexTable.data(), 256);
            SetDIBColorTable(*strip_.dc, 0, 256, quads.data());
        }
        first = 2;
        last = count;
    }
    store_.ColorTables.ColorTableCount = -1;
    GdiFlush();
    const GifBitmapView strip = StripView();
    for (int32_t i = first; i <= last; ++i)
        store_.BuildFrame(i, strip);

    if (firstPass) {
        CurrentFrame_ = 1;
        int32_t width = ScaleWidth();
        int32_t height = ScaleHeight();
        ComputeScale(store_.Header, Stretch_, width, height, store_.Header.scaleX, store_.Header.scaleY);
        if (RunTime() && DelayAnimation_ != 0) {
            if (count == 1) {
                firstPass = false;
            } else {
                ApplyMirror(0, true, false);
                MirrorStyle_ |= 0x20;
                framesPending_ = true;
                SetAnimationTimer(2);
            }
        } else if (RunTime()) {
            bool laterPass = false;
            BuildFrameStrip(laterPass);
        } else {
            firstPass = false;
        }
    }
    if (!firstPass)
        FinishBuild(startAnimation);
    return true;
}

void ucGifPlayer::FinishBuild(bool startAnimation)
{
    framesPending_ = false;
    store_.EndRebuild();
    store_.BlockSpans.clear();
    ApplyMirror(0, !RunTime(), false);
    if (!RunTime())
        return;
    store_.EraseGifBytes();
    if (!startAnimation) {
        LoopsLeft = Header().loops;
    } else if ((DelayAnimation_ & 2) == 0) {
        LoopsLeft = Header().loops;
        SetAnimationTimer(1);
    } else {
        announceFirstFrame_ = true;
    }
}

void ucGifPlayer::AnnounceFirstFrame()
{
    if (!std::exchange(announceFirstFrame_, false))
        return;
    bool viaTimer = false;
    FrameChanged(1, viaTimer);
}

// ------------------------------------------------------------------- drawing

bool ucGifPlayer::PaintCurrentFrame(int32_t frameIndex, HDC hDC)
{
    if (frameIndex < 1 || frameIndex > static_cast<int32_t>(store_.Frames.size()) || !strip_.dib)
        return false;
    const GifFrame& frame = store_.Frames[frameIndex - 1];
    const float scaleX = Header().scaleX;
    const float scaleY = Header().scaleY;
    const bool stretched = scaleX != 1.0f || scaleY != 1.0f;
    if (!canvas_.dib) {
        const RECT rect{RoundEven(double{scaleX} * (OffsetX_ + frame.Left)),
                        RoundEven(double{scaleY} * (OffsetY_ + frame.Top)),
                        RoundEven(double{scaleX} * frame.Width), RoundEven(double{scaleY} * frame.Height)};
        BlitFrame(frameIndex, hDC, stretched, rect);
        return true;
    }
    std::vector<uint8_t> maskBackup;
    std::vector<uint8_t> canvasBackup;
    GdiFlush();
    const GifBitmapView strip = StripView();
    composer_.ComposeFrame(frame, frameIndex, false, strip, maskBackup, canvasBackup);
    composer_.BlitFrame(frame, strip, store_.ColorTables.table[frame.ColorTableSlot]);
    BlitFrame(-frameIndex, hDC, stretched, RECT{OffsetX_, OffsetY_, ScaleWidth(), ScaleHeight()});
    if (frame.Disposal == 2 || frame.Disposal == 3) {
        GdiFlush();
        composer_.ComposeFrame(frame, frameIndex, true, strip, maskBackup, canvasBackup);
    }
    return true;
}

void ucGifPlayer::LoadStripColors(const GifColorTable& table)
{
    const auto quads = Quads(table.data(), table[256]);
    SetDIBColorTable(*strip_.dc, 0, 256, quads.data());
}

// The rectangle holds x, y, width and height.
void ucGifPlayer::BlitFrame(int32_t frameIndex, HDC hDC, bool stretched, const RECT& rect)
{
    const int x = rect.left, y = rect.top, cx = rect.right, cy = rect.bottom;
    if (cx < 1 || cy < 1)
        return;
    int oldMode = 0;
    POINT oldOrigin{};
    if (stretched) {
        oldMode = SetStretchBltMode(hDC, HALFTONE);
        SetBrushOrgEx(hDC, 0, 0, &oldOrigin);
    }
    auto blit = [&](HDC source, int sx, int sy, int sw, int sh, DWORD rop) {
        if (stretched) {
            StretchBlt(hDC, x, y, cx, cy, source, sx, sy, sw, sh, rop);
        } else {
            BitBlt(hDC, x, y, cx, cy, source, sx, sy, rop);
        }
    };
    if (SolidBkgColorUsed_) {
        forms::gdi::BrushHandle brush(CreateSolidBrush(ColorOf(SolidBkgColor_)));
        const RECT fill{0, 0, RoundEven(double{Header().scaleX} * Header().width),
                        RoundEven(double{Header().scaleY} * Header().height)};
        FillRect(hDC, &fill, brush);
    }
    const int32_t W = Header().width;
    const int32_t H = Header().height;
    if (frameIndex < 0) {
        if (UsesMask_) {
            {
                forms::gdi::Selection mask(*canvas_.dc, canvasMask_.Get());
                blit(*canvas_.dc, 0, 0, W, H, SRCAND);
            }
        } else {
            blit(*canvas_.dc, 0, 0, W, H, SRCAND);
        }
        blit(*canvas_.dc, 0, 0, W, H, SRCPAINT);
    } else {
        const GifFrame& frame = store_.Frames[frameIndex - 1];
        GifColorTable& table = store_.ColorTables.table[frame.ColorTableSlot];
        DWORD rop = SRCCOPY;
        if (frame.Transparent == 1) {
            WorkPalette.resize(256, 0);
            WorkPalette[frame.TransparentIndex] = 0xFFFFFF;
            const auto andQuads = Quads(WorkPalette.data(), 256);
            WorkPalette[frame.TransparentIndex] = 0;
            SetDIBColorTable(*strip_.dc, 0, 256, andQuads.data());
            blit(*strip_.dc, frame.DataPos, 0, frame.Width, frame.Height, SRCAND);
            GifColorTable orTable = table;
            orTable[frame.TransparentIndex] = 0;
            LoadStripColors(orTable);
            store_.ColorTables.ColorTableCount = -1;
            rop = SRCPAINT;
        } else if (store_.ColorTables.ColorTableCount != frame.ColorTableSlot) {
            LoadStripColors(table);
            store_.ColorTables.ColorTableCount = frame.ColorTableSlot;
        }
        blit(*strip_.dc, frame.DataPos, 0, frame.Width, frame.Height, rop);
    }
    if (stretched) {
        SetStretchBltMode(hDC, oldMode);
        SetBrushOrgEx(hDC, oldOrigin.x, oldOrigin.y, nullptr);
    }
}

void ucGifPlayer::ApplyMirror(int32_t fromStyle, bool firstFrameOnly, bool includeCanvas)
{
    int32_t start = 1;
    if (MirrorStyle_ & 0x20) {
        MirrorStyle_ &= ~0x20;
        start = 2;
    }
    const int32_t diff = (MirrorStyle_ & 3) ^ fromStyle;
    if (diff == 0 || !strip_.dib)
        return;
    const bool horizontal = (diff & 1) != 0;
    const bool vertical = (diff & 2) != 0;
    GdiFlush();
    const int32_t W = Header().width;
    const int32_t H = Header().height;
    const int32_t last = firstFrameOnly ? 1 : static_cast<int32_t>(store_.Frames.size());
    for (int32_t i = start; i <= last; ++i) {
        GifFrame& frame = store_.Frames[i - 1];
        if (horizontal)
            frame.Left = W - (frame.Left + frame.Width);
        if (vertical)
            frame.Top = H - (frame.Top + frame.Height);
        MirrorArea(StripView(), 8, frame.DataPos, 0, frame.Width, frame.Height, horizontal, vertical);
    }
    if (includeCanvas && canvas_.dib) {
        MirrorArea(composer_.CanvasBits(), 24, 0, 0, W, H, horizontal, vertical);
        if (UsesMask_)
            MirrorArea(composer_.MaskBits(), 1, 0, 0, W, H, horizontal, vertical);
    }
}

// ------------------------------------------------------------ host's events

void ucGifPlayer::UserControl_Paint()
{
    // The host has put what the container shows behind the control on the
    // surface; the frame goes over it.
    PaintCurrentFrame(CurrentFrame_, hDC());
    if (!RunTime()) {
        Graphics().Line(0, 0, static_cast<float>(ScaleWidth() - 1), static_cast<float>(ScaleHeight() - 1), -1,
                        forms::Surface::Box::Border);
    }
}

void ucGifPlayer::UserControl_Resize()
{
    if (!Loaded() || resizing_)
        return;
    resizing_ = true;
    int32_t width = ScaleWidth();
    int32_t height = ScaleHeight();
    ComputeScale(store_.Header, Stretch_, width, height, store_.Header.scaleX, store_.Header.scaleY);
    Size(RoundEven(width * ContainerUnitsPerPixelX()), RoundEven(height * ContainerUnitsPerPixelY()));
    resizing_ = false;
}

}  // namespace quill::gif
