// The one splitting rule that every reader of a service reply shares.
//
// Row lists end with their separator ("a|b|" holds the rows "a" and "b"), so
// a split gives one piece more than there are rows and the readers take the
// pieces 0 to count - 2. A text without any separator therefore holds no
// rows, and an empty text splits into no pieces at all.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::protocol {

// The pieces before the last separator: the rows of a list whose every row is
// followed by the separator. A text without the separator yields none.
std::vector<std::wstring> PiecesBeforeLast(std::wstring_view text, std::wstring_view separator);

// The rows of a row list ("|").
std::vector<std::wstring> ListRows(std::wstring_view list);

// The names of one name list of the snapshot's section 4 (each followed by ",").
std::vector<std::wstring> ListNames(std::wstring_view names);

}  // namespace quill::protocol
