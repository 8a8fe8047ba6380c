#include "forms/BackgroundThread.h"

#include <windows.h>

#include <memory>
#include <system_error>

namespace quill::forms {
namespace {

DWORD WINAPI RunWork(void* parameter)
{
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}

}  // namespace

void StartBackgroundThread(std::function<void()> work)
{
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    const HANDLE thread = CreateThread(nullptr, 0, &RunWork, owned.get(), 0, nullptr);
    if (!thread)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateThread");
    owned.release();  // the thread's own now
    CloseHandle(thread);
}

}  // namespace quill::forms
