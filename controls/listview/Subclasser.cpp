#include "controls/listview/Subclasser.h"

#include <cstring>

#include "forms/App.h"
#include "forms/lang/Error.h"
#include "forms/MessageBox.h"

namespace quill::listview {

namespace {

using Slot = LONG_PTR;

// A block's state is pointer-sized slots in ordinary read-write memory: the
// sixteen below, then the before and the after message table. Its code lives
// apart, in a page that is written once and then only executed.
enum : int {
    kDepth = 0,    // calls of the previous procedure in progress
    kRelease = 1,  // non-zero after UnSubclass
    kWindow = 2,
    kProbe = 3,  // development-environment probe: never present in this build
    kCallWindowProc = 4,
    kSetWindowLongPtr = 5,
    kVirtualFree = 6,
    kOwnerAlive = 7,  // the check that the owner has not ended (ISubclass::IsLive)
    kOwner = 8,       // not owned by the block
    kPreviousProc = 9,
    kOwnerEntry = 10,
    kBeforeTable = 11,
    kAfterTable = 12,
    kUserValue = 13,
    kOwnerCalls = 14,  // owner calls in progress: the block must outlive them
    kCode = 15,        // the block's code: the window procedure the window calls
    kSlotCount = 16,
};

// A table is a count (0 none, -1 all messages, else entries in use) and the entries.
constexpr int kTableEntries = 32;
constexpr int kTableSlots = 1 + kTableEntries;
constexpr int kBeforeTableSlot = kSlotCount;
constexpr int kAfterTableSlot = kBeforeTableSlot + kTableSlots;
constexpr int kBlockSlots = kAfterTableSlot + kTableSlots;

// The block's code: mov rcx, <block>; mov rax, <BlockProc>; jmp rax. The
// window handle that arrived in rcx is in the block's slot 2. The jump, not
// a call, leaves nothing of the code on the stack, so the code may be freed
// while its message is still being answered.
constexpr unsigned char kCodeTemplate[] = {
    0x48, 0xB9, 0, 0, 0, 0, 0, 0, 0, 0,  // mov rcx, imm64
    0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0,  // mov rax, imm64
    0xFF, 0xE0,                          // jmp rax
};
constexpr size_t kCodeBlockAddress = 2;
constexpr size_t kCodeProcAddress = 12;

using CallWindowProcFn = LRESULT(WINAPI*)(WNDPROC, HWND, UINT, WPARAM, LPARAM);
using SetWindowLongPtrFn = LONG_PTR(WINAPI*)(HWND, int, LONG_PTR);
using VirtualFreeFn = BOOL(WINAPI*)(LPVOID, SIZE_T, DWORD);
using OwnerAliveFn = bool (*)(const ISubclass*);
using OwnerEntryFn = void (*)(ISubclass*, bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&);

template <class Fn>
Fn SlotFunction(const Slot* block, int slot)
{
    return reinterpret_cast<Fn>(block[slot]);
}

// The owner's WndProc as a plain code address, which the block keeps (slot 10).
void OwnerEntry(ISubclass* owner, bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hWnd, UINT uMsg,
                WPARAM wParam, LPARAM lParam, LONG_PTR& lParamUser)
{
    owner->WndProc(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam, lParamUser);
}

Slot EntryOf(const Slot* block)
{
    return block[kCode];
}

LRESULT CALLBACK BlockProc(Slot* block, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Writes the block's code into a page of its own and then makes the page
// execute-read, so that no page is ever writable and executable at once.
// Null (with the system's error) when the page cannot be had.
void* WriteCode(Slot* block, DWORD& error)
{
    void* page = VirtualAlloc(nullptr, sizeof(kCodeTemplate), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!page) {
        error = GetLastError();
        return nullptr;
    }
    auto* code = static_cast<unsigned char*>(page);
    std::memcpy(code, kCodeTemplate, sizeof(kCodeTemplate));
    const Slot blockAddress = reinterpret_cast<Slot>(block);
    const Slot proc = reinterpret_cast<Slot>(&BlockProc);
    std::memcpy(code + kCodeBlockAddress, &blockAddress, sizeof(blockAddress));
    std::memcpy(code + kCodeProcAddress, &proc, sizeof(proc));
    DWORD old = 0;
    if (!VirtualProtect(page, sizeof(kCodeTemplate), PAGE_EXECUTE_READ, &old)) {
        error = GetLastError();
        VirtualFree(page, 0, MEM_RELEASE);
        return nullptr;
    }
    FlushInstructionCache(GetCurrentProcess(), page, sizeof(kCodeTemplate));
    return page;
}

Slot* NewBlock()
{
    return new Slot[kBlockSlots]();
}

void FreeBlock(Slot* block)
{
    if (block[kCode])
        SlotFunction<VirtualFreeFn>(block, kVirtualFree)(reinterpret_cast<void*>(block[kCode]), 0,
                                                         MEM_RELEASE);
    delete[] block;
}

bool TableWants(const Slot* block, int tableSlot, UINT uMsg)
{
    const Slot* table = reinterpret_cast<const Slot*>(block[tableSlot]);
    const Slot count = table[0];
    if (count == -1)
        return true;
    for (Slot i = 1; i <= count; ++i) {
        if (table[i] == static_cast<Slot>(uMsg))
            return true;
    }
    return false;
}

// The window is gone: no message can reach the block again.
bool WindowGone(const Slot* block)
{
    return !IsWindow(reinterpret_cast<HWND>(block[kWindow]));
}

// Puts the previous procedure back and frees the block, unless another
// procedure has been set over it since: that one calls the block as its own
// previous procedure, so the block stays, passing messages through, until it
// is the window's procedure again.
bool ReleaseBlock(Slot* block)
{
    const HWND hWnd = reinterpret_cast<HWND>(block[kWindow]);
    if (IsWindow(hWnd)) {
        const Slot entry = EntryOf(block);
        // The A query answers the raw address only to a procedure set through
        // the A call; one set back through the W call shows in the W query.
        if (GetWindowLongPtrA(hWnd, GWLP_WNDPROC) != entry && GetWindowLongPtrW(hWnd, GWLP_WNDPROC) != entry)
            return false;
        SlotFunction<SetWindowLongPtrFn>(block, kSetWindowLongPtr)(hWnd, GWLP_WNDPROC, block[kPreviousProc]);
    }
    FreeBlock(block);
    return true;
}

bool NothingRunsOn(const Slot* block)
{
    return block[kDepth] == 0 && block[kOwnerCalls] == 0;
}

// Calls the owner when its table asks for the message and the owner has not
// ended. True when the block was released meanwhile (the window went away
// inside the owner's call) and must not be touched again.
bool CallOwnerFor(Slot* block, int tableSlot, bool bBefore, bool& bHandled, LRESULT& lReturn, UINT uMsg,
                  WPARAM wParam, LPARAM lParam)
{
    if (!TableWants(block, tableSlot, uMsg))
        return false;
    auto* owner = reinterpret_cast<ISubclass*>(block[kOwner]);
    if (!SlotFunction<OwnerAliveFn>(block, kOwnerAlive)(owner))
        return false;
    ++block[kOwnerCalls];
    SlotFunction<OwnerEntryFn>(block, kOwnerEntry)(owner, bBefore, bHandled, lReturn,
                                                   reinterpret_cast<HWND>(block[kWindow]), uMsg, wParam,
                                                   lParam, block[kUserValue]);
    --block[kOwnerCalls];
    return block[kRelease] && NothingRunsOn(block) && WindowGone(block) && ReleaseBlock(block);
}

// Every subclassed window's messages arrive here, with the window's block in
// place of the window handle.
LRESULT CALLBACK BlockProc(Slot* block, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    bool bHandled = false;
    LRESULT lReturn = 0;

    if (CallOwnerFor(block, kBeforeTable, true, bHandled, lReturn, uMsg, wParam, lParam))
        return lReturn;
    if (bHandled)
        return lReturn;

    ++block[kDepth];
    lReturn = SlotFunction<CallWindowProcFn>(block, kCallWindowProc)(
        reinterpret_cast<WNDPROC>(block[kPreviousProc]), reinterpret_cast<HWND>(block[kWindow]), uMsg, wParam,
        lParam);
    --block[kDepth];
    if (block[kRelease] && NothingRunsOn(block) && ReleaseBlock(block))
        return lReturn;

    CallOwnerFor(block, kAfterTable, false, bHandled, lReturn, uMsg, wParam, lParam);
    return lReturn;
}

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

Subclasser::Slot Subclasser::ResolveProcAddress(const char* library, const char* function)
{
    return reinterpret_cast<Slot>(GetProcAddress(GetModuleHandleA(library), function));
}

void Subclasser::BuildTemplate()
{
    template_.assign(kSlotCount, 0);
    template_[kCallWindowProc] = ResolveProcAddress("user32", "CallWindowProcA");
    template_[kSetWindowLongPtr] = ResolveProcAddress("user32", "SetWindowLongPtrA");
    template_[kVirtualFree] = ResolveProcAddress("kernel32", "VirtualFree");
    template_[kOwnerAlive] = reinterpret_cast<Slot>(&ISubclass::IsLive);
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
    if (!blocks_) {
        blocks_.emplace();
        BuildTemplate();
    }
    const Slot ownerEntry = reinterpret_cast<Slot>(&OwnerEntry);

    Slot* block = NewBlock();
    DWORD error = 0;
    void* code = WriteCode(block, error);
    if (!code) {
        delete[] block;
        ReportError(L"Subclass", L"VirtualAlloc failed, error: " + std::to_wstring(error));
        return false;
    }
    current_ = block;

    const std::wstring key = KeyOf(lng_hWnd);
    for (const auto& entry : *blocks_) {
        if (entry.first == key) {
            ReportError(L"Subclass", L"Window handle is already subclassed");
            VirtualFree(code, 0, MEM_RELEASE);
            delete[] block;
            current_ = nullptr;
            return false;
        }
    }
    blocks_->emplace_back(key, block);

    // The development environment's run-mode probe only exists while the
    // program runs inside that environment, so bIdeSafety finds none here.
    (void)bIdeSafety;
    template_[kProbe] = 0;

    template_[kWindow] = reinterpret_cast<Slot>(lng_hWnd);
    template_[kBeforeTable] = reinterpret_cast<Slot>(block + kBeforeTableSlot);
    template_[kAfterTable] = reinterpret_cast<Slot>(block + kAfterTableSlot);
    template_[kOwner] = reinterpret_cast<Slot>(oCallback);
    template_[kOwnerEntry] = ownerEntry;
    template_[kUserValue] = lParamUser;
    template_[kCode] = reinterpret_cast<Slot>(code);
    // The block is complete before the window can call it; both tables stay
    // empty (the state is zero-filled).
    std::memcpy(block, template_.data(), template_.size() * sizeof(Slot));

    SetLastError(0);
    const Slot previous = SetWindowLongPtrA(lng_hWnd, GWLP_WNDPROC, EntryOf(block));
    if (previous == 0) {
        error = GetLastError();
        // A failed hook leaves no key behind, or the window could never be
        // subclassed again and its lookups would reach the freed block.
        blocks_->pop_back();
        current_ = nullptr;
        FreeBlock(block);
        ReportError(L"Subclass", L"SetWindowLong failed, error #" + std::to_wstring(error));
        return false;
    }
    block[kPreviousProc] = previous;
    return true;
}

void Subclasser::Terminate()
{
    if (!blocks_)
        return;
    // A block stays in the collection until UnSubclass takes it out, and is
    // freed only after that, so every block listed here is still there.
    for (auto i = blocks_->size(); i-- > 0;) {
        Slot* block = (*blocks_)[i].second;
        UnSubclass(reinterpret_cast<HWND>(block[kWindow]));
    }
    blocks_.reset();
    current_ = nullptr;
}

void Subclasser::UnSubclass(HWND lng_hWnd)
{
    if (!blocks_) {
        ReportError(L"UnSubclass", L"Window handle isn't subclassed");
        return;
    }
    Slot* block = zMap_hWnd(lng_hWnd);
    if (!block)
        return;
    WriteThunkSlot(kRelease, 1);
    zDelMsg(ALL_MESSAGES, kBeforeTable);
    zDelMsg(ALL_MESSAGES, kAfterTable);
    const std::wstring key = KeyOf(lng_hWnd);
    std::erase_if(*blocks_, [&](const auto& entry) { return entry.first == key; });
    current_ = nullptr;
    // Normally the block frees itself at its window's next message; a window
    // that is already gone sends none.
    if (NothingRunsOn(block) && WindowGone(block))
        ReleaseBlock(block);
}

bool Subclasser::HoldsValidBlock(HWND lng_hWnd)
{
    return zMap_hWnd(lng_hWnd) != nullptr;
}

void Subclasser::AddMsg(HWND lng_hWnd, UINT uMsg, eMsgWhen When)
{
    if (!HoldsValidBlock(lng_hWnd))
        return;
    if (When & MSG_BEFORE)
        zAddMsg(uMsg, kBeforeTable);
    if (When & MSG_AFTER)
        zAddMsg(uMsg, kAfterTable);
}

void Subclasser::DelMsg(HWND lng_hWnd, UINT uMsg, eMsgWhen When)
{
    if (!HoldsValidBlock(lng_hWnd))
        return;
    if (When & MSG_BEFORE)
        zDelMsg(uMsg, kBeforeTable);
    if (When & MSG_AFTER)
        zDelMsg(uMsg, kAfterTable);
}

LRESULT Subclasser::CallOrigWndProc(HWND lng_hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (!HoldsValidBlock(lng_hWnd))
        return 0;
    return CallWindowProcA(reinterpret_cast<WNDPROC>(ReadThunkSlot(kPreviousProc)), lng_hWnd, uMsg, wParam,
                           lParam);
}

LONG_PTR Subclasser::lParamUser(HWND lng_hWnd)
{
    if (!HoldsValidBlock(lng_hWnd))
        return 0;
    return ReadThunkSlot(kUserValue);
}

void Subclasser::lParamUser(HWND lng_hWnd, LONG_PTR value)
{
    if (HoldsValidBlock(lng_hWnd))
        WriteThunkSlot(kUserValue, value);
}

void Subclasser::zAddMsg(UINT uMsg, int tableSlot)
{
    Slot* const saved = current_;
    current_ = reinterpret_cast<Slot*>(ReadThunkSlot(tableSlot));
    Slot count = ReadThunkSlot(0);
    if (uMsg == ALL_MESSAGES) {
        WriteThunkSlot(0, -1);
    } else if (count >= kTableEntries) {
        ReportError(
            L"zAddMsg",
            L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use ALL_MESSAGES "
            L"instead of specific message values");
    } else {
        // A table of all messages becomes a table of this one.
        if (count < 0)
            count = 0;
        Slot i = 1;
        for (; i <= count; ++i) {
            const Slot entry = ReadThunkSlot(static_cast<int>(i));
            if (entry == 0) {
                WriteThunkSlot(static_cast<int>(i), uMsg);
                break;
            }
            if (entry == static_cast<Slot>(uMsg))
                break;
        }
        if (i > count) {
            WriteThunkSlot(static_cast<int>(count + 1), uMsg);
            WriteThunkSlot(0, count + 1);
        }
    }
    current_ = saved;
}

void Subclasser::zDelMsg(UINT uMsg, int tableSlot)
{
    Slot* const saved = current_;
    current_ = reinterpret_cast<Slot*>(ReadThunkSlot(tableSlot));
    if (uMsg == ALL_MESSAGES) {
        WriteThunkSlot(0, 0);
    } else {
        const Slot count = ReadThunkSlot(0);
        Slot i = 1;
        for (; i <= count; ++i) {
            if (ReadThunkSlot(static_cast<int>(i)) == static_cast<Slot>(uMsg)) {
                WriteThunkSlot(static_cast<int>(i), 0);
                break;
            }
        }
        if (i > count)
            ReportError(L"zDelMsg", L"Message &H" + UpperHex(uMsg) + L" not found in table");
    }
    current_ = saved;
}

Subclasser::Slot* Subclasser::zMap_hWnd(HWND lng_hWnd)
{
    if (!blocks_) {
        ReportError(L"zMap_hWnd", L"Subclassing hasn't been started");
        return nullptr;
    }
    const std::wstring key = KeyOf(lng_hWnd);
    for (const auto& entry : *blocks_) {
        if (entry.first == key) {
            current_ = entry.second;
            return current_;
        }
    }
    ReportError(L"zMap_hWnd", L"Window handle isn't subclassed");
    return nullptr;
}

Subclasser::Slot Subclasser::ReadThunkSlot(int n) const
{
    return current_[n];
}

void Subclasser::WriteThunkSlot(int n, Slot value)
{
    current_[n] = value;
}

void Subclasser::ReportError(const wchar_t* routine, const std::wstring& message)
{
    const std::wstring where = std::wstring(L"Subclasser.") + routine;
    forms::App::LogEvent(where + L": " + message, forms::vbLogEventTypeError);
    forms::MsgBox(message + L".", forms::vbOKOnly | forms::vbExclamation, L"Error in " + where);
}

}  // namespace quill::listview
