#pragma once
// Small GIF files for the animated picture's tests: read from the corpus, or
// written by hand where a test needs one exact layout.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/WholeFile.h"

namespace quill::gif::test {

using quill::test::ReadWholeFileBytes;

inline std::string CorpusDir()
{
    return std::string(QUILL_SOURCE_DIR) + "/tests/small/gif_corpus/";
}

inline const std::vector<std::string>& CorpusNames()
{
    static const std::vector<std::string> names = {
        "all_disposals.gif", "background_transparent.gif", "delta_optimized.gif", "interlaced.gif",
        "keep_offsets.gif",  "local_tables.gif",           "noisy.gif",           "previous_over_base.gif",
        "single_frame.gif",  "undefined_disposal.gif",     "wide_line.gif"};
    return names;
}

struct HandFrame {
    int left = 0, top = 0, width = 1, height = 1;
    std::vector<uint8_t> pixels{};  // width x height indices, rows top to bottom
    int disposal = -1;              // -1: no graphic control extension
    int delayCs = 0;
    int transparentIndex = -1;           // -1: opaque
    std::vector<uint32_t> localTable{};  // 0x00RRGGBB; empty: use the global table
};

// Writes a GIF whose image data are literal 9-bit codes with a clear code
// every 250 codes, so no decoder's string table ever grows past 9 bits.
class HandGif {
public:
    HandGif(int width, int height,
            std::vector<uint32_t> globalTable = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00})
        : width_(width), height_(height), global_(std::move(globalTable))
    {
    }

    HandGif& Loops(int count)
    {
        loops_ = count;
        return *this;
    }
    HandGif& Add(HandFrame frame)
    {
        frames_.push_back(std::move(frame));
        return *this;
    }

    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
        Word(out, width_);
        Word(out, height_);
        out.push_back(global_.empty() ? 0 : static_cast<uint8_t>(0x80 | TableBits(global_)));
        out.push_back(0);
        out.push_back(0);
        Table(out, global_);
        if (loops_ >= 0) {
            out.insert(out.end(),
                       {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1});
            Word(out, loops_);
            out.push_back(0);
        }
        for (const HandFrame& f : frames_) {
            if (f.disposal >= 0) {
                out.insert(out.end(), {0x21, 0xF9, 4});
                out.push_back(static_cast<uint8_t>((f.disposal << 2) | (f.transparentIndex >= 0 ? 1 : 0)));
                Word(out, f.delayCs);
                out.push_back(static_cast<uint8_t>(f.transparentIndex >= 0 ? f.transparentIndex : 0));
                out.push_back(0);
            }
            out.push_back(0x2C);
            Word(out, f.left);
            Word(out, f.top);
            Word(out, f.width);
            Word(out, f.height);
            out.push_back(f.localTable.empty() ? 0 : static_cast<uint8_t>(0x80 | TableBits(f.localTable)));
            Table(out, f.localTable);
            ImageData(out, f.pixels.empty() ? std::vector<uint8_t>(size_t(f.width) * f.height, 0) : f.pixels);
        }
        out.push_back(0x3B);
        return out;
    }

private:
    static void Word(std::vector<uint8_t>& out, int v)
    {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    static int TableBits(const std::vector<uint32_t>& t)
    {
        int bits = 0;
        while ((2u << bits) < t.size())
            ++bits;
        return bits;
    }
    static void Table(std::vector<uint8_t>& out, const std::vector<uint32_t>& t)
    {
        if (t.empty())
            return;
        const size_t n = size_t{2} << TableBits(t);
        for (size_t i = 0; i < n; ++i) {
            const uint32_t c = i < t.size() ? t[i] : 0;
            out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        }
    }
    static void ImageData(std::vector<uint8_t>& out, const std::vector<uint8_t>& pixels)
    {
        out.push_back(8);
        std::vector<uint8_t> data;
        uint32_t acc = 0;
        int bits = 0;
        auto emit = [&](int code) {
            acc |= uint32_t(code) << bits;
            bits += 9;
            while (bits >= 8) {
                data.push_back(uint8_t(acc));
                acc >>= 8;
                bits -= 8;
            }
        };
        for (size_t i = 0; i < pixels.size(); ++i) {
            if (i % 250 == 0)
                emit(256);
            emit(pixels[i]);
        }
        emit(257);
        if (bits)
            data.push_back(uint8_t(acc));
        for (size_t i = 0; i < data.size(); i += 255) {
            const size_t n = std::min<size_t>(255, data.size() - i);
            out.push_back(uint8_t(n));
            out.insert(out.end(), data.begin() + i, data.begin() + i + n);
        }
        out.push_back(0);
    }

    int width_, height_;
    std::vector<uint32_t> global_;
    int loops_ = -1;
    std::vector<HandFrame> frames_;
};

}  // namespace quill::gif::test
