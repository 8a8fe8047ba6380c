#include "imaging/cGDIPlus.h"

#include <cmath>
#include <cstring>
#include <cwchar>
#include <memory>

#include "forms/Gdi.h"
#include "imaging/LibrarySwitches.h"
#include "imaging/PixelTransforms.h"
#include "imaging/cImage32.h"
#include "imaging/modParsers.h"
#include "imaging/modParsersPlatform.h"

namespace quill::imaging {

namespace {

// GDI+ flat interface: only what the bridge calls, declared here so that
// gdiplus.dll is found through the library search this library allows.
using GpStatus = int;
struct GpImage;
struct GpGraphics;
struct GpImageAttributes;
struct GpRectF {
    float X, Y, Width, Height;
};
struct StartupInput {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};
struct ColorMatrix {
    float m[5][5];
};
struct ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};

constexpr int PixelFormat32bppPARGB = 925707;
constexpr int PixelFormat32bppARGB = 2498570;
constexpr int UnitPixel = 2;
constexpr int InterpolationNearest = 5;
constexpr int InterpolationHighQualityBicubic = 7;
constexpr int FlipY = 6;
constexpr int FlipX = 4;
constexpr int MatrixOrderPrepend = 0;
constexpr int MatrixOrderAppend = 1;
constexpr int ColorAdjustTypeBitmap = 1;

struct Api {
    LibraryHandle library;
    GpStatus(WINAPI* Startup)(ULONG_PTR*, const StartupInput*, void*);
    void(WINAPI* Shutdown)(ULONG_PTR);
    GpStatus(WINAPI* CreateBitmapFromScan0)(INT, INT, INT, INT, BYTE*, GpImage**);
    GpStatus(WINAPI* CreateBitmapFromGdiDib)(const BITMAPINFO*, void*, GpImage**);
    GpStatus(WINAPI* CreateFromHDC)(HDC, GpGraphics**);
    GpStatus(WINAPI* DeleteGraphics)(GpGraphics*);
    GpStatus(WINAPI* SetInterpolationMode)(GpGraphics*, int);
    GpStatus(WINAPI* ImageRotateFlip)(GpImage*, int);
    GpStatus(WINAPI* DrawImageRectRectI)(GpGraphics*, GpImage*, INT, INT, INT, INT, INT, INT, INT, INT, int,
                                         const GpImageAttributes*, void*, void*);
    GpStatus(WINAPI* CreateImageAttributes)(GpImageAttributes**);
    GpStatus(WINAPI* DisposeImageAttributes)(GpImageAttributes*);
    GpStatus(WINAPI* SetImageAttributesColorMatrix)(GpImageAttributes*, int, BOOL, const ColorMatrix*,
                                                    const ColorMatrix*, int);
    GpStatus(WINAPI* RotateWorldTransform)(GpGraphics*, float, int);
    GpStatus(WINAPI* TranslateWorldTransform)(GpGraphics*, float, float, int);
    GpStatus(WINAPI* DisposeImage)(GpImage*);
    GpStatus(WINAPI* LoadImageFromFile)(const WCHAR*, GpImage**);
    GpStatus(WINAPI* LoadImageFromStream)(IStream*, GpImage**);
    GpStatus(WINAPI* GetImageBounds)(GpImage*, GpRectF*, int*);
    GpStatus(WINAPI* GetImagePixelFormat)(GpImage*, INT*);
    GpStatus(WINAPI* GetImageEncodersSize)(UINT*, UINT*);
    GpStatus(WINAPI* GetImageEncoders)(UINT, UINT, ImageCodecInfo*);
    GpStatus(WINAPI* SaveImageToStream)(GpImage*, IStream*, const CLSID*, const void*);
    GpStatus(WINAPI* SaveImageToFile)(GpImage*, const WCHAR*, const CLSID*, const void*);
    bool complete = false;

