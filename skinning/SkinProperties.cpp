#include "skinning/SkinProperties.h"

namespace quill::skinning {

std::string StateImageDcName(int state)
{
    return "HDC" + std::to_string(state);
}

std::string StateImageBitmapName(int state)
{
    return "BMP" + std::to_string(state);
}

std::intptr_t GetSkinValue(HWND hWnd, const char* name)
{
    return reinterpret_cast<std::intptr_t>(GetPropA(hWnd, name));
}

void SetSkinValue(HWND hWnd, const char* name, std::intptr_t value)
{
    SetPropA(hWnd, name, reinterpret_cast<HANDLE>(value));
}

void RemoveSkinValue(HWND hWnd, const char* name)
{
    RemovePropA(hWnd, name);
}

}  // namespace quill::skinning
