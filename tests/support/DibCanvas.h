#pragma once
// A picture in its own memory DC: tests draw into it with the platform's
// calls and read back what was drawn.
#include "forms/Gdi.h"

#include <cstdint>
#include <vector>

namespace quill::test {

// width x height pixels, 32 bits each, black to start with.
class DibCanvas {
public:
    DibCanvas(int width, int height);
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC Dc() const { return dc_; }
    // Row by row from the top, as colour values (red in the low byte), once
    // the platform has finished drawing.
    std::vector<uint32_t> Pixels() const;

private:
    int width_, height_;
    uint32_t* bits_ = nullptr;
    forms::gdi::MemoryDc dc_;
    forms::gdi::BitmapHandle bitmap_;
    forms::gdi::Selection selected_;
};

}  // namespace quill::test
