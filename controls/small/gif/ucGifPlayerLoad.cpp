// ucGifPlayer's loading: the array, file and remote loads, and the read of
// the held bytes into the frame store.
#include "controls/small/gif/ucGifPlayer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <utility>

namespace quill::gif {
namespace {

// A file larger than this is not read: no GIF the control plays comes near.
constexpr uint32_t kMaxGifFileBytes = 1u << 26;

// A file handle closed when it ends.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle()
    {
        if (valid())
            CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

}  // namespace

// ------------------------------------------------------------------- loading

bool ucGifPlayer::LoadHeldBytes()
{
    // Whatever fails inside, an error raised by a FrameChanged handler
    // included, makes the result False; the picture a handler saw stays.
    try {
        if (LoadGif() == 0)
            return false;
        if (Stretch_ == 1 || Stretch_ == 3 || Stretch_ == 4)
            UserControl_Resize();
        return true;
    } catch (...) {
        return false;
    }
}

bool ucGifPlayer::LoadAnimatedGIF_Array(std::span<const uint8_t> Bytes)
{
    // An array without data loads nothing: the bytes of an earlier load that
    // the control may still hold are not shown again as if they were new.
    if (Bytes.empty()) {
        store_.EraseGifBytes();
    } else {
        store_.SetGifBytes(Bytes);
    }
    return LoadHeldBytes();
}

bool ucGifPlayer::LoadAnimatedGIF_File(const std::wstring& FileName)
{
    // A missing, unreadable or empty file leaves no bytes to load.
    store_.EraseGifBytes();
    const bool narrow =
        std::all_of(FileName.begin(), FileName.end(), [](wchar_t c) { return (c & 0xFF00) == 0; });
    std::string ansiName;
    for (wchar_t c : FileName)
        ansiName += static_cast<char>(c);
    const DWORD attributes =
        narrow ? GetFileAttributesA(ansiName.c_str()) : GetFileAttributesW(FileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        constexpr DWORD kFlags = 167;  // read-only, hidden, system, archive, normal
        FileHandle file(narrow ? CreateFileA(ansiName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, kFlags, nullptr)
                               : CreateFileW(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, kFlags, nullptr));
        if (file.valid()) {
            const DWORD size = GetFileSize(file.get(), nullptr);
            if (size != 0 && size != INVALID_FILE_SIZE && size <= kMaxGifFileBytes) {
                SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
                std::vector<uint8_t> bytes(size);
                DWORD read = 0;
                if (ReadFile(file.get(), bytes.data(), size, &read, nullptr) && read == size)
                    store_.SetGifBytes(bytes);
            }
        }
    }
    return LoadHeldBytes();
}

void ucGifPlayer::LoadAnimatedGIF_Remote(const std::wstring& RemotePath)
{
    if (RemotePath.empty())
        return;
    // The read runs on a thread of its own; the window goes on handling its
    // messages and hears of the result through its queue. The system's URL
    // reader takes the cached copy when the network fails; the download is
    // bounded like a file.
    const uint32_t id = ++lastRemoteRead_;
    try {
        if (!hWnd())
            throw std::runtime_error("no window");
        remoteReads_[id] = std::make_unique<forms::UrlFetch>(
            RemotePath, forms::UrlFetch::Source::NetworkOrCache, kMaxGifFileBytes, hWnd(), id);
    } catch (...) {
        // A read that cannot be started fails at once.
        RemoteLoadFailure();
    }
}

LRESULT ucGifPlayer::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg != forms::UrlFetch::Message())
        return forms::UserControl::WndProc(msg, wp, lp);
    // A read the control no longer waits for (it ended, or the read was
    // cancelled) is not in the table.
    auto found = remoteReads_.find(static_cast<uint32_t>(wp));
    if (found == remoteReads_.end() || !found->second->Done())
        return 0;
    const std::unique_ptr<forms::UrlFetch> read = std::move(found->second);
    remoteReads_.erase(found);
    const forms::UrlFetch::Reply& reply = read->Result();
    if (!reply.whole) {
        AsyncReadProgress(L"remoteGIF", 0);
    } else {
        AsyncReadComplete(L"remoteGIF",
                          {reinterpret_cast<const uint8_t*>(reply.bytes.data()), reply.bytes.size()});
    }
    return 0;
}

void ucGifPlayer::CancelRemoteReads()
{
    remoteReads_.clear();
}

void ucGifPlayer::AsyncReadComplete(const std::wstring& propertyName, std::span<const uint8_t> download)
{
    if (propertyName != L"remoteGIF")
        return;
    if (download.size() < 15) {
        RemoteLoadFailure();
        return;
    }
    std::string signature;
    for (size_t i = 0; i < 6; ++i)
        signature += static_cast<char>(std::tolower(download[i]));
    bool cancel = false;
    if (signature != "gif89a" && signature != "gif87a") {
        RemoteLoadFailure();
    } else {
        const float gifWidth = std::floor(static_cast<float>(download[6] | (download[7] << 8)) *
                                          static_cast<float>(ContainerUnitsPerPixelX()));
        const float gifHeight = std::floor(static_cast<float>(download[8] | (download[9] << 8)) *
                                           static_cast<float>(ContainerUnitsPerPixelY()));
        RemoteLoadComplete(gifWidth, gifHeight, cancel);
    }
    store_.EraseGifBytes();
    if (cancel || (signature != "gif89a" && signature != "gif87a"))
        return;
    store_.SetGifBytes(download);
    if (LoadGif() > 0 && (Stretch_ == 1 || Stretch_ == 3 || Stretch_ == 4))
        UserControl_Resize();
}

void ucGifPlayer::AsyncReadProgress(const std::wstring& propertyName, int32_t statusCode)
{
    if (propertyName == L"remoteGIF" && statusCode == 0) {
        CancelRemoteReads();
        RemoteLoadFailure();
    }
}

// --------------------------------------------------------------- frame store

int32_t ucGifPlayer::LoadGif()
{
    ResetGif();
    store_.Header = {};
    if (store_.Bytes().empty())
        return 0;
    int32_t count = 0;
    try {
        count = store_.ParseGifStream();
        if (count > 0) {
            bool firstPass = true;
            if (!BuildFrameStrip(firstPass))
                count = 0;
        }
    } catch (const std::exception&) {
        // Memory refused for a picture within the bounds: no picture.
        count = 0;
    }
    if (count == 0) {
        store_.EraseGifBytes();
        ResetGif();
        return 0;
    }
    if (count == 1 && RunTime()) {
        Refresh();
        announceFirstFrame_ = true;
    }
    // Last, when the control is complete: the handler may raise an error.
    AnnounceFirstFrame();
    return count;
}

void ucGifPlayer::ResetGif()
{
    framesPending_ = false;
    announceFirstFrame_ = false;
    SetAnimationTimer(0);
    ++loadGeneration_;
    PlayState = 0;
    CurrentFrame_ = 0;
    strip_.Release();
    canvas_.Release();
    canvasMask_.Reset();
    maskBits_ = nullptr;
    composer_ = GifCanvas{};
    UsesMask_ = false;
    store_.Reset();
    colorCache_ = {};
    WorkPalette.clear();
}

}  // namespace quill::gif
