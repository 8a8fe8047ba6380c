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

BmpRead ReadBmp(std::span<const uint8_t> stream) {
    BmpRead read;
    if (stream.size() < 2 || stream[0] != 'B' || stream[1] != 'M') return read;
    read.verdict = BmpVerdict::Other;
    // Only an information header of at least 40 bytes has its fields where
    // they are read below; any other header is the picture loader's.
    if (stream.size() < FileHeaderBytes + InfoHeaderBytes) return read;
    const uint8_t *p = stream.data();
    uint32_t headerSize = ReadU32(p + 14);
    if (headerSize < InfoHeaderBytes || FileHeaderBytes + headerSize > stream.size()) return read;
    int32_t width = ReadI32(p + 18);
    int32_t height = ReadI32(p + 22);
    read.bitsPerPixel = ReadU16(p + 28);
    uint32_t compression = ReadU32(p + 30);
    uint32_t dataOffset = ReadU32(p + 10);
    if (width < 1 || height == 0) {
        read.verdict = BmpVerdict::Refused;
        return read;
    }
    if (read.bitsPerPixel != 32 || compression != 0) return read;
    const int64_t rows = std::llabs(static_cast<int64_t>(height));
    const int64_t rowBytes = static_cast<int64_t>(width) * 4;
    const int64_t room =
        static_cast<int64_t>(stream.size()) - (static_cast<int64_t>(dataOffset) + rowBytes * rows);
    if (dataOffset < FileHeaderBytes + headerSize || room < 0) return read;
    if (!PictureSizeAllowed(width, rows)) {
        read.verdict = BmpVerdict::Refused;
        return read;
    }
    DecodedImage &image = read.image;
    image.width = width;
    image.height = static_cast<int>(rows);
    image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(rows));
    const uint8_t *data = p + dataOffset;
    PixelView view{image.pixels.data(), image.width, image.height};
    for (int64_t i = 0; i < rows; ++i) {
        // Top-down data (negative height) is turned bottom-up.
        int64_t sourceRow = height < 0 ? rows - 1 - i : i;
        std::memcpy(view.Row(static_cast<int>(i)), data + sourceRow * rowBytes,
                    static_cast<size_t>(rowBytes));
    }
    image.imageType = 0;
    image.alpha = ScanAlphaChannel(view, true, image.imageType);
    read.verdict = BmpVerdict::Decoded;
    return read;
}

bool BmpFileHeader(int32_t width, int32_t height, std::array<uint8_t, BmpHeaderBytes> &header) {
    if (width < 0 || height < 0) return false;
    const int64_t imageBytes = static_cast<int64_t>(width) * height * 4;
    const int64_t fileBytes = BmpHeaderBytes + imageBytes;
    if (fileBytes > std::numeric_limits<uint32_t>::max()) return false;
    header.fill(0);
    uint8_t *p = header.data();
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

std::vector<uint8_t> BmpFileBytes(ConstPixelView pixels) {
    std::array<uint8_t, BmpHeaderBytes> header;
    if (!BmpFileHeader(pixels.width, pixels.height, header)) return {};
    std::vector<uint8_t> file(header.begin(), header.end());
    const auto *bytes = reinterpret_cast<const uint8_t *>(pixels.pixels);
    file.insert(file.end(), bytes, bytes + pixels.Count() * 4);
    return file;
}

}  // namespace quill::imaging
