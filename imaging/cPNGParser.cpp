// cPNGParser (cPNGParser.h): the GDI+ attempt, the call into the portable
// PNG reader, and the zlib binding it lends that reader: the library's crc32
// and inflate called by name through the cdecl caller.
#include "imaging/cPNGParser.h"

#include <zlib.h>  // the z_stream and codes of the library bound at run time; nothing is linked

#include <algorithm>
#include <cstdint>

#include "forms/Files.h"
#include "forms/lang/Error.h"
#include "imaging/DecodedImageHost.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cImage32.h"
#include "imaging/modParsersPlatform.h"

namespace quill::imaging {

namespace {

// A z_stream of the bound library, driven by name through the cdecl caller;
// the stream's layout is zlib's on this platform.
class BoundZlibStream final : public ZlibStream {
public:
    explicit BoundZlibStream(cCdeclAdapter& caller) : caller_(caller) {}
    ~BoundZlibStream() override
    {
        if (started_)
            Call("inflateEnd", {Address(&z_)});
    }
    BoundZlibStream(const BoundZlibStream&) = delete;
    BoundZlibStream& operator=(const BoundZlibStream&) = delete;

    bool Start()
    {
        started_ =
            Call("inflateInit_", {Address(&z_), Address(ZLIB_VERSION), intptr_t{sizeof(z_stream)}}) == Z_OK;
        return started_;
    }

    ZlibStep Inflate(std::span<const uint8_t> input, std::span<uint8_t> output, size_t& consumed,
                     size_t& produced) override
    {
        z_.next_in = const_cast<Bytef*>(input.data());
        z_.avail_in = static_cast<uInt>(std::min<size_t>(input.size(), UINT32_MAX));
        z_.next_out = output.data();
        z_.avail_out = static_cast<uInt>(std::min<size_t>(output.size(), UINT32_MAX));
        const int32_t code = Call("inflate", {Address(&z_), Z_NO_FLUSH});
        consumed = static_cast<size_t>(z_.next_in - input.data());
        produced = static_cast<size_t>(z_.next_out - output.data());
        return ZlibStepOf(code);
    }

private:
    static intptr_t Address(const void* p) { return reinterpret_cast<intptr_t>(p); }

    // A function the library lacks fails the stream: the own inflater takes over.
    int32_t Call(const char* function, std::initializer_list<intptr_t> args)
    {
        try {
            return caller_.CallFunc(function, args);
        } catch (const forms::RuntimeError&) {
            return Z_STREAM_ERROR;
        }
    }

    cCdeclAdapter& caller_;
    z_stream z_{};
    bool started_ = false;
};

}  // namespace

// zlib's crc32 and inflate through the cdecl caller. On x86-64 every build
// of zlib is called this one way (ProbeZlib reports each as cdecl).
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

    std::unique_ptr<ZlibStream> InflateInit() override
    {
        auto stream = std::make_unique<BoundZlibStream>(caller_);
        return stream->Start() ? std::move(stream) : nullptr;
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
