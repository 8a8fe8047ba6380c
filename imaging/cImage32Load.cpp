// Loading: files, byte arrays, resources, picture objects and handles,
// through the readers in their order.
#include <algorithm>
#include <exception>
#include <optional>

#include "forms/lang/Error.h"
#include "forms/MessageBox.h"
#include "imaging/cBMPParser.h"
#include "imaging/cGIFParser.h"
#include "imaging/cICOParser.h"
#include "imaging/cImage32.h"
#include "imaging/cPNGParser.h"
#include "imaging/modParsersPlatform.h"

namespace quill::imaging {

namespace {

// Fewer bytes than this hold no picture any reader takes.
constexpr int64_t MinPictureBytes = 57;

// A file opened for reading for the length of the dispatcher.
class ReadFile {
public:
    explicit ReadFile(const std::wstring& name)
        : handle_(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~ReadFile() { Close(); }
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Close()
    {
        if (IsOpen())
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    // The whole file; empty when it cannot be read.
    std::vector<uint8_t> ReadAll()
    {
        LARGE_INTEGER size{};
        if (!IsOpen() || !GetFileSizeEx(handle_, &size) || size.QuadPart > 0x7FFFFFFF)
            return {};
        std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
        LARGE_INTEGER zero{};
        SetFilePointerEx(handle_, zero, nullptr, FILE_BEGIN);
        DWORD read = 0;
        if (!bytes.empty() &&
            (!::ReadFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
             read != bytes.size()))
            return {};
        return bytes;
    }

private:
    HANDLE handle_;
};

int64_t FileLength(const std::wstring& name)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// One reader's step of a load whose errors are suppressed (a file): an error
// counts as "not taken".
template <class Step>
bool Suppressed(bool suppress, Step&& step)
{
    if (!suppress)
        return step();
    try {
        return step();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool cImage32::LoadPicture_File(const std::wstring& fileName, int iconCx, int iconCy, bool saveFormat)
{
    try {
        if (!PathExists(fileName) || FileLength(fileName) < MinPictureBytes)
            return false;
        std::vector<uint8_t> bytes;
        int32_t start = 0, length = 0;
        return LoadFromSource(fileName, bytes, iconCx, iconCy, start, length, saveFormat);
    } catch (const std::exception&) {
        return false;
    }
}

bool cImage32::LoadPicture_Stream(const std::vector<uint8_t>& inStream, int iconCx, int iconCy,
                                  int32_t streamStart, int32_t streamLength, bool saveFormat)
{
    if (inStream.empty())
        return false;
    if (streamStart < 0)
        streamStart = 0;
    const int64_t size = static_cast<int64_t>(inStream.size());
    if (streamStart >= size)
        return false;
    if (streamLength == 0)
        streamLength = static_cast<int32_t>(size - streamStart);
    // The stream must lie inside the array.
    if (streamLength < MinPictureBytes || streamStart + static_cast<int64_t>(streamLength) > size)
        return false;
    std::vector<uint8_t> bytes = inStream;
    return LoadFromSource(std::wstring(), bytes, iconCx, iconCy, streamStart, streamLength, saveFormat);
}

bool cImage32::LoadPicture_Resource(const ResourceName& resIndex, const ResourceName& resSection,
                                    HMODULE module, int iconCx, int iconCy, int32_t streamStart,
                                    int32_t streamLength)
{
    try {
        if (!module)
            module = GetModuleHandleW(nullptr);
        if (resSection.IsText()) {
            HRSRC found = FindResourceW(module, resIndex.Pointer(), resSection.Pointer());
            HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
            const auto* p = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
            if (!p)
                return false;
            // A resource's bytes are read-only: the readers get a copy.
            std::vector<uint8_t> bytes(p, p + SizeofResource(module, found));
            LoadPicture_Stream(bytes, iconCx, iconCy, streamStart, streamLength, false);
        } else {
            static const UINT kinds[] = {IMAGE_BITMAP, IMAGE_ICON, IMAGE_CURSOR};
            const int kind = static_cast<int16_t>(resSection.Number());
            if (kind < 0 || kind > 2)
                return false;
            HANDLE handle = LoadImageW(module, resIndex.Pointer(), kinds[kind], 0, 0,
                                       kind == 0 ? LR_CREATEDIBSECTION : LR_DEFAULTCOLOR | LR_DEFAULTSIZE);
            if (!handle)
                return false;
            forms::Picture::Ref picture =
                PictureFromHandle(handle, kind == 0 ? PICTYPE_BITMAP : PICTYPE_ICON);
            if (!picture) {
                if (kind == 0)
                    forms::gdi::BitmapHandle owned(static_cast<HBITMAP>(handle));
                else
                    DestroyIcon(static_cast<HICON>(handle));
                return false;
            }
            LoadPicture_StdPicture(picture->Interface());
        }
        return Handle() != nullptr;
    } catch (const std::exception&) {
        return false;
    }
}

bool cImage32::LoadPicture_StdPicture(IPicture* picture)
{
    DestroyDIB();
    SHORT type = PICTYPE_NONE;
    if (picture && SUCCEEDED(picture->get_Type(&type))) {
        if (type == PICTYPE_ICON)
            cICOParser().ConvertstdPicTo32bpp(picture, *this);
        else if (type != PICTYPE_NONE)
            cBMPParser().ConvertstdPicTo32bpp(picture, *this, 0);
    }
    return Handle() != nullptr;
}

bool cImage32::LoadPicture_ByHandle(HANDLE handle)
{
    if (!handle)
        return false;
    forms::Picture::Ref picture;
    switch (GetObjectType(handle)) {
    case OBJ_BITMAP:
        picture = PictureFromHandle(handle, PICTYPE_BITMAP);
        break;
    case OBJ_ENHMETAFILE:
        // Wrapped as what it is, so that the conversion can take its size
        // from its frame and draw it.
        picture = PictureFromHandle(handle, PICTYPE_ENHMETAFILE);
        break;
    case OBJ_METAFILE:
        // A plain metafile handle carries no size to draw it at: refused,
        // and destroyed as the other handles are.
        DeleteMetaFile(static_cast<HMETAFILE>(handle));
        return false;
    default: {
        ICONINFO info{};
        if (GetIconInfo(static_cast<HICON>(handle), &info)) {
            forms::gdi::BitmapHandle mask(info.hbmMask), colour(info.hbmColor);
            picture = PictureFromHandle(handle, PICTYPE_ICON);
        }
    }
    }
    if (!picture)
        return false;
    // The picture owns the handle: releasing it destroys the handle.
    return LoadPicture_StdPicture(picture->Interface());
}

bool cImage32::LoadPicture_FromOrignalFormat(int iconCx, int iconCy)
{
    if (sourceBytes_.empty())
        return false;
    std::vector<uint8_t> copy = sourceBytes_;
    return LoadPicture_Stream(copy, iconCx, iconCy, 0, 0, true);
}

bool cImage32::GetOrginalFormat(std::vector<uint8_t>& outArray) const
{
    outArray = sourceBytes_;
    return !outArray.empty();
}

bool cImage32::LoadFromSource(const std::wstring& fileName, std::vector<uint8_t>& bytes, int& iconCx,
                              int& iconCy, int32_t& start, int32_t& length, bool saveFormat)
{
    DestroyDIB();
    const bool file = !fileName.empty();
    std::optional<ReadFile> opened;
    if (file) {
        opened.emplace(fileName);
        if (!opened->IsOpen())
            return false;
    }
    if (iconCx < 0)
        iconCx = 0;
    if (iconCy < 0)
        iconCy = 0;
    bool handled = false;
    int32_t keptStart = start, keptLength = length;
    if (file) {
        // A file's errors are suppressed; one from the PNG reader is shown
        // and the other readers are still tried.
        try {
            handled = cPNGParser().LoadFile(fileName, *this);
        } catch (const forms::RuntimeError& e) {
            forms::MsgBox(e.Description(), forms::vbOKOnly);
        } catch (const std::exception&) {
        }
    } else {
        handled = cPNGParser().LoadStream(bytes, *this, start, length);
    }
    if (!handled) {
        if (file) {
            bytes = opened->ReadAll();
            opened->Close();
            start = 0;
            length = static_cast<int32_t>(bytes.size());
        }
        keptStart = start;
        keptLength = length;
        handled = Suppressed(file, [&] { return cGIFParser().LoadStream(bytes, *this, start, length); });
        if (!handled)
            handled = Suppressed(
                file, [&] { return cICOParser().LoadStream(bytes, iconCx, iconCy, *this, start, length); });
        if (!handled)
            Suppressed(file, [&] { return cBMPParser().LoadStream(bytes, *this, start, length); });
    }
    if (opened)
        opened->Close();
    if (!Handle())
        return false;
    if (saveFormat) {
        if (!bytes.empty()) {
            // The picture's own bytes, so that a reload from start 0 finds it.
            const size_t from = static_cast<size_t>(keptStart);
            const size_t to = std::min(bytes.size(), from + static_cast<size_t>(keptLength));
            sourceBytes_.assign(bytes.begin() + static_cast<ptrdiff_t>(std::min(from, to)),
                                bytes.begin() + static_cast<ptrdiff_t>(to));
        } else if (file) {
            ReadFile again(fileName);
            sourceBytes_ = again.ReadAll();
        }
    }
    return true;
}

}  // namespace quill::imaging
