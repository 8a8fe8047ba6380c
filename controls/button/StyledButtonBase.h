#pragma once
// What both programs' buttons share: the owner-drawn push button with eleven
// drawing styles, icons, hover tracking through a hook on its own window
// procedure, its own tool tip and an about box. StyledButton (the main
// program's) and UpdaterStyledButton (the updater's) differ in two points,
// chosen when they are made (see ButtonVariant).
//
// The jobs live in their own sources: properties and the container's
// notifications (StyledButtonBase.cpp), painting (ButtonPainting.cpp), the
// grey icon (GreyIcon.cpp), the tool tip (ButtonToolTip.cpp), the about box
// (AboutBox.cpp) and the hover hook (HoverHook.cpp).
#include "controls/button/AboutBox.h"
#include "controls/button/ButtonColours.h"
#include "controls/button/HookTable.h"
#include "forms/Gdi.h"
#include "forms/Surface.h"
#include "forms/UserControl.h"
#include "forms/WindowHook.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

namespace quill::button {

// Where the two programs' buttons differ.
struct ButtonVariant {
    // An IconSizeH of its own (persisted); without it icons are drawn
    // IconSize by IconSize.
    bool iconSizeH;
    // The notification that the focus left the control repaints as well.
    bool repaintWhenFocusLeaves;
};

class StyledButtonBase : public forms::UserControl {
public:
    ~StyledButtonBase() override;

    // Public members in the order of the control's member table.

    // The hook's callback: `before` is True for a call made before the
    // window's previous procedure ran. A before-callback that sets `handled`
    // suppresses the previous procedure and the after-callbacks and its
    // `returnValue` goes back to the system. The button registers
    // after-callbacks only.
    virtual void HookProc(bool before, bool& handled, LRESULT& returnValue, HWND window, UINT message,
                          WPARAM wParam, LPARAM lParam);
    // Draws the icon grey at (x, y), `width` wide and `height` high (the
    // height comes first). False when nothing was drawn.
    bool PaintIconGrayscale(HDC dc, HICON icon, int x, int y, int height, int width);
    void About();
    void Refresh();
    std::wstring Version() const { return L"3.4.0"; }

    int Style() const { return style_; }
    void Style(int v);
    const std::wstring& Caption() const { return caption_; }
    void Caption(std::wstring v);
    const forms::Picture::Ref& Icon() const { return icon_; }
    void Icon(forms::Picture::Ref v);
    int IconAlign() const { return iconAlign_; }
    void IconAlign(int v);
    int16_t IconSize() const { return iconSize_; }
    void IconSize(int16_t v);
    int CaptionAlign() const { return captionAlign_; }
    void CaptionAlign(int v);
    int NonThemeStyle() const { return nonThemeStyle_; }
    void NonThemeStyle(int v);
    // Reading also repaints the control.
    bool Enabled();
    void Enabled(bool v);
    bool ShowFocus() const { return showFocus_; }
    void ShowFocus(bool v);
    bool UseCustomColors() const { return useCustomColors_; }
    void UseCustomColors(bool v);
    forms::OleColor BackColor() const { return backColor_; }
    void BackColor(forms::OleColor v);
    forms::OleColor HighlightColor() const { return highlightColor_; }
    void HighlightColor(forms::OleColor v);
    forms::OleColor FontColor() const { return fontColor_; }
    void FontColor(forms::OleColor v);
    forms::OleColor FontHighlightColor() const { return fontHighlightColor_; }
    void FontHighlightColor(forms::OleColor v);
    const std::wstring& ToolTipText() const { return toolTipText_; }
    void ToolTipText(std::wstring v);
    const std::wstring& ToolTipTitle() const { return toolTipTitle_; }
    void ToolTipTitle(std::wstring v);
    int ToolTipIcon() const { return toolTipIcon_; }
    void ToolTipIcon(int v);
    int ToolTipType() const { return toolTipType_; }
    void ToolTipType(int v);
    forms::OleColor ToolTipBackColor() const { return toolTipBackColor_; }
    void ToolTipBackColor(forms::OleColor v);
    forms::OleColor ToolTipForeColor() const { return toolTipForeColor_; }
    void ToolTipForeColor(forms::OleColor v);
    const forms::Font::Ref& Font() const { return UserControl::Font(); }
    void Font(forms::Font::Ref v);
    int ButtonType() const { return buttonType_; }
    void ButtonType(int v);
    int16_t MousePointer() const { return UserControl::MousePointer(); }
    void MousePointer(int16_t v);
    bool Value() const { return value_; }
    void Value(bool v);
    forms::OleColor MaskColor() const { return maskColor_; }
    void MaskColor(forms::OleColor v);
    bool UseMaskColor() const { return useMaskColor_; }
    void UseMaskColor(bool v);
    // ShellExecuteA's result (above 32 when the shell could open the link).
    intptr_t OpenLink(const std::wstring& link);

    forms::Event<> Click;
    forms::Event<> MouseEnter;
    forms::Event<> MouseLeave;

    // For tests: what the control shows and holds beyond its properties.
    int State() const { return state_; }
    bool HasFocus() const { return hasFocus_; }
    HWND ToolTipWindow() const { return toolTipWindow_; }
    const TOOLINFOA& ToolRecord() const { return toolRecord_; }
    bool Hooked() const;
    const button::HookTable& Thunks() const { return thunks_; }
    HWND AboutWindow() const;
    uint32_t CaptionFormat() const { return captionFormat_; }

