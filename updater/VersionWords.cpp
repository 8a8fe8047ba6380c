#include "updater/VersionWords.h"

namespace quill::updater {
namespace {

std::uint32_t Field(std::span<const std::uint8_t> record, std::size_t index)
{
    const std::size_t at = index * 4;
    return record[at] | record[at + 1] << 8 | record[at + 2] << 16 |
           static_cast<std::uint32_t>(record[at + 3]) << 24;
}

std::wstring Word(std::uint32_t field, bool high)
{
    return std::to_wstring(static_cast<std::int16_t>(high ? field >> 16 : field & 0xFFFF));
}

std::wstring Words(std::uint32_t field)
{
    return Word(field, true) + L"." + Word(field, false);
}

}  // namespace

std::optional<VersionWords> ReadFixedFileInfo(std::span<const std::uint8_t> record)
{
    if (record.size() < FixedFileInfoSize || Field(record, 0) != FixedFileInfoSignature)
        return std::nullopt;
    VersionWords words;
    words.StrucVer = Words(Field(record, 1));
    words.FileVer = Words(Field(record, 2)) + L"." + Words(Field(record, 3));
    words.ProdVer = Words(Field(record, 4)) + L"." + Words(Field(record, 5));
    words.CurrentVersion = Words(Field(record, 2));
    return words;
}

}  // namespace quill::updater
