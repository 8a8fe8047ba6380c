#include "imaging/cPNGParser.h"

#include "forms/Files.h"
#include "forms/lang/Error.h"
#include "imaging/DecodedImageHost.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cImage32.h"
#include "imaging/modParsersPlatform.h"

namespace quill::imaging {

// zlib's crc32 and uncompress through the cdecl caller. On x86-64 every
// build of zlib is called this one way (ProbeZlib reports each as cdecl).
class cPNGParser::BoundZlib final : public ZlibBinding {
public:
    explicit BoundZlib(cCdeclAdapter& caller) : caller_(caller) {}

    uint32_t Crc32(const uint8_t* data, size_t size) override
    {
        try {
            return static_cast<uint32_t>(caller_.CallFunc(
                "crc32", {0, reinterpret_cast<intptr_t>(data), static_cast<intptr_t>(size)}));
        } catch (const forms::RuntimeError&) {
            return 0;  // never matches a stored CRC
        }
    }

    bool Uncompress(uint8_t* dest, size_t* destSize, const uint8_t* src, size_t srcSize) override
    {
        // zlib's uLongf is 32 bits wide on Windows.
        if (*destSize > UINT32_MAX || srcSize > UINT32_MAX)
            return false;
        unsigned long size = static_cast<unsigned long>(*destSize);
        try {
            const int32_t result = caller_.CallFunc(
                "uncompress", {reinterpret_cast<intptr_t>(dest), reinterpret_cast<intptr_t>(&size),
                               reinterpret_cast<intptr_t>(src), static_cast<intptr_t>(srcSize)});
            *destSize = size;
            return result == 0;
        } catch (const forms::RuntimeError&) {
            return false;  // the own inflater takes over
        }
    }

private:
    cCdeclAdapter& caller_;
};

cPNGParser::cPNGParser() = default;
cPNGParser::~cPNGParser() = default;

bool cPNGParser::BindZlib()
{
    zlib_.reset();
    std::wstring name;
    bool cdeclCall = false, compress2 = false;
    if (!ProbeZlib(name, zlibCode_, cdeclCall, compress2, false))
        return false;
    if (cdeclCall) {
        if (!cdeclCaller_)
            cdeclCaller_ = std::make_unique<cCdeclAdapter>();
        cdeclCaller_->DllLoad(name);
        zlib_ = std::make_unique<BoundZlib>(*cdeclCaller_);
    }
    return true;
}

void cPNGParser::WalkChunks(std::span<const uint8_t> bytes, cImage32& host)
{
    BindZlib();
    HostPixels target(host);
    DecodePng(bytes, zlib_.get(), target);
}

bool cPNGParser::LoadStream(const std::vector<uint8_t>& stream, cImage32& host, int32_t start, int32_t length)
{
    if (start < 0 || length < 0 ||
        static_cast<uint64_t>(start) + static_cast<uint64_t>(length) > stream.size())
        return false;
    const std::span<const uint8_t> bytes(stream.data() + start, static_cast<size_t>(length));
    if (!HasPngSignature(bytes))
        return false;
    // GDI+ reads a stream from the array's first byte: give it the PNG's own.
    const bool whole = start == 0 && static_cast<size_t>(length) == stream.size();
    if (cGDIPlus().LoadViaGdiplus(std::wstring(),
                                  whole ? stream : std::vector<uint8_t>(bytes.begin(), bytes.end()), host))
        return true;
    WalkChunks(bytes, host);
    return true;
}

bool cPNGParser::LoadFile(const std::wstring& fileName, cImage32& host)
{
    forms::Bytes bytes;
    try {
        bytes = forms::ReadFileBytes(fileName);
    } catch (const forms::RuntimeError&) {
        return false;
    }
    // A file of the signature's length or more is tested before it is taken.
    if (bytes.size() >= 8 && !HasPngSignature(bytes))
        return false;
    if (cGDIPlus().LoadViaGdiplus(fileName, {}, host))
        return true;
    if (bytes.size() < 8)
        return false;
    WalkChunks(bytes, host);
    return true;
}

}  // namespace quill::imaging
