// GDI+ for the popup menu and the login window's drop button: the process's
// GDI+ session and its token, owners for the flat API's objects (counted,
// so tests see that nothing outlives its use), and the rounded-rectangle
// path both draw with.
#pragma once

#include <windows.h>
// objidl.h first: gdiplus.h needs IStream.
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <utility>

namespace quill::session {

// The token of the process's GDI+ session, 0 while none runs.
inline ULONG_PTR GdipToken = 0;

// Ends the GDI+ session of `token` (nothing for 0); GdipToken becomes 0 when
// it was that session.
void ShutdownGdiplus(ULONG_PTR token);

// A GDI+ session for the life of its owner: started on construction (its
// token in GdipToken while no other session is there) and shut down on
// destruction, after every object made in it has been freed.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

// GDI+ objects made through the owners below and not yet freed.
long LiveGdiplusObjects();

namespace detail {
void CountGdiplus(int delta);
}

// Owns one object of the flat API and frees it with `Free`.
template <class T, Gdiplus::GpStatus(WINGDIPAPI* Free)(T*)>
class GdipOwned {
public:
    GdipOwned() = default;
    explicit GdipOwned(T* object) { Reset(object); }
    ~GdipOwned() { Reset(); }
    GdipOwned(GdipOwned&& o) noexcept : object_(std::exchange(o.object_, nullptr)) {}
    GdipOwned& operator=(GdipOwned&& o) noexcept
    {
        if (this != &o) {
            Reset();
            object_ = std::exchange(o.object_, nullptr);
        }
        return *this;
    }
    GdipOwned(const GdipOwned&) = delete;
    GdipOwned& operator=(const GdipOwned&) = delete;

    void Reset(T* object = nullptr)
    {
        if (object_) {
            Free(object_);
            detail::CountGdiplus(-1);
        }
        object_ = object;
        if (object_)
            detail::CountGdiplus(+1);
    }
    // For the flat API's "make" calls: frees what is held and hands out the
    // slot for the new object.
    T** Out()
    {
        Reset();
        return &pending_;
    }
    // Takes the object a "make" call put into Out()'s slot.
    void Take() { Reset(std::exchange(pending_, nullptr)); }
    T* Get() const { return object_; }
    operator T*() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
    T* pending_ = nullptr;
};

namespace gdip {
Gdiplus::GpStatus WINGDIPAPI DisposeBitmap(Gdiplus::GpBitmap* bitmap);
Gdiplus::GpStatus WINGDIPAPI DeleteLineBrush(Gdiplus::GpLineGradient* brush);
Gdiplus::GpStatus WINGDIPAPI DeleteSolidBrush(Gdiplus::GpSolidFill* brush);
}  // namespace gdip

using GraphicsOwner = GdipOwned<Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>;
using PathOwner = GdipOwned<Gdiplus::GpPath, Gdiplus::DllExports::GdipDeletePath>;
using PenOwner = GdipOwned<Gdiplus::GpPen, Gdiplus::DllExports::GdipDeletePen>;
using BrushOwner = GdipOwned<Gdiplus::GpBrush, Gdiplus::DllExports::GdipDeleteBrush>;
using SolidBrushOwner = GdipOwned<Gdiplus::GpSolidFill, gdip::DeleteSolidBrush>;
using LineBrushOwner = GdipOwned<Gdiplus::GpLineGradient, gdip::DeleteLineBrush>;
using BitmapOwner = GdipOwned<Gdiplus::GpBitmap, gdip::DisposeBitmap>;
using FontFamilyOwner = GdipOwned<Gdiplus::GpFontFamily, Gdiplus::DllExports::GdipDeleteFontFamily>;
using FontOwner = GdipOwned<Gdiplus::GpFont, Gdiplus::DllExports::GdipDeleteFont>;
using StringFormatOwner = GdipOwned<Gdiplus::GpStringFormat, Gdiplus::DllExports::GdipDeleteStringFormat>;

// The font family of that name; when GDI+ does not know it, the family the
// system substitutes for the name (GDI+ ignores the platform's substitution
// list, so Wine with only Chinese fonts has no "Verdana" for it), else the
// generic sans-serif family.
FontFamilyOwner FontFamilyFor(const wchar_t* name);

// A new closed path of four quarter arcs of diameter d: the rounded
// rectangle (x, y, width, height), fill mode alternate.
PathOwner CreateRoundRectPath(float x, float y, float width, float height, float diameter);

}  // namespace quill::session
