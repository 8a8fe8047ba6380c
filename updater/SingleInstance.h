// One updater at a time for each installation: a second one started while
// the first runs brings the first one's window (or its open question) to the
// front and ends. An
// updater of another program folder is not held up.
#pragma once

#include "updater/KernelHandle.h"

#include <string>

namespace quill::updater {

class SingleInstance {
public:
    // Takes the named mutex of the installation in programFolder (the same
    // folder however it is written); Acquired() is false when another
    // process holds it.
    explicit SingleInstance(const std::wstring& programFolder);
    bool Acquired() const { return acquired_; }

private:
    KernelHandle mutex_;
    bool acquired_ = false;
};

// Brings to the front the visible top-level window of another process whose
// program is the same file as this one's, or the question it has open;
// false when there is none.
bool BringOtherInstanceToFront();

}  // namespace quill::updater
