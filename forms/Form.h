#pragma once
// A top-level window of the program. Loading, showing, hiding and unloading
// are separate steps: Load creates the window and its controls (the layout
// step) and runs Form_Load; Unload runs Form_QueryUnload and Form_Unload,
// then ends the window and its controls. The form object itself, and every
// value a derived form keeps, outlives unloading; the next Load creates the
// controls afresh from the design. Sizes and places are in twips.
#include "forms/Color.h"
#include "forms/Container.h"
#include "forms/Font.h"
#include "forms/Picture.h"
#include "forms/Surface.h"
#include "forms/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace quill::forms {

class Control;

enum : int16_t { vbStartUpManual = 0, vbStartUpOwner = 1, vbStartUpScreen = 2, vbStartUpWindowsDefault = 3 };
enum : int16_t { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
enum : int16_t { vbBSNone = 0, vbFixedSingle = 1, vbSizable = 2, vbFixedDialog = 3, vbFixedToolWindow = 4 };
// Why a form unloads (Form_QueryUnload's UnloadMode).
enum : int16_t { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3 };

// The design of a form window, applied on every load.
struct FormArgs {
    std::wstring caption{};
    int clientWidth = 4800, clientHeight = 3600;  // twips
    int left = 0, top = 0;                        // twips, for vbStartUpManual
    int16_t startUpPosition = vbStartUpWindowsDefault;
    int16_t borderStyle = vbSizable;
    int16_t windowState = vbNormal;
    bool controlBox = true, minButton = true, maxButton = true;
    bool showInTaskbar = true;
    OleColor backColor = 0x8000000F;
    Font::Ref font{};        // nullptr: the system's default (宋体 9 pt)
    Picture::Ref picture{};  // background picture at the top left
    Picture::Ref icon{};     // nullptr: the program's icon (resource 1)
};

class Form : public Window, public Container {
public:
    explicit Form(FormArgs design = {});
    ~Form() override;

    void Load();
    void Show();
    void Hide();
    // False when Form_QueryUnload or Form_Unload refused.
    bool Unload(int16_t unloadMode = vbFormCode);
    bool IsLoaded() const { return loaded_; }

    std::wstring Caption() const;
    void Caption(const std::wstring& v);
    void Icon(Picture::Ref icon);
    const Picture::Ref& Icon() const { return icon_; }
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void Left(int v) { Move(v); }
    void Top(int v) { Move(Left(), v); }
    void Width(int v) { Move(Left(), Top(), v); }
    void Height(int v) { Move(Left(), Top(), Width(), v); }
    void Move(int left, std::optional<int> top = {}, std::optional<int> width = {},
              std::optional<int> height = {});
    int ScaleWidth() const;
    int ScaleHeight() const;
    bool Visible() const;
    void Visible(bool v) { v ? Show() : Hide(); }
    int16_t WindowState() const;
    void WindowState(int16_t v);
    OleColor BackColor() const { return surface_.BackColor(); }
    void BackColor(OleColor c);
    const Picture::Ref& Picture() const { return picture_; }
    void Picture(forms::Picture::Ref p);
    const forms::Font::Ref& Font() const { return font_; }
    void Font(forms::Font::Ref f);

    // The window's retained drawing surface (its graphics methods).
    Surface& Graphics() { return surface_; }
    void Cls();

    Control* ActiveControl() const { return activeControl_; }
    // Moves the focus to the next or previous control in tab order.
    void MoveFocus(bool forward);
    // Posted by SendKeys: wParam non-zero moves forward.
    static constexpr UINT kMoveFocusMessage = WM_APP + 0x52;
    // Moves the focus to the first control after `c` in tab order that takes it.
    void FocusAfter(const Control& c);

    // Test seam: the form's controls see a design surface (their ambient
    // UserMode is False). Set before Load.
    bool DesignMode = false;

    // Keyboard handling of the platform's forms (tab order, access keys,
    // default and cancel buttons) for a message about to be dispatched.
    bool PreTranslate(const MSG& msg);

    // Container
    HWND ContainerWindow() const override { return hWnd(); }
    Form& ParentForm() override { return *this; }
    bool ShowsChildren() const override;
    double PixelsPerUnitX() const override;
    double PixelsPerUnitY() const override;
    Container* OuterContainer() const override { return nullptr; }
    void AdoptHolder(ControlHolder& holder) override;

protected:
    // The layout step: creates the controls with their design values.
    virtual void CreateControls() {}
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) {}
    virtual void Form_Unload(int16_t& Cancel) {}

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    std::vector<Control*>* OwnTabOrder() override { return &tabOrder_; }

private:
    friend class Control;
    friend void End();
    // Ends the window and its controls without asking the handlers.
    void Discard();
    void ControlFocused(Control* c) { activeControl_ = c; }
    friend class ControlHolder;
    void ForgetHolder(ControlHolder& holder);
    void ToolTipChanged(Control& c);
    std::vector<Control*> FocusOrder();
    Control* FocusOwner() const;
    void Place(bool first);
    void RedrawBackground();
    void Activated();

    FormArgs design_;
    bool loaded_ = false;
    bool sized_ = false;
    bool everShown_ = false;
    bool showing_ = false;
    bool unloading_ = false;
    Surface surface_;
    forms::Picture::Ref picture_;
    forms::Picture::Ref icon_;
    forms::Font::Ref font_;
    std::vector<Control*> tabOrder_;
    std::vector<ControlHolder*> holders_;
    Control* activeControl_ = nullptr;
    HWND toolTip_ = nullptr;
};

// The loaded forms, in load order (the platform's Forms collection).
const std::vector<Form*>& Forms();

}  // namespace quill::forms
