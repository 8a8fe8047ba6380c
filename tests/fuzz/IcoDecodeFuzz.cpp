// Any bytes through the ICO/CUR reader: the directory checks, the choice of
// entry, bitmap entries and PNG entries (through the own PNG decoder), at a
// few requested sizes. The caller's bytes must come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/IcoReader.h"
#include "imaging/PngReader.h"
#include "tests/imaging/PictureChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> bytes(data, data + size);
    const std::vector<uint8_t> before = bytes;
    const auto readPng = [](std::span<const uint8_t> png, quill::imaging::PixelTarget& target) {
        return quill::imaging::DecodePng(png, nullptr, target);
    };
    for (int requested : {0, 16, 48, 256}) {
        quill::imaging::DecodedImage image;
        const auto result = quill::imaging::DecodeIcon(bytes, requested, requested, readPng, image);
        quill::imaging::test::CheckPicture(result, image);
        if (bytes != before)
            std::abort();
    }
    return 0;
}