    template <class F>
    void Bind(F& f, const char* name)
    {
        f = reinterpret_cast<F>(reinterpret_cast<void*>(library.Find(name)));
        complete = complete && f != nullptr;
    }
};

// The flat functions, bound once: like the platform's declared library
// functions, gdiplus.dll stays loaded once it was needed. Null when GDI+ is
// switched off or incomplete.
const Api* Gdiplus()
{
    if (GdiplusDisabled())
        return nullptr;
    static Api* api = [] {
        static Api a;
        a.library = LibraryHandle(L"gdiplus.dll");
        a.complete = static_cast<bool>(a.library);
        a.Bind(a.Startup, "GdiplusStartup");
        a.Bind(a.Shutdown, "GdiplusShutdown");
        a.Bind(a.CreateBitmapFromScan0, "GdipCreateBitmapFromScan0");
        a.Bind(a.CreateBitmapFromGdiDib, "GdipCreateBitmapFromGdiDib");
        a.Bind(a.CreateFromHDC, "GdipCreateFromHDC");
        a.Bind(a.DeleteGraphics, "GdipDeleteGraphics");
        a.Bind(a.SetInterpolationMode, "GdipSetInterpolationMode");
        a.Bind(a.ImageRotateFlip, "GdipImageRotateFlip");
        a.Bind(a.DrawImageRectRectI, "GdipDrawImageRectRectI");
        a.Bind(a.CreateImageAttributes, "GdipCreateImageAttributes");
        a.Bind(a.DisposeImageAttributes, "GdipDisposeImageAttributes");
        a.Bind(a.SetImageAttributesColorMatrix, "GdipSetImageAttributesColorMatrix");
        a.Bind(a.RotateWorldTransform, "GdipRotateWorldTransform");
        a.Bind(a.TranslateWorldTransform, "GdipTranslateWorldTransform");
        a.Bind(a.DisposeImage, "GdipDisposeImage");
        a.Bind(a.LoadImageFromFile, "GdipLoadImageFromFile");
        a.Bind(a.LoadImageFromStream, "GdipLoadImageFromStream");
        a.Bind(a.GetImageBounds, "GdipGetImageBounds");
        a.Bind(a.GetImagePixelFormat, "GdipGetImagePixelFormat");
        a.Bind(a.GetImageEncodersSize, "GdipGetImageEncodersSize");
        a.Bind(a.GetImageEncoders, "GdipGetImageEncoders");
        a.Bind(a.SaveImageToStream, "GdipSaveImageToStream");
        a.Bind(a.SaveImageToFile, "GdipSaveImageToFile");
        return &a;
    }();
    return api->complete ? api : nullptr;
}

// One GDI+ start-up for the length of one operation.
class Session {
public:
    explicit Session(const cGDIPlus& bridge) : bridge_(bridge), started_(bridge.GdiplusToggle(token_, false))
    {
    }
    ~Session()
    {
        if (started_)
            bridge_.GdiplusToggle(token_, true);
    }
    explicit operator bool() const { return started_; }

private:
    const cGDIPlus& bridge_;
    ULONG_PTR token_ = 0;
    bool started_;
};

// Owners of what one operation makes; released before GDI+ shuts down.
template <class T, GpStatus (WINAPI* Api::*Release)(T*)>
struct Owned {
    T* p = nullptr;
    ~Owned()
    {
        if (p)
            (Gdiplus()->*Release)(p);
    }
};
using ImageOwner = Owned<GpImage, &Api::DisposeImage>;
using GraphicsOwner = Owned<GpGraphics, &Api::DeleteGraphics>;
using AttributesOwner = Owned<GpImageAttributes, &Api::DisposeImageAttributes>;
struct StreamOwner {
    IStream* p = nullptr;
    ~StreamOwner()
    {
        if (p)
            p->Release();
    }
};

// A GDI+ bitmap over the image's own pixel memory, premultiplied.
GpStatus BitmapOverPixels(const cImage32& image, GpImage** bitmap)
{
    return Gdiplus()->CreateBitmapFromScan0(image.Width(), image.Height(), image.scanWidth(),
                                            PixelFormat32bppPARGB,
                                            reinterpret_cast<BYTE*>(image.BitsPointer()), bitmap);
}

ColorMatrix Identity()
{
    ColorMatrix m{};
    for (int i = 0; i < 5; ++i)
        m.m[i][i] = 1;
    return m;
}

// Selects the image into its own DC for the length of a scope.
class ImageDc {
public:
    explicit ImageDc(cImage32& image) : image_(image), dc_(image.LoadDIBinDC(true)) {}
    ~ImageDc() { image_.LoadDIBinDC(false); }
    HDC Get() const { return dc_; }

private:
    cImage32& image_;
    HDC dc_;
};

}  // namespace

