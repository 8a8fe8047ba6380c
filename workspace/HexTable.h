// Two upper-case hexadecimal digits for every byte value, as chart colours
// are written ("00" ... "0A" ... "FF").
#pragma once

#include <array>
#include <string>

namespace quill::workspace {

using HexDigitsTable = std::array<std::wstring, 256>;

// The table; filled when the process starts.
const HexDigitsTable& HexTable();

// Writes every entry afresh (the main window does this on each load).
void InitHexTable();

}  // namespace quill::workspace
