#include "session/ServiceAddress.h"

#include "quill/Config.h"

#include <windows.h>

#include <cstring>

namespace quill::session {
namespace {

std::wstring Widen(const char* ascii)
{
    return std::wstring(ascii, ascii + strlen(ascii));
}

std::wstring FromEnvironment(const wchar_t* name, const char* builtIn)
{
    wchar_t value[1024];
    DWORD n = GetEnvironmentVariableW(name, value, ARRAYSIZE(value));
    if (n > 0 && n < ARRAYSIZE(value))
        return std::wstring(value, n);
    return Widen(builtIn);
}

}  // namespace

std::wstring ServicePrimaryBaseUrl()
{
    return FromEnvironment(L"QUILL_SERVER_BASE_URL", config::ServerBaseUrl);
}

std::wstring ServiceBackupBaseUrl()
{
    return FromEnvironment(L"QUILL_BACKUP_BASE_URL", config::BackupBaseUrl);
}

std::wstring ServiceSiteUrl()
{
    return SiteOf(ServicePrimaryBaseUrl());
}

std::wstring SiteOf(const std::wstring& base)
{
    const size_t scheme = base.find(L"://");
    const size_t path = base.find(L'/', scheme == std::wstring::npos ? 0 : scheme + 3);
    return path == std::wstring::npos ? base + L"/" : base.substr(0, path + 1);
}

}  // namespace quill::session
