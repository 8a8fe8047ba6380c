#pragma once
// The zlib the tests link, as the PNG reader's zlib binding.
#include <zlib.h>

#include "imaging/PngReader.h"

namespace quill::imaging::test {

class LinkedZlib final : public imaging::ZlibBinding {
public:
    uint32_t Crc32(const uint8_t* data, size_t size) override { return uint32_t(crc32(0, data, uInt(size))); }
    bool Uncompress(uint8_t* dest, size_t* destSize, const uint8_t* src, size_t srcSize) override
    {
        uLongf size = uLongf(*destSize);
        const bool ok = uncompress(dest, &size, src, uLong(srcSize)) == Z_OK;
        *destSize = size;
        return ok;
    }
};

}  // namespace quill::imaging::test
