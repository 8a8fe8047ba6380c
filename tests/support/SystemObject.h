#pragma once
// The system's own automation object for a ProgID, whatever stand-in is
// registered for it: what a test's stand-in hands out when it lets a
// creation through.
#include "forms/Automation.h"
#include "forms/lang/Error.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace quill::test {

inline forms::ObjectRef SystemObject(const std::wstring& progId)
{
    CLSID clsid;
    IDispatch* dispatch = nullptr;
    if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&dispatch))))
        throw forms::RuntimeError(forms::kClassNotAvailable);
    forms::ObjectRef object = forms::WrapDispatch(dispatch);
    dispatch->Release();
    return object;
}

}  // namespace quill::test
