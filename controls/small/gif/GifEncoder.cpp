#include "controls/small/gif/GifEncoder.h"

#include <array>
#include <cstring>

namespace quill::gif {
namespace {

constexpr int32_t kHashSize = 5003;
constexpr int32_t kClearCode = 256;
constexpr int32_t kEndCode = 257;
constexpr int32_t kMaxCodes = 4096;

// Packs codes least significant bit first into data sub-blocks of 254 code
// bytes each, and a shorter last one.
class WriteGifSubBlocks {
public:
    explicit WriteGifSubBlocks(std::vector<uint8_t>& out) : out_(out) {}

    void Emit(int32_t code, int width)
    {
        accumulator_ |= static_cast<uint32_t>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            Stage(static_cast<uint8_t>(accumulator_));
            accumulator_ >>= 8;
            bits_ -= 8;
        }
    }

    void Flush()
    {
        if (bits_ > 0)
            Stage(static_cast<uint8_t>(accumulator_));
        accumulator_ = 0;
        bits_ = 0;
        if (staged_ > 0)
            WriteBlock();
    }

private:
    void Stage(uint8_t byte)
    {
        block_[++staged_] = byte;
        if (staged_ == 254)
            WriteBlock();
    }
    void WriteBlock()
    {
        block_[0] = static_cast<uint8_t>(staged_);
        out_.insert(out_.end(), block_.begin(), block_.begin() + staged_ + 1);
        staged_ = 0;
    }

    std::vector<uint8_t>& out_;
    std::array<uint8_t, 255> block_{};
    int staged_ = 0;
    uint32_t accumulator_ = 0;
    int bits_ = 0;
};

void PutWord(std::vector<uint8_t>& out, int32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

std::vector<uint8_t> EncodeFrameAsGif(const GifFrame& frame, const GifBitmapView& strip,
                                      const GifColorTable& table)
{
    std::vector<uint8_t> out;
    if (frame.Width < 1 || frame.Height < 1 || frame.Height > strip.height || frame.DataPos < 0 ||
        frame.DataPos + frame.Width > strip.width) {
        return out;
    }
    out.reserve(static_cast<size_t>(frame.Width) * frame.Height + 800);
    out.insert(out.end(), {'G', 'I', 'F', '8', '9', 'a'});
    PutWord(out, frame.Width);
    PutWord(out, frame.Height);
    out.insert(out.end(), {0x87, 0, 0});
    for (uint32_t e = 0; e < 256; ++e) {
        const uint32_t c = e < table[256] ? table[e] : 0;
        out.insert(out.end(),
                   {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    }
    if (frame.Transparent == 1)
        out.insert(out.end(), {0x21, 0xF9, 0x04, 1, 0, 0, frame.TransparentIndex, 0});
    out.push_back(0x2C);
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, frame.Width);
    PutWord(out, frame.Height);
    out.push_back(0);
    out.push_back(8);

    // Empty hash slots hold -1: a zero would make the pair (index 0, code 0)
    // match slot 0 before anything was stored there.
    std::vector<int32_t> hashTable(kHashSize, -1);
    std::vector<int32_t> codeTable(kHashSize, 0);
    WriteGifSubBlocks codes(out);
    int width = 9;
    auto largestCode = [&] { return (1 << width) - 1; };
    int32_t nextFree = kEndCode + 1;
    codes.Emit(kClearCode, width);
    int32_t prefix = -1;
    for (int32_t y = 0; y < frame.Height; ++y) {
        const uint8_t* row = strip.Row(y) + frame.DataPos;
        for (int32_t x = 0; x < frame.Width; ++x) {
            const int32_t c = row[x];
            if (prefix < 0) {
                prefix = c;
                continue;
            }
            const int32_t key = c * kMaxCodes + prefix;
            int32_t slot = (c << 4) ^ prefix;
            bool matched = hashTable[slot] == key;
            if (!matched && hashTable[slot] >= 0) {
                const int32_t step = slot == 0 ? 1 : kHashSize - slot;
                do {
                    slot -= step;
                    if (slot < 0)
                        slot += kHashSize;
                    matched = hashTable[slot] == key;
                } while (!matched && hashTable[slot] > 0);
            }
            if (matched) {
                prefix = codeTable[slot];
                continue;
            }
            codes.Emit(prefix, width);
            prefix = c;
            codeTable[slot] = nextFree;
            hashTable[slot] = key;
            if (nextFree > largestCode()) {
                if (nextFree == kMaxCodes) {
                    codes.Emit(kClearCode, width);
                    std::fill(hashTable.begin(), hashTable.end(), -1);
                    width = 9;
                    nextFree = kEndCode;
                } else {
                    ++width;
                }
            }
            ++nextFree;
        }
    }
    codes.Emit(prefix, width);
    // A decoder adds an entry for the last code too; the end code follows at
    // the width that entry leads it to.
    if (nextFree > largestCode() && width < 12)
        ++width;
    codes.Emit(kEndCode, width);
    codes.Flush();
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

}  // namespace quill::gif
