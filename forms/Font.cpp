#include "forms/Font.h"

#include <cmath>

namespace quill::forms {

Font::Font(std::wstring name, double size) : name_(std::move(name)), size_(size) {}

Font::Ref Font::New(std::wstring name, double size, bool bold, bool italic, bool underline,
                    bool strikethrough)
{
    auto f = std::make_shared<Font>(std::move(name), size);
    f->weight_ = bold ? 700 : 400;
    f->italic_ = italic;
    f->underline_ = underline;
    f->strikethrough_ = strikethrough;
    return f;
}

Font::Ref Font::Clone() const
{
    auto f = std::make_shared<Font>(name_, size_);
    f->weight_ = weight_;
    f->charset_ = charset_;
    f->italic_ = italic_;
    f->underline_ = underline_;
    f->strikethrough_ = strikethrough_;
    return f;
}

void Font::Changed(const wchar_t* property)
{
    // A listener may end its own subscription while it runs.
    auto copy = listeners_;
    for (auto& [id, fn] : copy)
        fn(property);
}

void Font::Name(std::wstring v)
{
    name_ = std::move(v);
    Changed(L"Name");
}
void Font::Size(double v)
{
    size_ = v;
    Changed(L"Size");
}
void Font::Bold(bool v)
{
    weight_ = v ? 700 : 400;
    Changed(L"Bold");
}
void Font::Italic(bool v)
{
    italic_ = v;
    Changed(L"Italic");
}
void Font::Underline(bool v)
{
    underline_ = v;
    Changed(L"Underline");
}
void Font::Strikethrough(bool v)
{
    strikethrough_ = v;
    Changed(L"Strikethrough");
}
void Font::Weight(int16_t v)
{
    weight_ = v;
    Changed(L"Weight");
}
void Font::Charset(int16_t v)
{
    charset_ = v;
    Changed(L"Charset");
}

bool Font::SameAs(const Font& o) const
{
    return CompareStringOrdinal(name_.c_str(), -1, o.name_.c_str(), -1, TRUE) == CSTR_EQUAL &&
           size_ == o.size_ && weight_ == o.weight_ && charset_ == o.charset_ && italic_ == o.italic_ &&
           underline_ == o.underline_ && strikethrough_ == o.strikethrough_;
}

LOGFONTW Font::ToLogFont() const
{
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(size_ * 96.0 / 72.0));
    lf.lfWeight = weight_;
    lf.lfItalic = italic_;
    lf.lfUnderline = underline_;
    lf.lfStrikeOut = strikethrough_;
    lf.lfCharSet = static_cast<BYTE>(charset_);
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
    return lf;
}

gdi::FontHandle Font::CreateHandle() const
{
    LOGFONTW lf = ToLogFont();
    return gdi::FontHandle(CreateFontIndirectW(&lf));
}

Font::Subscription Font::OnChanged(std::function<void(const std::wstring&)> listener)
{
    int id = nextId_++;
    listeners_.emplace_back(id, std::move(listener));
    return Subscription(weak_from_this(), id);
}

Font::Subscription& Font::Subscription::operator=(Subscription&& o) noexcept
{
    if (this != &o) {
        End();
        font_ = std::move(o.font_);
        id_ = std::exchange(o.id_, 0);
    }
    return *this;
}

void Font::Subscription::End()
{
    if (auto f = font_.lock()) {
        std::erase_if(f->listeners_, [this](auto& l) { return l.first == id_; });
    }
    font_.reset();
    id_ = 0;
}

}  // namespace quill::forms
