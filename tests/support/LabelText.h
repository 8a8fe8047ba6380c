#pragma once
// Whether a label shows its caption as it is, every "&" included: what the
// screen shows of it against the caption drawn literally over the label's
// own background.
#include "forms/Label.h"

#include <string>

namespace quill::test {

// Empty when the screen shows the label's caption drawn literally; else
// where it first differs. The label must be shown and painted; its caption
// is emptied for a moment to see its background.
std::string LiteralCaptionMismatch(forms::Label& label);

}  // namespace quill::test
