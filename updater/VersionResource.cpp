#include "updater/VersionResource.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace quill::updater {

std::optional<VersionWords> ReadFileVersionWords(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size < 1)
        return std::nullopt;
    std::vector<std::uint8_t> resource(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, resource.data()))
        return std::nullopt;
    void* root = nullptr;
    UINT rootSize = 0;
    if (!VerQueryValueW(resource.data(), L"\\", &root, &rootSize) || root == nullptr)
        return std::nullopt;
    const auto* first = static_cast<const std::uint8_t*>(root);
    const auto* end = resource.data() + resource.size();
    // The root block's length comes from the file; it is read only inside the buffer.
    if (first < resource.data() || first > end)
        return std::nullopt;
    const std::size_t available = std::min<std::size_t>(rootSize, static_cast<std::size_t>(end - first));
    return ReadFixedFileInfo(std::span<const std::uint8_t>(first, available));
}

}  // namespace quill::updater
