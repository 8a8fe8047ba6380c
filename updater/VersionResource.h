// The version words of a program file on disk.
#pragma once

#include "updater/VersionWords.h"

#include <optional>
#include <string>

namespace quill::updater {

// The words of the file's fixed version record; nothing when the file is
// missing, has no version resource, or its root block is not a whole record
// with the record's signature.
std::optional<VersionWords> ReadFileVersionWords(const std::wstring& path);

}  // namespace quill::updater
