#include "updater/WizardPicture.h"

#include "forms/App.h"
#include "forms/Font.h"
#include "forms/Gdi.h"

namespace quill::updater {

forms::Picture::Ref WizardPicture(int width, int height)
{
    forms::gdi::WindowDc screen(nullptr);
    forms::gdi::MemoryDc dc(screen);
    forms::gdi::BitmapHandle bitmap(CreateCompatibleBitmap(screen, width, height));
    if (!bitmap)
        return nullptr;
    {
        forms::gdi::Selection select(dc, bitmap);
        TRIVERTEX band[2] = {{0, 0, 0x1E00, 0x5A00, 0xB400, 0}, {width, height, 0xD200, 0xE600, 0xFA00, 0}};
        GRADIENT_RECT rect{0, 1};
        GradientFill(dc, band, 2, &rect, 1, GRADIENT_FILL_RECT_V);
        if (HICON icon = LoadIconW(forms::App::hInstance(), MAKEINTRESOURCEW(1)))
            DrawIconEx(dc, (width - 32) / 2, 40, icon, 32, 32, 0, nullptr, DI_NORMAL);
        forms::gdi::FontHandle font = forms::Font::New(L"Verdana", 11, true)->CreateHandle();
        forms::gdi::Selection useFont(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT name{0, 84, width, 110};
        DrawTextW(dc, L"Quillmoor", -1, &name, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    }
    return forms::Picture::FromBitmap(bitmap.Release());
}

}  // namespace quill::updater
