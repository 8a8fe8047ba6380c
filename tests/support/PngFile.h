#pragma once
// Writes 24-bit PNG files with stored (uncompressed) deflate blocks: enough
// to look at screenshots, with no library to link.
#include <cstdint>
#include <string>
#include <vector>

namespace quill::test {

// `rgb` holds width * height pixels, row by row from the top, with red in the
// low byte. False when the file cannot be written.
bool WritePng(const std::wstring& path, int width, int height, const std::vector<uint32_t>& rgb);

}  // namespace quill::test
