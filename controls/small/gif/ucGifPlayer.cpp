#include "controls/small/gif/ucGifPlayer.h"

#include <objidl.h>
#include <urlmon.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "controls/small/gif/GifEncoder.h"
#include "forms/Form.h"

namespace quill::gif {
namespace {

// Posted to the control when a remote read's thread has finished.
constexpr UINT kRemoteReadDone = WM_APP + 0x47;

// A file larger than this is not read: no GIF the control plays comes near.
constexpr uint32_t kMaxGifFileBytes = 1u << 26;

int32_t RoundEven(double v)
{
    return static_cast<int32_t>(std::nearbyint(v));
}

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

// The colours of a table as a DIB colour table: entries past the table's own
// count are black.
std::array<RGBQUAD, 256> Quads(const uint32_t* colors, uint32_t count)
{
    std::array<RGBQUAD, 256> quads{};
    for (uint32_t i = 0; i < 256 && i < count; ++i) {
        quads[i] = {static_cast<BYTE>(colors[i]), static_cast<BYTE>(colors[i] >> 8),
                    static_cast<BYTE>(colors[i] >> 16), 0};
    }
    return quads;
}

COLORREF ColorOf(int32_t color)
{
    // A negative colour names a system colour by its low byte.
    if (color < 0)
        return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

// The GIF file a picture was made from (the platform's picture keeps it and
// writes it back unchanged).
std::vector<uint8_t> PictureFileBytes(const forms::Picture& picture)
{
    std::vector<uint8_t> bytes;
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return bytes;
    LONG size = 0;
    if (SUCCEEDED(picture.Interface()->SaveAsFile(stream, TRUE, &size)) && size > 0) {
        HGLOBAL memory = nullptr;
        if (SUCCEEDED(GetHGlobalFromStream(stream, &memory))) {
            if (const void* p = GlobalLock(memory)) {
                const auto* b = static_cast<const uint8_t*>(p);
                bytes.assign(b, b + size);
                GlobalUnlock(memory);
            }
        }
    }
    stream->Release();
    return bytes;
}

}  // namespace

ucGifPlayer::ucGifPlayer()
{
    // See-through pixels show the container behind the control.
    BackStyle = forms::vbTransparent;
    // The design-time outline: dotted, in the window-frame colour.
    Graphics().DrawStyle(forms::vbDot);
    Graphics().ForeColor(0x80000006);
}

// ---------------------------------------------------------------- properties

forms::Picture::Ref ucGifPlayer::AnimatedGIF()
{
    if (!Loaded())
        return nullptr;
    GdiFlush();
    const GifFrame& frame = store_.Frames[CurrentFrame_ - 1];
    const std::vector<uint8_t> gif =
        EncodeFrameAsGif(frame, StripView(), store_.ColorTables.table[frame.ColorTableSlot]);
    if (gif.empty())
        return nullptr;
    return forms::Picture::FromBytes(gif);
}

void ucGifPlayer::AnimatedGIF(forms::Picture::Ref aGif)
{
    if (RunTime())
        return;
    if (!aGif) {
        store_.EraseGifBytes();
    } else {
        store_.SetGifBytes(PictureFileBytes(*aGif));
    }
    if (LoadGif() > 0) {
        const int32_t kept = Stretch_;
        Stretch_ = 4;
        UserControl_Resize();
        Stretch_ = kept;
        store_.Header.scaleX = 1;
        store_.Header.scaleY = 1;
    }
    Refresh();
    PropertyChanged(L"AnimatedGIF");
}

void ucGifPlayer::Enabled(bool Enable)
{
    forms::UserControl::Enabled(Enable);
    PropertyChanged(L"Enabled");
}

int32_t ucGifPlayer::FrameCount() const
{
    return Loaded() ? static_cast<int32_t>(store_.Frames.size()) : 0;
}

int32_t ucGifPlayer::ActualWidth() const
{
    return static_cast<int32_t>(std::floor(Header().width * ContainerUnitsPerPixelX()));
}

int32_t ucGifPlayer::ActualHeight() const
{
    return static_cast<int32_t>(std::floor(Header().height * ContainerUnitsPerPixelY()));
}

void ucGifPlayer::Stretch(int32_t newScale)
{
    if (newScale < 0 || newScale > 4 || newScale == Stretch_)
        return;
    const int32_t kept = PlayState;
    Stretch_ = newScale;
    Action(2);
    UserControl_Resize();
    Action(kept);
    if (kept != 1)
        Refresh();
    PropertyChanged(L"Stretch");
}

void ucGifPlayer::MinFrameDelay(int32_t Delay)
{
    Delay = std::clamp(Delay, 10, 32700);
    if (Delay == MinFrameDelay_)
        return;
    MinFrameDelay_ = static_cast<int16_t>(Delay);
    PropertyChanged(L"Delay");
}

void ucGifPlayer::Loops(int32_t Count)
{
    if (Count == store_.Header.loops)
        return;
    store_.Header.loops = Count == INT32_MIN ? INT32_MAX : std::abs(Count);
    PropertyChanged(L"Loops");
}

int32_t ucGifPlayer::LoopsRemaining() const
{
    if (!Loaded())
        return 0;
    if (Header().loops == 0)
        return 0x7FFFFFFF;
    return LoopsLeft;
}

void ucGifPlayer::Mirrored(int32_t MirrorStyle)
{
    if (MirrorStyle < 0 || MirrorStyle > 3)
        return;
    if (!Loaded()) {
        MirrorStyle_ = MirrorStyle;
        PropertyChanged(L"Mirrored");
        return;
    }
    if (MirrorStyle == Mirrored())
        return;
    const int32_t kept = PlayState;
    Action(2);
    ApplyMirror(MirrorStyle, !RunTime(), RunTime());
    MirrorStyle_ = MirrorStyle;
    if (kept == 1) {
        Action(1);
    } else {
        Refresh();
    }
    PropertyChanged(L"Mirrored");
}

void ucGifPlayer::Action(int32_t Act)
{
    if (!Loaded() || !RunTime() || Act < 0 || Act > 4)
        return;
    bool viaTimer = false;
    switch (Act) {
    case 0:  // stop
    case 4:  // restart: stop, then play from frame 1
        SetAnimationTimer(0);
        LoopsLeft = Header().loops;
        CurrentFrame_ = 1;
        Refresh();
        FrameChanged(1, viaTimer);
        if (Act == 4)
            SetAnimationTimer(1);
        break;
    case 1:
        SetAnimationTimer(1);
        break;
    case 2:
        if (PlayState != 0) {
            // A pause during the deferred build of an animation told not to
            // start by itself leaves it stopped, as the build would have.
            const bool wouldNotPlay = framesPending_ && (DelayAnimation_ & 2) != 0;
            SetAnimationTimer(0);
            PlayState = wouldNotPlay ? 0 : 2;
        }
        break;
    case 3:
        SetAnimationTimer(0);
        CurrentFrame_ = CurrentFrame_ >= FrameCount() ? 1 : CurrentFrame_ + 1;
        PlayState = 2;
        Refresh();
        FrameChanged(CurrentFrame_, viaTimer);
        break;
    }
}

void ucGifPlayer::DelayAnimation(int32_t Mode)
{
    if (Mode < 0 || Mode > 3 || Mode == DelayAnimation_)
        return;
    DelayAnimation_ = Mode;
    PropertyChanged(L"DelayAnimation");
}

void ucGifPlayer::MouseIcon(forms::Picture::Ref MousePic)
{
    const bool none = !MousePic;
    forms::UserControl::MouseIcon(std::move(MousePic));
    if (none)
        forms::UserControl::MousePointer(forms::vbDefault);
    PropertyChanged(L"MouseIcon");
}

void ucGifPlayer::MousePointer(int32_t Pointer)
{
    forms::UserControl::MousePointer(static_cast<int16_t>(Pointer));
}

int32_t ucGifPlayer::OffsetX()
{
    if (PlayState != 1 || !RunTime())
        Refresh();
    return OffsetX_;
}

void ucGifPlayer::OffsetY(int32_t NewOffset)
{
    OffsetY_ = NewOffset;
    if (PlayState != 1 || !RunTime())
        Refresh();
}

void ucGifPlayer::SolidBkgColor(int32_t Color)
{
    SolidBkgColor_ = Color;
    if (!RunTime() && SolidBkgColorUsed_)
        Refresh();
}

void ucGifPlayer::SolidBkgColorUsed(bool IgnoreTransparency)
{
    SolidBkgColorUsed_ = IgnoreTransparency;
    if (!RunTime())
        Refresh();
}

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

// One asynchronous read: the worker thread fills it and posts its number to
// the control, which takes the result from its table; a read the control no
// longer waits for (it ended, or the read was cancelled) is dropped.
struct ucGifPlayer::RemoteRead {
    std::wstring path;
    std::atomic<bool> cancelled{false};
    bool failed = false;
    std::vector<uint8_t> bytes;
};

namespace {

// The system's URL reader, which falls back on its cached copy when the
// network fails; the download is bounded like a file.
void Download(ucGifPlayer::RemoteRead& read)
{
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    IStream* stream = nullptr;
    read.failed = FAILED(URLOpenBlockingStreamW(nullptr, read.path.c_str(), &stream, 0, nullptr)) || !stream;
    if (!read.failed) {
        uint8_t chunk[16384];
        ULONG got = 0;
        while (!read.cancelled && SUCCEEDED(stream->Read(chunk, sizeof chunk, &got)) && got > 0) {
            if (read.bytes.size() + got > kMaxGifFileBytes) {
                read.failed = true;
                break;
            }
            read.bytes.insert(read.bytes.end(), chunk, chunk + got);
        }
        stream->Release();
    }
    if (com)
        CoUninitialize();
}

}  // namespace

void ucGifPlayer::LoadAnimatedGIF_Remote(const std::wstring& RemotePath)
{
    if (RemotePath.empty())
        return;
    // The read runs on a thread of its own; the window goes on handling its
    // messages and hears of the result through its queue.
    auto read = std::make_shared<RemoteRead>();
    read->path = RemotePath;
    const uint32_t id = ++lastRemoteRead_;
    const HWND window = hWnd();
    try {
        if (!window)
            throw std::runtime_error("no window");
        std::thread([read, window, id] {
            Download(*read);
            PostMessageW(window, kRemoteReadDone, 0, static_cast<LPARAM>(id));
        }).detach();
    } catch (...) {
        // A read that cannot be started fails at once.
        RemoteLoadFailure();
        return;
    }
    remoteReads_[id] = std::move(read);
}

LRESULT ucGifPlayer::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg != kRemoteReadDone)
        return forms::UserControl::WndProc(msg, wp, lp);
    auto found = remoteReads_.find(static_cast<uint32_t>(lp));
    if (found == remoteReads_.end())
        return 0;
    const std::shared_ptr<RemoteRead> read = std::move(found->second);
    remoteReads_.erase(found);
    if (read->cancelled)
        return 0;
    if (read->failed) {
        AsyncReadProgress(L"remoteGIF", 0);
    } else {
        AsyncReadComplete(L"remoteGIF", read->bytes);
    }
    return 0;
}

