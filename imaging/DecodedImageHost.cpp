#include "imaging/DecodedImageHost.h"

#include <cstring>

#include "imaging/cImage32.h"

namespace quill::imaging {

bool FillHostImage(cImage32& host, const DecodedImage& image)
{
    if (image.width < 1 || image.height < 1 ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
        host.DestroyDIB();
        return false;
    }
    if (!host.InitializeDIB(image.width, image.height))
        return false;
    std::memcpy(host.BitsPointer(), image.pixels.data(), image.pixels.size() * 4);
    host.SetAlpha(image.alpha);
    host.SetImageType(image.imageType);
    return true;
}

uint8_t* HostPixels::Allocate(int width, int height)
{
    if (!PictureSizeAllowed(width, height) || !host_.InitializeDIB(width, height))
        return nullptr;
    return reinterpret_cast<uint8_t*>(host_.BitsPointer());
}

void HostPixels::Discard()
{
    host_.DestroyDIB();
}

void HostPixels::Finish(bool alpha, int imageType)
{
    host_.SetAlpha(alpha);
    host_.SetImageType(imageType);
}

}  // namespace quill::imaging
