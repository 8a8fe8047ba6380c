#pragma once
// The zlib the tests link, as the PNG reader's zlib binding.
#include <zlib.h>

#include <algorithm>
#include <climits>

#include "imaging/PngReader.h"

namespace quill::imaging::test {

class LinkedZlibStream final : public imaging::ZlibStream {
public:
    ~LinkedZlibStream() override { inflateEnd(&z_); }
    bool Start() { return inflateInit(&z_) == Z_OK; }
    ZlibStep Inflate(std::span<const uint8_t> input, std::span<uint8_t> output, size_t& consumed,
                     size_t& produced) override
    {
        z_.next_in = const_cast<Bytef*>(input.data());
        z_.avail_in = uInt(std::min<size_t>(input.size(), UINT_MAX));
        z_.next_out = output.data();
        z_.avail_out = uInt(std::min<size_t>(output.size(), UINT_MAX));
        const int code = inflate(&z_, Z_NO_FLUSH);
        consumed = size_t(z_.next_in - input.data());
        produced = size_t(z_.next_out - output.data());
        return ZlibStepOf(code);
    }

private:
    z_stream z_{};
};

class LinkedZlib final : public imaging::ZlibBinding {
public:
    uint32_t Crc32(const uint8_t* data, size_t size) override { return uint32_t(crc32(0, data, uInt(size))); }
    std::unique_ptr<ZlibStream> InflateInit() override
    {
        auto stream = std::make_unique<LinkedZlibStream>();
        return stream->Start() ? std::move(stream) : nullptr;
    }
};

}  // namespace quill::imaging::test
