#include "forms/Window.h"

#include "forms/Lifetime.h"
#include "forms/Trace.h"

#include <commctrl.h>

#include <memory>
#include <vector>

namespace quill::forms {

namespace {

constexpr wchar_t kObjectProp[] = L"Quillmoor.Window";
constexpr wchar_t kOwnClass[] = L"QuillmoorWindow";

int handlerDepth = 0;
// Released while a handler ran; ended when the outermost handler returns.
std::vector<std::unique_ptr<Window>> graveyard;

void EndReleased()
{
    while (handlerDepth == 0 && !graveyard.empty()) {
        auto batch = std::move(graveyard);
        graveyard.clear();
        for (auto& w : batch)
            RunTermination(*w);
        batch.clear();
    }
}

ATOM RegisterOwnClass(WNDPROC proc)
{
    static ATOM atom = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kOwnClass;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

}  // namespace

HandlerScope::HandlerScope()
{
    ++handlerDepth;
}

HandlerScope::~HandlerScope()
{
    if (--handlerDepth == 0)
        EndReleased();
}

bool HandlerRunning()
{
    return handlerDepth > 0;
}

void RunTermination(Window& w)
{
    HandlerScope scope;
    w.Terminating();
}

void Release(std::unique_ptr<Window> object)
{
    if (!object)
        return;
    object->DestroyHandle();
    if (handlerDepth > 0) {
        graveyard.push_back(std::move(object));
        return;
    }
    RunTermination(*object);
    object.reset();
    EndReleased();
}

Window::~Window()
{
    if (hwnd_) {
        HWND h = hwnd_;
        Detach();
        DestroyWindow(h);
    }
}

Window* Window::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<Window*>(GetPropW(hwnd, kObjectProp)) : nullptr;
}

void Window::Attach(HWND hwnd)
{
    hwnd_ = hwnd;
    SetPropW(hwnd, kObjectProp, this);
}

void Window::Detach()
{
    if (!hwnd_)
        return;
    RemovePropW(hwnd_, kObjectProp);
    if (subclassed_)
        RemoveWindowSubclass(hwnd_, SubclassProc, 1);
    subclassed_ = false;
    hwnd_ = nullptr;
}

bool Window::CreateHandle(const CreateParams& p)
{
    if (!p.className) {
        RegisterOwnClass(OwnClassProc);
        HWND h = CreateWindowExW(p.exStyle, kOwnClass, p.text.c_str(), p.style, p.x, p.y, p.width, p.height,
                                 p.parent, reinterpret_cast<HMENU>(p.id), GetModuleHandleW(nullptr), this);
        return h != nullptr;
    }
    HWND h = CreateWindowExW(p.exStyle, p.className, p.text.c_str(), p.style, p.x, p.y, p.width, p.height,
                             p.parent, reinterpret_cast<HMENU>(p.id), GetModuleHandleW(nullptr), nullptr);
    if (!h)
        return false;
    Attach(h);
    subclassed_ = SetWindowSubclass(h, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    return true;
}

void Window::DestroyHandle()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

LRESULT CALLBACK Window::OwnClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = static_cast<Window*>(GetPropW(hwnd, kObjectProp));
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->Attach(hwnd);
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
{
    return reinterpret_cast<Window*>(ref)->Dispatch(msg, wp, lp);
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    HandlerScope scope;
    if (trace::On())
        trace::Message(*this, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        HWND h = hwnd_;
        bool sub = subclassed_;
        Detach();
        LRESULT r = sub ? DefSubclassProc(h, msg, wp, lp) : DefWindowProcW(h, msg, wp, lp);
        HandleDestroyed();
        return r;
    }
    return WndProc(msg, wp, lp);
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (!hwnd_)
        return 0;
    return subclassed_ ? DefSubclassProc(hwnd_, msg, wp, lp) : DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lp);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        child = reinterpret_cast<HWND>(lp);
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem;
        break;
    default:
        break;
    }
    if (Window* w = FromHandle(child); w && w != this) {
        if (auto r = w->Reflect(msg, wp, lp))
            return *r;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace quill::forms
