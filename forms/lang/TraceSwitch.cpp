#include "forms/lang/TraceSwitch.h"

#include "forms/lang/Error.h"

#include <cstdio>
#include <cstring>

namespace quill::forms::trace {

const char* FileName(const char* path)
{
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '/' || *c == '\\')
            name = c + 1;
    return name;
}

void Resumed(const std::exception& error, const char* file, int line) noexcept
{
    char text[512];
    if (const auto* raised = dynamic_cast<const RuntimeError*>(&error))
        std::snprintf(text, sizeof text, "error %d resumed (%s:%d): %s", raised->Number(), FileName(file),
                      line, error.what());
    else
        std::snprintf(text, sizeof text, "error resumed (%s:%d): %s", FileName(file), line, error.what());
    Line(text);
}

}  // namespace quill::forms::trace
