#include "imaging/LibrarySwitches.h"

namespace quill::imaging {

namespace {
bool gdiplusDisabled = false;
}

void SetGdiplusDisabled(bool disabled)
{
    gdiplusDisabled = disabled;
}
bool GdiplusDisabled()
{
    return gdiplusDisabled;
}

}  // namespace quill::imaging
