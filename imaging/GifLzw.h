#pragma once
// GIF image data: the LZW decoder and the order of an interlaced image's
// rows. One decoder serves the image library's first-frame reader, which
// wants all of an image's indices, and the animated picture's frame decoder,
// which takes them a line at a time and keeps what arrived before data that
// breaks off; so it is read in chunks of any size, and a string that runs
// across the end of a chunk is held over for the next.
#include <cstddef>
#include <cstdint>
#include <span>

namespace quill::imaging {

class GifLzwDecoder {
public:
    static constexpr bool CodeSizeAllowed(int minimumCodeSize)
    {
        return minimumCodeSize >= 1 && minimumCodeSize <= 8;
    }

    // The image's data sub-blocks start at `dataStart` of `file` (the first
    // one's size byte). Nothing is read beyond the end of `file` nor past the
    // terminating block: a block cut short by the end of the file gives what
    // it holds. A code size that is not allowed decodes nothing.
    GifLzwDecoder(std::span<const uint8_t> file, size_t dataStart, int minimumCodeSize);

    // Writes the next colour indices, `count` of them unless the data runs
    // out, reaches its end code or holds a code that is not in the table;
    // from then on nothing more comes. Every index is below
    // 2^minimumCodeSize.
    size_t Read(uint8_t* indices, size_t count);

private:
    static constexpr int MaxCodes = 4096;

    // The sub-blocks' bits, least significant first.
    struct Bits {
        const uint8_t* p = nullptr;
        const uint8_t* end = nullptr;
        size_t left = 0;  // bytes left in the current sub-block
        bool ended = false;
        uint64_t bits = 0;
        int count = 0;
    };
    // The next code of the given width, or -1 when the data runs out.
    static int NextCode(Bits& in, int width);
    static void Refill(Bits& in);

    Bits bits_;
    int minimumCodeSize_ = 0;
    int clear_ = 0;
    int codeSize_ = 0;
    int next_ = 0;
    int previous_ = -1;
    bool stopped_ = false;
    // A string that did not fit the last chunk: spill_[held_, heldEnd_).
    size_t held_ = 0;
    size_t heldEnd_ = 0;
    // The string table: each code's last index, the code before it, its
    // first index and its length.
    uint16_t prefix_[MaxCodes];
    uint8_t suffix_[MaxCodes];
    uint8_t first_[MaxCodes];
    uint16_t length_[MaxCodes];
    uint8_t spill_[MaxCodes];
};

// The rows of an image in the order its lines are stored: top to bottom, or
// for an interlaced image every eighth from 0, every eighth from 4, every
// fourth from 2, every second from 1.
class GifRowOrder {
public:
    GifRowOrder(int32_t height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int32_t Current() const { return row_; }
    void Advance()
    {
        if (!interlaced_) {
            ++row_;
            return;
        }
        static constexpr int Start[4] = {0, 4, 2, 1};
        static constexpr int Step[4] = {8, 8, 4, 2};
        row_ += Step[pass_];
        while (row_ >= height_ && pass_ < 3)
            row_ = Start[++pass_];
    }

private:
    int32_t height_;
    bool interlaced_;
    int pass_ = 0;
    int32_t row_ = 0;
};

}  // namespace quill::imaging
