#pragma once
// Icon (ICO) and cursor (CUR) files: the directory and its checks, choosing
// the image that best fits a requested size, and turning a bitmap image
// (colour bits plus AND mask) or a PNG image into premultiplied pixels.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "imaging/DecodedImage.h"

namespace quill::imaging {

struct IconEntry {
    uint8_t width = 0;      // 0 means 256
    uint8_t height = 0;     // 0 means 256
    uint16_t bitCount = 0;  // from the image's own header when it has one
    uint32_t bytesInRes = 0;
    uint32_t imageOffset = 0;
    bool png = false;
    uint32_t headerSize = 0;  // bitmap images: the size of their header

    int EntryWidth() const { return width == 0 ? 256 : width; }
    int EntryHeight() const { return height == 0 ? 256 : height; }
};

struct IconDirectory {
    int type = 0;  // 1 icon, 2 cursor
    std::vector<IconEntry> entries;
};

// Reads the directory and checks every entry against the data: the image
// lies inside it, a bitmap image's header, palette, colour bits and AND mask
// lie inside the entry, a PNG image has at least a signature and a header.
// False when the bytes are not a valid icon or cursor file.
bool ReadIconDirectory(std::span<const uint8_t> bytes, IconDirectory& directory);

// The entry (from 1) that best fits the requested size: the exact size at 32
// bits first, else the nearest, larger sizes preferred; 0 for none.
int PickBestEntry(const IconDirectory& directory, int requestedWidth, int requestedHeight);

// Reads PNG images stored in an icon; the image object passes its own PNG
// reader (GDI+ first), which may fill the picture without the target. Its
// verdict's alpha is kept; the type becomes PngInIcon.
using IconPngReader = std::function<ReadResult(std::span<const uint8_t> png, PixelTarget& target)>;

// NotMine when the directory is refused; otherwise NoImage or Image. A
// requested size below 1 counts as 32. The bytes are only read.
ReadResult DecodeIcon(std::span<const uint8_t> bytes, int requestedWidth, int requestedHeight,
                      const IconPngReader& readPng, PixelTarget& target);

// The AND mask decides the alpha of pixels read from an icon's colour bits:
// a set bit clears the pixel, a clear bit makes it opaque. `mask` holds
// `height` rows of (width + 31) / 32 x 4 bytes, bottom-up like `pixels`.
// True when a pixel was cleared.
bool ApplyIconMask(uint8_t* pixels, int width, int height, const uint8_t* mask);

}  // namespace quill::imaging