void ucGifPlayer::CancelRemoteReads()
{
    for (auto& [id, read] : remoteReads_)
        read->cancelled = true;
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

// ------------------------------------------------------------------ palettes

int32_t ucGifPlayer::PaletteSlot(int32_t FrameIndex) const
{
    // The global table for 0, a frame's own local table, else none.
    if (FrameIndex == 0)
        return 0;
    if (FrameIndex > FrameCount())
        return -1;
    const int32_t slot = store_.Frames[FrameIndex - 1].ColorTableSlot;
    return slot == 0 ? -1 : slot;
}

bool ucGifPlayer::GetPalette(int32_t FrameIndex, std::vector<int32_t>& paletteEntries)
{
    if (!Loaded() || FrameIndex < 0)
        return false;
    const bool playing = PlayState == 1;
    if (playing)
        Action(2);
    bool result = false;
    const int32_t slot = PaletteSlot(FrameIndex);
    if (slot >= 0) {
        const GifColorTable& table = store_.ColorTables.table[slot];
        paletteEntries.assign(table.begin(), table.begin() + table[256]);
        result = true;
    }
    if (playing)
        Action(1);
    return result;
}

bool ucGifPlayer::SetPalette(int32_t FrameIndex, const std::vector<int32_t>& paletteEntries)
{
    if (!Loaded() || FrameIndex < 0)
        return false;
    const bool playing = PlayState == 1;
    if (playing)
        Action(2);
    bool result = false;
    const int32_t slot = PaletteSlot(FrameIndex);
    if (slot >= 0) {
        GifColorTable& table = store_.ColorTables.table[slot];
        if (paletteEntries.size() >= table[256]) {
            std::copy_n(paletteEntries.begin(), table[256], table.begin());
            store_.ColorTables.ColorTableCount = -1;
            result = true;
        }
    }
    if (playing) {
        Action(1);
    } else {
        Refresh();
    }
    return result;
}

void ucGifPlayer::Refresh()
{
    forms::UserControl::Refresh();
}

bool ucGifPlayer::CacheColorTables()
{
    if (colorCache_.held != 0)
        return false;
    colorCache_.table = store_.ColorTables.table;
    colorCache_.held = 1;
    return true;
}

bool ucGifPlayer::RestoreColorTables(bool bReleaseCache)
{
    if (colorCache_.held == 0)
        return false;
    store_.ColorTables.table = colorCache_.table;
    store_.ColorTables.ColorTableCount = -1;
    if (bReleaseCache) {
        colorCache_.table.clear();
        colorCache_.held = 0;
    }
    return true;
}

// ------------------------------------------------------------ host's events

void ucGifPlayer::UserControl_Paint()
{
    // The host has put what the container shows behind the control on the
    // surface; the frame goes over it.
    PaintCurrentFrame(CurrentFrame_, hDC());
    if (!RunTime()) {
        Graphics().Line(0, 0, static_cast<float>(ScaleWidth() - 1), static_cast<float>(ScaleHeight() - 1), -1,
                        forms::Surface::Box::Border);
    }
}

void ucGifPlayer::UserControl_Resize()
{
    if (!Loaded() || resizing_)
        return;
    resizing_ = true;
    int32_t width = ScaleWidth();
    int32_t height = ScaleHeight();
    ComputeScale(store_.Header, Stretch_, width, height, store_.Header.scaleX, store_.Header.scaleY);
    Size(RoundEven(width * ContainerUnitsPerPixelX()), RoundEven(height * ContainerUnitsPerPixelY()));
    resizing_ = false;
}

void ucGifPlayer::UserControl_Show()
{
    if (PlayState == 2)
        SetAnimationTimer(1);
}

void ucGifPlayer::UserControl_Hide()
{
    Action(2);
}

void ucGifPlayer::ToContainerUnits(forms::MouseArgs& e) const
{
    e.X = std::floor(e.X * static_cast<float>(ContainerUnitsPerPixelX()));
    e.Y = std::floor(e.Y * static_cast<float>(ContainerUnitsPerPixelY()));
}

void ucGifPlayer::UserControl_MouseDown(forms::MouseArgs& e)
{
    ToContainerUnits(e);
    MouseDown(e);
}

void ucGifPlayer::UserControl_MouseUp(forms::MouseArgs& e)
{
    ToContainerUnits(e);
    MouseUp(e);
}

void ucGifPlayer::UserControl_MouseMove(forms::MouseArgs& e)
{
    ToContainerUnits(e);
    MouseMove(e);
}

void ucGifPlayer::UserControl_Terminate()
{
    CancelRemoteReads();
    ResetGif();
}

void ucGifPlayer::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    std::vector<uint8_t> bytes = PropBag.ReadProperty(L"GIF", store_.Bytes());
    store_.SetGifBytes(bytes);
    MinFrameDelay_ = PropBag.ReadProperty<int16_t>(L"Delay", MinFrameDelay_);
    Stretch_ = PropBag.ReadProperty<int32_t>(L"Stretch", 1);
    DelayAnimation_ = PropBag.ReadProperty<int32_t>(L"DelayLoad", 1);
    if (DelayAnimation_ == -1)
        DelayAnimation_ = 1;
    MirrorStyle_ = PropBag.ReadProperty<int32_t>(L"Mirror", 0);
    forms::UserControl::Enabled(PropBag.ReadProperty(L"Enabled", true));
    forms::UserControl::MouseIcon(PropBag.ReadProperty<forms::Picture::Ref>(L"MouseIcon", nullptr));
    forms::UserControl::MousePointer(PropBag.ReadProperty<int16_t>(L"MousePointer", 0));
    SolidBkgColor_ = PropBag.ReadProperty<int32_t>(L"BkgFill", 0);
    SolidBkgColorUsed_ = PropBag.ReadProperty(L"BkgUsed", false);
    SteppedDelay_ = PropBag.ReadProperty<int32_t>(L"StepDelay", 0);
    OffsetX_ = PropBag.ReadProperty<int32_t>(L"OffsetX", 0);
    OffsetY_ = PropBag.ReadProperty<int32_t>(L"OffsetY", 0);
    if (LoadGif() > 0) {
        store_.Header.loops = PropBag.ReadProperty<int32_t>(L"Loops", store_.Header.loops);
        LoopsLeft = store_.Header.loops;
    }
}

