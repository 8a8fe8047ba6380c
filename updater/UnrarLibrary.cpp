#include "updater/UnrarLibrary.h"

#include "forms/lang/Error.h"

#include <cstring>

namespace quill::updater {
namespace {

constexpr int DllEntryPointNotFound = 453;

template <class F>
void Bind(HMODULE module, const char* name, F& entry)
{
    FARPROC address = GetProcAddress(module, name);
    if (!address) {
        std::wstring wide(name, name + strlen(name));
        throw forms::RuntimeError(DllEntryPointNotFound, L"找不到 DLL 入口点 " + wide + L" (unrar.dll)");
    }
    entry = reinterpret_cast<F>(address);
}

}  // namespace

const UnrarEntryPoints& UnrarLibrary::EntryPoints()
{
    if (module_)
        return entryPoints_;
    const std::wstring path = programFolder_ + L"\\" + UnrarLibraryName;
    LibraryHandle module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module)
        throw forms::RuntimeError(forms::kFileNotFound, L"文件未找到: unrar.dll");
    UnrarEntryPoints bound{};
    Bind(module.Get(), "RAROpenArchive", bound.RAROpenArchive);
    Bind(module.Get(), "RARSetPassword", bound.RARSetPassword);
    Bind(module.Get(), "RARReadHeader", bound.RARReadHeader);
    Bind(module.Get(), "RARProcessFile", bound.RARProcessFile);
    Bind(module.Get(), "RARCloseArchive", bound.RARCloseArchive);
    entryPoints_ = bound;
    module_ = std::move(module);
    return entryPoints_;
}

}  // namespace quill::updater
