#include "updater/FileList.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"


namespace quill::updater {

bool IsUpToDate(std::wstring_view currentVersion, std::wstring_view newest)
{
    return forms::Val(currentVersion) >= forms::Val(newest);
}

bool PromisesEntries(std::wstring_view checkfile)
{
    return forms::Val(checkfile) >= 1;
}

std::int16_t EntryCount(std::wstring_view checkfile)
{
    return forms::ToInt16(forms::Val(checkfile));
}

DescriptorEntry SplitEntry(std::wstring_view value)
{
    const std::vector<std::wstring> parts = forms::Split(value, L"|");
    return {forms::At(parts, 0), forms::At(parts, 1)};
}

std::optional<double> ByteCount(std::wstring_view sizeText)
{
    constexpr std::uint64_t Largest = std::uint64_t(1) << 53;
    const std::size_t first = sizeText.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos)
        return std::nullopt;
    const std::size_t end = sizeText.find_last_not_of(L" \t") + 1;
    std::uint64_t count = 0;
    for (const wchar_t c : sizeText.substr(first, end - first)) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        // Leading zeros add nothing; a count past the largest stays past it.
        count = count * 10 + static_cast<std::uint64_t>(c - L'0');
        if (count > Largest)
            return std::nullopt;
    }
    return static_cast<double>(count);
}

std::wstring SizeText(double size)
{
    // + 0.0: a size of -0 reads "0", not "-0".
    double shown = forms::Round(size / 1024, 1) + 0.0;
    for (const wchar_t* unit : {L" KB", L" MB", L" GB"}) {
        if (shown < 10000)
            return forms::NumberText(shown) + unit;
        size /= 1024;
        shown = forms::Round(size / 1024, 1) + 0.0;
    }
    return forms::NumberText(shown) + L" TB";
}

std::int32_t ProgressValue(int done, int rows)
{
    return forms::ToInt32(forms::Divide(done, rows) * 100);
}

}  // namespace quill::updater
