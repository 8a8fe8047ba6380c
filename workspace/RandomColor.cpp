#include "workspace/RandomColor.h"

#include "workspace/HexTable.h"

#include "forms/lang/Random.h"

namespace quill::workspace {

namespace {

// 254 and 255 never occur.
constexpr double kComponentRange = 254;

int DrawComponent()
{
    forms::RandomGenerator& random = forms::ProcessRandom();
    random.Randomize();
    return static_cast<int>(static_cast<double>(random.Next()) * kComponentRange);
}

}  // namespace

std::wstring RandomColor(bool asWindowsColour)
{
    const int red = DrawComponent();
    const int green = DrawComponent();
    const int blue = DrawComponent();
    if (asWindowsColour)
        return std::to_wstring(red + 256 * green + 65536 * blue);
    const HexDigitsTable& hex = HexTable();
    return hex[red] + hex[green] + hex[blue];
}

}  // namespace quill::workspace
