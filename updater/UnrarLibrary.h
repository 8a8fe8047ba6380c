// The archive library, loaded from the program folder the first time the
// archive routine needs it and kept until its owner ends.
#pragma once

#include "updater/KernelHandle.h"
#include "updater/UnrarRecords.h"

#include <string>

namespace quill::updater {

class UnrarLibrary {
public:
    explicit UnrarLibrary(std::wstring programFolder) : programFolder_(std::move(programFolder)) {}

    // The entry points of programFolder\unrar.dll, loaded by the first call;
    // no other folder is searched. A library that is missing or lacks an
    // entry point raises a run-time error (53 or 453) saying so, and the next
    // call tries again.
    const UnrarEntryPoints& EntryPoints();
    bool Loaded() const { return static_cast<bool>(module_); }

private:
    std::wstring programFolder_;
    LibraryHandle module_;
    UnrarEntryPoints entryPoints_{};
};

}  // namespace quill::updater
