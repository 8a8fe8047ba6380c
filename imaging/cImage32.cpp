#include "imaging/cImage32.h"

#include <cstdlib>
#include <limits>

#include "forms/lang/Error.h"
#include "imaging/ImageCapabilities.h"
#include "imaging/cGDIPlus.h"
#include "imaging/modParsersPlatform.h"

namespace quill::imaging {

namespace {

uint32_t ProbeAlphaBlend()
{
    // The extended version record first, the plain one if that fails.
    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof(extended);
    OSVERSIONINFOA& info = *reinterpret_cast<OSVERSIONINFOA*>(&extended);
    if (!GetVersionExA(&info)) {
        info = OSVERSIONINFOA{};
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(&info))
            return 0;
    }
    return AlphaBlendUsable(info.dwPlatformId, info.dwMajorVersion) ? uint32_t{CanAlphaBlend} : 0u;
}

}  // namespace

cImage32::cImage32()
{
    capabilities_ = ProbeAlphaBlend();
    isGDIplusEnabled(true);
    if (isGDIplusEnabled())
        highQuality_ = true;
}

cImage32::~cImage32()
{
    DestroyDIB();
}

int32_t cImage32::scanWidth() const
{
    int64_t bytes = static_cast<int64_t>(width_) * 4;
    if (bytes > std::numeric_limits<int32_t>::max())
        throw forms::RuntimeError(forms::kOverflow);
    return static_cast<int32_t>(bytes);
}

HDC cImage32::LoadDIBinDC(bool load)
{
    if (load) {
        if (!bitmap_)
            return nullptr;
        if (!ownDc_)
            ownDc_.emplace(nullptr);
        if (!previousBitmap_)
            previousBitmap_ = SelectObject(*ownDc_, bitmap_.Get());
        return *ownDc_;
    }
    if (previousBitmap_ && ownDc_) {
        SelectObject(*ownDc_, previousBitmap_);
        previousBitmap_ = nullptr;
        if (!manageOwnDc_)
            ownDc_.reset();
    }
    return nullptr;
}

void cImage32::ManageOwnDC(bool value)
{
    if (!value) {
        if (ownDc_) {
            if (bitmap_ && previousBitmap_)
                SelectObject(*ownDc_, previousBitmap_);
            previousBitmap_ = nullptr;
            ownDc_.reset();
        }
    } else if (!ownDc_ && bitmap_) {
        ownDc_.emplace(nullptr);
    }
    manageOwnDc_ = value;
}

bool cImage32::isAlphaBlendFriendly() const
{
    return AlphaBlendFlag();
}

bool cImage32::isGDIplusEnabled() const
{
    return GdiplusUsable();
}

void cImage32::isGDIplusEnabled(bool value)
{
    capabilities_ &= ~static_cast<uint32_t>(CanGdiplus);
    if (value && cGDIPlus().isGDIplusOk())
        capabilities_ |= CanGdiplus;
}

bool cImage32::isZlibEnabled() const
{
    std::wstring name;
    int code = 0;
    bool cdeclCall = false, compress2 = false;
    return ProbeZlib(name, code, cdeclCall, compress2, true);
}

bool cImage32::InitializeDIB(int32_t width, int32_t height)
{
    DestroyDIB();
    if (width < 0 || height == 0)
        return false;
    const int64_t rows = std::llabs(static_cast<int64_t>(height));
    if (static_cast<int64_t>(width) * rows * 4 > std::numeric_limits<int32_t>::max())
        return false;
    forms::gdi::WindowDc screen(nullptr);
    uint32_t* bits = nullptr;
    forms::gdi::BitmapHandle section = forms::gdi::BottomUpDib(screen, width, static_cast<int>(rows), bits);
    if (manageOwnDc_ && !ownDc_)
        ownDc_.emplace(screen);
    if (!section || !bits)
        return false;
    bitmap_ = std::move(section);
    bits_ = bits;
    width_ = width;
    height_ = static_cast<int32_t>(rows);
    alpha_ = true;
    imageType_ = 0;
    return true;
}

void cImage32::DestroyDIB()
{
    if (ownDc_) {
        if (previousBitmap_)
            SelectObject(*ownDc_, previousBitmap_);
        ownDc_.reset();
    }
    if (bitmap_) {
        bitmap_.Reset();
        sourceBytes_.clear();
        sourceBytes_.shrink_to_fit();
    }
    width_ = height_ = 0;
    bits_ = nullptr;
    previousBitmap_ = nullptr;
    alpha_ = false;
    imageType_ = -1;
}

}  // namespace quill::imaging
