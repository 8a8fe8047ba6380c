// The version words of a program file, read from the fixed part of its
// version resource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quill::updater {

// The fixed version record: signature, structure version, file version
// (most and least significant), product version (the same), then flags,
// system, type and date words.
inline constexpr std::size_t FixedFileInfoSize = 52;
inline constexpr std::uint32_t FixedFileInfoSignature = 0xFEEF04BD;

struct VersionWords {
    std::wstring StrucVer;  // high word "." low word of the structure version
    std::wstring FileVer;   // four words joined by "."
    std::wstring ProdVer;
    std::wstring CurrentVersion;  // the first two words of FileVer
};

// Each 32-bit field is split into its high and low words, each written as a
// signed 16-bit decimal number. Nothing unless the record holds all 52
// bytes and begins with the record's signature.
std::optional<VersionWords> ReadFixedFileInfo(std::span<const std::uint8_t> record);

}  // namespace quill::updater
