#include "forms/Label.h"

#include "forms/Container.h"
#include "forms/Form.h"
#include "forms/Gdi.h"

#include <cmath>
#include <cwctype>

namespace quill::forms {

void Label::Create(Container& container, const ControlArgs& args, const LabelArgs& label)
{
    caption_ = label.caption;
    alignment_ = label.alignment;
    backStyle_ = label.backStyle;
    borderStyle_ = label.borderStyle;
    backColor_ = label.backColor;
    foreColor_ = label.foreColor;
    useMnemonic_ = label.useMnemonic;
    autoSize_ = label.autoSize;
    oneLine_ = label.oneLine;
    MousePointer(label.mousePointer);
    Font(label.font ? label.font : container.ParentForm().Font()->Clone());
    Place(container, args);
    if (autoSize_)
        TextChanged();
}

void Label::Caption(std::wstring v)
{
    caption_ = std::move(v);
    TextChanged();
}
void Label::BackColor(OleColor c)
{
    backColor_ = c;
    Refresh();
}
void Label::ForeColor(OleColor c)
{
    foreColor_ = c;
    Refresh();
}
void Label::BackStyle(int16_t v)
{
    backStyle_ = v;
    Refresh();
}
void Label::Alignment(int16_t v)
{
    alignment_ = v;
    Refresh();
}

void Label::UseMnemonic(bool v)
{
    useMnemonic_ = v;
    TextChanged();
}

void Label::AutoSize(bool v)
{
    autoSize_ = v;
    TextChanged();
}

void Label::OneLine(bool v)
{
    oneLine_ = v;
    TextChanged();
}

void Label::Font(forms::Font::Ref f)
{
    font_ = f ? std::move(f) : forms::Font::New();
    fontWatch_ = font_->OnChanged([this](const std::wstring&) { TextChanged(); });
    TextChanged();
}

void Label::TextChanged()
{
    Container* container = ParentContainer();
    if (!autoSize_ || !container) {
        Refresh();
        return;
    }
    RECT extent{};
    gdi::MemoryDc dc;
    gdi::FontHandle font = font_->CreateHandle();
    gdi::Selection useFont(dc, font);
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &extent, TextFormat() | DT_CALCRECT);
    // Up to the next whole unit, so that the pixels the label covers hold the text.
    Move(Left(), Top(), static_cast<int>(std::ceil(extent.right / container->PixelsPerUnitX())),
         static_cast<int>(std::ceil(extent.bottom / container->PixelsPerUnitY())));
}

std::wstring Label::AccessKeyChars() const
{
    if (!useMnemonic_)
        return {};
    for (size_t i = 0; i + 1 < caption_.size(); ++i) {
        if (caption_[i] == L'&' && caption_[i + 1] != L'&')
            return std::wstring(1, static_cast<wchar_t>(std::towlower(caption_[i + 1])));
        if (caption_[i] == L'&')
            ++i;
    }
    return {};
}

// A label's access key moves the focus to the control after it in tab order.
void Label::AccessKeyPressed(wchar_t)
{
    if (ParentContainer())
        ParentForm().FocusAfter(*this);
}

void Label::PaintWindowless(HDC dc)
{
    RECT r = PixelRect();
    if (backStyle_ == 1) {
        gdi::BrushHandle back(CreateSolidBrush(TranslateColor(backColor_)));
        FillRect(dc, &r, back);
    }
    if (borderStyle_ == 1)
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    gdi::FontHandle font = font_->CreateHandle();
    gdi::Selection useFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Enabled() ? TranslateColor(foreColor_) : GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, TextFormat());
}

UINT Label::TextFormat() const
{
    return (oneLine_    ? DT_SINGLELINE | DT_END_ELLIPSIS
            : autoSize_ ? 0
                        : DT_WORDBREAK) |
           DT_EXPANDTABS | (useMnemonic_ ? 0 : DT_NOPREFIX) |
           (alignment_ == 1   ? DT_RIGHT
            : alignment_ == 2 ? DT_CENTER
                              : DT_LEFT);
}

}  // namespace quill::forms
