// ucGifPlayer: its properties, palette methods and the host's events. Loading,
// the frame strip and drawing, and the timer sit in ucGifPlayerLoad.cpp,
// ucGifPlayerDraw.cpp and ucGifPlayerTimer.cpp.
#include "controls/small/gif/ucGifPlayer.h"

#include <objidl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "controls/small/gif/GifEncoder.h"

namespace quill::gif {
namespace {

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

}  // namespace quill::gif
