// The update descriptor the service publishes: an INI text whose "[Update]"
// section lists the newest version and the files of the release, read the
// way the system's profile-string reader reads the saved copy.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quill::updater {

// A descriptor longer than this is too large to be one: the download is
// refused and the saved copy is not read beyond it. The largest a release
// can publish lists 32,767 entries (more overflow the 16-bit count of
// "checkfile"), each on a line of at most 547 bytes: "file32767=", a path of
// 259 characters (the longest the updater writes) at two code-page bytes
// each, "|", a size of 16 digits (2^53, the largest count of bytes a size
// tells apart) and CR LF. That is 17.1 MiB; the rest is room for blanks,
// comments and other sections.
inline constexpr std::size_t DescriptorByteLimit = std::size_t(24) << 20;

// The descriptor's bytes as text in the code page (936); nothing when they
// are no descriptor the service could have meant: none at all, more than the
// limit, or no code-page text (a byte-order mark of UTF-8 or UTF-16, a zero
// byte, a byte that can neither stand alone nor lead a valid pair).
std::optional<std::wstring> DescriptorText(std::string_view bytes);

// Whether the text holds both "[Update]" and "[/Update]", in any letter case
// and in any order.
bool HasUpdateMarkers(std::wstring_view text);

// The value of `key` in `section` of an INI text, as the profile reader
// gives it: section and key compared without regard to case (blanks around
// them ignored), the first such section and, in it, the first such key; a
// section header is a line that starts with "[" and runs to its last "]",
// so "[/Update]" ends the "[Update]" section. The value loses blanks at both
// ends and one pair of matching quotes around it, and is cut to 1023
// characters. "" when there is no such key.
std::wstring ProfileString(std::wstring_view text, std::wstring_view section, std::wstring_view key);

// One section of an INI text read once, its values then looked up by key as
// ProfileString finds them: a descriptor of thousands of entries is not
// read again for each of them.
class ProfileSection {
public:
    ProfileSection(std::wstring_view text, std::wstring_view section);
    std::wstring Value(std::wstring_view key) const;

private:
    std::map<std::wstring, std::wstring> values_;  // by key in lower case; the first of each
};

}  // namespace quill::updater
