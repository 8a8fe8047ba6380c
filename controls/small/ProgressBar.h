// The themed glass-look progress bar: a rounded bar of two gradient bands for
// the track and two for the filled part, a rounded border and an optional
// text (the value, the percentage or a free text) at one of nine places with
// one of five effects; nine fixed colour themes and one made from two colours
// of the host's, and a grey look when disabled. It draws only when something
// changes (every setter repaints it whole) and raises no events.
#pragma once

#include "controls/small/ProgressBarColours.h"
#include "controls/small/ProgressBarProperties.h"
#include "forms/UserControl.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace quill::small {

class ProgressBar : public forms::UserControl {
public:
    ProgressBar();

    std::int32_t Value() const { return props_.Value(); }
    void Value(std::int32_t v) { props_.Value(v); }
    std::int32_t Max() const { return props_.Max(); }
    void Max(std::int32_t v) { props_.Max(v); }
    std::int32_t Min() const { return props_.Min(); }
    void Min(std::int32_t v) { props_.Min(v); }
    std::int32_t RoundedValue() const { return props_.RoundedValue(); }
    void RoundedValue(std::int32_t v) { props_.RoundedValue(v); }
    // Only the look: a disabled bar is drawn in grey.
    bool Enabled() const { return props_.Enabled(); }
    void Enabled(bool v) { props_.Enabled(v); }
    std::int32_t Theme() const { return props_.Theme(); }
    void Theme(std::int32_t v) { props_.Theme(v); }
    std::int32_t TextStyle() const { return props_.TextStyle(); }
    void TextStyle(std::int32_t v) { props_.TextStyle(v); }
    std::int32_t Orientations() const { return props_.Orientations(); }
    void Orientations(std::int32_t v) { props_.Orientations(v); }
    std::int32_t TextAlignment() const { return props_.TextAlignment(); }
    void TextAlignment(std::int32_t v) { props_.TextAlignment(v); }
    const std::wstring& Text() const { return props_.Text(); }
    void Text(std::wstring v) { props_.Text(std::move(v)); }
    std::int32_t TextEffect() const { return props_.TextEffect(); }
    void TextEffect(std::int32_t v) { props_.TextEffect(v); }
    forms::OleColor TextForeColor() const { return props_.TextForeColor(); }
    void TextForeColor(forms::OleColor v) { props_.TextForeColor(v); }
    forms::OleColor TextEffectColor() const { return props_.TextEffectColor(); }
    void TextEffectColor(forms::OleColor v) { props_.TextEffectColor(v); }
    forms::OleColor PBSCustomeColor1() const { return props_.PBSCustomeColor1(); }
    void PBSCustomeColor1(forms::OleColor v) { props_.PBSCustomeColor1(v); }
    forms::OleColor PBSCustomeColor2() const { return props_.PBSCustomeColor2(); }
    void PBSCustomeColor2(forms::OleColor v) { props_.PBSCustomeColor2(v); }
    // The object itself, not a copy: later changes to it reach the bar's text.
    const forms::Font::Ref& TextFont() const { return textFont_; }
    void TextFont(forms::Font::Ref font);

    // A two-colour gradient rectangle (right and bottom exclusive) into any
    // device context; direction 0 runs left to right, 1 top to bottom, and
    // any other draws nothing.
    void GradientTwoColour(HDC dc, std::int32_t direction, Colour startColour, Colour endColour,
                           std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    // A width x height rectangle whose colours run down each side edge and
    // then along each row, sent one row at a time. A width below 1 or a
    // negative height raises error 9 before anything is drawn.
    void DrawGradientFourColour(HDC dc, std::int32_t left, std::int32_t top, std::int32_t width,
                                std::int32_t height, Colour topLeft, Colour topRight, Colour bottomLeft,
                                Colour bottomRight);

    // A new instance's size, in pixels.
    static constexpr int NewWidth = 295;
    static constexpr int NewHeight = 20;

protected:
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_Resize() override;

private:
    void RefreshBar();
    void DrawBarText(const std::wstring& text, int alignment);

    ProgressBarProperties props_;
    forms::Font::Ref textFont_;
    ThemePalette palette_{};
};

}  // namespace quill::small
