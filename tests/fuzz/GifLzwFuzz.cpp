// Any bytes through the shared GIF LZW decoder, as the data sub-blocks of an
// image: the first byte gives the minimum code size (0 to 15, so that sizes
// it must refuse come too) and the second the size of the chunks it is read
// in. Read in those chunks it must give the same indices as in one chunk,
// every index below 2^codeSize, nothing after it has stopped; and what it
// gave must come back unchanged through an encoder and the decoder again
// (for the code sizes encoders write).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "imaging/GifLzw.h"
#include "tests/imaging/GifBuild.h"

namespace {

// Bounds the work per input: the indices a long input can give grow with
// the square of its size.
constexpr size_t MostIndices = size_t{1} << 16;

std::vector<uint8_t> Read(std::span<const uint8_t> blocks, int codeSize, size_t chunk)
{
    quill::imaging::GifLzwDecoder lzw(blocks, 0, codeSize);
    std::vector<uint8_t> out(MostIndices);
    size_t done = 0;
    while (done < out.size()) {
        const size_t want = std::min(chunk, out.size() - done);
        const size_t got = lzw.Read(out.data() + done, want);
        done += got;
        if (got < want) {
            uint8_t more;
            if (lzw.Read(&more, 1) != 0)
                std::abort();  // it stopped, and came back
            break;
        }
    }
    out.resize(done);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int codeSize = data[0] & 15;
    const size_t chunk = size_t(data[1]) + 1;
    const std::span<const uint8_t> blocks(data + 2, size - 2);
    const std::vector<uint8_t> whole = Read(blocks, codeSize, MostIndices);
    if (Read(blocks, codeSize, chunk) != whole)
        std::abort();
    if (!quill::imaging::GifLzwDecoder::CodeSizeAllowed(codeSize)) {
        if (!whole.empty())
            std::abort();
        return 0;
    }
    for (uint8_t index : whole)
        if (index >> codeSize)
            std::abort();
    // Encoders write code sizes from 2 on (a 1-bit image's data too).
    if (codeSize < 2)
        return 0;
    const auto again =
        quill::imaging::test::GifSubBlocks(quill::imaging::test::GifLzwEncode(whole, codeSize));
    if (Read(again, codeSize, chunk) != whole)
        std::abort();
    return 0;
}