void ucGifPlayer::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    PropBag.WriteProperty(L"GIF", store_.Bytes());
    PropBag.WriteProperty(L"Delay", MinFrameDelay_, int16_t{50});
    PropBag.WriteProperty(L"Stretch", Stretch_, 1);
    PropBag.WriteProperty(L"Loops", store_.Header.loops, 0);
    PropBag.WriteProperty(L"DelayLoad", DelayAnimation_, 1);
    PropBag.WriteProperty(L"Mirror", MirrorStyle_ & 3, 0);
    PropBag.WriteProperty(L"MouseIcon", forms::UserControl::MouseIcon(), forms::Picture::Ref{});
    PropBag.WriteProperty(L"MousePointer", forms::UserControl::MousePointer(), int16_t{0});
    PropBag.WriteProperty(L"Enabled", forms::UserControl::Enabled(), true);
    PropBag.WriteProperty(L"OffsetX", OffsetX_, 0);
    PropBag.WriteProperty(L"OffsetY", OffsetY_, 0);
    PropBag.WriteProperty(L"BkgFill", SolidBkgColor_, 0);
    PropBag.WriteProperty(L"BkgUsed", SolidBkgColorUsed_, false);
    PropBag.WriteProperty(L"StepDelay", SteppedDelay_, 0);
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

