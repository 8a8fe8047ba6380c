#include "imaging/modParsersPlatform.h"

#include "imaging/LibrarySwitches.h"

#include <olectl.h>

#include <cmath>
#include <limits>
#include <memory>
#include <span>

#include "forms/lang/Error.h"
#include "forms/Screen.h"

namespace quill::imaging {

LibraryHandle::LibraryHandle(const wchar_t* name)
    : module_(
          LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32))
{
}

bool LibraryHandle::Reset()
{
    if (!module_)
        return false;
    bool freed = FreeLibrary(std::exchange(module_, nullptr)) != 0;
    return freed;
}

forms::Picture::Ref PictureFromBytes(const std::vector<uint8_t>& bytes, int32_t start, int32_t length)
{
    if (start < 0 || length < 1 || static_cast<int64_t>(start) + length > static_cast<int64_t>(bytes.size()))
        return nullptr;
    return forms::Picture::FromBytes(
        std::span<const uint8_t>(bytes).subspan(static_cast<size_t>(start), static_cast<size_t>(length)));
}

forms::Picture::Ref PictureFromHandle(HANDLE handle, int16_t pictureType)
{
    PICTDESC d{};
    d.cbSizeofstruct = sizeof(d);
    d.picType = pictureType;
    switch (pictureType) {
    case PICTYPE_BITMAP:
        d.bmp.hbitmap = static_cast<HBITMAP>(handle);
        break;
    case PICTYPE_ICON:
        d.icon.hicon = static_cast<HICON>(handle);
        break;
    case PICTYPE_ENHMETAFILE:
        d.emf.hemf = static_cast<HENHMETAFILE>(handle);
        break;
    default:
        return nullptr;
    }
    forms::EnsureCom();
    IPicture* pic = nullptr;
    if (FAILED(OleCreatePictureIndirect(&d, IID_IPicture, TRUE, reinterpret_cast<void**>(&pic))) || !pic)
        return nullptr;
    return std::make_shared<forms::Picture>(pic);
}

bool PathExists(const std::wstring& path)
{
    if (path.empty())
        return false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool file = false;
    do {
        file = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    } while (!file && FindNextFileW(search, &found));
    FindClose(search);
    return file;
}

bool ExportExists(const wchar_t* library, const char* exportName)
{
    LibraryHandle lib(library);
    return lib.Find(exportName) != nullptr;
}

bool ProbeZlib(std::wstring& name, int& code, bool& cdeclCall, bool& compress2, bool quickMode)
{
    name = L"zlib1.dll";
    code = 2;
    if (ZlibDisabled()) {
        name = L"zlib.dll";
        code = 0;
        compress2 = false;
    }
    while (code > 0) {
        LibraryHandle lib(name.c_str());
        if (lib) {
            compress2 = lib.Find("compress2") != nullptr;
            if (lib.Find("crc32")) {
                if (!quickMode)
                    cdeclCall = true;
                break;
            }
        }
        compress2 = false;
        name = L"zlib.dll";
        --code;
    }
    return code > 0;
}

int HimetricToPixels(int32_t value, bool horizontal)
{
    int64_t twips = static_cast<int64_t>(value) * 1440;
    if (twips > std::numeric_limits<int32_t>::max() || twips < std::numeric_limits<int32_t>::min())
        throw forms::RuntimeError(forms::kOverflow);
    double perPixel = horizontal ? forms::Screen::TwipsPerPixelX() : forms::Screen::TwipsPerPixelY();
    double pixels = static_cast<double>(twips) / 2540.0 / perPixel;
    return static_cast<int>(std::nearbyint(pixels));
}

}  // namespace quill::imaging
