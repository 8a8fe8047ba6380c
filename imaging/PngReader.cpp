// The PNG reader's chunk walk and the inflating of its image data
// (PngReader.h); what becomes of the rows is PngScanlines.cpp's.
#include "imaging/PngReader.h"

#include <memory>
#include <cstring>
#include <vector>

#include "imaging/Inflate.h"
#include "imaging/modParsers.h"
#include "imaging/PngScanlines.h"

namespace quill::imaging {
namespace {

constexpr uint8_t Signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
// Room for zlib's output between the rows taking it.
constexpr size_t ZlibOutputBytes = 32768;

uint32_t BigEndian32(const uint8_t* p)
{
    return SwapByteOrder32(ReadU32(p));
}

bool TypeIs(const uint8_t* type, const char (&name)[5])
{
    return std::memcmp(type, name, 4) == 0;
}

class ChunkWalk {
public:
    ChunkWalk(std::span<const uint8_t> bytes, ZlibBinding* zlib) : bytes_(bytes), zlib_(zlib) {}

    // False when a chunk was refused or the data ended inside one.
    bool Walk()
    {
        uint64_t at = 8;
        for (;;) {
            if (bytes_.size() - at < 12)
                return false;
            const uint32_t length = BigEndian32(&bytes_[at]);
            if (length & 0x80000000u || uint64_t(length) + 12 > bytes_.size() - at)
                return false;
            const uint8_t* type = &bytes_[at + 4];
            const uint8_t* data = type + 4;
            // A stored CRC is read only while zlib can compute one; 0 is never checked.
            const uint32_t storedCrc = zlib_ ? BigEndian32(data + length) : 0;
            const auto crcFails = [&] { return storedCrc != 0 && !CrcMatches(type, length, storedCrc); };
            if (length == 0) {
                if (TypeIs(type, "IEND"))
                    return true;
            } else if (TypeIs(type, "IHDR")) {
                if (crcFails() || !ReadIHDR(data, length))
                    return false;
            } else if (TypeIs(type, "PLTE")) {
                if (header_.colourType != 0 && header_.colourType != 4) {
                    if (crcFails() || length % 3 != 0)
                        return false;
                    colours_.palette.assign(data, data + length);
                }
            } else if (TypeIs(type, "tRNS")) {
                if (header_.colourType != 4 && header_.colourType != 6 && !crcFails())
                    ReadtRNS(data, length);
            } else if (TypeIs(type, "IDAT")) {
                if (crcFails())
                    return false;
                idat_.emplace_back(data, length);
                idatBytes_ += length;
            } else if (TypeIs(type, "IEND")) {
                return true;
            }
            at += uint64_t(length) + 12;
        }
    }

    bool Gathered() const { return headerSeen_ && idatBytes_ > 0; }

    ReadResult Decode(PixelTarget& target)
    {
        ReadResult result{ReadVerdict::NoImage};
        // What the image data cannot inflate to is not allocated.
        if (expected_ > MaxInflatedSize(idatBytes_))
            return result;
        BuildGrayPalette(header_, colours_);
        uint8_t* pixels = target.Allocate(header_.width, header_.height);
        if (!pixels)
            return result;
        const bool decoded = zlib_ ? InflateRowsWithZlib(pixels) : InflateRows(pixels);
        if (!decoded) {
            target.Discard();
            return result;
        }
        result.verdict = ReadVerdict::Image;
        result.alpha = header_.colourType == 4 || header_.colourType == 6 || colours_.transparencyKey != -1;
        result.imageType = ImageTypes::Png;
        target.Finish(result.alpha, result.imageType);
        return result;
    }

private:
    bool CrcMatches(const uint8_t* type, uint32_t length, uint32_t stored)
    {
        const uint32_t crc = zlib_->Crc32(type, size_t(length) + 4);
        return crc != 0 && crc == stored;
    }

