#pragma once
// Opening documents and web pages through the shell (ShellExecuteA, texts
// in the ANSI code page). While a ShellExecuteRecorder lives (tests), the
// calls are recorded instead and nothing is started.
#include <windows.h>

#include <string>
#include <vector>

namespace quill::forms {

intptr_t ShellExecuteA(HWND hwnd, const std::wstring& operation, const std::wstring& file,
                       const std::wstring& parameters, const std::wstring& directory, int showCmd);

class ShellExecuteRecorder {
public:
    struct Call {
        HWND hwnd;
        std::wstring operation, file, parameters, directory;
        int showCmd;
    };
    ShellExecuteRecorder();
    ~ShellExecuteRecorder();
    ShellExecuteRecorder(const ShellExecuteRecorder&) = delete;
    ShellExecuteRecorder& operator=(const ShellExecuteRecorder&) = delete;
    const std::vector<Call>& Calls() const { return calls_; }

private:
    friend intptr_t ShellExecuteA(HWND, const std::wstring&, const std::wstring&, const std::wstring&,
                                  const std::wstring&, int);
    std::vector<Call> calls_;
};

}  // namespace quill::forms
