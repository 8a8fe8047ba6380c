// The browser's page reading on arbitrary input: a result, never a crash or
// a hang.
#include "forms/web/PageText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    const auto page = quill::forms::web::ReadPage(text);
    std::size_t shown = 0;
    for (const auto& block : page.blocks)
        for (const auto& run : block.runs)
            shown += run.text.size();
    if (shown > text.size() || quill::forms::web::BodyOuterHtml(text).size() > text.size())
        __builtin_trap();
    quill::forms::web::MetaCharset(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
