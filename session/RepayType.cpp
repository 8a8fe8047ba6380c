#include "session/RepayType.h"

#include <array>

namespace quill::session {

namespace {

// Index + 1 is the code.
constexpr std::array<std::wstring_view, 6> kRepayTypeNames{
    L"到期还本息", L"等额本息", L"等额本金", L"按月还息到期还本", L"按月还息按季还本", L"标满付息到期还本",
};

}  // namespace

std::wstring RepayTypeName(std::int32_t code)
{
    if (code >= 1 && code <= static_cast<std::int32_t>(kRepayTypeNames.size()))
        return std::wstring(kRepayTypeNames[code - 1]);
    return L"未知类型，请升级程序";
}

std::int16_t RepayTypeCode(std::wstring_view name)
{
    for (std::size_t i = 0; i < kRepayTypeNames.size(); ++i)
        if (kRepayTypeNames[i] == name)
            return static_cast<std::int16_t>(i + 1);
    return -1;
}

}  // namespace quill::session