bool cGDIPlus::GdiplusToggle(ULONG_PTR& token, bool shutDown) const
{
    const Api* api = Gdiplus();
    if (shutDown) {
        if (api && token)
            api->Shutdown(token);
        return false;
    }
    StartupInput input{1, nullptr, FALSE, FALSE};
    if (api && api->Startup(&token, &input, nullptr) == 0)
        return true;
    token = 0;
    return false;
}

bool cGDIPlus::isGDIplusOk() const
{
    if (GdiplusDisabled() || !ExportExists(L"gdiplus.dll", "GdiplusStartup"))
        return false;
    ULONG_PTR token = 0;
    if (!GdiplusToggle(token, false))
        return false;
    GdiplusToggle(token, true);
    return true;
}

bool cGDIPlus::RenderViaGdiplus(const cImage32& image, HDC dc, int32_t angle, int32_t opacity, int32_t x,
                                int32_t y, int32_t dw, int32_t dh, int32_t sx, int32_t sy, int32_t sw,
                                int32_t sh, bool highQuality) const
{
    if (opacity == 0)
        return true;
    Session session(*this);
    if (!session || !image.Handle())
        return false;
    const Api& g = *Gdiplus();
    ImageOwner bitmap;
    GraphicsOwner graphics;
    if (BitmapOverPixels(image, &bitmap.p) != 0 || g.CreateFromHDC(dc, &graphics.p) != 0)
        return false;
    g.SetInterpolationMode(graphics.p, highQuality ? InterpolationHighQualityBicubic : InterpolationNearest);
    // The pixel memory is bottom-up: drawn upright it is flipped; a negative
    // height keeps the memory order, so the picture comes out upside down.
    int flip = FlipY;
    int signX = 1, signY = 1;
    if (dh < 0) {
        flip = 0;
        dh = -dh;
        signY = -1;
    }
    if (dw < 0) {
        flip ^= FlipX;
        dw = -dw;
        signX = -1;
    }
    g.ImageRotateFlip(bitmap.p, flip);
    if (angle == 0 && opacity == 100)
        return g.DrawImageRectRectI(graphics.p, bitmap.p, x, y, dw, dh, sx, sy, sw, sh, UnitPixel, nullptr,
                                    nullptr, nullptr) == 0;
    AttributesOwner attributes;
    if (g.CreateImageAttributes(&attributes.p) != 0)
        return false;
    ColorMatrix m = Identity();
    m.m[3][3] = static_cast<float>(opacity) / 100.0f;
    g.SetImageAttributesColorMatrix(attributes.p, ColorAdjustTypeBitmap, TRUE, &m, &m, 0);
    if (angle != 0) {
        // Turned about the destination's centre: the extra half turn and the
        // two negated sizes of the drawing rectangle cancel out.
        g.RotateWorldTransform(graphics.p, static_cast<float>(angle + 180), MatrixOrderPrepend);
        g.TranslateWorldTransform(graphics.p, static_cast<float>(x + dw / 2 * signX),
                                  static_cast<float>(y + dh / 2 * signY), MatrixOrderAppend);
        return g.DrawImageRectRectI(graphics.p, bitmap.p, dw / 2, dh / 2, -dw, -dh, sx, sy, sw, sh, UnitPixel,
                                    attributes.p, nullptr, nullptr) == 0;
    }
    return g.DrawImageRectRectI(graphics.p, bitmap.p, x, y, dw, dh, sx, sy, sw, sh, UnitPixel, attributes.p,
                                nullptr, nullptr) == 0;
}

