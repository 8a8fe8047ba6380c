#pragma once
// The screen as the platform's forms describe it: sizes in twips (1440 to
// the inch) and the twips-per-pixel factors.
namespace quill::forms {

class Form;

class Screen {
public:
    static float TwipsPerPixelX();
    static float TwipsPerPixelY();
    static int Width();  // twips
    static int Height();
    static Form* ActiveForm();

    // Twips to pixels and back with the screen's factors (halves to even).
    static int PixelsX(double twips);
    static int PixelsY(double twips);
    static int TwipsX(double pixels);
    static int TwipsY(double pixels);
};

}  // namespace quill::forms
