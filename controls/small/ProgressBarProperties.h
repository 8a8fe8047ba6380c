// The themed progress bar's design values and the rules its setters keep:
// 0 <= Min <= Max - 1, Max >= 1, Min <= Value <= Max. Every setter stores its
// value and then calls Changed with the property's name, even when nothing
// changed; the control reports the change there and repaints. A setter that
// pulls Value along sets it first, so "Value" is reported before "Max" or
// "Min".
#pragma once

#include "controls/small/ProgressBarColours.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quill::small {

class ProgressBarProperties {
public:
    std::function<void(std::wstring_view property)> Changed;

    std::int32_t Max() const { return max_; }
    void Max(std::int32_t v);
    std::int32_t Min() const { return min_; }
    void Min(std::int32_t v);
    std::int32_t Value() const { return value_; }
    void Value(std::int32_t v);
    std::int32_t RoundedValue() const { return roundedValue_; }
    void RoundedValue(std::int32_t v) { Store(roundedValue_, v, L"RoundedValue"); }
    bool Enabled() const { return enabled_; }
    void Enabled(bool v) { Store(enabled_, v, L"Enabled"); }
    std::int32_t Theme() const { return theme_; }
    void Theme(std::int32_t v) { Store(theme_, v, L"Theme"); }
    std::int32_t TextStyle() const { return textStyle_; }
    void TextStyle(std::int32_t v) { Store(textStyle_, v, L"TextStyle"); }
    std::int32_t Orientations() const { return orientations_; }
    void Orientations(std::int32_t v) { Store(orientations_, v, L"Orientations"); }
    std::int32_t TextAlignment() const { return textAlignment_; }
    void TextAlignment(std::int32_t v) { Store(textAlignment_, v, L"TextAlignment"); }
    const std::wstring& Text() const { return text_; }
    void Text(std::wstring v) { Store(text_, std::move(v), L"Text"); }
    std::int32_t TextEffect() const { return textEffect_; }
    void TextEffect(std::int32_t v) { Store(textEffect_, v, L"TextEffect"); }
    Colour TextForeColor() const { return textForeColor_; }
    void TextForeColor(Colour v) { Store(textForeColor_, v, L"TextForeColor"); }
    Colour TextEffectColor() const { return textEffectColor_; }
    void TextEffectColor(Colour v) { Store(textEffectColor_, v, L"TextEffectColor"); }
    Colour PBSCustomeColor1() const { return pbsCustomeColor1_; }
    void PBSCustomeColor1(Colour v) { Store(pbsCustomeColor1_, v, L"PBSCustomeColor1"); }
    Colour PBSCustomeColor2() const { return pbsCustomeColor2_; }
    void PBSCustomeColor2(Colour v) { Store(pbsCustomeColor2_, v, L"PBSCustomeColor2"); }

    // A new instance's values, set through the setters in the order a bar
    // placed at design time gets them (its font follows, set by the control).
    void InitNew(std::wstring bannerText);

private:
    template <class T, class V>
    void Store(T& field, V&& v, std::wstring_view name)
    {
        field = std::forward<V>(v);
        Report(name);
    }
    void Report(std::wstring_view name);

    // All zero until the host's first values arrive, as the platform starts them.
    std::int32_t max_ = 0;
    std::int32_t min_ = 0;
    std::int32_t value_ = 0;
    std::int32_t roundedValue_ = 0;
    bool enabled_ = false;
    std::int32_t theme_ = 0;
    std::int32_t textStyle_ = 0;
    std::int32_t orientations_ = 0;
    std::int32_t textAlignment_ = 0;
    std::wstring text_;
    std::int32_t textEffect_ = 0;
    Colour textForeColor_ = 0;
    Colour textEffectColor_ = 0;
    Colour pbsCustomeColor1_ = 0;
    Colour pbsCustomeColor2_ = 0;
};

// The text a new instance shows until the host sets its own.
inline constexpr wchar_t BannerText[] = L"进度条";

}  // namespace quill::small
