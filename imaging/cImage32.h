#pragma once
// The image library's image object: a 32-bit, premultiplied-alpha, bottom-up
// DIB section with its own optional memory DC, the code of the format it was
// read from and, on request, the bytes it was read from. Every reader, the
// renderer and the transforms fill or read one of these.
#include <ocidl.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/Gdi.h"
#include "imaging/PixelView.h"

namespace quill::imaging {

// A resource index or type: a number or a name.
class ResourceName {
public:
    ResourceName(int number) : number_(number) {}
    ResourceName(std::wstring text) : text_(std::move(text)), isText_(true) {}
    ResourceName(const wchar_t* text) : text_(text), isText_(true) {}
    bool IsText() const { return isText_; }
    int Number() const { return number_; }
    const wchar_t* Pointer() const
    {
        return isText_ ? text_.c_str() : MAKEINTRESOURCEW(static_cast<WORD>(number_));
    }

private:
    int number_ = 0;
    std::wstring text_;
    bool isText_ = false;
};

class cImage32 {
public:
    // Probes the system: the system alpha blend outside the Windows 9x family
    // from version 5 on; GDI+ (and with it HighQualityInterpolation).
    cImage32();
    ~cImage32();
    cImage32(const cImage32&) = delete;
    cImage32& operator=(const cImage32&) = delete;

    // ---- loading
    // False, image untouched, when the file is missing or 56 bytes or shorter.
    bool LoadPicture_File(const std::wstring& FileName, int iconCx = 0, int iconCy = 0,
                          bool SaveFormat = false);
    // The stream is `streamLength` bytes at `streamStart` (0: to the end);
    // errors of the readers reach the caller. The bytes are never changed.
    bool LoadPicture_Stream(const std::vector<uint8_t>& inStream, int iconCx = 0, int iconCy = 0,
                            int32_t streamStart = 0, int32_t streamLength = 0, bool SaveFormat = false);
    // resSection text: the custom resource's bytes as a picture file;
    // number: a bitmap (0), icon (1) or cursor (2) resource. `module` null
    // means the program itself. Every failure returns False.
    bool LoadPicture_Resource(const ResourceName& ResIndex, const ResourceName& resSection,
                              HMODULE module = nullptr, int iconCx = 0, int iconCy = 0,
                              int32_t streamStart = 0, int32_t streamLength = 0);
    bool LoadPicture_StdPicture(IPicture* Picture);
    // Takes ownership of the handle: it is destroyed when the call ends,
    // whether the load succeeded or not.
    bool LoadPicture_ByHandle(HANDLE Handle);
    bool LoadPicture_FromOrignalFormat(int iconCx = 0, int iconCy = 0);
    bool GetOrginalFormat(std::vector<uint8_t>& outArray) const;

    // ---- transforms (Image transforms)
    void ScaleImage(int destWidth, int destHeight, int& newWidth, int& newHeight, int ScaleMode = 0) const;
    // An empty destination gets a new image.
    void CopyImageTo(std::unique_ptr<cImage32>& cImageCopy, int newWidth = 0, int newHeight = 0,
                     bool CopyOriginalFormat = false);
    void CopyImageTo(cImage32& cImageCopy, int newWidth = 0, int newHeight = 0,
                     bool CopyOriginalFormat = false);
    bool Resize(int newWidth, int newHeight);
    bool TrimImage(bool UpdateImage, int TrimSides, int& newLeft, int& newTop, int& newWidth, int& newHeight);
    bool CreateCheckerBoard(int CheckerSize, uint32_t Color1, uint32_t Color2);
    bool MakeGrayScale(int Formula = 0);
    bool SaveToFile(const std::wstring& FileName, bool PromptOverwrite = true);
    bool SaveToStream(std::vector<uint8_t>& outStream) const;

