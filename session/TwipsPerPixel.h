// The screen's twips-per-pixel factors as the program saw them at start:
// StartUp stores them once, before the login window is loaded, and nothing
// changes them afterwards. The windows and the check box convert between
// twips and pixels with them; the account box places its drop window with
// them.
#pragma once

namespace quill::session {

inline float TwipsPerPixelX = 0;
inline float TwipsPerPixelY = 0;

}  // namespace quill::session
