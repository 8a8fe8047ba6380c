#include "controls/small/gif/GifCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quill::gif {

void GifCanvas::Attach(uint8_t* canvasBits, uint8_t* maskBits, int32_t width, int32_t height)
{
    canvas_ = {canvasBits, width, height, ScanlineBytes(width, 24), true};
    mask_ = {maskBits, width, height, ScanlineBytes(width, 1), true};
}

void GifCanvas::Allocate(int32_t width, int32_t height, bool withMask)
{
    ownCanvas_.assign(static_cast<size_t>(ScanlineBytes(width, 24)) * height, 0);
    ownMask_.assign(withMask ? static_cast<size_t>(ScanlineBytes(width, 1)) * height : 0, 0xFF);
    Attach(ownCanvas_.data(), withMask ? ownMask_.data() : nullptr, width, height);
}

GifCanvas::Span GifCanvas::Clip(const GifFrame& frame) const
{
    const int32_t left = std::clamp(frame.Left, 0, canvas_.width);
    const int32_t top = std::clamp(frame.Top, 0, canvas_.height);
    const int32_t right = std::clamp(frame.Left + frame.Width, left, canvas_.width);
    const int32_t bottom = std::clamp(frame.Top + frame.Height, top, canvas_.height);
    return {left, top, right - left, bottom - top};
}

void GifCanvas::SetMaskBit(int32_t x, int32_t y, bool seeThrough)
{
    uint8_t& byte = mask_.Row(y)[x >> 3];
    const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
    byte = seeThrough ? (byte | bit) : (byte & ~bit);
}

void GifCanvas::ComposeFrame(const GifFrame& frame, int32_t n, bool restore, const GifBitmapView& strip,
                             std::vector<uint8_t>& maskBackup, std::vector<uint8_t>& canvasBackup)
{
    const Span r = Clip(frame);
    // The mask bytes a frame touches: from its first pixel's byte to its last
    // pixel's byte, never the row's rounded length past its end.
    const int32_t maskFirst = r.left >> 3;
    const int32_t maskBytes = r.width > 0 ? ((r.left + r.width - 1) >> 3) - maskFirst + 1 : 0;
    const size_t canvasRun = static_cast<size_t>(r.width) * 3;
    // A frame clipped to nothing has nothing under it to save or put back.
    const bool covers = r.width > 0 && r.height > 0;
    if (!restore) {
        if (n == 1) {
            std::memset(canvas_.bits, 0, static_cast<size_t>(canvas_.stride) * canvas_.height);
            if (UsesMask())
                std::memset(mask_.bits, 0xFF, static_cast<size_t>(mask_.stride) * mask_.height);
        }
        if (frame.Disposal == 3 && covers) {
            canvasBackup.resize(canvasRun * r.height);
            for (int32_t row = 0; row < r.height; ++row) {
                std::memcpy(&canvasBackup[canvasRun * row], canvas_.Row(r.top + row) + r.left * 3, canvasRun);
            }
            if (UsesMask()) {
                maskBackup.resize(static_cast<size_t>(maskBytes) * r.height);
                for (int32_t row = 0; row < r.height; ++row) {
                    std::memcpy(&maskBackup[static_cast<size_t>(maskBytes) * row],
                                mask_.Row(r.top + row) + maskFirst, maskBytes);
                }
            }
        }
        if (UsesMask()) {
            for (int32_t row = 0; row < r.height; ++row) {
                const uint8_t* src =
                    strip.Row(r.top + row - frame.Top) + frame.DataPos + (r.left - frame.Left);
                for (int32_t col = 0; col < r.width; ++col) {
                    if (frame.Transparent == 1 && src[col] == frame.TransparentIndex)
                        continue;
                    SetMaskBit(r.left + col, r.top + row, false);
                }
            }
        }
        return;
    }
    if (frame.Disposal == 2) {
        for (int32_t row = 0; row < r.height; ++row) {
            std::memset(canvas_.Row(r.top + row) + r.left * 3, 0, canvasRun);
            if (UsesMask()) {
                for (int32_t col = 0; col < r.width; ++col)
                    SetMaskBit(r.left + col, r.top + row, true);
            }
        }
    } else if (frame.Disposal == 3 && covers) {
        if (canvasBackup.size() == canvasRun * r.height) {
            for (int32_t row = 0; row < r.height; ++row) {
                std::memcpy(canvas_.Row(r.top + row) + r.left * 3, &canvasBackup[canvasRun * row], canvasRun);
            }
        }
        if (UsesMask() && maskBackup.size() == static_cast<size_t>(maskBytes) * r.height) {
            for (int32_t row = 0; row < r.height; ++row) {
                std::memcpy(mask_.Row(r.top + row) + maskFirst,
                            &maskBackup[static_cast<size_t>(maskBytes) * row], maskBytes);
            }
        }
    }
}

