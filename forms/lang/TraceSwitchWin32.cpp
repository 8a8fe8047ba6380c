// The trace switch on Windows: the variable as the process sees it now (also
// when set after start-up), and the error handle as it is now (also when
// redirected after start-up).
#include "forms/lang/TraceSwitch.h"

#include <windows.h>

#include <string>

namespace quill::forms::trace {

bool On()
{
    static const bool on = [] {
        char value[8] = {};
        const DWORD n = GetEnvironmentVariableA("QUILL_TRACE", value, sizeof value);
        return n == 1 && value[0] == '1';
    }();
    return on;
}

void Line(const char* text)
{
    // Straight to the process's error handle: a windowed program's C
    // streams may be unbuffered or closed, the handle Wine gives is not.
    const std::string line = std::string("[quill] ") + text + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
              nullptr);
}

}  // namespace quill::forms::trace
