// Listing, testing and extracting a RAR archive through the archive library,
// one row per entry in the window's list.
#pragma once

#include "updater/UnrarRecords.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quill::updater {

// What the routine does to the window that runs it.
class RarWindow {
public:
    enum class Icon { Information, Warning };
    virtual ~RarWindow() = default;
    virtual void AddRow(const std::wstring& text) = 0;
    virtual void AppendToLastRow(const std::wstring& text) = 0;
    virtual void ShowMessage(const std::wstring& text, Icon icon, const std::wstring& title) = 0;
    virtual void Repaint() = 0;
};

// The library's entry points, asked for at the first call that needs them;
// a library that cannot be loaded raises a run-time error whose description
// says so.
using UnrarLoader = std::function<const UnrarEntryPoints&()>;

// mode 0 extracts into destination, 1 tests, 2 lists. The destination is
// trimmed and given a trailing "\" in place. Errors reach the user as
// messages titled "UnRar Error"; the routine raises none. An entry whose name
// would leave the destination is listed but not extracted.
void ExtractRar(std::int32_t& mode, std::wstring& archive, std::wstring& destination, std::wstring& password,
                const UnrarLoader& library, RarWindow& window);

// The messages of a failed open and of a failed entry; nothing for codes
// that have none.
std::optional<std::wstring> RarOpenErrorText(int code, const std::wstring& archive);
std::optional<std::wstring> RarProcessErrorText(int code);

}  // namespace quill::updater
