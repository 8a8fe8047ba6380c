#pragma once
// giflib reading a GIF from memory: the reference the frame store is
// checked and timed against.
#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quill::gif::test {

struct GiflibMemoryReader {
    const std::vector<uint8_t>* bytes;
    size_t pos = 0;
};

inline int GiflibReadFromMemory(GifFileType* gif, GifByteType* buf, int n)
{
    auto* r = static_cast<GiflibMemoryReader*>(gif->UserData);
    const size_t take = std::min<size_t>(size_t(n), r->bytes->size() - r->pos);
    std::memcpy(buf, r->bytes->data() + r->pos, take);
    r->pos += take;
    return int(take);
}

// The whole file read by DGifSlurp; `gif` is null when giflib refuses it.
struct GiflibFile {
    explicit GiflibFile(const std::vector<uint8_t>& bytes) : reader{&bytes}
    {
        int error = 0;
        gif = DGifOpen(&reader, GiflibReadFromMemory, &error);
        if (gif && DGifSlurp(gif) != GIF_OK) {
            DGifCloseFile(gif, &error);
            gif = nullptr;
        }
    }
    ~GiflibFile()
    {
        int error = 0;
        if (gif)
            DGifCloseFile(gif, &error);
    }
    GiflibFile(const GiflibFile&) = delete;
    GiflibFile& operator=(const GiflibFile&) = delete;

    GiflibMemoryReader reader;
    GifFileType* gif = nullptr;
};

}  // namespace quill::gif::test
