#include "protocol/ReplyItems.h"

#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"

namespace quill::protocol {

ReplyItems::ReplyItems(std::wstring_view text, std::wstring_view separator)
    : items_(forms::Split(text, separator))
{
}

const std::wstring& ReplyItems::Text(int position) const
{
    return forms::At(items_, position);
}

double ReplyItems::Strict(int position) const
{
    return forms::ToDouble(Text(position));
}

double ReplyItems::Lenient(int position) const
{
    return forms::Val(Text(position));
}

std::int32_t ReplyItems::StrictInt32(int position) const
{
    return forms::ToInt32(std::wstring_view(Text(position)));
}

double ReplyItems::StrictDate(int position) const
{
    return forms::ToDate(Text(position));
}

}  // namespace quill::protocol
