#include "updater/SingleInstance.h"

namespace quill::updater {

SingleInstance::SingleInstance() : mutex_(CreateMutexW(nullptr, TRUE, L"Local\\Quillmoor.Update"))
{
    acquired_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace quill::updater
