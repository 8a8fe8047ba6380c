// The hover rule the check box and the link share: a move inside the
// control makes it hot and takes the mouse capture, so that the move which
// leaves it still arrives; a move outside makes it cold and lets go.
#pragma once

#include "forms/Events.h"
#include "forms/UserControl.h"

namespace quill::small {

// Raises MouseMove (inside) or MouseOut (outside) and returns true when the
// hot flag changed, i.e. the control must redraw. A position exactly on the
// right or bottom limit counts as inside.
bool TrackCaptureHover(forms::UserControl& control, forms::MouseArgs& e, bool& hot,
                       forms::Event<forms::MouseArgs&>& mouseMove, forms::Event<>& mouseOut);

}  // namespace quill::small
