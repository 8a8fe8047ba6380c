#include "controls/listview/Subclasser.h"

#include "forms/App.h"
#include "forms/lang/Error.h"
#include "forms/MessageBox.h"
#include "forms/WindowHook.h"

namespace quill::listview {

// One subclassed window: its owner, user value and tables, and the window's
// procedure from before the hook (CallOrigWndProc).
class Subclasser::WindowBlock : public forms::WindowHook, public std::enable_shared_from_this<WindowBlock> {
public:
    WindowBlock(HWND window, ISubclass* owner, LONG_PTR userValue)
        : WindowHook("listview::Subclasser"), window_(window), owner_(owner), userValue_(userValue),
          previous_(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)))
    {
    }

    HWND Window() const { return window_; }
    LONG_PTR& UserValue() { return userValue_; }
    MessageTable& Before() { return before_; }
    MessageTable& After() { return after_; }

    // The owner is not called again.
    void Release()
    {
        released_ = true;
        before_.count = 0;
        after_.count = 0;
    }

    LRESULT CallPrevious(UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        // The previous procedure may be the chain's own, which would bring
        // the message back here: the hook then only passes it on.
        ++passing_;
        const LRESULT result = CallWindowProcW(previous_, window_, uMsg, wParam, lParam);
        --passing_;
        return result;
    }

protected:
    LRESULT HookProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (released_ || passing_ > 0)
            return Next(hWnd, uMsg, wParam, lParam);
        // UnSubclass inside an owner call drops the block's entry: it stays
        // until this call has returned.
        const std::shared_ptr<WindowBlock> self = shared_from_this();
        bool bHandled = false;
        LRESULT lReturn = 0;
        CallOwner(before_, true, bHandled, lReturn, uMsg, wParam, lParam);
        if (bHandled)
            return lReturn;
        lReturn = Next(hWnd, uMsg, wParam, lParam);
        CallOwner(after_, false, bHandled, lReturn, uMsg, wParam, lParam);
        return lReturn;
    }

private:
    // Called when its table asks for the message and the owner has not ended.
    void CallOwner(const MessageTable& table, bool bBefore, bool& bHandled, LRESULT& lReturn, UINT uMsg,
                   WPARAM wParam, LPARAM lParam)
    {
        if (table.Wants(uMsg) && ISubclass::IsLive(owner_))
            owner_->WndProc(bBefore, bHandled, lReturn, window_, uMsg, wParam, lParam, userValue_);
    }

    HWND window_;
    ISubclass* owner_;  // not owned: IsLive tells whether it still is
    LONG_PTR userValue_;
    WNDPROC previous_;
    MessageTable before_, after_;
    bool released_ = false;
    int passing_ = 0;
};

namespace {

std::wstring KeyOf(HWND lng_hWnd)
{
    return std::to_wstring(reinterpret_cast<LONG_PTR>(lng_hWnd)) + L"h";
}

std::wstring UpperHex(UINT value)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

}  // namespace

bool Subclasser::MessageTable::Wants(UINT uMsg) const
{
    if (count == -1)
        return true;
    for (LONG_PTR i = 0; i < count; ++i) {
        if (entries[i] == uMsg)
            return true;
    }
    return false;
}

Subclasser::~Subclasser()
{
    Terminate();
}

