#include "tests/support/DibCanvas.h"

namespace quill::test {

DibCanvas::DibCanvas(int width, int height)
    : width_(width), height_(height), dc_(nullptr),
      bitmap_(forms::gdi::TopDownDib(dc_, width, height, bits_)), selected_(dc_, bitmap_)
{
}

std::vector<uint32_t> DibCanvas::Pixels() const
{
    GdiFlush();
    std::vector<uint32_t> px;
    if (!bits_)
        return px;
    px.reserve(size_t(width_) * height_);
    for (size_t i = 0; i < size_t(width_) * height_; ++i) {
        const uint32_t p = bits_[i];
        px.push_back(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
    }
    return px;
}

}  // namespace quill::test
