// Reads one attribute value out of a text of name="value" pairs, as leniently
// as the program has always read its chart texts and notice blocks: no markup
// is parsed, the first name=" found anywhere counts.
#pragma once

#include <string>
#include <string_view>

namespace quill::web {

// The text between the double quote after the first name=" (name compared
// without regard to case) and the next double quote, or to the end of the
// source when no quote closes it; "" when name=" does not occur.
//
// The name is matched wherever it occurs, also as the tail of a longer
// attribute name (with "name", dataname="x" is found first), and nothing is
// decoded. Positions are kept as signed 16-bit numbers, so a name starting
// beyond character 32767 of the source counts as not found.
std::wstring AttrValue(std::wstring_view name, std::wstring_view source);

}  // namespace quill::web