bool ucGifPlayer::DibDc::Create(const forms::gdi::DibFormat& format)
{
    forms::gdi::WindowDc screen(nullptr);
    dc = std::make_unique<forms::gdi::MemoryDc>(screen);
    void* p = nullptr;
    if (dc->Get())
        dib = forms::gdi::DibSection(screen, format, p);
    if (!dib) {
        Release();
        return false;
    }
    bits = static_cast<uint8_t*>(p);
    selected.emplace(*dc, dib.Get());
    return true;
}

bool ucGifPlayer::CreateStrip(int32_t width, int32_t height)
{
    // Entry i is blue i: a pixel's colour is its raw index until a frame's
    // colours are loaded for drawing.
    std::array<RGBQUAD, 256> indexColours{};
    for (int i = 0; i < 256; ++i)
        indexColours[i].rgbBlue = static_cast<BYTE>(i);
    if (!strip_.Create(
            {.width = width, .height = height, .bitsPerPixel = 8, .topDown = false, .colours = indexColours}))
        return false;
    stripWidth_ = width;
    stripHeight_ = height;
    return true;
}

GifBitmapView ucGifPlayer::StripView() const
{
    return {strip_.bits, stripWidth_, stripHeight_, ScanlineBytes(stripWidth_, 8), true};
}

