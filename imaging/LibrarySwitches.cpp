#include "imaging/LibrarySwitches.h"

namespace quill::imaging {

namespace {
bool gdiplusDisabled = false;
bool zlibDisabled = false;
}  // namespace

void SetGdiplusDisabled(bool disabled)
{
    gdiplusDisabled = disabled;
}
bool GdiplusDisabled()
{
    return gdiplusDisabled;
}

void SetZlibDisabled(bool disabled)
{
    zlibDisabled = disabled;
}
bool ZlibDisabled()
{
    return zlibDisabled;
}

}  // namespace quill::imaging
