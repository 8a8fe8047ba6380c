#pragma once
// The program as the platform's forms describe it: its title, folder,
// version (from its version resource), instance handle, and the system's
// application event log. While an EventLogRecorder lives (tests), LogEvent
// records instead of writing.
#include <windows.h>

#include <string>
#include <vector>

namespace quill::forms {

enum : int { vbLogEventTypeError = 1, vbLogEventTypeWarning = 2, vbLogEventTypeInformation = 4 };

class App {
public:
    static std::wstring Title() { return L"Quillmoor"; }
    // The program's folder, without a trailing backslash.
    static std::wstring Path();
    static std::wstring EXEName();
    static int Major();
    static int Minor();
    static int Revision();
    // "Major.Minor", as the programs show and send their version.
    static std::wstring MajorMinor();
    static HINSTANCE hInstance() { return GetModuleHandleW(nullptr); }
    static void LogEvent(const std::wstring& text, int eventType = vbLogEventTypeInformation);
};

class EventLogRecorder {
public:
    struct Entry {
        std::wstring text;
        int eventType;
    };
    EventLogRecorder();
    ~EventLogRecorder();
    EventLogRecorder(const EventLogRecorder&) = delete;
    EventLogRecorder& operator=(const EventLogRecorder&) = delete;
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    friend class App;
    std::vector<Entry> entries_;
};

}  // namespace quill::forms