bool ucGifPlayer::CreateCanvasDibs(bool withMask)
{
    const int32_t W = store_.Header.width;
    const int32_t H = store_.Header.height;
    if (!canvas_.Create({.width = W, .height = H, .bitsPerPixel = 24, .topDown = false}))
        return false;
    if (withMask) {
        // White (1) is see-through, black (0) covered.
        static constexpr RGBQUAD kBlackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        void* maskBits = nullptr;
        canvasMask_ = forms::gdi::DibSection(
            canvas_.dc->Get(),
            {.width = W, .height = H, .bitsPerPixel = 1, .topDown = false, .colours = kBlackWhite}, maskBits);
        if (!canvasMask_)
            return false;
        maskBits_ = static_cast<uint8_t*>(maskBits);
        // No frame has covered anything yet: all see-through, as a step past
        // frame 1 before it was ever drawn must show (a new DIB is all 0).
        std::fill_n(maskBits_, static_cast<size_t>(ScanlineBytes(W, 1)) * H, uint8_t{0xFF});
    }
    composer_.Attach(canvas_.bits, maskBits_, W, H);
    return true;
}

bool ucGifPlayer::BuildFrameStrip(bool& firstPass, bool startAnimation)
{
    const int32_t count = static_cast<int32_t>(store_.Frames.size());
    int32_t first = 1;
    int32_t last = 1;
    if (firstPass) {
        GifStripPlan plan;
        if (!store_.PlanFrameStrip(!RunTime(), plan))
            return false;
        UsesMask_ = plan.UsesMask;
        if (plan.needsCanvas && !CreateCanvasDibs(UsesMask_))
            return false;
        if (!CreateStrip(plan.stripWidth, plan.stripHeight))
            return false;
        if (plan.someTransparent || UsesMask_)
            WorkPalette.assign(256, 0);
        store_.StartRebuild(plan.largestSpan);
    } else {
        if (count > 1) {
            // Colours loaded for drawing since the first pass are undone.
            std::array<uint32_t, 256> indexTable{};
            for (uint32_t i = 0; i < 256; ++i)
                indexTable[i] = i;
            const auto quads = Quads(indexTable.data(), 256);
            SetDIBColorTable(*strip_.dc, 0, 256, quads.data());
        }
        first = 2;
        last = count;
    }
    store_.ColorTables.ColorTableCount = -1;
    GdiFlush();
    const GifBitmapView strip = StripView();
    for (int32_t i = first; i <= last; ++i)
        store_.BuildFrame(i, strip);

    if (firstPass) {
        CurrentFrame_ = 1;
        int32_t width = ScaleWidth();
        int32_t height = ScaleHeight();
        ComputeScale(store_.Header, Stretch_, width, height, store_.Header.scaleX, store_.Header.scaleY);
        if (RunTime() && DelayAnimation_ != 0) {
            if (count == 1) {
                firstPass = false;
            } else {
                ApplyMirror(0, true, false);
                MirrorStyle_ |= 0x20;
                framesPending_ = true;
                SetAnimationTimer(2);
            }
        } else if (RunTime()) {
            bool laterPass = false;
            BuildFrameStrip(laterPass);
        } else {
            firstPass = false;
        }
    }
    if (!firstPass)
        FinishBuild(startAnimation);
    return true;
}

