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

// True: no zlib library is found (ProbeZlib and isZlibEnabled are False,
// PNG chunk CRCs are not checked and only the own inflater runs). Off by
// default.
void SetZlibDisabled(bool disabled);
bool ZlibDisabled();

}  // namespace quill::imaging
