#include "session/mGDIp.h"

#include <string>

namespace quill::session {

using namespace Gdiplus::DllExports;

namespace {
long liveObjects = 0;
}

void detail::CountGdiplus(int delta)
{
    liveObjects += delta;
}

long LiveGdiplusObjects()
{
    return liveObjects;
}

void ShutdownGdiplus(ULONG_PTR token)
{
    if (token == 0)
        return;
    Gdiplus::GdiplusShutdown(token);
    if (GdipToken == token)
        GdipToken = 0;
}

GdiplusSession::GdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok)
        token_ = 0;
    else if (GdipToken == 0)
        GdipToken = token_;
}

GdiplusSession::~GdiplusSession()
{
    ShutdownGdiplus(token_);
}

Gdiplus::GpStatus WINGDIPAPI gdip::DisposeBitmap(Gdiplus::GpBitmap* bitmap)
{
    return GdipDisposeImage(bitmap);
}

Gdiplus::GpStatus WINGDIPAPI gdip::DeleteLineBrush(Gdiplus::GpLineGradient* brush)
{
    return GdipDeleteBrush(brush);
}

Gdiplus::GpStatus WINGDIPAPI gdip::DeleteSolidBrush(Gdiplus::GpSolidFill* brush)
{
    return GdipDeleteBrush(brush);
}

FontFamilyOwner FontFamilyFor(const wchar_t* name)
{
    FontFamilyOwner family;
    GdipCreateFontFamilyFromName(name, nullptr, family.Out());
    family.Take();
    if (family)
        return family;
    wchar_t substitute[LF_FACESIZE + 16] = {};
    DWORD size = sizeof substitute;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                     name, RRF_RT_REG_SZ, nullptr, substitute, &size) == ERROR_SUCCESS) {
        std::wstring face = substitute;
        face = face.substr(0, face.find(L','));  // "Face,charset"
        GdipCreateFontFamilyFromName(face.c_str(), nullptr, family.Out());
        family.Take();
        if (family)
            return family;
    }
    Gdiplus::GpFontFamily* generic = nullptr;
    if (GdipGetGenericFontFamilySansSerif(&generic) == Gdiplus::Ok && generic) {
        GdipCloneFontFamily(generic, family.Out());
        family.Take();
    }
    return family;
}

PathOwner CreateRoundRectPath(float x, float y, float width, float height, float diameter)
{
    PathOwner path;
    GdipCreatePath(Gdiplus::FillModeAlternate, path.Out());
    path.Take();
    const float d = diameter;
    GdipAddPathArc(path, x, y, d, d, 180, 90);
    GdipAddPathArc(path, x + width - d - 1, y, d, d, -90, 90);
    GdipAddPathArc(path, x + width - d - 1, y + height - d - 1, d, d, 0, 90);
    GdipAddPathArc(path, x, y + height - d - 1, d, d, 90, 90);
    GdipClosePathFigure(path);
    return path;
}

}  // namespace quill::session