void ucGifPlayer::FinishBuild(bool startAnimation)
{
    framesPending_ = false;
    store_.EndRebuild();
    store_.BlockSpans.clear();
    ApplyMirror(0, !RunTime(), false);
    if (!RunTime())
        return;
    store_.EraseGifBytes();
    if (!startAnimation) {
        LoopsLeft = Header().loops;
    } else if ((DelayAnimation_ & 2) == 0) {
        LoopsLeft = Header().loops;
        SetAnimationTimer(1);
    } else {
        announceFirstFrame_ = true;
    }
}

void ucGifPlayer::AnnounceFirstFrame()
{
    if (!std::exchange(announceFirstFrame_, false))
        return;
    bool viaTimer = false;
    FrameChanged(1, viaTimer);
}

// ------------------------------------------------------------------- drawing

bool ucGifPlayer::PaintCurrentFrame(int32_t frameIndex, HDC hDC)
{
    if (frameIndex < 1 || frameIndex > static_cast<int32_t>(store_.Frames.size()) || !strip_.dib)
        return false;
    const GifFrame& frame = store_.Frames[frameIndex - 1];
    const float scaleX = Header().scaleX;
    const float scaleY = Header().scaleY;
    const bool stretched = scaleX != 1.0f || scaleY != 1.0f;
    if (!canvas_.dib) {
        const RECT rect{RoundEven(double{scaleX} * (OffsetX_ + frame.Left)),
                        RoundEven(double{scaleY} * (OffsetY_ + frame.Top)),
                        RoundEven(double{scaleX} * frame.Width), RoundEven(double{scaleY} * frame.Height)};
        BlitFrame(frameIndex, hDC, stretched, rect);
        return true;
    }
    std::vector<uint8_t> maskBackup;
    std::vector<uint8_t> canvasBackup;
    GdiFlush();
    const GifBitmapView strip = StripView();
    composer_.ComposeFrame(frame, frameIndex, false, strip, maskBackup, canvasBackup);
    composer_.BlitFrame(frame, strip, store_.ColorTables.table[frame.ColorTableSlot]);
    BlitFrame(-frameIndex, hDC, stretched, RECT{OffsetX_, OffsetY_, ScaleWidth(), ScaleHeight()});
    if (frame.Disposal == 2 || frame.Disposal == 3) {
        GdiFlush();
        composer_.ComposeFrame(frame, frameIndex, true, strip, maskBackup, canvasBackup);
    }
    return true;
}

