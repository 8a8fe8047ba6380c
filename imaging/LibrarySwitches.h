#pragma once
// Switches that make an outside library count as unusable for the image
// library, so that its own paths run on systems that have the library too
// (tests run with each switch in both positions). A switch is read when an
// image probes its capabilities and on every use of the library.
namespace quill::imaging {

// True: GDI+ counts as missing (isGDIplusOk is False, nothing loads or draws
// through it). Off by default.
void SetGdiplusDisabled(bool disabled);
bool GdiplusDisabled();

}  // namespace quill::imaging
