// The number and date readers, the code-page decoder and the notice reader on
// arbitrary input:
// an error result or a value, never a crash, a hang or a huge allocation.
#include "forms/lang/Ansi.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "session/NoticeReader.h"
#include "protocol/RequestEncoding.h"
#include "session/SessionToken.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using namespace quill;

namespace {

template <class Call>
void Tolerate(Call&& call)
{
    try {
        call();
    } catch (const forms::RuntimeError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The same input as UTF-16 units and as code-page bytes.
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    const std::wstring decoded = forms::AnsiToText(bytes);

    for (const std::wstring& t : {text, decoded}) {
        const bool numeric = forms::IsNumeric(t);
        Tolerate([&] {
            const double value = forms::ToDouble(t);
            if (!numeric)
                __builtin_trap();
            forms::NumberText(value);
            Tolerate([&] { forms::Format(value, L"#,##0.00"); });
            Tolerate([&] { forms::ToInt32(value); });
        });
        Tolerate([&] { forms::NumberText(forms::Val(t)); });
        Tolerate([&] { forms::Format(t, L"0.00"); });

        const std::optional<double> date = forms::ReadDate(t);
        if (date) {
            // Every date read has a text that reads back as the same date.
            if (forms::ToDate(forms::DateText(*date)) != *date)
                __builtin_trap();
            Tolerate([&] { forms::DateAdd(forms::DateInterval::Month, 1, *date); });
        }
        session::SecondsSinceEpoch2015(t);
        // The notice block of a status page and its attributes: the text from
        // the first "[set]" on, cut two characters before the first "[/set]"
        // after it, so "[set" alone when nothing stands between the two.
        const std::wstring block = session::NoticeBlock(t);
        const std::size_t set = t.find(L"[set]");
        const std::size_t end = set == std::wstring::npos ? set : t.find(L"[/set]", set);
        if (block != (end == std::wstring::npos ? std::wstring() : t.substr(set, end - set - 1)))
            __builtin_trap();
        session::ReadNotice(block.empty() ? t : block);
        protocol::UrlEncodeAnsi(t);
    }
    if (forms::AnsiToText(forms::TextToAnsi(decoded)) != decoded && decoded.find(L'?') == std::wstring::npos)
        __builtin_trap();
    return 0;
}
