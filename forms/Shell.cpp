#include "forms/Shell.h"

#include "forms/lang/Ansi.h"

#include <shellapi.h>

namespace quill::forms {

namespace {
ShellExecuteRecorder* recorder = nullptr;
}

ShellExecuteRecorder::ShellExecuteRecorder()
{
    recorder = this;
}
ShellExecuteRecorder::~ShellExecuteRecorder()
{
    recorder = nullptr;
}

intptr_t ShellExecuteA(HWND hwnd, const std::wstring& operation, const std::wstring& file,
                       const std::wstring& parameters, const std::wstring& directory, int showCmd)
{
    if (recorder) {
        recorder->calls_.push_back({hwnd, operation, file, parameters, directory, showCmd});
        return 33;  // above 32: success
    }
    std::string op = TextToAnsi(operation), f = TextToAnsi(file), p = TextToAnsi(parameters),
                d = TextToAnsi(directory);
    HINSTANCE r = ::ShellExecuteA(hwnd, op.empty() ? nullptr : op.c_str(), f.c_str(),
                                  p.empty() ? nullptr : p.c_str(), d.empty() ? nullptr : d.c_str(), showCmd);
    return reinterpret_cast<intptr_t>(r);
}

}  // namespace quill::forms
