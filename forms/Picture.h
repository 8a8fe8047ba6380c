#pragma once
// Pictures as the platform's forms hold them: icons, bitmaps and the GIF and
// JPEG images its picture loader reads, shared by reference.
#include "forms/Gdi.h"

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <memory>
#include <span>

namespace quill::forms {

enum : int16_t { vbPicTypeNone = 0, vbPicTypeBitmap = 1, vbPicTypeMetafile = 2, vbPicTypeIcon = 3 };

class Picture {
public:
    using Ref = std::shared_ptr<Picture>;

    // Through the platform's picture loader (OleLoadPicture); nullptr when
    // the bytes are no picture it reads.
    static Ref FromBytes(std::span<const uint8_t> bytes);
    // The picture takes the handle over once it is made; on failure the
    // owner keeps it (and deletes it).
    static Ref FromBitmap(gdi::BitmapHandle&& bitmap);
    static Ref FromIcon(gdi::IconHandle&& icon);
    // Takes ownership of a raw handle, whatever happens.
    static Ref FromBitmap(HBITMAP bitmap);
    static Ref FromIcon(HICON icon);

    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int16_t Type() const;
    HANDLE Handle() const;
    int Width() const;  // pixels
    int Height() const;
    // Draws the whole picture into (x, y, cx, cy) of the DC.
    void Render(HDC dc, int x, int y, int cx, int cy) const;
    IPicture* Interface() const { return pic_; }

    explicit Picture(IPicture* pic) : pic_(pic) {}  // takes the reference

private:
    IPicture* pic_;
};

// The apartment the platform's objects need; started once on the UI thread.
void EnsureCom();

}  // namespace quill::forms
