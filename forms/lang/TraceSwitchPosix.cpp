// The trace switch for the builds that are not for Windows (the portable
// code's native tests).
#include "forms/lang/TraceSwitch.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quill::forms::trace {

bool On()
{
    static const bool on = [] {
        const char* value = std::getenv("QUILL_TRACE");
        return value && std::strcmp(value, "1") == 0;
    }();
    return on;
}

void Line(const char* text)
{
    std::fprintf(stderr, "[quill] %s\n", text);
    std::fflush(stderr);
}

}  // namespace quill::forms::trace
