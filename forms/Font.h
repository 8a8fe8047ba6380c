#pragma once
// Font objects as the platform's forms hand them around: shared by
// reference, so a change made through one holder reaches every holder, each
// told through its change subscription (as the platform's font-changed
// notification does).
#include "forms/Gdi.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quill::forms {

class Font : public std::enable_shared_from_this<Font> {
public:
    using Ref = std::shared_ptr<Font>;

    // The platform's default for windows on this system: 宋体 9 pt.
    static Ref New(std::wstring name = L"\u5B8B\u4F53", double size = 9.0, bool bold = false,
                   bool italic = false, bool underline = false, bool strikethrough = false);
    Ref Clone() const;

    const std::wstring& Name() const { return name_; }
    void Name(std::wstring v);
    double Size() const { return size_; }  // points
    void Size(double v);
    bool Bold() const { return weight_ >= 551; }
    void Bold(bool v);
    bool Italic() const { return italic_; }
    void Italic(bool v);
    bool Underline() const { return underline_; }
    void Underline(bool v);
    bool Strikethrough() const { return strikethrough_; }
    void Strikethrough(bool v);
    int16_t Weight() const { return weight_; }
    void Weight(int16_t v);
    int16_t Charset() const { return charset_; }
    void Charset(int16_t v);

    // Same name, size and style (what the property bag compares).
    bool SameAs(const Font& other) const;

    LOGFONTW ToLogFont() const;  // at the screen's 96 dots per inch
    gdi::FontHandle CreateHandle() const;

    // Calls `listener` with the property's name after each change, until the
    // subscription ends.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&& o) noexcept : font_(std::move(o.font_)), id_(std::exchange(o.id_, 0)) {}
        Subscription& operator=(Subscription&& o) noexcept;
        ~Subscription() { End(); }
        void End();

    private:
        friend class Font;
        Subscription(std::weak_ptr<Font> f, int id) : font_(std::move(f)), id_(id) {}
        std::weak_ptr<Font> font_;
        int id_ = 0;
    };
    Subscription OnChanged(std::function<void(const std::wstring& property)> listener);

    Font(std::wstring name, double size);  // use New

private:
    void Changed(const wchar_t* property);

    std::wstring name_;
    double size_;
    int16_t weight_ = 400;
    int16_t charset_ = DEFAULT_CHARSET;
    bool italic_ = false, underline_ = false, strikethrough_ = false;
    int nextId_ = 1;
    std::vector<std::pair<int, std::function<void(const std::wstring&)>>> listeners_;
};

}  // namespace quill::forms
