#include "forms/Picture.h"

#include <objbase.h>

namespace quill::forms {

void EnsureCom()
{
    static bool started = SUCCEEDED(OleInitialize(nullptr));
    (void)started;
}

namespace {

Picture::Ref FromDescription(PICTDESC& desc)
{
    EnsureCom();
    IPicture* pic = nullptr;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, reinterpret_cast<void**>(&pic))) || !pic)
        return nullptr;
    return std::make_shared<Picture>(pic);
}

int HimetricToPixels(OLE_XSIZE_HIMETRIC v)
{
    return MulDiv(v, 96, 2540);
}

}  // namespace

Picture::Ref Picture::FromBytes(std::span<const uint8_t> bytes)
{
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF)
        return nullptr;
    EnsureCom();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!mem)
        return nullptr;
    if (void* p = GlobalLock(mem)) {
        memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(mem);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
        GlobalFree(mem);
        return nullptr;
    }
    IPicture* pic = nullptr;
    HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&pic));
    stream->Release();
    if (FAILED(hr) || !pic)
        return nullptr;
    return std::make_shared<Picture>(pic);
}

Picture::Ref Picture::FromBitmap(gdi::BitmapHandle&& bitmap)
{
    PICTDESC d{};
    d.cbSizeofstruct = sizeof(d);
    d.picType = PICTYPE_BITMAP;
    d.bmp.hbitmap = bitmap;
    Ref picture = bitmap ? FromDescription(d) : nullptr;
    if (picture)
        bitmap.Release();
    return picture;
}

Picture::Ref Picture::FromIcon(gdi::IconHandle&& icon)
{
    PICTDESC d{};
    d.cbSizeofstruct = sizeof(d);
    d.picType = PICTYPE_ICON;
    d.icon.hicon = icon;
    Ref picture = icon ? FromDescription(d) : nullptr;
    if (picture)
        icon.Release();
    return picture;
}

Picture::Ref Picture::FromBitmap(HBITMAP bitmap)
{
    return FromBitmap(gdi::BitmapHandle(bitmap));
}

Picture::Ref Picture::FromIcon(HICON icon)
{
    return FromIcon(gdi::IconHandle(icon));
}

Picture::~Picture()
{
    if (pic_)
        pic_->Release();
}

int16_t Picture::Type() const
{
    SHORT t = PICTYPE_NONE;
    pic_->get_Type(&t);
    return t == PICTYPE_BITMAP     ? vbPicTypeBitmap
           : t == PICTYPE_ICON     ? vbPicTypeIcon
           : t == PICTYPE_METAFILE ? vbPicTypeMetafile
                                   : vbPicTypeNone;
}

HANDLE Picture::Handle() const
{
    OLE_HANDLE h = 0;
    pic_->get_Handle(&h);
    // Handles travel as 32-bit values and are sign-extended, as the system does.
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(static_cast<int32_t>(h)));
}

int Picture::Width() const
{
    OLE_XSIZE_HIMETRIC w = 0;
    pic_->get_Width(&w);
    return HimetricToPixels(w);
}

int Picture::Height() const
{
    OLE_YSIZE_HIMETRIC h = 0;
    pic_->get_Height(&h);
    return HimetricToPixels(h);
}

void Picture::Render(HDC dc, int x, int y, int cx, int cy) const
{
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    pic_->get_Width(&w);
    pic_->get_Height(&h);
    // The source rectangle runs bottom-up in HIMETRIC.
    pic_->Render(dc, x, y, cx, cy, 0, h, w, -h, nullptr);
}

}  // namespace quill::forms
