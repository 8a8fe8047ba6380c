#pragma once
// Hands a portable reader's picture to the image object.
#include "imaging/DecodedImage.h"

namespace quill::imaging {

class cImage32;

// InitializeDIB at the picture's size, the pixels copied in, then SetAlpha
// and SetImageType. False (host without an image) when the picture is empty,
// its pixel count does not match its size, or the section cannot be made.
bool FillHostImage(cImage32& host, const DecodedImage& image);

// A reader's target that is the image object itself: the reader writes
// straight into its pixel memory (InitializeDIB), a failed read destroys
// the image, and the finished picture sets Alpha and ImageType.
class HostPixels final : public PixelTarget {
public:
    explicit HostPixels(cImage32& host) : host_(host) {}
    uint8_t* Allocate(int width, int height) override;
    void Discard() override;
    void Finish(bool alpha, int imageType) override;

private:
    cImage32& host_;
};

}  // namespace quill::imaging
