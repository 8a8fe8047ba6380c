#include "skinning/cSkinner.h"

#include "skinning/mSkinner.h"

namespace quill::skinning {

std::int32_t cSkinner::AttachSkin(HWND hWnd)
{
    return AttachSkinToWindow(hWnd);
}

std::int32_t cSkinner::DetachSkin(HWND hWnd)
{
    return UnskinWindow(hWnd);
}

}  // namespace quill::skinning
