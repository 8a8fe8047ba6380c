#pragma once
// Hands a portable reader's picture to the image object.
#include "imaging/DecodedImage.h"

namespace quill::imaging {

class cImage32;

// InitializeDIB at the picture's size, the pixels copied in, then SetAlpha
// and SetImageType. False (host without an image) when the picture is empty,
// its pixel count does not match its size, or the section cannot be made.
bool FillHostImage(cImage32& host, const DecodedImage& image);

}  // namespace quill::imaging
