#pragma once
// The program's embedded resources: bytes of a CUSTOM resource by number,
// and pictures from icon and bitmap resources.
#include "forms/Picture.h"
#include "forms/PropertyBag.h"

namespace quill::forms {

enum : int16_t { vbResBitmap = 0, vbResIcon = 1, vbResCursor = 2 };

// The bytes of resource `id` of the type (CUSTOM by default); error 326
// when there is no such resource, as the platform raises.
Bytes LoadResData(int id, const wchar_t* type = L"CUSTOM");
Picture::Ref LoadResPicture(int id, int16_t type);

}  // namespace quill::forms
