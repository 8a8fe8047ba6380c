#include "imaging/cCdeclAdapter.h"

#include <vector>

namespace quill::imaging {

int32_t cCdeclAdapter::CallFunc(const std::string& name, std::initializer_list<intptr_t> args)
{
    if (!library_)
        throw CdeclAdapterError(DllNotLoaded, L"DLL not loaded");
    if (name != lastFunction_ || libraryChanged_) {
        FARPROC found = library_.Find(name.c_str());
        if (!found)
            throw CdeclAdapterError(FunctionNotFound,
                                    L"Failed to locate function: " + std::wstring(name.begin(), name.end()));
        function_ = found;
        libraryChanged_ = false;
        lastFunction_ = name;
    }
    if (args.size() > 5)
        throw CdeclAdapterError(TooManyParameters, L"Too many parameters");
    const std::vector<intptr_t> a(args);
    using F0 = intptr_t (*)();
    using F1 = intptr_t (*)(intptr_t);
    using F2 = intptr_t (*)(intptr_t, intptr_t);
    using F3 = intptr_t (*)(intptr_t, intptr_t, intptr_t);
    using F4 = intptr_t (*)(intptr_t, intptr_t, intptr_t, intptr_t);
    using F5 = intptr_t (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);
    void* f = reinterpret_cast<void*>(function_);
    SetLastError(0);
    intptr_t result = 0;
    switch (a.size()) {
    case 0:
        result = reinterpret_cast<F0>(f)();
        break;
    case 1:
        result = reinterpret_cast<F1>(f)(a[0]);
        break;
    case 2:
        result = reinterpret_cast<F2>(f)(a[0], a[1]);
        break;
    case 3:
        result = reinterpret_cast<F3>(f)(a[0], a[1], a[2]);
        break;
    case 4:
        result = reinterpret_cast<F4>(f)(a[0], a[1], a[2], a[3]);
        break;
    default:
        result = reinterpret_cast<F5>(f)(a[0], a[1], a[2], a[3], a[4]);
        break;
    }
    lastError_ = GetLastError();
    return static_cast<int32_t>(result);
}

bool cCdeclAdapter::DllLoad(const std::wstring& name)
{
    LibraryHandle loaded(name.c_str());
    if (!loaded)
        return false;
    library_ = std::move(loaded);
    libraryChanged_ = true;
    return true;
}

bool cCdeclAdapter::DllUnload()
{
    function_ = nullptr;
    return library_.Reset();
}

}  // namespace quill::imaging
