#pragma once
// A whole file's bytes as they are now, also while another handle still
// writes to it (a service's log, a redirected standard error).
#include <windows.h>

#include <string>

namespace quill::test {

// Empty when the file cannot be opened.
inline std::string ReadWholeFile(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::string out;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
        out.append(buf, n);
    CloseHandle(h);
    return out;
}

}  // namespace quill::test
