// The skinning engine's public face: gives an existing window and its
// standard child controls the flat, light-blue skin, and takes it away again.
// Any number of instances share the one engine; an instance holds nothing.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quill::skinning {

class cSkinner {
public:
    // 1 when this call skinned the window (a form with every descendant not
    // yet skinned); 0 for no window or one already skinned.
    std::int32_t AttachSkin(HWND hWnd);
    // 1 when this call removed the skin; 0 for no window or one not skinned.
    std::int32_t DetachSkin(HWND hWnd);
};

}  // namespace quill::skinning
