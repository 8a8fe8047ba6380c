// The login window's background picture (334 x 218 pixels): a header band
// with the product's name over the light blue of the login controls, and the
// frame of the password field.
#pragma once

#include "forms/Picture.h"

namespace quill::session {

forms::Picture::Ref LoginBackground();

}  // namespace quill::session