void GifCanvas::BlitFrame(const GifFrame& frame, const GifBitmapView& strip, const GifColorTable& table)
{
    const Span r = Clip(frame);
    for (int32_t row = 0; row < r.height; ++row) {
        const uint8_t* src = strip.Row(r.top + row - frame.Top) + frame.DataPos + (r.left - frame.Left);
        uint8_t* dst = canvas_.Row(r.top + row) + r.left * 3;
        for (int32_t col = 0; col < r.width; ++col, dst += 3) {
            if (frame.Transparent == 1 && src[col] == frame.TransparentIndex)
                continue;
            const uint32_t c = GifColorOf(table, src[col]);
            dst[0] = static_cast<uint8_t>(c);
            dst[1] = static_cast<uint8_t>(c >> 8);
            dst[2] = static_cast<uint8_t>(c >> 16);
        }
    }
}

uint32_t GifCanvas::Pixel(int32_t x, int32_t y) const
{
    const uint8_t* p = canvas_.Row(y) + x * 3;
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

bool GifCanvas::SeeThrough(int32_t x, int32_t y) const
{
    return UsesMask() && (mask_.Row(y)[x >> 3] & (0x80 >> (x & 7))) != 0;
}

namespace {

uint32_t GetPixel(const uint8_t* row, int bitsPerPixel, int32_t x)
{
    switch (bitsPerPixel) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 8:
        return row[x];
    default:
        return row[x * 3] | (row[x * 3 + 1] << 8) | (uint32_t{row[x * 3 + 2]} << 16);
    }
}

void PutPixel(uint8_t* row, int bitsPerPixel, int32_t x, uint32_t v)
{
    switch (bitsPerPixel) {
    case 1: {
        const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = v ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
        break;
    }
    case 8:
        row[x] = static_cast<uint8_t>(v);
        break;
    default:
        row[x * 3] = static_cast<uint8_t>(v);
        row[x * 3 + 1] = static_cast<uint8_t>(v >> 8);
        row[x * 3 + 2] = static_cast<uint8_t>(v >> 16);
        break;
    }
}

}  // namespace

void MirrorArea(const GifBitmapView& bitmap, int bitsPerPixel, int32_t x, int32_t y, int32_t width,
                int32_t height, bool horizontal, bool vertical)
{
    if (x < 0 || y < 0 || width < 1 || height < 1 || x + width > bitmap.width || y + height > bitmap.height)
        return;
    if (vertical) {
        for (int32_t top = y, bottom = y + height - 1; top < bottom; ++top, --bottom) {
            uint8_t* a = bitmap.Row(top);
            uint8_t* b = bitmap.Row(bottom);
            for (int32_t col = x; col < x + width; ++col) {
                const uint32_t va = GetPixel(a, bitsPerPixel, col);
                PutPixel(a, bitsPerPixel, col, GetPixel(b, bitsPerPixel, col));
                PutPixel(b, bitsPerPixel, col, va);
            }
        }
    }
    if (horizontal) {
        for (int32_t row = y; row < y + height; ++row) {
            uint8_t* r = bitmap.Row(row);
            for (int32_t left = x, right = x + width - 1; left < right; ++left, --right) {
                const uint32_t v = GetPixel(r, bitsPerPixel, left);
                PutPixel(r, bitsPerPixel, left, GetPixel(r, bitsPerPixel, right));
                PutPixel(r, bitsPerPixel, right, v);
            }
        }
    }
}

void ComputeScale(const GifHeaderInfo& header, int32_t stretch, int32_t& width, int32_t& height,
                  float& scaleX, float& scaleY)
{
    const int32_t W = header.width;
    const int32_t H = header.height;
    if (W < 1 || H < 1)
        return;
    const double ratioX = static_cast<double>(width) / W;
    const double ratioY = static_cast<double>(height) / H;
    auto fit = [&] {
        scaleX = scaleY = static_cast<float>(std::min(ratioX, ratioY));
        width = static_cast<int32_t>(std::nearbyint(scaleX * static_cast<double>(W)));
        height = static_cast<int32_t>(std::nearbyint(scaleY * static_cast<double>(H)));
    };
    switch (stretch) {
    case 0:
        scaleX = scaleY = 1;
        width = std::min(width, W);
        height = std::min(height, H);
        break;
    case 1:
        fit();
        break;
    case 2:
        scaleX = static_cast<float>(ratioX);
        scaleY = static_cast<float>(ratioY);
        break;
    case 3:
        if (ratioX > 1 && ratioY > 1) {
            scaleX = scaleY = 1;
            width = W;
            height = H;
        } else {
            fit();
        }
        break;
    case 4:
        scaleX = scaleY = 1;
        width = W;
        height = H;
        break;
    default:
        break;
    }
}

}  // namespace quill::gif
