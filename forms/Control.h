#pragma once
// The base of every control: what the host sees of it through the
// container's extender (name, index, place, visibility, tab order, tool tip,
// focus events), with or without a window of its own.
#include "forms/Events.h"
#include "forms/Window.h"

#include <optional>
#include <string>

namespace quill::forms {

class Container;
class Form;
class UserControl;

// The values every control is placed with; places are in the container's
// units (twips on forms, frames and picture boxes, pixels in user controls).
struct ControlArgs {
    std::wstring name{};
    int index = -1;  // element of a control array, -1 for none
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool enabled = true;
    int tabIndex = -1;  // -1: after the last
    bool tabStop = true;
    std::wstring toolTipText{};
};

class Control : public Window {
public:
    ~Control() override;

    // The extender.
    const std::wstring& Name() const { return name_; }
    int Index() const { return index_; }
    Container* ParentContainer() const { return container_; }
    Form& ParentForm() const;

    bool Visible() const { return visible_; }
    void Visible(bool v);
    int Left() const { return left_; }
    void Left(int v) { Move(v); }
    int Top() const { return top_; }
    void Top(int v) { Move(left_, v); }
    int Width() const { return width_; }
    void Width(int v) { Move(left_, top_, v); }
    int Height() const { return height_; }
    void Height(int v) { Move(left_, top_, width_, v); }
    void Move(int left, std::optional<int> top = {}, std::optional<int> width = {},
              std::optional<int> height = {});
    const std::wstring& ToolTipText() const { return toolTipText_; }
    void ToolTipText(std::wstring v);
    bool Enabled() const { return enabled_; }
    void Enabled(bool v);
    int TabIndex() const;
    void TabIndex(int position);
    bool TabStop() const { return tabStop_; }
    void TabStop(bool v) { tabStop_ = v; }
    // The form's default button (Enter) and cancel button (Esc).
    bool Default() const { return default_; }
    void Default(bool v);
    bool Cancel() const { return cancel_; }
    void Cancel(bool v) { cancel_ = v; }
    std::wstring Tag;

    void SetFocus();
    // 0 brings the control to the front, 1 sends it to the back.
    void ZOrder(int position = 0);

    // Extender events.
    Event<> GotFocus;
    Event<> LostFocus;

    // Effectively visible: its own Visible and every container around it.
    bool EffectivelyVisible() const;
    // The control's place in the parent window's client area, in pixels.
    RECT PixelRect() const;

    // Whether the focus can be put here now (shown, enabled, a window).
    virtual bool CanTakeFocus() const;
    // Access keys (lower-case characters) that activate the control.
    virtual std::wstring AccessKeyChars() const { return {}; }
    // Whether Tab stops here now (an option button only when it is the
    // group's chosen one).
    virtual bool TabStopNow() const { return tabStop_; }
    // Keys the control keeps for itself instead of the form's handling.
    virtual bool WantsKey(UINT vk) const { return false; }
    // The control's access key was pressed (or it is the default or cancel
    // button and Enter or Esc was): focus it and act.
    virtual void AccessKeyPressed(wchar_t key);

protected:
    Control() = default;
    // Registers the control with its container and takes the extender values.
    // Windowed controls create their window after this, in PixelRect(), and
    // call Sited() when they are ready to be shown.
    void Site(Container& container, const ControlArgs& args);
    void Sited();
    virtual bool Windowless() const { return false; }
    // The window style bits every child window gets from the extender values.
    DWORD ChildStyle() const;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void HandleDestroyed() override;
    void Terminating() override;

    // Effective visibility changed (the platform's Show and Hide).
    virtual void ShownChanged(bool shown) {}
    // Windowless controls paint themselves into the container's DC and get
    // mouse messages with client coordinates of the container.
    virtual void PaintWindowless(HDC dc) {}
    virtual void WindowlessMouse(UINT msg, WPARAM wp, POINT pt) {}
    virtual HCURSOR WindowlessCursor() const { return nullptr; }

    // Focus notifications of user controls (EnterFocus/ExitFocus and their
    // own GotFocus/LostFocus), called in the platform's order.
    virtual void FocusEntered() {}
    virtual void FocusExited() {}
    virtual void OwnFocusGot() {}
    virtual void OwnFocusLost() {}
    bool ContainsWindow(HWND h) const;
    virtual void DefaultChanged() {}
    // For windows whose focus arrives in a child window of theirs (the
    // field inside a combo box): focus notifications from the window's own
    // notification instead of WM_SETFOCUS.
    void FocusChanged(bool arrived);

    bool shown_ = false;

private:
    friend class Container;
    friend class Form;
    void UpdateShown();
    void ApplyPlacement();
    void InvalidateWindowless() const;
    void FocusArrived(HWND previous);
    void FocusLeft(HWND next);

    Container* container_ = nullptr;
    std::wstring name_;
    int index_ = -1;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool tabStop_ = true;
    bool default_ = false;
    bool cancel_ = false;
    bool sited_ = false;
    std::wstring toolTipText_;
};

}  // namespace quill::forms
