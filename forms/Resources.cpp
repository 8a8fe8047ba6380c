#include "forms/Resources.h"

#include "forms/lang/Error.h"

namespace quill::forms {

namespace {
[[noreturn]] void NoResource(int id)
{
    throw RuntimeError(326, L"找不到资源标识符为 " + std::to_wstring(id) + L" 的资源");
}
}  // namespace

Bytes LoadResData(int id, const wchar_t* type)
{
    HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    HGLOBAL data = res ? LoadResource(nullptr, res) : nullptr;
    const auto* p = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
    if (!p)
        NoResource(id);
    return Bytes(p, p + SizeofResource(nullptr, res));
}

Picture::Ref LoadResPicture(int id, int16_t type)
{
    HINSTANCE self = GetModuleHandleW(nullptr);
    Picture::Ref pic;
    if (type == vbResBitmap) {
        if (HANDLE h = LoadImageW(self, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR))
            pic = Picture::FromBitmap(static_cast<HBITMAP>(h));
    } else {
        UINT kind = type == vbResCursor ? IMAGE_CURSOR : IMAGE_ICON;
        if (HANDLE h = LoadImageW(self, MAKEINTRESOURCEW(id), kind, 0, 0, LR_DEFAULTCOLOR | LR_DEFAULTSIZE))
            pic = Picture::FromIcon(static_cast<HICON>(h));
    }
    if (!pic)
        NoResource(id);
    return pic;
}

}  // namespace quill::forms
