// Random colours for the items of a chart.
#pragma once

#include <string>

namespace quill::workspace {

// Red, green and blue drawn in that order, each from 0 to 253, the generator
// reseeded from the clock before each. With asWindowsColour the decimal text
// of red + 256 * green + 65536 * blue; otherwise six upper-case hexadecimal
// digits red, green, blue, as chart colours are written.
std::wstring RandomColor(bool asWindowsColour);

}  // namespace quill::workspace
