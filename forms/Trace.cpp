#include "forms/Trace.h"

#include "forms/Control.h"
#include "forms/Window.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>

namespace quill::forms::trace {
namespace {

const char* MessageName(UINT msg)
{
    switch (msg) {
#define QUILL_MESSAGE(name)                                                                                  \
    case name:                                                                                               \
        return #name;
        QUILL_MESSAGE(WM_CREATE)
        QUILL_MESSAGE(WM_DESTROY)
        QUILL_MESSAGE(WM_NCDESTROY)
        QUILL_MESSAGE(WM_MOVE)
        QUILL_MESSAGE(WM_SIZE)
        QUILL_MESSAGE(WM_ACTIVATE)
        QUILL_MESSAGE(WM_SETFOCUS)
        QUILL_MESSAGE(WM_KILLFOCUS)
        QUILL_MESSAGE(WM_ENABLE)
        QUILL_MESSAGE(WM_SETFONT)
        QUILL_MESSAGE(WM_GETFONT)
        QUILL_MESSAGE(WM_SETTEXT)
        QUILL_MESSAGE(WM_GETTEXT)
        QUILL_MESSAGE(WM_GETTEXTLENGTH)
        QUILL_MESSAGE(WM_PAINT)
        QUILL_MESSAGE(WM_CLOSE)
        QUILL_MESSAGE(WM_QUERYENDSESSION)
        QUILL_MESSAGE(WM_ERASEBKGND)
        QUILL_MESSAGE(WM_SHOWWINDOW)
        QUILL_MESSAGE(WM_ACTIVATEAPP)
        QUILL_MESSAGE(WM_SETCURSOR)
        QUILL_MESSAGE(WM_MOUSEACTIVATE)
        QUILL_MESSAGE(WM_WINDOWPOSCHANGING)
        QUILL_MESSAGE(WM_WINDOWPOSCHANGED)
        QUILL_MESSAGE(WM_NOTIFY)
        QUILL_MESSAGE(WM_NCCREATE)
        QUILL_MESSAGE(WM_NCCALCSIZE)
        QUILL_MESSAGE(WM_NCHITTEST)
        QUILL_MESSAGE(WM_NCPAINT)
        QUILL_MESSAGE(WM_NCACTIVATE)
        QUILL_MESSAGE(WM_GETDLGCODE)
        QUILL_MESSAGE(WM_NCMOUSEMOVE)
        QUILL_MESSAGE(WM_NCLBUTTONDOWN)
        QUILL_MESSAGE(WM_KEYDOWN)
        QUILL_MESSAGE(WM_KEYUP)
        QUILL_MESSAGE(WM_CHAR)
        QUILL_MESSAGE(WM_SYSKEYDOWN)
        QUILL_MESSAGE(WM_SYSCHAR)
        QUILL_MESSAGE(WM_COMMAND)
        QUILL_MESSAGE(WM_SYSCOMMAND)
        QUILL_MESSAGE(WM_TIMER)
        QUILL_MESSAGE(WM_HSCROLL)
        QUILL_MESSAGE(WM_VSCROLL)
        QUILL_MESSAGE(WM_CTLCOLOREDIT)
        QUILL_MESSAGE(WM_CTLCOLORBTN)
        QUILL_MESSAGE(WM_CTLCOLORSTATIC)
        QUILL_MESSAGE(WM_MOUSEMOVE)
        QUILL_MESSAGE(WM_LBUTTONDOWN)
        QUILL_MESSAGE(WM_LBUTTONUP)
        QUILL_MESSAGE(WM_LBUTTONDBLCLK)
        QUILL_MESSAGE(WM_RBUTTONDOWN)
        QUILL_MESSAGE(WM_RBUTTONUP)
        QUILL_MESSAGE(WM_MOUSEWHEEL)
        QUILL_MESSAGE(WM_CAPTURECHANGED)
        QUILL_MESSAGE(WM_MOUSELEAVE)
        QUILL_MESSAGE(WM_DRAWITEM)
        QUILL_MESSAGE(WM_PRINTCLIENT)
#undef QUILL_MESSAGE
    default:
        return nullptr;
    }
}

std::string TypeName(const Window& window)
{
    const char* mangled = typeid(window).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                 std::free);
    return status == 0 && plain ? plain.get() : mangled;
}

std::string Utf8(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

// The control's name as the layout gave it (a stored text: asking the window
// anything here would send it messages to trace in turn).
std::wstring ShownName(const Window& window)
{
    if (auto* control = dynamic_cast<const Control*>(&window))
        return control->Name();
    return {};
}

// Nothing the trace itself does may be traced again.
thread_local bool tracing = false;

// "msg <name> to <receiver> <handle> wp=... lp=..."
void MessageLine(const std::string& receiver, HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    char number[16];
    const char* name = MessageName(msg);
    if (!name) {
        std::snprintf(number, sizeof number, "0x%04X", msg);
        name = number;
    }
    char text[512];
    std::snprintf(text, sizeof text, "msg %s to %s %p wp=0x%llX lp=0x%llX", name, receiver.c_str(),
                  static_cast<void*>(window), static_cast<unsigned long long>(wp),
                  static_cast<unsigned long long>(lp));
    Line(text);
}

}  // namespace

void Message(const Window& window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (tracing)
        return;
    tracing = true;
    MessageLine(TypeName(window) + " '" + Utf8(ShownName(window)) + "'", window.hWnd(), msg, wp, lp);
    tracing = false;
}

void Hooked(const char* hook, HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (tracing)
        return;
    tracing = true;
    MessageLine(std::string("hook ") + hook, window, msg, wp, lp);
    tracing = false;
}

void Procedure(const char* className, HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (tracing)
        return;
    tracing = true;
    MessageLine(className, window, msg, wp, lp);
    tracing = false;
}

void Event(const char* raisedIn, const char* file, int line)
{
    char text[512];
    std::snprintf(text, sizeof text, "event raised in %s (%s:%d)", raisedIn, FileName(file), line);
    Line(text);
}

}  // namespace quill::forms::trace
