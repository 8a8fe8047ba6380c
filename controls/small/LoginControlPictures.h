// The fixed pictures of the login controls as the platform's pictures (so a
// surface can paint them, stretched where needed) and the link's cursor.
#pragma once

#include "controls/small/LoginControlArt.h"
#include "forms/Picture.h"
#include "forms/Surface.h"

#include <windows.h>

namespace quill::small {

// A 24-bit bitmap picture, or an icon picture when the pixels carry a mask
// (so painting it leaves the transparent pixels as they were).
forms::Picture::Ref MakePicture(const PixelPicture& pixels);

// Paints a picture onto a surface (at its own size unless one is given); a
// picture the system could not make is skipped.
void PaintPicture(forms::Surface& surface, const forms::Picture::Ref& picture, int x, int y, int width = -1,
                  int height = -1);

// A two-colour cursor as an icon picture, for a control's MouseIcon.
forms::Picture::Ref MakeCursorPicture(const MonoCursorShape& shape);

}  // namespace quill::small
