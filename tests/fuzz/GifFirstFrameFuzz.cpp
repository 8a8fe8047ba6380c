// Any bytes through the image library's GIF first-frame reader: the block
// walk and the own LZW decoder.
#include <cstdint>

#include "imaging/GifReader.h"
#include "tests/imaging/PictureChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quill::imaging::DecodedImage image;
    const auto result = quill::imaging::DecodeGif({data, size}, image);
    quill::imaging::test::CheckPicture(result, image);
    return 0;
}
