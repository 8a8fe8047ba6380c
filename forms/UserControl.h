#pragma once
// The host for the program's own controls. A user control is a child window
// with its own drawing surface that keeps what was drawn (pixels, its scale
// is pixels), a property bag for its design values, the extender through
// which the host places it, and the ambient values of its container. The
// container's notifications arrive as the virtual UserControl_* handlers in
// the platform's order; the control raises its own events (Event members it
// declares) to the host.
#include "forms/Color.h"
#include "forms/Container.h"
#include "forms/Control.h"
#include "forms/Events.h"
#include "forms/Font.h"
#include "forms/MouseSequence.h"
#include "forms/Picture.h"
#include "forms/PropertyBag.h"
#include "forms/Surface.h"

#include <string>
#include <vector>

namespace quill::forms {

class UserControl;

// What the control learns of its container.
class AmbientProperties {
public:
    explicit AmbientProperties(const UserControl& c) : c_(c) {}
    bool UserMode() const;          // False on a design surface
    bool DisplayAsDefault() const;  // the control is the form's default button
    std::wstring DisplayName() const;
    forms::Font::Ref Font() const;  // the container's font

private:
    const UserControl& c_;
};

enum : int16_t { vbTransparent = 0, vbOpaque = 1 };

// Mouse pointers (the platform's MousePointer values that controls use).
enum : int16_t { vbDefault = 0, vbArrow = 1, vbIbeam = 3, vbSizeWE = 9, vbHourglass = 11, vbCustom = 99 };

class UserControl : public Control, public Container {
public:
    ~UserControl() override;

    // The host places the control: it is created, reads its design from the
    // layout (ReadProperties) or starts as a new instance (InitProperties),
    // takes its size (Resize) and is shown when it is effectively visible.
    void Create(Container& container, const ControlArgs& args, const PropertyBag* layout = nullptr);
    // The host saves the design (WriteProperties).
    void SaveProperties(PropertyBag& bag);

    // Every PropertyChanged report, for the host and for tests.
    Event<const std::wstring&> PropertyChangeReported;

    // Ambient values changed in the container (the host tells the control).
    void AmbientChanged(const std::wstring& propertyName);

    // ---- what the control's own code uses ----
    Control& Extender() { return *this; }
    AmbientProperties Ambient() const { return AmbientProperties(*this); }
    void PropertyChanged(const std::wstring& propertyName);

    // The control's own window state (Enabled stops mouse and keys).
    bool Enabled() const { return Control::Enabled(); }
    void Enabled(bool v) { Control::Enabled(v); }
    int16_t MousePointer() const { return mousePointer_; }
    void MousePointer(int16_t v) { mousePointer_ = v; }
    const Picture::Ref& MouseIcon() const { return mouseIcon_; }
    void MouseIcon(Picture::Ref p) { mouseIcon_ = std::move(p); }
    // Characters whose access key (Alt + character) activates the control.
    const std::wstring& AccessKeys() const { return accessKeys_; }
    void AccessKeys(std::wstring v) { accessKeys_ = std::move(v); }
    bool CanGetFocus = true;
    // True: the surface is only blitted on repaint; False: UserControl_Paint
    // runs first to draw it.
    bool AutoRedraw = false;
    // vbTransparent: every repaint starts from what the container shows
    // behind the control, so what UserControl_Paint leaves undrawn shows the
    // container; vbOpaque: from what the surface last held.
    int16_t BackStyle = vbOpaque;

    // Size in the container's units (the extender's Width and Height).
    void Size(int width, int height);
    // Units of the container per pixel, for reporting sizes and places.
    double ContainerUnitsPerPixelX() const;
    double ContainerUnitsPerPixelY() const;

    // The drawing surface, in pixels.
    Surface& Graphics() { return surface_; }
    HDC hDC() const { return surface_.hDC(); }
    int ScaleWidth() const { return surface_.ScaleWidth(); }
    int ScaleHeight() const { return surface_.ScaleHeight(); }
    OleColor BackColor() const { return surface_.BackColor(); }
    void BackColor(OleColor c) { surface_.BackColor(c); }
    OleColor ForeColor() const { return surface_.ForeColor(); }
    void ForeColor(OleColor c) { surface_.ForeColor(c); }
    const forms::Font::Ref& Font() const { return surface_.Font(); }
    void Font(forms::Font::Ref f) { surface_.Font(std::move(f)); }
    void Cls() { surface_.Cls(); }
    // The colour of a pixel of the surface, -1 outside.
    int64_t Point(int x, int y) const { return surface_.Point(x, y); }
    // Repaints at once (the platform's Refresh).
    void Refresh();

    HWND ContainerWindow() const override { return hWnd(); }
    Form& ParentForm() override { return Control::ParentForm(); }
    bool ShowsChildren() const override { return shown_; }
    double PixelsPerUnitX() const override { return 1; }
    double PixelsPerUnitY() const override { return 1; }
    Container* OuterContainer() const override { return ParentContainer(); }
    void AdoptHolder(ControlHolder&) override {}

    bool CanTakeFocus() const override;
    std::wstring AccessKeyChars() const override;
    void AccessKeyPressed(wchar_t key) override;

protected:
    UserControl();

    virtual void UserControl_InitProperties() {}
    virtual void UserControl_ReadProperties(PropertyBag& PropBag) {}
    virtual void UserControl_WriteProperties(PropertyBag& PropBag) {}
    virtual void UserControl_Resize() {}
    virtual void UserControl_Paint() {}
    virtual void UserControl_Show() {}
    virtual void UserControl_Hide() {}
    virtual void UserControl_MouseDown(MouseArgs& e) {}
    virtual void UserControl_MouseMove(MouseArgs& e) {}
    virtual void UserControl_MouseUp(MouseArgs& e) {}
    virtual void UserControl_Click() {}
    virtual void UserControl_DblClick() {}
    virtual void UserControl_KeyDown(KeyArgs& e) {}
    virtual void UserControl_KeyPress(KeyPressArgs& e) {}
    virtual void UserControl_KeyUp(KeyArgs& e) {}
    virtual void UserControl_AccessKeyPress(int16_t KeyAscii) {}
    virtual void UserControl_AmbientChanged(const std::wstring& PropertyName) {}
    virtual void UserControl_EnterFocus() {}
    virtual void UserControl_ExitFocus() {}
    virtual void UserControl_GotFocus() {}
    virtual void UserControl_LostFocus() {}
    virtual void UserControl_Terminate() {}

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    std::vector<Control*>* OwnTabOrder() override { return &tabOrder_; }
    void ShownChanged(bool shown) override;
    void FocusEntered() override { UserControl_EnterFocus(); }
    void FocusExited() override { UserControl_ExitFocus(); }
    void OwnFocusGot() override { UserControl_GotFocus(); }
    void OwnFocusLost() override { UserControl_LostFocus(); }
    void DefaultChanged() override { AmbientChanged(L"DisplayAsDefault"); }
    void Terminating() override;

private:
    friend class Form;
    bool Mouse(UINT msg, WPARAM wp, LPARAM lp);
    void PaintContainerBehind();
    bool Key(UINT msg, WPARAM wp, LPARAM lp);
    bool HasFocusableChildren() const;

    Surface surface_;
    bool ready_ = false;
    bool painting_ = false;
    bool terminated_ = false;
    int16_t mousePointer_ = vbDefault;
    Picture::Ref mouseIcon_;
    std::wstring accessKeys_;
    std::vector<Control*> tabOrder_;
    MouseSequence mouse_;
    bool autoCaptured_ = false;
};

}  // namespace quill::forms
