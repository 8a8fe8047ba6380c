// The picture at the wizard's left edge.
#pragma once

#include "forms/Picture.h"

namespace quill::updater {

// A width x height picture: a blue band fading downwards, the program's icon
// near its top and the product's name below it.
forms::Picture::Ref WizardPicture(int width, int height);

}  // namespace quill::updater
