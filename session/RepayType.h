// The repayment types of a project: codes 1 to 6 as the service stores them
// and the names the detail page and the entry form show.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quill::session {

// The type's name; any other code gives "未知类型，请升级程序".
std::wstring RepayTypeName(std::int32_t code);

// The code of a name compared exactly (case and blanks count), or -1.
std::int16_t RepayTypeCode(std::wstring_view name);

}  // namespace quill::session
