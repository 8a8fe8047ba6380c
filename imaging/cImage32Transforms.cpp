// Fitted sizes, copies, resizing, trimming, the checker board, grey scale,
// the BMP writer and rotation.
#include <cstdlib>
#include <cstring>

#include "forms/Files.h"
#include "forms/MessageBox.h"
#include "imaging/BmpFormat.h"
#include "imaging/PixelBlend.h"
#include "imaging/PixelTransforms.h"
#include "imaging/Rotation.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cImage32.h"

namespace quill::imaging {

void cImage32::ScaleImage(int destWidth, int destHeight, int& newWidth, int& newHeight, int scaleMode) const
{
    if (!bitmap_)
        return;
    FittedSize(width_, height_, destWidth, destHeight, scaleMode, newWidth, newHeight);
}

void cImage32::CopyImageTo(std::unique_ptr<cImage32>& copy, int newWidth, int newHeight,
                           bool copyOriginalFormat)
{
    if (!bitmap_)
        return;
    if (!copy) {
        copy = std::make_unique<cImage32>();
        copy->isGDIplusEnabled(isGDIplusEnabled());
        copy->HighQualityInterpolation(highQuality_);
    }
    CopyImageTo(*copy, newWidth, newHeight, copyOriginalFormat);
}

// Fills `target` (already width |newWidth| x |newHeight|) with this image
// scaled, and mirrored for a negative size.
void cImage32::FillScaled(cImage32& target, int newWidth, int newHeight, bool viaGdiplus)
{
    if (viaGdiplus) {
        const bool wasSelected = previousBitmap_ != nullptr;
        HDC targetDc = target.LoadDIBinDC(true);
        if (!wasSelected)
            LoadDIBinDC(true);
        cGDIPlus().RenderViaGdiplus(*this, targetDc, 0, 100, 0, 0, newWidth, newHeight, 0, 0, width_, height_,
                                    true);
        target.LoadDIBinDC(false);
        if (!wasSelected)
            LoadDIBinDC(false);
        GdiFlush();
        return;
    }
    if (newWidth < 0 || newHeight < 0) {
        // The mirrored picture, then scaled into the target when the size
        // differs.
        std::vector<uint32_t> mirrored =
            MirrorRect(Pixels(), {0, 0, width_, height_}, newWidth < 0, newHeight < 0);
        if (target.Width() == width_ && target.Height() == height_) {
            std::memcpy(target.BitsPointer(), mirrored.data(), mirrored.size() * 4);
            return;
        }
        std::vector<uint32_t> unused;
        int dw = 0, dh = 0;
        ResampleBits(nullptr, unused, mirrored, &target, 0, 0, width_, height_, 0, 0, dw, dh);
        return;
    }
    if (AlphaBlendFlag() && !highQuality_) {
        HDC targetDc = target.LoadDIBinDC(true);
        Render(targetDc, 0, 0, newWidth, newHeight, 0, 0, 0, 0, 100, true, true);
        target.LoadDIBinDC(false);
        GdiFlush();
        return;
    }
    std::vector<uint32_t> unused, none;
    int dw = 0, dh = 0;
    ResampleBits(nullptr, unused, none, &target, 0, 0, width_, height_, 0, 0, dw, dh);
}

void cImage32::CopyImageTo(cImage32& copy, int newWidth, int newHeight, bool copyOriginalFormat)
{
    if (!bitmap_)
        return;
    if (newWidth == 0)
        newWidth = width_;
    if (newHeight == 0)
        newHeight = height_;
    if (copy.Width() != std::abs(newWidth) || copy.Height() != std::abs(newHeight))
        copy.InitializeDIB(std::abs(newWidth), std::abs(newHeight));
    copy.SetAlpha(alpha_);
    copy.SetImageType(imageType_);
    if (!copy.Handle())
        return;
    if (newWidth == width_ && newHeight == height_)
        std::memcpy(copy.BitsPointer(), bits_,
                    static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
    else
        FillScaled(copy, newWidth, newHeight, GdiplusUsable() && (highQuality_ || !AlphaBlendFlag()));
    if (copyOriginalFormat)
        copy.SetOriginalBytes(sourceBytes_);
}

bool cImage32::Resize(int newWidth, int newHeight)
{
    if (!bitmap_)
        return false;
    if (newWidth == 0)
        newWidth = width_;
    if (newHeight == 0)
        newHeight = height_;
    if (newWidth == width_ && newHeight == height_)
        return true;
    cImage32 temporary;
    temporary.isGDIplusEnabled(isGDIplusEnabled());
    temporary.HighQualityInterpolation(highQuality_);
    if (!temporary.InitializeDIB(std::abs(newWidth), std::abs(newHeight)))
        return false;
    temporary.SetImageType(imageType_);
    temporary.SetAlpha(alpha_);
    temporary.SetOriginalBytes(sourceBytes_);
    // GDI+ is taken only for high quality here (a narrower test than a copy's).
    FillScaled(temporary, newWidth, newHeight, highQuality_ && GdiplusUsable());
    temporary.CopyImageTo(*this, 0, 0, true);
    return true;
}

bool cImage32::TrimImage(bool update, int sides, int& left, int& top, int& width, int& height)
{
    if (!bitmap_ || sides < 0)
        return false;
    if (!alpha_) {
        left = top = 0;
        width = width_;
        height = height_;
        return true;
    }
    TrimRect t = FindTrim(Pixels(), sides);
    if (!t.found) {
        left = top = width = height = 0;
        return false;
    }
    left = t.left;
    top = t.top;
    width = t.width;
    height = t.height;
    if (update && (t.width < width_ || t.height < height_)) {
        cImage32 trimmed;
        if (!trimmed.InitializeDIB(t.width, t.height))
            return true;
        trimmed.SetAlpha(alpha_);
        trimmed.SetImageType(imageType_);
        trimmed.SetOriginalBytes(sourceBytes_);
        std::vector<uint32_t> rect = CopyRect(Pixels(), t.left, t.top, t.width, t.height);
        std::memcpy(trimmed.BitsPointer(), rect.data(), rect.size() * 4);
        trimmed.CopyImageTo(*this, 0, 0, true);
        left = top = 0;
    }
    return true;
}

bool cImage32::CreateCheckerBoard(int checkerSize, uint32_t colour1, uint32_t colour2)
{
    // A size below 1 would never advance.
    if (!bitmap_ || checkerSize < 1)
        return false;
    {
        CallSelection selection(*this);
        forms::gdi::BrushHandle first(CreateSolidBrush(colour1)), second(CreateSolidBrush(colour2));
        bool rowStartsSecond = false;
        for (int64_t y = 0; y < height_; y += checkerSize, rowStartsSecond = !rowStartsSecond) {
            bool useSecond = rowStartsSecond;
            for (int64_t x = 0; x < width_; x += checkerSize, useSecond = !useSecond) {
                RECT r{static_cast<LONG>(x), static_cast<LONG>(y),
                       static_cast<LONG>(std::min<int64_t>(x + checkerSize, width_)),
                       static_cast<LONG>(std::min<int64_t>(y + checkerSize, height_))};
                FillRect(selection.Dc(), &r, useSecond ? second : first);
            }
        }
        GdiFlush();
    }
    for (size_t i = 0, n = Pixels().Count(); i < n; ++i)
        bits_[i] |= 0xFF000000u;
    alpha_ = false;
    imageType_ = 64;
    return true;
}

bool cImage32::MakeGrayScale(int formula)
{
    if (!bitmap_)
        return false;
    if (GdiplusUsable())
        return cGDIPlus().GrayScaleViaGdiplus(*this, formula);
    MakeGrey(Pixels(), formula);
    return true;
}

namespace {

class WriteFile {
public:
    explicit WriteFile(const std::wstring& name)
        : handle_(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~WriteFile()
    {
        if (IsOpen())
            CloseHandle(handle_);
    }
    WriteFile(const WriteFile&) = delete;
    WriteFile& operator=(const WriteFile&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    // True when every byte was written.
    bool Write(const void* data, size_t size)
    {
        DWORD written = 0;
        return ::WriteFile(handle_, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    }

private:
    HANDLE handle_;
};

}  // namespace

bool cImage32::SaveToFile(const std::wstring& fileName, bool promptOverwrite)
{
    if (fileName.empty() || !bitmap_)
        return false;
    std::array<uint8_t, BmpHeaderBytes> header;
    if (!BmpFileHeader(width_, height_, header))
        return false;
    if (promptOverwrite && forms::FileExists(fileName) &&
        forms::MsgBox(L"Overwrite current file?",
                      forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2,
                      L"Overwrite Confirmation") == forms::vbNo)
        return false;
    WriteFile file(fileName);
    if (!file.IsOpen())
        return false;
    // Signature, file size, reserved, data offset, information header, pixels.
    static const size_t pieces[] = {2, 4, 4, 4, 40};
    size_t at = 0;
    for (size_t piece : pieces) {
        if (!file.Write(header.data() + at, piece))
            return false;
        at += piece;
    }
    return file.Write(bits_, static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
}

bool cImage32::SaveToStream(std::vector<uint8_t>& outStream) const
{
    if (!bitmap_)
        return false;
    outStream = BmpFileBytes(Pixels());
    return !outStream.empty();
}

bool cImage32::RotateAtCenterPoint(HDC dc, int32_t angle, int32_t centerX, int32_t centerY, int32_t dw,
                                   int32_t dh, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                                   int32_t opacity)
{
    if (dw == 0)
        dw = width_;
    if (dh == 0)
        dh = height_;
    return RotateAtTopLeft(dc, angle, centerX - dw / 2, centerY - dh / 2, dw, dh, sx, sy, sw, sh, opacity);
}

bool cImage32::RotateAtTopLeft(HDC dc, int32_t angle, int32_t x, int32_t y, int32_t dw, int32_t dh,
                               int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t opacity)
{
    if (!bitmap_ || !dc)
        return false;
    const int remainder = AngleRemainder(angle);
    if (remainder == 0)
        return Render(dc, x, y, dw, dh, sx, sy, sw, sh, opacity, true, true);
    if (sx < 0 || sy < 0)
        return false;
    if (sw < 1)
        sw = width_;
    if (sh < 1)
        sh = height_;
    if (static_cast<int64_t>(sx) + sw > width_ || static_cast<int64_t>(sy) + sh > height_)
        return false;
    if (dw == 0)
        dw = width_;
    if (dh == 0)
        dh = height_;
    if (opacity == 0)
        return true;
    if (GdiplusUsable() && cGDIPlus().RenderViaGdiplus(*this, dc, remainder, ReduceOpacity(opacity), x, y, dw,
                                                       dh, sx, sy, sw, sh, highQuality_))
        return true;
    if (dw < 0)
        x += dw;
    if (dh < 0)
        y += dh;
    std::vector<uint32_t> mirrored;
    MirrorBits(sx, sy, sw, sh, dw, dh, mirrored);
    // A square that cannot be made ends the call.
    const int side = RotationSquareSize(dw, dh);
    if (side == 0)
        return false;
    cImage32 square;
    square.isGDIplusEnabled(isGDIplusEnabled());
    square.HighQualityInterpolation(highQuality_);
    if (!square.InitializeDIB(side, side))
        return false;
    ConstPixelView source =
        mirrored.empty() ? ConstPixelView(Pixels()) : ConstPixelView{mirrored.data(), sw, sh};
    RotateInto(source, {sx, sy, sw, sh}, dw, dh, remainder, highQuality_, square.Pixels());
    mirrored.clear();
    return square.Render(dc, x + dw / 2 - side / 2, y + dh / 2 - side / 2, 0, 0, 0, 0, 0, 0, opacity, true,
                         true);
}

}  // namespace quill::imaging
