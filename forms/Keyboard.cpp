#include "forms/Keyboard.h"

#include "forms/Events.h"
#include "forms/lang/Ansi.h"

namespace quill::forms {

int16_t ShiftState()
{
    return static_cast<int16_t>((GetKeyState(VK_SHIFT) < 0 ? vbShiftMask : 0) |
                                (GetKeyState(VK_CONTROL) < 0 ? vbCtrlMask : 0) |
                                (GetKeyState(VK_MENU) < 0 ? vbAltMask : 0));
}

int16_t KeyAsciiFromChar(wchar_t c)
{
    return AnsiCode(c);
}

wchar_t CharFromKeyAscii(int16_t keyAscii)
{
    std::wstring s = Chr(static_cast<uint16_t>(keyAscii));
    return s.empty() ? L'?' : s[0];
}

}  // namespace quill::forms
