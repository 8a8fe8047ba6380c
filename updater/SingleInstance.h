// One updater at a time: a second one started while the first runs ends.
#pragma once

#include "updater/KernelHandle.h"

namespace quill::updater {

class SingleInstance {
public:
    // Takes the updater's named mutex; Acquired() is false when another
    // process holds it.
    SingleInstance();
    bool Acquired() const { return acquired_; }

private:
    KernelHandle mutex_;
    bool acquired_ = false;
};

}  // namespace quill::updater
