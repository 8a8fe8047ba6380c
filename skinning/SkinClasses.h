// Which kind of control a window is, told from its class name alone, and the
// button styles the skin paints itself.
#pragma once

#include <cstdint>
#include <string_view>

namespace quill::skinning {

enum class SkinKind {
    Form,
    PushButton,
    ComboBox,
    DriveList,
    CheckBox,
    OptionButton,
    ProgressBar,
    Header,
    DataList,
    ComboDropList,
    // Subclassed like the rest; only its client edge is flattened.
    Other,
};

// The kind a window class makes: the name compared whole and without regard
// to case; an empty or unknown name is Other.
SkinKind ClassifyClassName(std::string_view className);

// Grids are Other for every handler except the paint handler, which frames a
// bordered one: any class whose name begins with "apexgrid", in any case.
bool IsGridClass(std::string_view className);

// The button type (the style's low four bits) of a "button" class window.
constexpr std::uint32_t ButtonType(std::uint32_t style)
{
    return style & 0xF;
}

// Only plain and default push buttons are turned owner-drawn and painted from
// the state images; every other type (check boxes, radio buttons, user and
// owner-drawn buttons) keeps its own look and behaviour.
constexpr bool SkinPaintsButton(std::uint32_t style)
{
    return ButtonType(style) <= 1;
}

// The type the skin gives the buttons it paints (BS_OWNERDRAW).
constexpr std::uint32_t OwnerDrawnButtonType = 11;

}  // namespace quill::skinning