void ucGifPlayer::LoadStripColors(const GifColorTable& table)
{
    const auto quads = Quads(table.data(), table[256]);
    SetDIBColorTable(*strip_.dc, 0, 256, quads.data());
}

// The rectangle holds x, y, width and height.
void ucGifPlayer::BlitFrame(int32_t frameIndex, HDC hDC, bool stretched, const RECT& rect)
{
    const int x = rect.left, y = rect.top, cx = rect.right, cy = rect.bottom;
    if (cx < 1 || cy < 1)
        return;
    int oldMode = 0;
    POINT oldOrigin{};
    if (stretched) {
        oldMode = SetStretchBltMode(hDC, HALFTONE);
        SetBrushOrgEx(hDC, 0, 0, &oldOrigin);
    }
    auto blit = [&](HDC source, int sx, int sy, int sw, int sh, DWORD rop) {
        if (stretched) {
            StretchBlt(hDC, x, y, cx, cy, source, sx, sy, sw, sh, rop);
        } else {
            BitBlt(hDC, x, y, cx, cy, source, sx, sy, rop);
        }
    };
    if (SolidBkgColorUsed_) {
        forms::gdi::BrushHandle brush(CreateSolidBrush(ColorOf(SolidBkgColor_)));
        const RECT fill{0, 0, RoundEven(double{Header().scaleX} * Header().width),
                        RoundEven(double{Header().scaleY} * Header().height)};
        FillRect(hDC, &fill, brush);
    }
    const int32_t W = Header().width;
    const int32_t H = Header().height;
    if (frameIndex < 0) {
        if (UsesMask_) {
            {
                forms::gdi::Selection mask(*canvas_.dc, canvasMask_.Get());
                blit(*canvas_.dc, 0, 0, W, H, SRCAND);
            }
        } else {
            blit(*canvas_.dc, 0, 0, W, H, SRCAND);
        }
        blit(*canvas_.dc, 0, 0, W, H, SRCPAINT);
    } else {
        const GifFrame& frame = store_.Frames[frameIndex - 1];
        GifColorTable& table = store_.ColorTables.table[frame.ColorTableSlot];
        DWORD rop = SRCCOPY;
        if (frame.Transparent == 1) {
            WorkPalette.resize(256, 0);
            WorkPalette[frame.TransparentIndex] = 0xFFFFFF;
            const auto andQuads = Quads(WorkPalette.data(), 256);
            WorkPalette[frame.TransparentIndex] = 0;
            SetDIBColorTable(*strip_.dc, 0, 256, andQuads.data());
            blit(*strip_.dc, frame.DataPos, 0, frame.Width, frame.Height, SRCAND);
            GifColorTable orTable = table;
            orTable[frame.TransparentIndex] = 0;
            LoadStripColors(orTable);
            store_.ColorTables.ColorTableCount = -1;
            rop = SRCPAINT;
        } else if (store_.ColorTables.ColorTableCount != frame.ColorTableSlot) {
            LoadStripColors(table);
            store_.ColorTables.ColorTableCount = frame.ColorTableSlot;
        }
        blit(*strip_.dc, frame.DataPos, 0, frame.Width, frame.Height, rop);
    }
    if (stretched) {
        SetStretchBltMode(hDC, oldMode);
        SetBrushOrgEx(hDC, oldOrigin.x, oldOrigin.y, nullptr);
    }
}

