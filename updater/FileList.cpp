#include "updater/FileList.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"

#include <cmath>

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

double ListedSize(std::wstring_view sizeText)
{
    return forms::ToDouble(sizeText);
}

bool IsByteCount(double size)
{
    return size >= 0 && size <= 9007199254740992.0 && std::trunc(size) == size;
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
