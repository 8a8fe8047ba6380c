#pragma once
// Calls functions of a dynamic library that follow the C calling convention.
// On x86-64 there is one convention, so no machine-code stub is made: the
// function is called through a typed pointer with the same members and the
// same errors.
#include "imaging/modParsersPlatform.h"

#include "forms/lang/Error.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace quill::imaging {

// An error raised by the adapter; Source() names the adapter.
class CdeclAdapterError : public forms::RuntimeError {
public:
    using forms::RuntimeError::RuntimeError;
    const wchar_t* Source() const { return L"cCdeclAdapter"; }
};

class cCdeclAdapter {
public:
    // The object error base (hexadecimal 80040000) and the adapter's errors.
    static constexpr int32_t ErrorBase = static_cast<int32_t>(0x80040000u);
    static constexpr int32_t DllNotLoaded = ErrorBase + 0;
    static constexpr int32_t FunctionNotFound = ErrorBase + 1;
    static constexpr int32_t TooManyParameters = ErrorBase + 2;

    cCdeclAdapter() = default;
    // Frees the library it holds.
    ~cCdeclAdapter() = default;
    cCdeclAdapter(const cCdeclAdapter&) = delete;
    cCdeclAdapter& operator=(const cCdeclAdapter&) = delete;

    // The call stub's entry of the 32-bit design; never called to do work.
    int32_t zCallStub(intptr_t parameterBlock) { return 0; }
    // Up to five arguments, pointer-sized (an address fits one on x86-64);
    // the function's 32-bit result. Raises DllNotLoaded, FunctionNotFound and
    // TooManyParameters.
    int32_t CallFunc(const std::string& FunctionName, std::initializer_list<intptr_t> args = {});
    // Loads the library from the program's or the system's folder; a library
    // held before is freed once the new one is loaded.
    bool DllLoad(const std::wstring& LibName);
    bool DllUnload();
    uint32_t LastError() const { return lastError_; }
    // A function of the program can be handed to C code as it is on x86-64.
    void* WrapCallback(void* FunctionAddress, int ParameterCount) { return FunctionAddress; }

private:
    uint32_t lastError_ = 0;
    bool libraryChanged_ = false;
    LibraryHandle library_;
    FARPROC function_ = nullptr;
    std::string lastFunction_;
};

}  // namespace quill::imaging
