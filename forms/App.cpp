#include "forms/App.h"

#include <vector>

namespace quill::forms {

namespace {

EventLogRecorder* recorder = nullptr;

std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() > 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

// The file version of the program's own version resource (major, minor,
// build, revision as the platform's project version stores them).
VS_FIXEDFILEINFO Version()
{
    VS_FIXEDFILEINFO none{};
    HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));  // RT_VERSION
    if (!res)
        return none;
    HGLOBAL data = LoadResource(nullptr, res);
    DWORD size = SizeofResource(nullptr, res);
    if (!data || size == 0)
        return none;
    // VerQueryValue needs a writable copy.
    std::vector<BYTE> copy(static_cast<const BYTE*>(LockResource(data)),
                           static_cast<const BYTE*>(LockResource(data)) + size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&info), &len) || len < sizeof(*info))
        return none;
    return *info;
}

}  // namespace

std::wstring App::Path()
{
    std::wstring p = ModulePath();
    size_t slash = p.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : p.substr(0, slash);
}

std::wstring App::EXEName()
{
    std::wstring p = ModulePath();
    size_t slash = p.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? p : p.substr(slash + 1);
    size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

int App::Major()
{
    return HIWORD(Version().dwFileVersionMS);
}
int App::Minor()
{
    return LOWORD(Version().dwFileVersionMS);
}
std::wstring App::MajorMinor()
{
    return std::to_wstring(Major()) + L"." + std::to_wstring(Minor());
}

int App::Revision()
{
    return LOWORD(Version().dwFileVersionLS);
}

EventLogRecorder::EventLogRecorder()
{
    recorder = this;
}
EventLogRecorder::~EventLogRecorder()
{
    recorder = nullptr;
}

void App::LogEvent(const std::wstring& text, int eventType)
{
    if (recorder) {
        recorder->entries_.push_back({text, eventType});
        return;
    }
    HANDLE source = RegisterEventSourceW(nullptr, Title().c_str());
    if (!source)
        return;
    const wchar_t* strings[] = {text.c_str()};
    WORD type = eventType == vbLogEventTypeError     ? EVENTLOG_ERROR_TYPE
                : eventType == vbLogEventTypeWarning ? EVENTLOG_WARNING_TYPE
                                                     : EVENTLOG_INFORMATION_TYPE;
    ReportEventW(source, type, 0, 0, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
}

}  // namespace quill::forms
