// Owners of the kernel's handles the updater opens: processes, snapshots,
// mutexes, loaded libraries and folder searches.
#pragma once

#include <windows.h>

#include <utility>

namespace quill::updater {

template <class H, BOOL(WINAPI* Close)(H)>
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(H h) : h_(h) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(OwnedHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    OwnedHandle& operator=(OwnedHandle&& o) noexcept
    {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    void Reset(H h = nullptr)
    {
        if (*this)
            Close(h_);
        h_ = h;
    }
    H Get() const { return h_; }
    // Null and INVALID_HANDLE_VALUE both mean none.
    explicit operator bool() const
    {
        return h_ != nullptr && h_ != reinterpret_cast<H>(INVALID_HANDLE_VALUE);
    }

private:
    H h_ = nullptr;
};

using KernelHandle = OwnedHandle<HANDLE, CloseHandle>;
using LibraryHandle = OwnedHandle<HMODULE, FreeLibrary>;
using FindHandle = OwnedHandle<HANDLE, FindClose>;

}  // namespace quill::updater
