#include "protocol/ReplyText.h"

#include "forms/lang/Text.h"

namespace quill::protocol {

std::vector<std::wstring> PiecesBeforeLast(std::wstring_view text, std::wstring_view separator)
{
    std::vector<std::wstring> pieces = forms::Split(text, separator);
    if (!pieces.empty())
        pieces.pop_back();
    return pieces;
}

std::vector<std::wstring> ListRows(std::wstring_view list)
{
    return PiecesBeforeLast(list, L"|");
}

std::vector<std::wstring> ListNames(std::wstring_view names)
{
    return PiecesBeforeLast(names, L",");
}

}  // namespace quill::protocol
