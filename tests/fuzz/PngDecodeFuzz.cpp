// Any bytes behind a PNG signature through the PNG reader's own decoder:
// the chunk walk, header checks, the own inflater and the scanlines. The
// last byte chooses whether a zlib library is bound (CRCs checked,
// its inflate tried first) or not.
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/PngReader.h"
#include "tests/imaging/PictureChecks.h"
#include "tests/imaging/LinkedZlib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool withZlib = data[size - 1] & 1;
    // The signature is put in front when missing, so the walk is reached.
    std::vector<uint8_t> bytes(data, data + size);
    static const uint8_t signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0)
        bytes.insert(bytes.begin(), signature, signature + 8);
    quill::imaging::test::LinkedZlib zlib;
    quill::imaging::DecodedImage image;
    const auto result = quill::imaging::DecodePng(bytes, withZlib ? &zlib : nullptr, image);
    if (result.verdict == quill::imaging::ReadVerdict::NotMine)
        std::abort();
    quill::imaging::test::CheckPicture(result, image);
    return 0;
}
