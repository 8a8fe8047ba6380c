#pragma once
// ucGifPlayer, the animated picture: plays an animated GIF. The login window's progress
// panel and the main window's loading panel each hold one and load the
// loading animation or the failure picture into it with
// LoadAnimatedGIF_Array; the rest is the control's full public surface.
//
// The frame store (GifFrameStore) keeps every frame as raw colour indices in
// one 8-bit strip, an 8-bit DIB section here; drawing a frame swaps the
// strip's colour table and blits. Frames that must be combined are composed
// on a 24-bit canvas DIB (with a 1-bit mask when see-through pixels can
// remain), by GifCanvas working on the DIB's bits.
#include <array>
#include <map>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controls/small/gif/GifCanvas.h"
#include "controls/small/gif/GifFrameStore.h"
#include "forms/Gdi.h"
#include "forms/Loaded.h"
#include "forms/TimerControl.h"
#include "forms/UrlFetch.h"
#include "forms/UserControl.h"

namespace quill::gif {

class ucGifPlayer : public forms::UserControl {
public:
    ucGifPlayer();

    // ---- properties ----
    forms::Picture::Ref AnimatedGIF();
    void AnimatedGIF(forms::Picture::Ref aGif);
    int32_t CurrentFrame() const { return CurrentFrame_; }
    bool Enabled() const { return forms::UserControl::Enabled(); }
    void Enabled(bool Enable);
    int32_t FrameCount() const;
    void FrameCount(int32_t nrFrames) {}
    int32_t ActualWidth() const;
    int32_t ActualHeight() const;
    int32_t Stretch() const { return Stretch_; }
    void Stretch(int32_t newScale);
    int32_t MinFrameDelay() const { return MinFrameDelay_; }
    void MinFrameDelay(int32_t Delay);
    int32_t Loops() const { return Header().loops; }
    void Loops(int32_t Count);
    int32_t LoopsRemaining() const;
    int32_t Mirrored() const { return MirrorStyle_ & 3; }
    void Mirrored(int32_t MirrorStyle);
    int32_t Action() const { return PlayState; }
    void Action(int32_t Act);
    int32_t DelayAnimation() const { return DelayAnimation_; }
    void DelayAnimation(int32_t Mode);
    const forms::Picture::Ref& MouseIcon() const { return forms::UserControl::MouseIcon(); }
    void MouseIcon(forms::Picture::Ref MousePic);
    int32_t MousePointer() const { return forms::UserControl::MousePointer(); }
    void MousePointer(int32_t Pointer);
    int32_t OffsetX();
    void OffsetX(int32_t NewOffset) { OffsetX_ = NewOffset; }
    int32_t OffsetY() const { return OffsetY_; }
    void OffsetY(int32_t NewOffset);
    int32_t SolidBkgColor() const { return SolidBkgColor_; }
    void SolidBkgColor(int32_t Color);
    bool SolidBkgColorUsed() const { return SolidBkgColorUsed_; }
    void SolidBkgColorUsed(bool IgnoreTransparency);
    int32_t SteppedDelay() const { return SteppedDelay_; }
    void SteppedDelay(int32_t newDelay) { SteppedDelay_ = newDelay < 0 ? 0 : newDelay; }

    // ---- methods ----
    bool LoadAnimatedGIF_File(const std::wstring& FileName);
    void LoadAnimatedGIF_Remote(const std::wstring& RemotePath);
    // The array's bytes as they lie in memory (a two-dimensional byte array
    // passes all its elements); an empty span is an array without data.
    bool LoadAnimatedGIF_Array(std::span<const uint8_t> Bytes);
    bool GetPalette(int32_t FrameIndex, std::vector<int32_t>& paletteEntries);
    bool SetPalette(int32_t FrameIndex, const std::vector<int32_t>& paletteEntries);
    void Refresh();
    bool CacheColorTables();
    bool RestoreColorTables(bool bReleaseCache);

    // ---- events ----
    forms::Event<> Click;
    forms::Event<forms::MouseArgs&> MouseDown;
    forms::Event<forms::MouseArgs&> MouseUp;
    forms::Event<forms::MouseArgs&> MouseMove;
    forms::Event<> LoopsEnded;
    forms::Event<int32_t, bool&> FrameChanged;
    forms::Event<float, float, bool&> RemoteLoadComplete;
    forms::Event<> RemoteLoadFailure;

