// Texts inside the single-quoted strings of a page's script: the report
// pages carry their chart's texts this way, and the browser reads them back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quill::web {

// The text as the inside of a '...' script string. Quotes, backslashes and
// line breaks are escaped; "<", ">" and "&" and every character outside
// printable ASCII are written as \uXXXX, so the string neither ends its
// script element nor depends on the page's code page.
std::wstring ScriptStringBody(std::wstring_view text);

// Reads the quoted string (' or ") that starts at `pos` (blanks before it are
// skipped) and moves `pos` past its closing quote; nothing when no complete
// string starts there. Reads the escapes ScriptStringBody writes and the
// other common ones (\n, \t, \xHH, \uXXXX, \<any> as that character).
std::optional<std::wstring> ReadScriptString(std::wstring_view text, std::size_t& pos);

}  // namespace quill::web
