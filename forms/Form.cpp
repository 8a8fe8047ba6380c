#include "forms/Form.h"

#include "forms/Control.h"
#include "forms/Gdi.h"
#include "forms/Loaded.h"
#include "forms/Screen.h"
#include "forms/UserControl.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

namespace quill::forms {

namespace {

std::vector<Form*>& LoadedForms()
{
    static std::vector<Form*> forms;
    return forms;
}

DWORD StyleOf(const FormArgs& d)
{
    DWORD style = WS_CLIPCHILDREN;
    switch (d.borderStyle) {
    case vbBSNone:
        style |= WS_POPUP;
        break;
    case vbFixedSingle:
        style |= WS_OVERLAPPED | WS_CAPTION | WS_BORDER;
        break;
    case vbFixedDialog:
    case vbFixedToolWindow:
        style |= WS_POPUP | WS_CAPTION | WS_DLGFRAME;
        break;
    default:
        style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
        break;
    }
    if (d.borderStyle != vbBSNone && d.controlBox) {
        style |= WS_SYSMENU;
        if (d.borderStyle == vbSizable || d.borderStyle == vbFixedSingle) {
            style |= d.minButton ? WS_MINIMIZEBOX : 0;
            style |= d.maxButton ? WS_MAXIMIZEBOX : 0;
        }
    }
    return style;
}

}  // namespace

const std::vector<Form*>& Forms()
{
    return LoadedForms();
}

Form::Form(FormArgs design) : design_(std::move(design)) {}

Form::~Form()
{
    if (loaded_) {
        std::erase(LoadedForms(), this);
        for (auto it = holders_.rbegin(); it != holders_.rend(); ++it)
            (*it)->UnloadAll();
    }
    for (ControlHolder* h : holders_)
        h->form_ = nullptr;
}

void Form::AdoptHolder(ControlHolder& holder)
{
    if (std::find(holders_.begin(), holders_.end(), &holder) == holders_.end())
        holders_.push_back(&holder);
    holder.form_ = this;
}

void Form::ForgetHolder(ControlHolder& holder)
{
    std::erase(holders_, &holder);
}

void Form::Load()
{
    if (loaded_)
        return;
    font_ = design_.font ? design_.font->Clone() : Font::New();
    picture_ = design_.picture;
    icon_ = design_.icon;
    activeControl_ = nullptr;
    everShown_ = false;
    DWORD style = StyleOf(design_);
    DWORD exStyle = design_.borderStyle == vbFixedToolWindow ? WS_EX_TOOLWINDOW : 0;
    if (design_.showInTaskbar && design_.borderStyle != vbFixedToolWindow)
        exStyle |= WS_EX_APPWINDOW;
    RECT r{0, 0, Screen::PixelsX(design_.clientWidth), Screen::PixelsY(design_.clientHeight)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    CreateHandle({.style = style,
                  .exStyle = exStyle,
                  .x = Screen::PixelsX(design_.left),
                  .y = Screen::PixelsY(design_.top),
                  .width = r.right - r.left,
                  .height = r.bottom - r.top,
                  .text = design_.caption});
    if (!hWnd())
        return;
    RECT client{};
    GetClientRect(hWnd(), &client);
    surface_.Resize(client.right, client.bottom);
    surface_.Font(font_);
    surface_.onDrawn = [this] {
        if (hWnd())
            InvalidateRect(hWnd(), nullptr, FALSE);
    };
    surface_.BackColor(design_.backColor);
    RedrawBackground();
    Icon(icon_);
    loaded_ = true;
    LoadedForms().push_back(this);
    CreateControls();
    Form_Load();
}

void Form::Place(bool first)
{
    if (!first)
        return;
    RECT w{};
    GetWindowRect(hWnd(), &w);
    int width = w.right - w.left, height = w.bottom - w.top;
    int x = w.left, y = w.top;
    if (design_.startUpPosition == vbStartUpScreen || design_.startUpPosition == vbStartUpOwner) {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        x = area.left + (area.right - area.left - width) / 2;
        y = area.top + (area.bottom - area.top - height) / 2;
    } else if (design_.startUpPosition == vbStartUpWindowsDefault) {
        x = y = 0;
    }
    SetWindowPos(hWnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show()
{
    Load();
    if (!loaded_)
        return;
    bool first = !everShown_;
    everShown_ = true;
    Place(first);
    sized_ = false;
    int16_t state = first ? design_.windowState : WindowState();
    // Show, Resize, Activate, then the focus, in the platform's order.
    showing_ = true;
    ShowWindow(hWnd(), state == vbMaximized   ? SW_SHOWMAXIMIZED
                       : state == vbMinimized ? SW_SHOWMINIMIZED
                                              : SW_SHOWNORMAL);
    showing_ = false;
    if (!loaded_)
        return;  // a handler unloaded the form while it was shown
    UpdateChildrenShown();
    if (!sized_)
        Form_Resize();
    SetForegroundWindow(hWnd());
    Activated();
}

void Form::Activated()
{
    if (!loaded_)
        return;
    Control* target = activeControl_ && activeControl_->CanTakeFocus() ? activeControl_ : nullptr;
    if (!target) {
        auto order = FocusOrder();
        target = order.empty() ? nullptr : order.front();
    }
    if (target)
        target->SetFocus();
    Form_Activate();
}

void Form::Hide()
{
    if (!loaded_)
        return;
    ShowWindow(hWnd(), SW_HIDE);
    UpdateChildrenShown();
}

bool Form::Unload(int16_t unloadMode)
{
    if (!loaded_ || unloading_)
        return true;
    int16_t cancel = 0;
    {
        HandlerScope scope;
        unloading_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{unloading_};
        Form_QueryUnload(cancel, unloadMode);
        if (cancel)
            return false;
        Form_Unload(cancel);
        if (cancel)
            return false;
    }
    if (!loaded_)
        return true;  // a handler unloaded it already
    Discard();
    return true;
}

void Form::Discard()
{
    if (!loaded_)
        return;
    loaded_ = false;
    std::erase(LoadedForms(), this);
    if (toolTip_) {
        DestroyWindow(toolTip_);
        toolTip_ = nullptr;
    }
    // Children first: their windows go with the form's.
    for (auto it = holders_.rbegin(); it != holders_.rend(); ++it)
        (*it)->UnloadAll();
    activeControl_ = nullptr;
    DestroyHandle();
    // Wakes a message loop that waits for the last form to go.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

std::wstring Form::Caption() const
{
    if (!hWnd())
        return design_.caption;
    int n = GetWindowTextLengthW(hWnd());
    std::wstring s(n, L'\0');
    GetWindowTextW(hWnd(), s.data(), n + 1);
    return s;
}

void Form::Caption(const std::wstring& v)
{
    if (hWnd())
        SetWindowTextW(hWnd(), v.c_str());
}

void Form::Icon(Picture::Ref icon)
{
    icon_ = std::move(icon);
    if (!hWnd())
        return;
    HICON h = icon_ && icon_->Type() == vbPicTypeIcon
                  ? static_cast<HICON>(icon_->Handle())
                  : LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    SendMessageW(hWnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(h));
    SendMessageW(hWnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(h));
}

namespace {
RECT WindowRectOf(HWND h)
{
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}
RECT ClientRectOf(HWND h)
{
    RECT r{};
    GetClientRect(h, &r);
    return r;
}
}  // namespace

int Form::Left() const
{
    return Screen::TwipsX(WindowRectOf(hWnd()).left);
}
int Form::Top() const
{
    return Screen::TwipsY(WindowRectOf(hWnd()).top);
}
int Form::Width() const
{
    RECT r = WindowRectOf(hWnd());
    return Screen::TwipsX(r.right - r.left);
}
int Form::Height() const
{
    RECT r = WindowRectOf(hWnd());
    return Screen::TwipsY(r.bottom - r.top);
}
int Form::ScaleWidth() const
{
    return Screen::TwipsX(ClientRectOf(hWnd()).right);
}
int Form::ScaleHeight() const
{
    return Screen::TwipsY(ClientRectOf(hWnd()).bottom);
}

void Form::Move(int left, std::optional<int> top, std::optional<int> width, std::optional<int> height)
{
    if (!hWnd())
        return;
    SetWindowPos(hWnd(), nullptr, Screen::PixelsX(left), Screen::PixelsY(top.value_or(Top())),
                 Screen::PixelsX(width.value_or(Width())), Screen::PixelsY(height.value_or(Height())),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Form::Visible() const
{
    return hWnd() && IsWindowVisible(hWnd());
}

int16_t Form::WindowState() const
{
    if (!hWnd())
        return design_.windowState;
    return IsIconic(hWnd()) ? vbMinimized : IsZoomed(hWnd()) ? vbMaximized : vbNormal;
}

void Form::WindowState(int16_t v)
{
    if (!hWnd())
        return;
    int cmd = v == vbMaximized ? SW_MAXIMIZE : v == vbMinimized ? SW_MINIMIZE : SW_RESTORE;
    if (Visible())
        ShowWindow(hWnd(), cmd);
    else
        design_.windowState = v;
}

void Form::BackColor(OleColor c)
{
    surface_.BackColor(c);
    RedrawBackground();
}

void Form::Picture(forms::Picture::Ref p)
{
    picture_ = std::move(p);
    Cls();
}

void Form::Font(forms::Font::Ref f)
{
    font_ = f ? std::move(f) : Font::New();
    surface_.Font(font_);
    for (Control* c : Controls())
        if (auto* uc = dynamic_cast<UserControl*>(c))
            uc->AmbientChanged(L"Font");
}

void Form::Cls()
{
    surface_.Cls();
    RedrawBackground();
}

void Form::RedrawBackground()
{
    if (picture_)
        surface_.PaintPicture(*picture_, 0, 0);
}

bool Form::ShowsChildren() const
{
    return Visible();
}
double Form::PixelsPerUnitX() const
{
    return 1.0 / Screen::TwipsPerPixelX();
}
double Form::PixelsPerUnitY() const
{
    return 1.0 / Screen::TwipsPerPixelY();
}

void Form::ToolTipChanged(Control& c)
{
    if (!hWnd() || !c.hWnd())
        return;
    if (!toolTip_) {
        toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hWnd(),
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hWnd();
    ti.uId = reinterpret_cast<UINT_PTR>(c.hWnd());
    SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    if (c.ToolTipText().empty())
        return;
    std::wstring text = c.ToolTipText();
    ti.lpszText = text.data();
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

std::vector<Control*> Form::FocusOrder()
{
    std::vector<Control*> out;
    auto walk = [&](auto& self, const std::vector<Control*>& order) -> void {
        for (Control* c : order) {
            if (auto* uc = dynamic_cast<UserControl*>(c); uc && uc->EffectivelyVisible() && uc->Enabled()) {
                std::vector<Control*>* inner = uc->OwnTabOrder();
                size_t before = out.size();
                self(self, *inner);
                if (out.size() > before)
                    continue;
            }
            if (c->TabStopNow() && c->CanTakeFocus())
                out.push_back(c);
        }
    };
    walk(walk, tabOrder_);
    return out;
}

Control* Form::FocusOwner() const
{
    for (HWND h = GetFocus(); h && h != hWnd(); h = GetParent(h))
        if (auto* c = dynamic_cast<Control*>(Window::FromHandle(h)))
            return c;
    return nullptr;
}

void Form::MoveFocus(bool forward)
{
    auto order = FocusOrder();
    if (order.empty())
        return;
    Control* current = FocusOwner();
    auto it = std::find(order.begin(), order.end(), current);
    size_t n = order.size();
    size_t next;
    if (it == order.end())
        next = forward ? 0 : n - 1;
    else {
        size_t pos = static_cast<size_t>(it - order.begin());
        next = forward ? (pos + 1) % n : (pos + n - 1) % n;
    }
    order[next]->SetFocus();
}

void Form::FocusAfter(const Control& c)
{
    auto it = std::find(tabOrder_.begin(), tabOrder_.end(), &c);
    if (it == tabOrder_.end())
        return;
    for (++it; it != tabOrder_.end(); ++it)
        if ((*it)->CanTakeFocus()) {
            (*it)->SetFocus();
            return;
        }
}

bool Form::PreTranslate(const MSG& msg)
{
    if (!hWnd() || (msg.hwnd != hWnd() && !IsChild(hWnd(), msg.hwnd)))
        return false;
    Control* focus = FocusOwner();
    if (msg.message == WM_KEYDOWN) {
        UINT vk = static_cast<UINT>(msg.wParam);
        if (focus && focus->WantsKey(vk))
            return false;
        bool ctrl = GetKeyState(VK_CONTROL) < 0;
        if (vk == VK_TAB && !ctrl) {
            MoveFocus(GetKeyState(VK_SHIFT) >= 0);
            return true;
        }
        if (vk == VK_RETURN || vk == VK_ESCAPE) {
            // Every control of the form, frames and user controls' insides too.
            std::vector<Control*> all;
            auto walk = [&](auto& self, const Container& k) -> void {
                for (Control* c : k.Controls()) {
                    all.push_back(c);
                    if (auto* inner = dynamic_cast<Container*>(c))
                        self(self, *inner);
                }
            };
            walk(walk, *this);
            for (Control* c : all) {
                if ((vk == VK_RETURN ? c->Default() : c->Cancel()) && c->EffectivelyVisible() &&
                    c->Enabled()) {
                    c->AccessKeyPressed(vk == VK_RETURN ? L'\r' : L'\x1b');
                    return true;
                }
            }
        }
        return false;
    }
    if (msg.message == WM_SYSCHAR) {
        wchar_t key = static_cast<wchar_t>(std::towlower(static_cast<wchar_t>(msg.wParam)));
        std::vector<Control*> all;
        auto walk = [&](auto& self, const std::vector<Control*>& order) -> void {
            for (Control* c : order) {
                all.push_back(c);
                if (auto* uc = dynamic_cast<UserControl*>(c))
                    self(self, *uc->OwnTabOrder());
            }
        };
        walk(walk, tabOrder_);
        auto start = std::find(all.begin(), all.end(), focus);
        size_t n = all.size(), from = start == all.end() ? 0 : static_cast<size_t>(start - all.begin()) + 1;
        for (size_t i = 0; i < n; ++i) {
            Control* c = all[(from + i) % n];
            if (c->EffectivelyVisible() && c->Enabled() &&
                c->AccessKeyChars().find(key) != std::wstring::npos) {
                c->AccessKeyPressed(key);
                return true;
            }
        }
        return false;
    }
    return false;
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CLOSE:
        Unload(vbFormControlMenu);
        return 0;
    case kMoveFocusMessage:
        MoveFocus(wp != 0);
        return 0;
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED)
            surface_.Resize(LOWORD(lp), HIWORD(lp));
        sized_ = true;
        if (loaded_ && IsWindowVisible(hWnd()))
            Form_Resize();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        gdi::PaintDc dc(hWnd());
        surface_.BlitTo(dc, dc.Area());
        PaintWindowlessChildren(dc);
        return 0;
    }
    case WM_PRINTCLIENT: {
        // What lies behind a transparent child: the form's drawing and its
        // windowless controls.
        const RECT all{0, 0, surface_.ScaleWidth(), surface_.ScaleHeight()};
        surface_.BlitTo(reinterpret_cast<HDC>(wp), all);
        PaintWindowlessChildren(reinterpret_cast<HDC>(wp));
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) {
            if (!showing_)
                Activated();
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hWnd() && SetWindowlessCursor())
            return TRUE;
        break;
    default:
        if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL &&
            RouteWindowlessMouse(msg, wp, lp))
            return 0;
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace quill::forms
