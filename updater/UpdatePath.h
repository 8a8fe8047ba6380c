// A relative path from the descriptor or an archive, which the network
// controls: accepted only as plain components below a folder of ours.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::updater {

class UpdatePath {
public:
    // The path's components when it is a plain relative path: "/" and "\"
    // both separate; every component is non-empty, neither "." nor "..", at
    // most 255 characters, free of control characters, of ":" (drives,
    // streams), of wildcards and the other characters no file name may hold
    // (< > " | ? *), does not end in a dot or a blank and is no device name
    // (CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, with or without an
    // extension); the whole path is at most 259 characters. Nothing otherwise.
    static std::optional<UpdatePath> Parse(std::wstring_view path);

    const std::vector<std::wstring>& Components() const { return components_; }
    // The components joined with "\", to be appended to a folder ending in "\".
    std::wstring WindowsPath() const;
    // Equal for two paths that name the same file: letter case and
    // separators aside.
    std::wstring SameFileKey() const;
    // The components percent-escaped (UTF-8 bytes; letters, digits and
    // "-._~" as they are) and joined with "/", to follow a base URL.
    std::wstring UrlPath() const;

private:
    std::vector<std::wstring> components_;
};

}  // namespace quill::updater
