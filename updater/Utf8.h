// UTF-8 of wide texts (UTF-16 on Windows, UTF-32 elsewhere) and back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quill::updater {

// A lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view text);
// Nothing for bytes that are not well-formed UTF-8 (overlong forms,
// surrogates and code points above U+10FFFF included).
std::optional<std::wstring> FromUtf8(std::string_view bytes);

}  // namespace quill::updater
