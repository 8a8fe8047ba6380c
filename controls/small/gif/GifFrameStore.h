#pragma once
// The animated picture's frame store: walks a GIF's blocks, records each
// image as a frame, keeps every colour table and decodes the frames into one
// 8-bit strip of raw colour indices. No platform calls: the control lays the
// strip over its own DIB section.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quill::gif {

struct GifFrame {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t DelayMs = 0;
    int32_t ColorTableSlot = 0;  // 0 = global table, n = n-th local table
    int32_t DataPos = 0;         // file position while walking; strip x once built
    uint8_t TransparentIndex = 0;
    uint8_t Transparent = 0;
    uint8_t Disposal = 0;
};

struct GifBlockSpan {
    int32_t length = 0;
    int32_t start = 0;  // 1-based position of the image separator
};

struct GifHeaderInfo {
    int32_t width = 0;
    int32_t height = 0;
    int32_t loops = 0;
    float scaleX = 0;
    float scaleY = 0;
};

// One colour table: entries 0..n-1 as 0x00RRGGBB, entry 256 = n.
using GifColorTable = std::array<uint32_t, 257>;

struct ColorTableStore {
    int32_t ColorTableCount = 0;
    std::vector<GifColorTable> table;  // slot 0 = global, 1.. = local tables
};

// An 8-bit (or any depth) bitmap held in memory; picture row y is stored at
// storage row height-1-y when the rows run bottom-up, as in a DIB section.
struct GifBitmapView {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    bool bottomUp = true;
    uint8_t* Row(int32_t y) const
    {
        return bits + static_cast<size_t>(bottomUp ? height - 1 - y : y) * static_cast<size_t>(stride);
    }
};

// The byte length of one DIB row.
int32_t ScanlineBytes(int32_t width, uint8_t bitsPerPixel);

// How the first build pass lays the strip out and whether a canvas is needed.
struct GifStripPlan {
    int32_t stripWidth = 0;
    int32_t stripHeight = 0;
    bool someTransparent = false;
    bool needsCanvas = false;
    bool UsesMask = false;
    int32_t largestSpan = 0;
};

// Largest strip and canvas the control builds; a file asking for more is
// refused as unreadable rather than allowed to claim gigabytes.
inline constexpr int64_t kMaxGifPixels = int64_t{1} << 24;

class GifFrameStore {
public:
    // Takes a copy of the file; the walk and the rebuilds read from it.
    void SetGifBytes(std::span<const uint8_t> bytes);
    void EraseGifBytes() { GifBytes.clear(); }
    const std::vector<uint8_t>& Bytes() const { return GifBytes; }

    // Empties the store (frames, tables, header) but keeps the file bytes.
    void Reset();

    // Walks the blocks; returns the number of frames recorded.
    int16_t ParseGifStream();

    // Lays out the strip for a first build pass; false when the sizes the file
    // asks for are out of bounds.
    bool PlanFrameStrip(bool designTime, GifStripPlan& plan) const;

    // Sets up the rebuild buffer: the file's first 13 bytes and the index
    // colour table (entry i = 0, 0, i).
    void StartRebuild(int32_t largestSpan);
    // Rebuilds frame i (1-based) as a complete one-frame GIF and returns its
    // bytes (valid until the next rebuild); also turns the frame's DataPos into
    // its x in the strip.
    std::span<const uint8_t> RebuildFrame(int32_t i);
    void EndRebuild();

    // Rebuilds frame i and decodes it into the strip at its strip x.
    void BuildFrame(int32_t i, const GifBitmapView& strip);

    std::vector<GifFrame> Frames;
    std::vector<GifBlockSpan> BlockSpans;
    ColorTableStore ColorTables;
    GifHeaderInfo Header;

private:
    uint8_t ReadGifByte();
    uint16_t ReadGifWord();
    void ReadGifBytes(int32_t count);
    void SkipGifSubBlocks();
    void ReadColorTable(int32_t slot, int bits);

    std::vector<uint8_t> GifBytes;  // the file, 1-based positions map to index - 1
    int32_t ReadPos = 0;
    std::vector<uint8_t> Scratch;
    std::vector<uint8_t> FrameGifBuffer;
    bool hasGlobalTable = false;
};

}  // namespace quill::gif
