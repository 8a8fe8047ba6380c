#pragma once
// GIF files made in the tests, block by block: colour tables of every size,
// transparency, interlace, several frames, extensions, and the damaged or
// odd blocks the reader must cope with. The LZW data comes from a plain
// encoder here; giflib's decoding of it is the reference.
#include <cstdint>
#include <string>
#include <vector>

namespace quill::imaging::test {

using Bytes = std::vector<uint8_t>;

// GIF LZW data for colour indices (without the sub-block framing). A full
// table starts again with a clear code, or, without `clearWhenFull`, is kept
// as it is for the rest of the data, as some encoders do.
Bytes GifLzwEncode(const std::vector<uint8_t>& indices, int minimumCodeSize, bool clearWhenFull = true);
// Data cut into sub-blocks of at most 255 bytes, with the terminating 0.
Bytes GifSubBlocks(const Bytes& data);

struct GifFrameSpec {
    int left = 0, top = 0, width = 4, height = 4;
    int localBits = 0;  // local colour table of 2^localBits entries; 0: none
    bool interlace = false;
    int transparent = -1;  // -1: no graphic control extension
    int gceSize = 4;       // the extension's size byte
    uint32_t seed = 1;
};

struct GifSpec {
    std::string signature = "GIF89a";
    int width = 4, height = 4;
    int globalBits = 2;  // global colour table of 2^globalBits entries; 0: none
    bool comment = false;
    bool loop = false;
    std::vector<GifFrameSpec> frames{GifFrameSpec{}};
};

// The colour indices of a frame (row by row, top first), within its table.
std::vector<uint8_t> GifFrameIndices(const GifSpec& gif, const GifFrameSpec& frame);
Bytes BuildGif(const GifSpec& spec);
std::string Describe(const GifSpec& spec);
std::vector<GifSpec> GifMatrix();

}  // namespace quill::imaging::test