void ucGifPlayer::ApplyMirror(int32_t fromStyle, bool firstFrameOnly, bool includeCanvas)
{
    int32_t start = 1;
    if (MirrorStyle_ & 0x20) {
        MirrorStyle_ &= ~0x20;
        start = 2;
    }
    const int32_t diff = (MirrorStyle_ & 3) ^ fromStyle;
    if (diff == 0 || !strip_.dib)
        return;
    const bool horizontal = (diff & 1) != 0;
    const bool vertical = (diff & 2) != 0;
    GdiFlush();
    const int32_t W = Header().width;
    const int32_t H = Header().height;
    const int32_t last = firstFrameOnly ? 1 : static_cast<int32_t>(store_.Frames.size());
    for (int32_t i = start; i <= last; ++i) {
        GifFrame& frame = store_.Frames[i - 1];
        if (horizontal)
            frame.Left = W - (frame.Left + frame.Width);
        if (vertical)
            frame.Top = H - (frame.Top + frame.Height);
        MirrorArea(StripView(), 8, frame.DataPos, 0, frame.Width, frame.Height, horizontal, vertical);
    }
    if (includeCanvas && canvas_.dib) {
        MirrorArea(composer_.CanvasBits(), 24, 0, 0, W, H, horizontal, vertical);
        if (UsesMask_)
            MirrorArea(composer_.MaskBits(), 1, 0, 0, W, H, horizontal, vertical);
    }
}

// --------------------------------------------------------------------- timer

int32_t ucGifPlayer::FrameInterval() const
{
    if (SteppedDelay_ != 0)
        return SteppedDelay_;
    return std::max<int32_t>(store_.Frames[CurrentFrame_ - 1].DelayMs, MinFrameDelay_);
}

bool ucGifPlayer::SetAnimationTimer(int32_t type)
{
    if (type == 0) {
        if (timer_)
            timer_->Enabled(false);
        PlayState = 0;
        // Stopping, pausing or stepping during the deferred build builds the
        // remaining frames now rather than leaving them blank for good.
        if (framesPending_) {
            framesPending_ = false;
            bool laterPass = false;
            BuildFrameStrip(laterPass, false);
        }
        return false;
    }
    if (PlayState == 1)
        return false;
    PlayState = 0;
    if (!Loaded() || !RunTime() || (FrameCount() <= 1 && type != 2))
        return false;
    if (!ParentForm().hWnd())
        return false;
    timerType_ = type;
    ArmTimer(type == 2 ? 20 : FrameInterval());
    PlayState = 1;
    return true;
}

void ucGifPlayer::ArmTimer(int32_t milliseconds)
{
    if (!timer_) {
        timer_.Load(*this, forms::ControlArgs{.name = L"FrameTimer"}, forms::TimerArgs{milliseconds, false});
        // Each tick stops the timer first; the handlers set it again.
        timer_->Timer = [this] {
            timer_->Enabled(false);
            if (timerType_ == 2) {
                DeferredBuildCallback();
            } else {
                AnimationTimerProc();
            }
        };
    }
    timer_->Interval(milliseconds);
    timer_->Enabled(true);
}

void ucGifPlayer::DeferredBuildCallback()
{
    framesPending_ = false;
    SetAnimationTimer(0);
    bool laterPass = false;
    BuildFrameStrip(laterPass);
    AnnounceFirstFrame();
}

void ucGifPlayer::AnimationTimerProc()
{
    const int32_t count = FrameCount();
    if (count == 0)
        return;
    const int32_t previous = CurrentFrame_;
    bool wrapped = false;
    if (++CurrentFrame_ > count) {
        CurrentFrame_ = 1;
        wrapped = true;
    }
    bool goesOn = true;
    if (count == 1) {
        LoopsLeft = 0;
        PlayState = 0;
        goesOn = false;
    } else if (wrapped && Header().loops != 0) {
        if (--LoopsLeft == 0) {
            PlayState = 0;
            goesOn = false;
        }
    }
    Refresh();
    const uint32_t generation = loadGeneration_;
    bool viaTimer = true;
    FrameChanged(previous, viaTimer);
    // The handler may have stopped, paused, stepped, restarted or reloaded the
    // control: the timer goes on only for the same picture still playing and
    // not already set again.
    if (generation != loadGeneration_)
        return;
    if (goesOn) {
        if (PlayState == 1 && timer_ && !timer_->Enabled())
            ArmTimer(FrameInterval());
    } else if (PlayState == 0) {
        LoopsEnded();
    }
}

}  // namespace quill::gif