    static bool IsFunctionExported(const char* function, const wchar_t* library);

protected:
    explicit StyledButtonBase(ButtonVariant variant);

    // The icon's drawn height: IconSizeH, or IconSize without one.
    int IconHeight() const { return variant_.iconSizeH ? iconSizeH_ : iconSize_; }
    void StoreIconSizeH(int16_t v);
    int16_t iconSizeH_ = 16;

    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_Resize() override;
    void UserControl_Paint() override { Refresh(); }
    void UserControl_Show() override;
    void UserControl_Hide() override;
    void UserControl_MouseDown(forms::MouseArgs& e) override;
    void UserControl_MouseUp(forms::MouseArgs& e) override;
    void UserControl_Click() override { ClickAction(); }
    void UserControl_DblClick() override;
    void UserControl_KeyDown(forms::KeyArgs& e) override;
    void UserControl_KeyPress(forms::KeyPressArgs& e) override;
    void UserControl_KeyUp(forms::KeyArgs& e) override;
    void UserControl_AccessKeyPress(int16_t KeyAscii) override;
    void UserControl_AmbientChanged(const std::wstring& PropertyName) override;
    void UserControl_EnterFocus() override;
    void UserControl_ExitFocus() override;
    void UserControl_GotFocus() override;
    void UserControl_LostFocus() override;
    void UserControl_Terminate() override;

    // The one-shot request for WM_MOUSELEAVE; false when the system refused it.
    virtual bool TrackMouseLeave(HWND window);

    // The hook (per-window tables, in the window's subclass chain).
    // `which`: bit 2 the before-table, bit 1 the after-table; message -1 is every message.
    int AttachThunk(HWND window);
    void AddThunkMessage(HWND window, int32_t message, int which);
    void DetachThunk(HWND window);
    void DetachAllThunks();

private:
    // The hook in the window's subclass chain: it outlives a call in which
    // the control ends, and knows the control only while it is alive.
    struct ThunkLink : forms::WindowHook, std::enable_shared_from_this<ThunkLink> {
        ThunkLink() : WindowHook("button::StyledButton") {}
        StyledButtonBase* owner = nullptr;

    protected:
        LRESULT HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    };

    // What the mouse and keyboard notifications share.
    void PressWithLeft();
    void ReleaseButton(int16_t button);
    bool ClickAction();
    void Report(const wchar_t* name) { PropertyChanged(name); }
    // A property's setter: store, report, lay out again where asked, repaint.
    enum class Relayout { No, Yes };
    template <class T>
    void Store(T& field, T value, const wchar_t* reportedName, Relayout relayout = Relayout::No);

    // Drawing (ButtonPainting.cpp). Painting reads the properties and never
    // changes one.
    // The Style whose face is drawn: NonThemeStyle in place of 6 while no
    // visual theme can draw it.
    int DrawnStyle() const;
    bool ThemeAvailable() const;
    void DrawFace(int W, int H);
    void DrawIcon(int W, int H);
    bool DrawMaskedIcon(int x, int y, bool grey);
    void DrawHotShadow(int x, int y);
    void PaintIconInto(HDC dc, int x, int y);
    void DrawCaption();
    void ApplyStyleRegion();

    void InstallHoverTracking();

    // Tool tip.
    void CreateToolTip();
    void DestroyToolTip();

    // Fields of the button.
    int state_ = 1;
    bool hasFocus_ = false;
    bool isShown_ = false;
    RECT clientRect_{};
    RECT captionRect_{};
    uint32_t captionFormat_ = 0;
    int lastButton_ = 0;
    int iconMargin_ = 4;
    bool hover_ = false;
    bool trackingAvailable_ = false;
    bool useUser32Tracking_ = false;
    LONG_PTR savedAboutStyle_ = 0;

    // Properties.
    int style_ = 0;
    std::wstring caption_;
    forms::Picture::Ref icon_;
    int iconAlign_ = 0;
    int16_t iconSize_ = 16;
    int captionAlign_ = 0;
    int nonThemeStyle_ = 0;
    bool enabled_ = true;
    bool showFocus_ = false;
    bool useCustomColors_ = false;
    forms::OleColor backColor_ = 0;
    forms::OleColor highlightColor_ = 0;
    forms::OleColor fontColor_ = 0;
    forms::OleColor fontHighlightColor_ = 0;
    std::wstring toolTipText_;
    std::wstring toolTipTitle_;
    int toolTipIcon_ = 0;
    int toolTipType_ = 1;
    forms::OleColor toolTipBackColor_ = 0;
    forms::OleColor toolTipForeColor_ = 0;
    int buttonType_ = 0;
    bool value_ = false;
    forms::OleColor maskColor_ = 0;
    bool useMaskColor_ = false;

    // Tool tip window and its tool record (the text it points to lives here too).
    HWND toolTipWindow_ = nullptr;
    TOOLINFOA toolRecord_{};
    std::string toolRecordText_;

    button::HookTable thunks_;
    std::shared_ptr<ThunkLink> thunkLink_;
    forms::Surface pMask;  // scratch surface for reading an icon's pixels
    std::unique_ptr<AboutBox> m_About;
    const ButtonVariant variant_;
};

}  // namespace quill::button