bool cGDIPlus::LoadViaGdiplus(const std::wstring& fileName, const std::vector<uint8_t>& bytes,
                              cImage32& image) const
{
    if (!ExportExists(L"gdiplus.dll", "GdiplusStartup"))
        return false;
    Session session(*this);
    if (!session)
        return false;
    const Api& g = *Gdiplus();
    ImageOwner picture;
    if (!fileName.empty()) {
        g.LoadImageFromFile(fileName.c_str(), &picture.p);
    } else {
        StreamOwner stream{BytesToStream(bytes, 0)};
        if (stream.p)
            g.LoadImageFromStream(stream.p, &picture.p);
    }
    if (!picture.p)
        return false;
    GpRectF bounds{};
    int unit = 0;
    bool drawn = false;
    if (g.GetImageBounds(picture.p, &bounds, &unit) == 0) {
        const double w = std::nearbyint(bounds.Width), h = std::nearbyint(bounds.Height);
        if (PictureSizeAllowed(static_cast<int64_t>(w), static_cast<int64_t>(h)) &&
            image.InitializeDIB(static_cast<int>(w), static_cast<int>(h))) {
            ImageDc dc(image);
            GraphicsOwner graphics;
            if (g.CreateFromHDC(dc.Get(), &graphics.p) == 0) {
                g.DrawImageRectRectI(graphics.p, picture.p, 0, 0, image.Width(), image.Height(),
                                     static_cast<int>(bounds.X), static_cast<int>(bounds.Y), image.Width(),
                                     image.Height(), UnitPixel, nullptr, nullptr, nullptr);
                drawn = true;
            }
        }
    }
    if (!drawn) {
        image.DestroyDIB();
        return false;
    }
    GdiFlush();
    INT format = 0;
    g.GetImagePixelFormat(picture.p, &format);
    image.SetAlpha(format == PixelFormat32bppARGB || format == PixelFormat32bppPARGB);
    image.SetImageType(10);
    return true;
}

bool cGDIPlus::GrayScaleViaGdiplus(cImage32& image, int formula) const
{
    Session session(*this);
    if (!session || !image.Handle())
        return false;
    const Api& g = *Gdiplus();
    ImageOwner bitmap;
    if (BitmapOverPixels(image, &bitmap.p) != 0)
        return false;
    // The flip makes GDI+ keep its own copy of the pixels.
    g.ImageRotateFlip(bitmap.p, FlipY);
    ImageDc dc(image);
    GraphicsOwner graphics;
    AttributesOwner attributes;
    if (g.CreateFromHDC(dc.Get(), &graphics.p) != 0 || g.CreateImageAttributes(&attributes.p) != 0)
        return false;
    const GreyWeights w = GreyWeightsOf(formula);
    ColorMatrix m{};
    for (int c = 0; c < 3; ++c) {
        m.m[0][c] = w.red;
        m.m[1][c] = w.green;
        m.m[2][c] = w.blue;
    }
    m.m[3][3] = 1;
    m.m[4][4] = 1;
    if (g.SetImageAttributesColorMatrix(attributes.p, ColorAdjustTypeBitmap, TRUE, &m, &m, 0) != 0)
        return false;
    GdiFlush();
    std::memset(image.BitsPointer(), 0, static_cast<size_t>(image.scanWidth()) * image.Height());
    bool ok =
        g.DrawImageRectRectI(graphics.p, bitmap.p, 0, 0, image.Width(), image.Height(), 0, 0, image.Width(),
                             image.Height(), UnitPixel, attributes.p, nullptr, nullptr) == 0;
    GdiFlush();
    return ok;
}

