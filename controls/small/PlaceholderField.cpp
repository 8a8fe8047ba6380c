#include "controls/small/PlaceholderField.h"

namespace quill::small {

void PlaceholderField::GotFocus()
{
    if (empty_) {
        field_.SetFieldTextColor(TypedColor);
        Rewrite(L"");
    } else {
        field_.SelectAllText();
    }
}

void PlaceholderField::LostFocus()
{
    if (empty_) {
        field_.SetFieldTextColor(PlaceholderColor);
        Rewrite(Placeholder);
    }
}

bool PlaceholderField::TextChanged()
{
    std::wstring now = field_.FieldText();
    if (now == known_)
        return false;
    known_ = std::move(now);
    if (skip_) {
        skip_ = false;
        return false;
    }
    empty_ = known_.empty();
    return true;
}

void PlaceholderField::WriteText(const std::wstring& text)
{
    if (text != field_.FieldText())
        field_.WriteFieldText(text);
}

// The skip flag is armed only for a write that really changes the text: a
// write of the same text may bring no notification, and a flag left armed
// would swallow the user's next keystroke, keep the field "empty" and so
// replace the typed text with the placeholder when the focus leaves.
void PlaceholderField::Rewrite(std::wstring_view text)
{
    if (text == field_.FieldText())
        return;
    skip_ = true;
    field_.WriteFieldText(std::wstring(text));
}

}  // namespace quill::small
