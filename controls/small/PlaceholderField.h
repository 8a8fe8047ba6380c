// The account box's text rules: the grey "<请输入帐号>" while the field is
// empty and unfocused, the empty flag, and which text changes count as the
// user's (and so raise Change).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quill::small {

// The one-line text field the rules drive. Writing its text makes the field
// report a text change (through PlaceholderField::TextChanged), as a real
// edit control does; whether it also reports a write of the same text is the
// field's business, the rules give the same result either way.
class TextFieldPort {
public:
    virtual ~TextFieldPort() = default;
    virtual std::wstring FieldText() const = 0;
    virtual void WriteFieldText(const std::wstring& text) = 0;
    virtual void SetFieldTextColor(std::uint32_t colour) = 0;
    virtual void SelectAllText() = 0;
};

class PlaceholderField {
public:
    static constexpr std::wstring_view Placeholder = L"<请输入帐号>";
    static constexpr std::uint32_t PlaceholderColor = 0x808080;
    static constexpr std::uint32_t TypedColor = 0x000000;

    explicit PlaceholderField(TextFieldPort& field) : field_(field) {}

    void GotFocus();
    void LostFocus();
    // The field's text-change notification; true when the change is the
    // user's or the host's, i.e. Change must be raised.
    bool TextChanged();
    // The host writes the field (Text, a stored layout, a picked entry).
    void WriteText(const std::wstring& text);

    std::wstring Text() const { return field_.FieldText(); }
    bool Empty() const { return empty_; }

private:
    void Rewrite(std::wstring_view text);

    TextFieldPort& field_;
    bool empty_ = true;
    bool skip_ = false;
    // The text as of the last notification; a notification that finds the
    // same text is no change at all.
    std::wstring known_;
};

}  // namespace quill::small