int cGDIPlus::FindEncoderClsid(const std::wstring& mimeType, CLSID& clsid) const
{
    Session session(*this);
    if (!session)
        return -1;
    const Api& g = *Gdiplus();
    UINT count = 0, size = 0;
    if (g.GetImageEncodersSize(&count, &size) != 0 || size == 0)
        return -1;
    std::vector<uint8_t> buffer(size);
    auto* encoders = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (g.GetImageEncoders(count, size, encoders) != 0)
        return -1;
    for (UINT i = 0; i < count; ++i) {
        if (_wcsicmp(StringFromWidePointer(encoders[i].MimeType).c_str(), mimeType.c_str()) == 0) {
            clsid = encoders[i].Clsid;
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

std::wstring cGDIPlus::StringFromWidePointer(const wchar_t* text)
{
    return text ? std::wstring(text) : std::wstring();
}

bool cGDIPlus::StreamToBytes(IStream* stream, std::vector<uint8_t>& outBytes)
{
    if (!stream)
        return false;
    STATSTG stat{};
    HGLOBAL block = nullptr;
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(stream, &block)))
        return false;
    const uint64_t written = stat.cbSize.QuadPart;
    if (written == 0 || written > GlobalSize(block))
        return false;
    const void* p = GlobalLock(block);
    if (!p)
        return false;
    const auto* b = static_cast<const uint8_t*>(p);
    outBytes.assign(b, b + written);
    GlobalUnlock(block);
    return true;
}

IStream* cGDIPlus::BytesToStream(const std::vector<uint8_t>& bytes, size_t start)
{
    IStream* stream = nullptr;
    if (bytes.empty()) {
        if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
            return nullptr;
        return stream;
    }
    if (start >= bytes.size())
        return nullptr;
    const size_t size = bytes.size() - start;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    if (void* p = GlobalLock(block)) {
        std::memcpy(p, bytes.data() + start, size);
        GlobalUnlock(block);
    } else {
        GlobalFree(block);
        return nullptr;
    }
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    return stream;
}

bool cGDIPlus::SaveToPNG(const std::wstring& fileName, std::vector<uint8_t>& outBytes,
                         const cImage32& image) const
{
    if (!image.Handle() || !ExportExists(L"gdiplus.dll", "GdiplusStartup"))
        return false;
    Session session(*this);
    if (!session)
        return false;
    const Api& g = *Gdiplus();
    ImageOwner bitmap;
    if (image.Alpha()) {
        if (BitmapOverPixels(image, &bitmap.p) == 0)
            g.ImageRotateFlip(bitmap.p, FlipY);
    } else {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = image.Width();
        info.bmiHeader.biHeight = image.Height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        g.CreateBitmapFromGdiDib(&info, image.BitsPointer(), &bitmap.p);
    }
    if (!bitmap.p)
        return false;
    CLSID png{};
    if (FindEncoderClsid(L"image/png", png) < 0)
        return false;
    if (fileName.empty()) {
        outBytes.clear();
        StreamOwner stream{BytesToStream({}, 0)};
        return stream.p && g.SaveImageToStream(bitmap.p, stream.p, &png, nullptr) == 0 &&
               StreamToBytes(stream.p, outBytes);
    }
    // Written beside the old file, then put in its place.
    std::wstring folder = fileName;
    size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash + 1);
    wchar_t temporary[MAX_PATH + 1];
    if (!GetTempFileNameW(folder.c_str(), L"png", 0, temporary))
        return false;
    if (g.SaveImageToFile(bitmap.p, temporary, &png, nullptr) != 0) {
        DeleteFileW(temporary);
        return false;
    }
    DWORD attributes = GetFileAttributesW(fileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExW(temporary, fileName.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary);
        return false;
    }
    return true;
}

}  // namespace quill::imaging
