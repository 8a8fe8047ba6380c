// Drawing: the system alpha blend, the GDI+ bridge, or the library's own
// mirroring, resampling and blending.
#include <cstdlib>

#include "imaging/PixelBlend.h"
#include "imaging/PixelTransforms.h"
#include "imaging/Resampler.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cImage32.h"

namespace quill::imaging {

namespace {

// How far drawing can reach on a device: the selected bitmap of a memory DC;
// a window or screen DC has none of its own, so its clip box. 0 x 0 when
// nothing is known.
SIZE DrawableSize(HDC dc)
{
    SIZE size{0, 0};
    if (!dc)
        return size;
    if (GetObjectType(dc) == OBJ_MEMDC) {
        BITMAP bm{};
        if (GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof(bm), &bm))
            size = {bm.bmWidth, bm.bmHeight};
        return size;
    }
    RECT clip{};
    if (GetClipBox(dc, &clip) != ERROR && clip.right > 0 && clip.bottom > 0)
        size = {clip.right, clip.bottom};
    return size;
}

}  // namespace

bool cImage32::Render(HDC dc, int32_t x, int32_t y, int32_t dw, int32_t dh, int32_t sx, int32_t sy,
                      int32_t sw, int32_t sh, int32_t opacity, bool blend, bool halftone)
{
    if (!bitmap_ || !dc || sw < 0 || sh < 0)
        return false;
    if (opacity == 0)
        return true;
    opacity = ReduceOpacity(opacity);
    if (sx < 0)
        sx = 0;
    if (sy < 0)
        sy = 0;
    if (sw == 0)
        sw = width_;
    if (sh == 0)
        sh = height_;
    if (dw == 0)
        dw = width_;
    if (dh == 0)
        dh = height_;
    if (static_cast<int64_t>(sx) + sw > width_ || static_cast<int64_t>(sy) + sh > height_)
        return false;
    if (GdiplusUsable() && (highQuality_ || !AlphaBlendFlag()))
        return cGDIPlus().RenderViaGdiplus(*this, dc, 0, opacity, x, y, dw, dh, sx, sy, sw, sh, highQuality_);
    const int constant = ConstantAlpha(opacity);
    if (AlphaBlendFlag() && dw >= 0 && dh >= 0 && !highQuality_) {
        // The image stays selected in its own DC after the call: selecting
        // it anew costs more than the blend of an icon.
        HDC source = LoadDIBinDC(true);
        int oldMode = halftone ? SetStretchBltMode(dc, HALFTONE) : 0;
        BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(constant),
                         static_cast<BYTE>(alpha_ && blend ? AC_SRC_ALPHA : 0)};
        bool drawn = AlphaBlend(dc, x, y, dw, dh, source, sx, sy, sw, sh, bf) != 0;
        if (halftone && oldMode)
            SetStretchBltMode(dc, oldMode);
        return drawn;
    }
    std::vector<uint32_t> scaled;
    if (sw != dw || sh != dh) {
        std::vector<uint32_t> mirrored;
        MirrorBits(sx, sy, sw, sh, dw, dh, mirrored);
        if (!ResampleBits(dc, scaled, mirrored, nullptr, sx, sy, sw, sh, x, y, dw, dh))
            return false;
    }
    return BlendOntoDevice(dc, scaled, sx, sy, x, y, dw, dh, constant);
}

void cImage32::MirrorBits(int32_t& sx, int32_t& sy, int32_t sw, int32_t sh, int32_t& dw, int32_t& dh,
                          std::vector<uint32_t>& output)
{
    if (dw >= 1 && dh >= 1)
        return;
    output = MirrorRect(Pixels(), {sx, sy, sw, sh}, dw < 0, dh < 0);
    sx = 0;
    sy = 0;
    dw = std::abs(dw);
    dh = std::abs(dh);
}

