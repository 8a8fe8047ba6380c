#pragma once
// The routines of modParsers that need the platform: picture objects,
// files and libraries.
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "forms/Picture.h"

namespace quill::imaging {

// A library loaded from the program's folder or the system folder only
// (never the current folder or PATH), freed when it ends.
class LibraryHandle {
public:
    LibraryHandle() = default;
    explicit LibraryHandle(const wchar_t* name);
    ~LibraryHandle() { Reset(); }
    LibraryHandle(LibraryHandle&& o) noexcept : module_(std::exchange(o.module_, nullptr)) {}
    LibraryHandle& operator=(LibraryHandle&& o) noexcept
    {
        if (this != &o) {
            Reset();
            module_ = std::exchange(o.module_, nullptr);
        }
        return *this;
    }
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;

    // Frees the library; the system's success value, False when none was loaded.
    bool Reset();
    HMODULE Get() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }
    FARPROC Find(const char* name) const { return module_ ? GetProcAddress(module_, name) : nullptr; }

private:
    HMODULE module_ = nullptr;
};

// A picture object read by the platform's picture loader from `length`
// bytes at `start`; none when the bytes are outside the array or no picture.
forms::Picture::Ref PictureFromBytes(const std::vector<uint8_t>& bytes, int32_t start, int32_t length);

// A picture object that wraps the handle and owns it: type 1 bitmap, 3 icon
// or cursor, 4 enhanced metafile.
forms::Picture::Ref PictureFromHandle(HANDLE handle, int16_t pictureType);

// True when a file (hidden, system and read-only ones included; not a
// folder) of that name exists.
bool PathExists(const std::wstring& path);

// True when the library loads and exports the name; the library is freed.
bool ExportExists(const wchar_t* library, const char* exportName);

// Looks for a zlib library that exports crc32: "zlib1.dll" (code 2), then
// "zlib.dll" (code 1); code 0 and "zlib.dll" when neither does. compress2
// tells whether it exports compress2. Outside the quick mode `cdeclCall` is set
// True: on x86-64 every build of zlib is called the one way there is, so no
// machine code is scanned. While SetZlibDisabled(true) is in force no
// library is found.
bool ProbeZlib(std::wstring& name, int& code, bool& cdeclCall, bool& compress2, bool quickMode);

// HIMETRIC units (0.01 mm) to screen pixels in one direction, rounded to the
// nearest (halves to even); value x 1440 beyond 32 bits raises error 6.
int HimetricToPixels(int32_t value, bool horizontal);

}  // namespace quill::imaging