bool Subclasser::Subclass(HWND lng_hWnd, ISubclass* oCallback, LONG_PTR lParamUser, bool bIdeSafety)
{
    if (!IsWindow(lng_hWnd)) {
        ReportError(L"Subclass", L"Invalid window handle");
        return false;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(lng_hWnd, &process);
    if (process != GetCurrentProcessId()) {
        ReportError(L"Subclass", L"Window handle belongs to another process");
        return false;
    }
    if (!oCallback)
        throw forms::RuntimeError(forms::kObjectNotSet);
    if (!blocks_)
        blocks_.emplace();
    // The development environment's run-mode probe only exists while the
    // program runs inside that environment, so bIdeSafety finds none here.
    (void)bIdeSafety;

    const std::wstring key = KeyOf(lng_hWnd);
    for (const auto& entry : *blocks_) {
        if (entry.first == key) {
            ReportError(L"Subclass", L"Window handle is already subclassed");
            return false;
        }
    }
    auto block = std::make_shared<WindowBlock>(lng_hWnd, oCallback, lParamUser);
    SetLastError(0);
    if (!block->Hook(lng_hWnd)) {
        // A failed hook leaves no key behind, or the window could never be
        // subclassed again.
        ReportError(L"Subclass", L"SetWindowLong failed, error #" + std::to_wstring(GetLastError()));
        return false;
    }
    current_ = block.get();
    blocks_->emplace_back(key, std::move(block));
    return true;
}

void Subclasser::Terminate()
{
    if (!blocks_)
        return;
    for (auto i = blocks_->size(); i-- > 0;)
        UnSubclass((*blocks_)[i].second->Window());
    blocks_.reset();
    current_ = nullptr;
}

void Subclasser::UnSubclass(HWND lng_hWnd)
{
    if (!blocks_) {
        ReportError(L"UnSubclass", L"Window handle isn't subclassed");
        return;
    }
    WindowBlock* block = zMap_hWnd(lng_hWnd);
    if (!block)
        return;
    // The hook leaves the window when the block goes: now, or when a call of
    // it that is running has returned.
    block->Release();
    const std::wstring key = KeyOf(lng_hWnd);
    std::erase_if(*blocks_, [&](const auto& entry) { return entry.first == key; });
    current_ = nullptr;
}

void Subclasser::AddMsg(HWND lng_hWnd, UINT uMsg, eMsgWhen When)
{
    WindowBlock* block = zMap_hWnd(lng_hWnd);
    if (!block)
        return;
    if (When & MSG_BEFORE)
        zAddMsg(uMsg, block->Before());
    if (When & MSG_AFTER)
        zAddMsg(uMsg, block->After());
}

void Subclasser::DelMsg(HWND lng_hWnd, UINT uMsg, eMsgWhen When)
{
    WindowBlock* block = zMap_hWnd(lng_hWnd);
    if (!block)
        return;
    if (When & MSG_BEFORE)
        zDelMsg(uMsg, block->Before());
    if (When & MSG_AFTER)
        zDelMsg(uMsg, block->After());
}

LRESULT Subclasser::CallOrigWndProc(HWND lng_hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    WindowBlock* block = zMap_hWnd(lng_hWnd);
    if (!block)
        return 0;
    // The block may be unsubclassed inside the call.
    const std::shared_ptr<WindowBlock> held = block->shared_from_this();
    return held->CallPrevious(uMsg, wParam, lParam);
}

LONG_PTR Subclasser::lParamUser(HWND lng_hWnd)
{
    WindowBlock* block = zMap_hWnd(lng_hWnd);
    return block ? block->UserValue() : 0;
}

void Subclasser::lParamUser(HWND lng_hWnd, LONG_PTR value)
{
    if (WindowBlock* block = zMap_hWnd(lng_hWnd))
        block->UserValue() = value;
}

void Subclasser::zAddMsg(UINT uMsg, MessageTable& table)
{
    if (uMsg == ALL_MESSAGES) {
        table.count = -1;
        return;
    }
    if (table.count >= MessageTable::kEntries) {
        ReportError(
            L"zAddMsg",
            L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use ALL_MESSAGES "
            L"instead of specific message values");
        return;
    }
    // A table of all messages becomes a table of this one.
    if (table.count < 0)
        table.count = 0;
    for (LONG_PTR i = 0; i < table.count; ++i) {
        if (table.entries[i] == 0) {
            table.entries[i] = uMsg;
            return;
        }
        if (table.entries[i] == uMsg)
            return;
    }
    table.entries[table.count++] = uMsg;
}

void Subclasser::zDelMsg(UINT uMsg, MessageTable& table)
{
    if (uMsg == ALL_MESSAGES) {
        table.count = 0;
        return;
    }
    for (LONG_PTR i = 0; i < table.count; ++i) {
        if (table.entries[i] == uMsg) {
            table.entries[i] = 0;
            return;
        }
    }
    ReportError(L"zDelMsg", L"Message &H" + UpperHex(uMsg) + L" not found in table");
}

Subclasser::WindowBlock* Subclasser::zMap_hWnd(HWND lng_hWnd)
{
    if (!blocks_) {
        ReportError(L"zMap_hWnd", L"Subclassing hasn't been started");
        return nullptr;
    }
    const std::wstring key = KeyOf(lng_hWnd);
    for (const auto& entry : *blocks_) {
        if (entry.first == key) {
            current_ = entry.second.get();
            return current_;
        }
    }
    ReportError(L"zMap_hWnd", L"Window handle isn't subclassed");
    return nullptr;
}

void Subclasser::ReportError(const wchar_t* routine, const std::wstring& message)
{
    const std::wstring where = std::wstring(L"Subclasser.") + routine;
    forms::App::LogEvent(where + L": " + message, forms::vbLogEventTypeError);
    forms::MsgBox(message + L".", forms::vbOKOnly | forms::vbExclamation, L"Error in " + where);
}

}  // namespace quill::listview
