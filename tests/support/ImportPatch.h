#pragma once
// Points this program's import of one system function at a replacement while
// the object lives: a failure the system gives only rarely (a refused bitmap,
// a refused window procedure) on demand, for the code that must survive it.
#include <windows.h>

#include <cstring>

namespace quill::test {

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* nt =
            reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name;
             ++imp) {
            if (_stricmp(reinterpret_cast<char*>(base + imp->Name), dll) != 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                    slot_ = reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
        if (slot_) {
            original_ = *slot_;
            Write(replacement);
        }
    }
    ~ImportPatch()
    {
        if (slot_)
            Write(original_);
    }
    bool Patched() const { return slot_ != nullptr; }

private:
    void Write(void* value)
    {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old);
        *slot_ = value;
        VirtualProtect(slot_, sizeof(void*), old, &old);
    }
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace quill::test
