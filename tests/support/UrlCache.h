#pragma once
// The system's internet cache as the tests see it: whether it holds a URL,
// and an entry put there for one.
#include "forms/lang/Ansi.h"

#include <windows.h>
#include <wininet.h>

#include <string>

namespace quill::test {

inline bool InCache(const std::wstring& url)
{
    DWORD size = 0;
    GetUrlCacheEntryInfoA(forms::TextToAnsi(url).c_str(), nullptr, &size);
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// An entry holding "x" for the URL; false when the cache refused it.
inline bool PutInCache(const std::wstring& url)
{
    const std::string a = forms::TextToAnsi(url);
    char file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(a.c_str(), 0, "htm", file, 0))
        return false;
    HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, "x", 1, &n, nullptr);
    CloseHandle(h);
    FILETIME none{};
    return CommitUrlCacheEntryA(a.c_str(), file, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr,
                                nullptr) &&
           InCache(url);
}

}  // namespace quill::test
