// The descriptor as the service might send it: read into rows the way the
// updater reads it, never a crash, a hang or a huge allocation; every path
// that is accepted stays plain.
#include "forms/lang/Error.h"
#include "updater/FileList.h"
#include "updater/UpdateDescriptor.h"
#include "updater/UpdatePath.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

template <class Call>
void Tolerate(Call&& call)
{
    try {
        call();
    } catch (const quill::forms::RuntimeError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quill::updater;
    const auto text = DescriptorText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!text)
        return 0;
    HasUpdateMarkers(*text);
    const std::wstring newver = ProfileString(*text, L"update", L"newver");
    if (newver.size() > 1023)
        __builtin_trap();
    Tolerate([&] { IsUpToDate(L"1.3", newver); });
    const std::wstring checkfile = ProfileString(*text, L"update", L"checkfile");
    Tolerate([&] { PromisesEntries(checkfile); });
    Tolerate([&] {
        const int count = EntryCount(checkfile);
        for (int i = 1; i <= count && i <= 64; ++i) {
            const DescriptorEntry entry =
                SplitEntry(ProfileString(*text, L"update", L"file" + std::to_wstring(i)));
            if (const auto path = UpdatePath::Parse(entry.path)) {
                for (const std::wstring& c : path->Components())
                    if (c.empty() || c == L".." || c.find_first_of(L"/\\:") != std::wstring::npos)
                        __builtin_trap();
                path->UrlPath();
                path->SameFileKey();
            }
            if (const auto size = ByteCount(entry.sizeText)) {
                if (*size < 0 || *size > 9007199254740992.0)
                    __builtin_trap();
                SizeText(*size);
            }
        }
    });
    return 0;
}