    // zlib's inflate also reads the chunks where they lie, its output passing
    // to the rows through a small buffer. When zlib fails (a damaged header
    // or Adler-32 among them) the own inflater decodes the data again from
    // its start; rows refused are final, as the own inflater would give the
    // same bytes.
    bool InflateRowsWithZlib(uint8_t* pixels)
    {
        const std::unique_ptr<ZlibStream> stream = zlib_->InflateInit();
        if (!stream)
            return InflateRows(pixels);
        ScanlineDecoder decoder(header_, colours_, pixels);
        std::vector<uint8_t> out(ZlibOutputBytes);
        for (std::span<const uint8_t> piece : idat_) {
            for (;;) {
                size_t consumed = 0, produced = 0;
                const ZlibStep step = stream->Inflate(piece, out, consumed, produced);
                if (step == ZlibStep::Fail)
                    return InflateRows(pixels);
                if (produced && !decoder.Take({out.data(), produced}))
                    return false;
                if (step == ZlibStep::End)
                    return decoder.Finish();
                if (consumed == 0 && produced == 0)
                    break;  // the piece is used up
                piece = piece.subspan(consumed);
            }
        }
        return InflateRows(pixels);  // the stream stops short of its end
    }

    // The own inflater reads the chunks where they lie and hands each row on
    // as it completes.
    bool InflateRows(uint8_t* pixels)
    {
        ScanlineDecoder decoder(header_, colours_, pixels);
        struct Rows final : InflateSink {
            explicit Rows(ScanlineDecoder& d) : decoder(d) {}
            bool Take(std::span<const uint8_t> bytes) override { return decoder.Take(bytes); }
            ScanlineDecoder& decoder;
        } rows(decoder);
        return InflateZlibPieces(idat_, expected_, rows) && decoder.Finish();
    }

    bool ReadIHDR(const uint8_t* data, uint32_t length)
    {
        if (length < 13)
            return false;
        PngHeader h;
        const uint32_t width = BigEndian32(data);
        const uint32_t height = BigEndian32(data + 4);
        if (width < 1 || height < 1 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
            return false;
        h.width = int32_t(width);
        h.height = int32_t(height);
        h.bitDepth = data[8];
        h.colourType = data[9];
        h.interlace = data[12];
        if (data[10] != 0 || data[11] != 0 || h.interlace > 1)
            return false;
        if (!IsValidDepthForColourType(h.bitDepth, h.colourType))
            return false;
        if (!PictureSizeAllowed(h.width, h.height))
            return false;
        const uint64_t expected = FilteredDataSize(h);
        if (expected == 0)
            return false;
        header_ = h;
        headerSeen_ = true;
        expected_ = expected;
        return true;
    }

    void ReadtRNS(const uint8_t* data, uint32_t length)
    {
        colours_.paletteAlphas.assign(data, data + length);
        switch (header_.colourType) {
        case 0:
            if (length >= 2)
                colours_.transparencyKey = data[1];
            break;
        case 2:
            if (length >= 6)
                colours_.transparencyKey = (data[1] << 16) | (data[3] << 8) | data[5];
            break;
        case 3:
            colours_.paletteAlphas.resize(256, 255);
            colours_.transparencyKey = 0;
            break;
        default:
            break;
        }
    }

    std::span<const uint8_t> bytes_;
    ZlibBinding* zlib_;
    PngHeader header_;
    bool headerSeen_ = false;
    uint64_t expected_ = 0;
    PngColours colours_;
    std::vector<std::span<const uint8_t>> idat_;  // the IDAT chunks' data, where it lies
    uint64_t idatBytes_ = 0;
};

}  // namespace

bool HasPngSignature(std::span<const uint8_t> bytes)
{
    return bytes.size() >= 8 && std::memcmp(bytes.data(), Signature, 8) == 0;
}

ReadResult DecodePng(std::span<const uint8_t> bytes, ZlibBinding* zlib, PixelTarget& target)
{
    if (!HasPngSignature(bytes))
        return {};
    ChunkWalk walk(bytes, zlib);
    if (!walk.Walk() || !walk.Gathered())
        return {ReadVerdict::NoImage};
    return walk.Decode(target);
}

}  // namespace quill::imaging
