#include "imaging/BmpFormat.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "imaging/modParsers.h"

namespace quill::imaging {

namespace {

constexpr size_t FileHeaderBytes = 14;
constexpr uint32_t InfoHeaderBytes = 40;

}  // namespace

namespace {

// The fields of a BMP header, read from an information header (40 bytes or
// more) or the old core header (12 bytes).
struct Header {
    uint32_t headerSize = 0;
    uint32_t dataOffset = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint16_t bits = 0;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
};

bool ReadHeader(std::span<const uint8_t> stream, Header& h)
{
    if (stream.size() < FileHeaderBytes + 12)
        return false;
    const uint8_t* p = stream.data();
    h.dataOffset = ReadU32(p + 10);
    h.headerSize = ReadU32(p + 14);
    if (FileHeaderBytes + static_cast<uint64_t>(h.headerSize) > stream.size())
        return false;
    if (h.headerSize == 12) {
        h.width = ReadU16(p + 18);
        h.height = ReadU16(p + 20);
        h.bits = ReadU16(p + 24);
        return true;
    }
    if (h.headerSize < InfoHeaderBytes)
        return false;
    h.width = ReadI32(p + 18);
    h.height = ReadI32(p + 22);
    h.bits = ReadU16(p + 28);
    h.compression = ReadU32(p + 30);
    h.coloursUsed = ReadU32(p + 46);
    return true;
}

// Whether the palette and the pixel data the header describes lie inside
// the stream (all in 64 bits). Compressed data is only known to start inside.
bool Fits(std::span<const uint8_t> stream, const Header& h)
{
    const int64_t size = static_cast<int64_t>(stream.size());
    const int64_t afterHeader = static_cast<int64_t>(FileHeaderBytes) + h.headerSize;
    if (h.dataOffset < afterHeader || h.dataOffset >= size)
        return false;
    if (h.bits <= 8) {
        if (h.bits == 0)
            return false;
        const int64_t entries = h.coloursUsed ? h.coloursUsed : int64_t{1} << h.bits;
        if (entries > (int64_t{1} << h.bits) || afterHeader + entries * (h.headerSize == 12 ? 3 : 4) > size)
            return false;
    }
    const bool rawRows = h.compression == 0 || h.compression == 3;
    if (!rawRows)
        return true;
    switch (h.bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    const int64_t rowBytes = ((h.width * h.bits + 31) & ~int64_t{31}) / 8;
    return h.dataOffset + rowBytes * std::llabs(h.height) <= size;
}

}  // namespace

BmpRead ReadBmp(std::span<const uint8_t> stream)
{
    BmpRead read;
    if (stream.size() < 2 || stream[0] != 'B' || stream[1] != 'M')
        return read;
    // A "BM" file that does not fit its bytes is refused here rather than
    // handed to the platform's loader, which trusts its fields.
    read.verdict = BmpVerdict::Refused;
    Header h;
    if (!ReadHeader(stream, h))
        return read;
    read.bitsPerPixel = h.bits;
    const int64_t rows = std::llabs(h.height);
    if (h.width < 1 || h.height == 0 || !PictureSizeAllowed(h.width, rows) || !Fits(stream, h))
        return read;
    if (h.bits != 32 || h.compression != 0 || h.headerSize == 12) {
        read.verdict = BmpVerdict::Other;
        return read;
    }
    const int64_t rowBytes = h.width * 4;
    DecodedImage& image = read.image;
    image.width = static_cast<int>(h.width);
    image.height = static_cast<int>(rows);
    image.pixels.resize(static_cast<size_t>(h.width) * static_cast<size_t>(rows));
    const uint8_t* data = stream.data() + h.dataOffset;
    PixelView view{image.pixels.data(), image.width, image.height};
    for (int64_t i = 0; i < rows; ++i) {
        // Top-down data (negative height) is turned bottom-up.
        int64_t sourceRow = h.height < 0 ? rows - 1 - i : i;
        std::memcpy(view.Row(static_cast<int>(i)), data + sourceRow * rowBytes,
                    static_cast<size_t>(rowBytes));
    }
    image.imageType = 0;
    image.alpha = ScanAlphaChannel(view, true, image.imageType);
    read.verdict = BmpVerdict::Decoded;
    return read;
}

bool BmpFileHeader(int32_t width, int32_t height, std::array<uint8_t, BmpHeaderBytes>& header)
{
    if (width < 0 || height < 0)
        return false;
    const int64_t imageBytes = static_cast<int64_t>(width) * height * 4;
    const int64_t fileBytes = BmpHeaderBytes + imageBytes;
    if (fileBytes > std::numeric_limits<uint32_t>::max())
        return false;
    header.fill(0);
    uint8_t* p = header.data();
    p[0] = 'B';
    p[1] = 'M';
    WriteU32(p + 2, static_cast<uint32_t>(fileBytes));
    WriteU32(p + 10, BmpHeaderBytes);
    WriteU32(p + 14, InfoHeaderBytes);
    WriteU32(p + 18, static_cast<uint32_t>(width));
    WriteU32(p + 22, static_cast<uint32_t>(height));
    WriteU16(p + 26, 1);
    WriteU16(p + 28, 32);
    WriteU32(p + 34, static_cast<uint32_t>(imageBytes));
    return true;
}

std::vector<uint8_t> BmpFileBytes(ConstPixelView pixels)
{
    std::array<uint8_t, BmpHeaderBytes> header;
    if (!BmpFileHeader(pixels.width, pixels.height, header))
        return {};
    std::vector<uint8_t> file(header.begin(), header.end());
    const auto* bytes = reinterpret_cast<const uint8_t*>(pixels.pixels);
    file.insert(file.end(), bytes, bytes + pixels.Count() * 4);
    return file;
}

}  // namespace quill::imaging