bool cImage32::ResampleBits(HDC dc, std::vector<uint32_t>& output, std::vector<uint32_t>& source,
                            cImage32* destination, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t dx,
                            int32_t dy, int32_t& dw, int32_t& dh)
{
    if (sw == 0)
        sw = width_;
    if (sh == 0)
        sh = height_;
    int outW, outH, colSkip, rowSkip;
    double xRatio, yRatio;
    if (!destination) {
        outW = std::abs(dw);
        outH = std::abs(dh);
        SIZE limit = DrawableSize(dc);
        if (limit.cx == 0)
            limit = {std::abs(dx) + outW, std::abs(dy) + outH};
        if (outW < 1 || outH < 1)
            return false;
        xRatio = static_cast<double>(sw) / outW;
        yRatio = static_cast<double>(sh) / outH;
        ResampleClip clip = ClipResampleOutput(dx, dy, outW, outH, limit.cx, limit.cy);
        outW = clip.width;
        outH = clip.height;
        colSkip = clip.colSkip;
        rowSkip = clip.rowSkip;
    } else {
        outW = destination->Width();
        outH = destination->Height();
        if (outW < 1 || outH < 1)
            return false;
        xRatio = static_cast<double>(sw) / outW;
        yRatio = static_cast<double>(sh) / outH;
        colSkip = dx;
        rowSkip = dy;
    }
    if (outW < 1 || outH < 1)
        return false;
    PixelView out;
    if (destination) {
        out = destination->Pixels();
    } else {
        output.assign(static_cast<size_t>(outW) * static_cast<size_t>(outH), 0);
        out = PixelView{output.data(), outW, outH};
    }
    // A mirrored copy is the whole source rectangle.
    ConstPixelView from = source.empty() ? ConstPixelView(Pixels()) : ConstPixelView{source.data(), sw, sh};
    ResamplePixels(from, {sx, sy, sw, sh}, xRatio, yRatio, colSkip, rowSkip, highQuality_, out);
    dw = outW;
    dh = outH;
    source.clear();
    return true;
}

bool cImage32::BlendOntoDevice(HDC dc, const std::vector<uint32_t>& source, int32_t sx, int32_t sy, int32_t x,
                               int32_t y, int32_t width, int32_t height, int constantAlpha)
{
    ConstPixelView from;
    int topRow;  // bottom-up row of the first (top) source row
    if (source.empty()) {
        if (x < 0) {
            sx += -x;
            width -= -x;
            x = 0;
        }
        if (y < 0) {
            sy += -y;
            height -= -y;
            y = 0;
        }
        SIZE limit = DrawableSize(dc);
        if (limit.cx > 0) {
            if (static_cast<int64_t>(x) + width > limit.cx)
                width = limit.cx - x;
            if (static_cast<int64_t>(y) + height > limit.cy)
                height = limit.cy - y;
        }
        from = Pixels();
        topRow = height_ - 1 - sy;
    } else {
        if (static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)) !=
            source.size())
            return false;
        sx = 0;
        from = ConstPixelView{source.data(), width, height};
        topRow = height - 1;
        x = std::max(x, 0);
        y = std::max(y, 0);
    }
    if (width < 1 || height < 1)
        return false;
    // The destination area is copied out, blended and copied back through
    // a section kept between calls for drawings of an icon's size: making
    // a section and a DC costs more than blending the pixels.
    std::optional<BlendSection> once;
    BlendSection* work = blendSection_ && blendSection_->Holds(width, height) ? &*blendSection_ : nullptr;
    if (!work) {
        std::optional<BlendSection>& slot =
            static_cast<int64_t>(width) * height <= KeptBlendSectionPixels ? blendSection_ : once;
        slot.reset();
        slot.emplace(dc, width, height);
        work = &*slot;
    }
    if (!work->Bits()) {
        blendSection_.reset();
        return false;
    }
    BitBlt(work->Dc(), 0, 0, width, height, dc, x, y, SRCCOPY);
    GdiFlush();
    for (int r = 0; r < height; ++r)
        BlendRow(from.Row(topRow - r) + sx, work->RowFromTop(r), width, constantAlpha);
    BitBlt(dc, x, y, width, height, work->Dc(), 0, 0, SRCCOPY);
    return true;
}

}  // namespace quill::imaging
