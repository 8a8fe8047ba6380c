#include "controls/small/gif/GifFrameStore.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "controls/small/gif/GifFrameDecoder.h"

namespace quill::gif {
namespace {

// Raised by the byte readers when the file ends; the walk catches it and keeps
// the frames it has.
struct GifEndOfFile {};

constexpr int32_t kRebuildHeader = 781;  // signature, screen descriptor, 256-entry table
// The frame count is a signed 16-bit value whose span table grows by five:
// the growth past 32767 ends the walk before frame 32765 is complete.
constexpr int32_t kFrameLimit = 32765;
// The most pixels one LZW code can stand for, and the fewest bits per code.
constexpr int64_t kPixelsPerCode = 4096;
constexpr int64_t kCodesPerByte = 4;

bool EqualsIgnoreCase(const std::vector<uint8_t>& bytes, const char* text)
{
    size_t n = std::strlen(text);
    if (bytes.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(bytes[i]) != std::tolower(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

}  // namespace

int32_t ScanlineBytes(int32_t width, uint8_t bitsPerPixel)
{
    int64_t bits = int64_t{width} * bitsPerPixel + 31;
    return static_cast<int32_t>((bits & ~int64_t{31}) / 8);
}

void GifFrameStore::SetGifBytes(std::span<const uint8_t> bytes)
{
    GifBytes.assign(bytes.begin(), bytes.end());
}

void GifFrameStore::Reset()
{
    // Buffers keep their room for the next load.
    Frames.clear();
    BlockSpans.clear();
    ColorTables.ColorTableCount = 0;
    ColorTables.table.clear();
    Header = {};
    ReadPos = 0;
    Scratch.clear();
    FrameGifBuffer.clear();
    hasGlobalTable = false;
}

uint8_t GifFrameStore::ReadGifByte()
{
    if (ReadPos < 1 || ReadPos > static_cast<int32_t>(GifBytes.size()))
        throw GifEndOfFile{};
    return GifBytes[ReadPos++ - 1];
}

uint16_t GifFrameStore::ReadGifWord()
{
    if (ReadPos < 1 || ReadPos + 1 > static_cast<int32_t>(GifBytes.size()))
        throw GifEndOfFile{};
    uint16_t value = static_cast<uint16_t>(GifBytes[ReadPos - 1] | (GifBytes[ReadPos] << 8));
    ReadPos += 2;
    return value;
}

void GifFrameStore::ReadGifBytes(int32_t count)
{
    Scratch.assign(static_cast<size_t>(count), 0);
    if (int64_t{ReadPos} + count - 1 > static_cast<int64_t>(GifBytes.size()))
        return;
    std::copy_n(GifBytes.begin() + (ReadPos - 1), count, Scratch.begin());
    ReadPos += count;
}

void GifFrameStore::SkipGifSubBlocks()
{
    const int32_t size = static_cast<int32_t>(GifBytes.size());
    while (ReadPos <= size && GifBytes[ReadPos - 1] != 0)
        ReadPos += GifBytes[ReadPos - 1] + 1;
    ReadPos += 1;
}

void GifFrameStore::ReadColorTable(int32_t slot, int bits)
{
    if (static_cast<int32_t>(ColorTables.table.size()) < slot + 1)
        ColorTables.table.resize(slot + 1, GifColorTable{});
    const int32_t n = 1 << bits;
    // At least one byte must follow the table.
    if (int64_t{ReadPos} + 3 * n > static_cast<int64_t>(GifBytes.size()))
        throw GifEndOfFile{};
    GifColorTable& entries = ColorTables.table[slot];
    for (int32_t i = 0; i < n; ++i) {
        const uint8_t* p = &GifBytes[ReadPos - 1];
        entries[i] = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        ReadPos += 3;
    }
    entries[256] = static_cast<uint32_t>(n);
}

int16_t GifFrameStore::ParseGifStream()
{
    int16_t count = 0;
    BlockSpans.assign(10, GifBlockSpan{});
    ColorTables.table.assign(1, GifColorTable{});
    ReadPos = 1;
    try {
        ReadGifBytes(6);
        if (!EqualsIgnoreCase(Scratch, "gif89a") && !EqualsIgnoreCase(Scratch, "gif87a"))
            return 0;
        ReadPos = 11;
        const uint8_t screenFlags = ReadGifByte();
        ReadPos = 14;
        if (screenFlags & 0x80) {
            ColorTables.ColorTableCount = 0;
            ReadColorTable(0, (screenFlags & 7) + 1);
            hasGlobalTable = true;
        }
        GifFrame working;
        for (;;) {
            const uint8_t block = ReadGifByte();
            if (block == 0x00)
                continue;
            if (block == 0x21) {
                const uint8_t label = ReadGifByte();
                if (label == 0xFF) {
                    const uint8_t n = ReadGifByte();
                    ReadGifBytes(n);
                    if (EqualsIgnoreCase(Scratch, "NETSCAPE2.0")) {
                        const uint8_t s = ReadGifByte();
                        if (s == 3) {
                            ReadPos += 1;
                            Header.loops = ReadGifWord();
                        } else {
                            ReadPos -= 1;
                        }
                    }
                    SkipGifSubBlocks();
                } else if (label == 0xF9) {
                    working = GifFrame{};
                    working.DataPos = ReadPos - 2;
                    ReadGifByte();
                    const uint8_t packed = ReadGifByte();
                    working.Disposal = (packed >> 2) & 3;
                    if (working.Disposal == 3 && count == 0)
                        working.Disposal = 0;
                    working.DelayMs = ReadGifWord() * 10;
                    working.Transparent = packed & 1;
                    if (working.Transparent == 1) {
                        working.TransparentIndex = ReadGifByte();
                    } else {
                        ReadPos = working.DataPos + 7;
                    }
                    SkipGifSubBlocks();
                } else {
                    SkipGifSubBlocks();
                }
                continue;
            }
            if (block != 0x2C)
                break;  // the trailer, or anything that cannot start a block
            if (count + 1 >= kFrameLimit)
                break;
            GifBlockSpan& span = BlockSpans[count];
            span.start = ReadPos - 1;
            if (working.DataPos == 0)
                working.DataPos = span.start;
            working.Left = ReadGifWord();
            working.Top = ReadGifWord();
            working.Width = ReadGifWord();
            working.Height = ReadGifWord();
            const uint8_t imageFlags = ReadGifByte();
            if (imageFlags & 0x80) {
                working.ColorTableSlot = ColorTables.ColorTableCount + 1;
                ReadColorTable(working.ColorTableSlot, (imageFlags & 7) + 1);
                ColorTables.ColorTableCount = working.ColorTableSlot;
            } else if (!hasGlobalTable) {
                Frames.clear();
                return 0;
            }
            ReadGifByte();
            SkipGifSubBlocks();
            count += 1;
            // Data that runs past the end keeps only the bytes present.
            span.length = std::min<int32_t>(ReadPos, static_cast<int32_t>(GifBytes.size()) + 1) - span.start;
            if (count == static_cast<int16_t>(BlockSpans.size()))
                BlockSpans.resize(count + 5);
            Frames.push_back(working);
            Header.width = std::max(Header.width, working.Left + working.Width);
            Header.height = std::max(Header.height, working.Top + working.Height);
            working = GifFrame{};
        }
    } catch (const GifEndOfFile&) {
    }
    BlockSpans.resize(count);
    return count;
}

bool GifFrameStore::PlanFrameStrip(bool designTime, GifStripPlan& plan) const
{
    plan = {};
    if (Frames.empty())
        return false;
    int64_t stripWidth = 0;
    bool allRestoreToBackground = true;
    bool someFrameRestores = false;
    for (size_t i = 0; i < Frames.size(); ++i) {
        const GifFrame& f = Frames[i];
        stripWidth += f.Width;
        plan.stripHeight = std::max(plan.stripHeight, f.Height);
        if (f.Transparent == 1)
            plan.someTransparent = true;
        plan.largestSpan = std::max(plan.largestSpan, BlockSpans[i].length);
        if (f.Disposal != 2)
            allRestoreToBackground = false;
        if (f.Disposal == 2 || f.Disposal == 3)
            someFrameRestores = true;
    }
    const GifFrame& first = Frames[0];
    size_t framesToCheck = Frames.size();
    if (designTime || Frames.size() == 1) {
        stripWidth = first.Width;
        plan.stripHeight = first.Height;
        framesToCheck = 1;
    } else if (!allRestoreToBackground) {
        plan.needsCanvas = true;
        plan.UsesMask = someFrameRestores;
        if (!plan.UsesMask) {
            plan.UsesMask =
                first.Transparent == 1 ||
                (plan.someTransparent && (first.Height != Header.height || first.Width != Header.width));
        }
    }
    // Bounds: the strip and canvas sizes, and no frame larger than its own data
    // could describe.
    if (stripWidth < 1 || plan.stripHeight < 1)
        return false;
    if (stripWidth * plan.stripHeight > kMaxGifPixels)
        return false;
    if (plan.needsCanvas && int64_t{Header.width} * Header.height > kMaxGifPixels)
        return false;
    for (size_t i = 0; i < framesToCheck; ++i) {
        const int64_t pixels = int64_t{Frames[i].Width} * Frames[i].Height;
        if (pixels > int64_t{BlockSpans[i].length} * kCodesPerByte * kPixelsPerCode)
            return false;
    }
    plan.stripWidth = static_cast<int32_t>(stripWidth);
    return true;
}

void GifFrameStore::StartRebuild(int32_t largestSpan)
{
    FrameGifBuffer.assign(static_cast<size_t>(largestSpan) + 790, 0);
    std::copy_n(GifBytes.begin(), std::min<size_t>(13, GifBytes.size()), FrameGifBuffer.begin());
    for (int i = 0; i < 256; ++i)
        FrameGifBuffer[13 + 3 * i + 2] = static_cast<uint8_t>(i);
    FrameGifBuffer[10] |= 0x87;
}

void GifFrameStore::EndRebuild()
{
    // Emptied, with its room kept for the next load's rebuilds.
    FrameGifBuffer.clear();
    Scratch.clear();
}

std::span<const uint8_t> GifFrameStore::RebuildFrame(int32_t i)
{
    GifFrame& frame = Frames[i - 1];
    const GifBlockSpan& span = BlockSpans[i - 1];
    // Positions below are 1-based, as in the file.
    auto at = [this](int32_t pos) -> uint8_t& { return FrameGifBuffer[pos - 1]; };
    int32_t out = kRebuildHeader + 1;
    if (span.start != frame.DataPos && frame.DataPos + 7 <= static_cast<int32_t>(GifBytes.size())) {
        std::copy_n(GifBytes.begin() + (frame.DataPos - 1), 8, FrameGifBuffer.begin() + (out - 1));
        at(785) &= ~uint8_t{1};  // the strip holds raw indices: no pixel is see-through
        out = 790;
    }
    std::copy_n(GifBytes.begin() + (span.start - 1), span.length, FrameGifBuffer.begin() + (out - 1));
    for (int k = 1; k <= 4; ++k)
        at(out + k) = 0;
    for (int k = 0; k < 4; ++k)
        at(7 + k) = at(out + 5 + k);
    if (frame.ColorTableSlot != 0) {
        const int32_t n = 1 << ((at(out + 9) & 7) + 1);
        for (int32_t e = 0; e < n; ++e) {
            at(out + 10 + 3 * e) = 0;
            at(out + 11 + 3 * e) = 0;
            at(out + 12 + 3 * e) = static_cast<uint8_t>(e);
        }
    }
    out += span.length;
    at(out) = 0x3B;
    frame.DataPos = i == 1 ? 0 : Frames[i - 2].DataPos + Frames[i - 2].Width;
    return {FrameGifBuffer.data(), static_cast<size_t>(out)};
}

void GifFrameStore::BuildFrame(int32_t i, const GifBitmapView& strip)
{
    std::span<const uint8_t> rebuilt = RebuildFrame(i);
    const GifFrame& frame = Frames[i - 1];
    DecodeOneFrameGif(rebuilt, strip, frame.DataPos, 0, frame.Width, frame.Height);
}

}  // namespace quill::gif