    // ---- properties
    bool Alpha() const { return alpha_; }
    void HighQualityInterpolation(bool value) { highQuality_ = value; }
    bool HighQualityInterpolation() const { return highQuality_; }
    int32_t ImageType() const { return imageType_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    uint32_t* BitsPointer() const { return bits_; }
    // Bytes per row; beyond 32 bits raises the overflow error (6).
    int32_t scanWidth() const;
    HBITMAP Handle() const { return bitmap_.Get(); }
    HDC LoadDIBinDC(bool bLoad);
    void ManageOwnDC(bool value);
    bool ManageOwnDC() const { return manageOwnDc_; }
    bool isAlphaBlendFriendly() const;
    bool isGDIplusEnabled() const;
    void isGDIplusEnabled(bool value);
    bool isZlibEnabled() const;
    bool InitializeDIB(int32_t Width, int32_t Height);
    void DestroyDIB();

    // ---- drawing
    bool Render(HDC destinationDC, int32_t destX = 0, int32_t destY = 0, int32_t destWidth = 0,
                int32_t destHeight = 0, int32_t srcX = 0, int32_t srcY = 0, int32_t srcWidth = 0,
                int32_t srcHeight = 0, int32_t Opacity = 100, bool Blend = true, bool SetHalfTone = false);
    bool RotateAtCenterPoint(HDC destinationDC, int32_t Angle, int32_t CenterX, int32_t CenterY,
                             int32_t destWidth = 0, int32_t destHeight = 0, int32_t srcX = 0,
                             int32_t srcY = 0, int32_t srcWidth = 0, int32_t srcHeight = 0,
                             int32_t Opacity = 100);
    bool RotateAtTopLeft(HDC destinationDC, int32_t Angle, int32_t destX, int32_t destY,
                         int32_t destWidth = 0, int32_t destHeight = 0, int32_t srcX = 0, int32_t srcY = 0,
                         int32_t srcWidth = 0, int32_t srcHeight = 0, int32_t Opacity = 100);

    // ---- for the library's own classes (and the list view's SetAlpha)
    void SetAlpha(bool value) { alpha_ = value; }
    void SetImageType(int32_t value) { imageType_ = value; }
    void SetOriginalBytes(const std::vector<uint8_t>& bytes) { sourceBytes_ = bytes; }
    // The pixels as a view (empty without an image).
    PixelView Pixels() const { return {bits_, width_, height_}; }
    // The dispatcher: every reader in turn. For a file, start and length
    // become 0 and the file's length and `bytes` its contents.
    bool LoadFromSource(const std::wstring& FileName, std::vector<uint8_t>& bytes, int& iconCx, int& iconCy,
                        int32_t& streamStart, int32_t& streamLength, bool SaveFormat);
    // Scales the source rectangle of the image (or of `source`, a mirrored
    // copy srcWidth x srcHeight) into `output`, clipped to what destinationDC
    // shows, or into the whole of `destination` when one is given.
    bool ResampleBits(HDC destinationDC, std::vector<uint32_t>& output, std::vector<uint32_t>& source,
                      cImage32* destination, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                      int32_t destX, int32_t destY, int32_t& destWidth, int32_t& destHeight);
    // Blends `source` (width x height, bottom-up) or, when empty, the image's
    // own rectangle at (srcX, srcY) onto the device at (destX, destY).
    bool BlendOntoDevice(HDC destinationDC, const std::vector<uint32_t>& source, int32_t srcX, int32_t srcY,
                         int32_t destX, int32_t destY, int32_t width, int32_t height, int constantAlpha);
    // For a negative destination size: `output` becomes the source rectangle
    // mirrored, the source position 0 and the sizes positive.
    void MirrorBits(int32_t& srcX, int32_t& srcY, int32_t srcWidth, int32_t srcHeight, int32_t& destWidth,
                    int32_t& destHeight, std::vector<uint32_t>& output);

private:
    // Selects the image into its own DC for one call (making the DC when
    // there is none) and undoes exactly what it did when the call ends.
    class CallSelection {
    public:
        explicit CallSelection(cImage32& image) : image_(image)
        {
            if (!image_.ownDc_) {
                image_.ownDc_.emplace(nullptr);
                createdDc_ = true;
            }
            if (!image_.previousBitmap_) {
                image_.previousBitmap_ = SelectObject(*image_.ownDc_, image_.bitmap_.Get());
                selected_ = true;
            }
        }
        ~CallSelection()
        {
            if (selected_ && image_.ownDc_) {
                SelectObject(*image_.ownDc_, image_.previousBitmap_);
                image_.previousBitmap_ = nullptr;
            }
            if (createdDc_)
                image_.ownDc_.reset();
        }
        CallSelection(const CallSelection&) = delete;
        CallSelection& operator=(const CallSelection&) = delete;
        HDC Dc() const { return *image_.ownDc_; }

    private:
        cImage32& image_;
        bool createdDc_ = false;
        bool selected_ = false;
    };
    // The own blender's copy of a destination area: a bottom-up section kept
    // selected in a DC of its own, used from its top-left corner.
    class BlendSection {
    public:
        BlendSection(HDC device, int width, int height)
            : dc_(device), bitmap_(forms::gdi::BottomUpDib(device, width, height, bits_)),
              selected_(dc_, bitmap_), width_(width), height_(height)
        {
        }
        bool Holds(int width, int height) const { return width <= width_ && height <= height_; }
        uint32_t* Bits() const { return bitmap_ ? bits_ : nullptr; }
        HDC Dc() const { return dc_; }
        uint32_t* RowFromTop(int row) const
        {
            return bits_ + static_cast<size_t>(height_ - 1 - row) * width_;
        }

    private:
        uint32_t* bits_ = nullptr;
        forms::gdi::MemoryDc dc_;
        forms::gdi::BitmapHandle bitmap_;
        forms::gdi::Selection selected_;
        int width_;
        int height_;
    };
    // Drawings up to this size keep their blend section for the next call.
    static constexpr int64_t KeptBlendSectionPixels = 256 * 256;

    bool GdiplusUsable() const { return (capabilities_ & 2) != 0; }
    bool AlphaBlendFlag() const { return (capabilities_ & 1) != 0; }
    void FillScaled(cImage32& target, int newWidth, int newHeight, bool viaGdiplus);

    bool highQuality_ = false;
    forms::gdi::BitmapHandle bitmap_;
    uint32_t* bits_ = nullptr;
    int32_t height_ = 0;
    int32_t width_ = 0;
    std::optional<forms::gdi::MemoryDc> ownDc_;
    HGDIOBJ previousBitmap_ = nullptr;
    uint32_t capabilities_ = 0;
    int32_t imageType_ = 0;
    bool manageOwnDc_ = false;
    bool alpha_ = false;
    std::vector<uint8_t> sourceBytes_;
    std::optional<BlendSection> blendSection_;
};

}  // namespace quill::imaging
