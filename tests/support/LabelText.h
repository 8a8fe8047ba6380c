#pragma once
// Whether a label shows its caption as it is, every "&" included: what the
// screen shows of it against the caption drawn literally over the label's
// own background; and where the screen shows its text.
#include "forms/Label.h"

#include <string>
#include <vector>

namespace quill::test {

// Empty when the screen shows the label's caption drawn literally; else
// where it first differs. The label must be shown and painted; its caption
// is emptied for a moment to see its background.
std::string LiteralCaptionMismatch(forms::Label& label);

// The label's rows of pixels, counted from its top, that the screen shows in
// its text colour.
std::vector<int> InkRows(forms::Label& label);

// Empty when the screen shows the label's caption on one line, cut after
// the most characters that leave room for "..." (and those three dots), or
// whole when it fits; else where it first differs. Drawn here character by
// character, not by the platform's own cutting.
std::string CutCaptionMismatch(forms::Label& label);

}  // namespace quill::test