    // ---- for tests: what the control holds ----
    const GifHeaderInfo& Header() const { return store_.Header; }
    const std::vector<GifFrame>& Frames() const { return store_.Frames; }
    bool HasCanvas() const { return canvas_.dib; }
    bool UsesMask() const { return UsesMask_; }
    bool HoldsGifBytes() const { return !store_.Bytes().empty(); }
    // The composed picture after the last paint (canvas colour, see-through).
    const GifCanvas& Composer() const { return composer_; }
    // The asynchronous read's notices: the downloaded bytes, or a status of
    // 0 for a failed read.
    void AsyncReadComplete(const std::wstring& propertyName, std::span<const uint8_t> download);
    void AsyncReadProgress(const std::wstring& propertyName, int32_t statusCode);

protected:
    void UserControl_InitProperties() override {}
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_Resize() override;
    void UserControl_Paint() override;
    void UserControl_Show() override;
    void UserControl_Hide() override;
    void UserControl_Click() override { Click(); }
    void UserControl_MouseDown(forms::MouseArgs& e) override;
    void UserControl_MouseUp(forms::MouseArgs& e) override;
    void UserControl_MouseMove(forms::MouseArgs& e) override;
    void UserControl_Terminate() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // An 8-bit or 24-bit DIB section selected into its own memory DC; the
    // selection ends before the bitmap is deleted, the bitmap before the DC.
    struct DibDc {
        std::unique_ptr<forms::gdi::MemoryDc> dc;
        forms::gdi::BitmapHandle dib;
        std::optional<forms::gdi::Selection> selected;
        uint8_t* bits = nullptr;
        // A DC compatible with the screen and the DIB section selected into it.
        bool Create(const forms::gdi::DibFormat& format);
        void Release()
        {
            selected.reset();
            dib.Reset();
            dc.reset();
            bits = nullptr;
        }
    };

    // Frame store (the reader's side)
    // LoadGif over the bytes held, then the resize of Stretch 1, 3 and 4:
    // what the array and file loads end with.
    bool LoadHeldBytes();
    int32_t LoadGif();
    void ResetGif();
    // startAnimation false: a later pass run early, which leaves the timer
    // to its caller.
    bool BuildFrameStrip(bool& firstPass, bool startAnimation = true);
    void FinishBuild(bool startAnimation);
    // Raises FrameChanged for frame 1 when a build left it to announce: after
    // the build, so that an error a handler raises finds the control whole.
    void AnnounceFirstFrame();
    bool CreateCanvasDibs(bool withMask);
    bool CreateStrip(int32_t width, int32_t height);
    GifBitmapView StripView() const;
    bool Loaded() const { return CurrentFrame_ != 0; }
    int32_t PaletteSlot(int32_t FrameIndex) const;
    void ToContainerUnits(forms::MouseArgs& e) const;
    bool RunTime() const { return Ambient().UserMode(); }

    // Drawing
    bool PaintCurrentFrame(int32_t frameIndex, HDC hDC);
    void BlitFrame(int32_t frameIndex, HDC hDC, bool stretched, const RECT& rect);
    void LoadStripColors(const GifColorTable& table);
    void ApplyMirror(int32_t fromStyle, bool firstFrameOnly, bool includeCanvas);
    void ResizeToPicture();

    void CancelRemoteReads();

    // Timer
    bool SetAnimationTimer(int32_t type);
    void ArmTimer(int32_t milliseconds);
    int32_t FrameInterval() const;
    void DeferredBuildCallback();
    void AnimationTimerProc();

    // State of the control, in the order the control declares it.
    int32_t OffsetX_ = 0;
    int32_t OffsetY_ = 0;
    int32_t SolidBkgColor_ = 0;
    bool SolidBkgColorUsed_ = false;
    int16_t MinFrameDelay_ = 50;
    int32_t LoopsLeft = 0;
    int32_t PlayState = 0;
    int32_t Stretch_ = 1;
    int32_t CurrentFrame_ = 0;
    int32_t DelayAnimation_ = 1;
    int32_t MirrorStyle_ = 0;
    int32_t SteppedDelay_ = 0;

    struct ColorTableCache {
        int32_t held = 0;
        std::vector<GifColorTable> table;
    } colorCache_;

    GifFrameStore store_;
    DibDc strip_;
    int32_t stripWidth_ = 0;
    int32_t stripHeight_ = 0;
    DibDc canvas_;
    forms::gdi::BitmapHandle canvasMask_;
    uint8_t* maskBits_ = nullptr;
    bool UsesMask_ = false;
    GifCanvas composer_;
    std::vector<uint32_t> WorkPalette;
    int32_t largestSpan_ = 0;

    // The deferred build of frames 2..N is still to run.
    bool framesPending_ = false;
    bool announceFirstFrame_ = false;
    // While the resize handler resizes the control itself.
    bool resizing_ = false;
    // Remote reads started and not yet heard of, by number.
    std::map<uint32_t, std::unique_ptr<forms::UrlFetch>> remoteReads_;
    uint32_t lastRemoteRead_ = 0;
    // Counts loads, so a timer callback can tell the picture it was armed for.
    uint32_t loadGeneration_ = 0;
    // The frame timer (type 1) or the deferred build's (type 2): one per
    // control, on the program's clock.
    int32_t timerType_ = 0;
    forms::Loaded<forms::TimerControl> timer_;
};

}  // namespace quill::gif
