#pragma once
// A whole file's bytes as they are now, also while another handle still
// writes to it (a service's log, a redirected standard error). The one file
// reader of the tests, natively and under Wine.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fstream>
#include <iterator>
#endif

namespace quill::test {

// Empty when the file cannot be opened.
inline std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::string out;
#ifdef _WIN32
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
        out.append(buf, n);
    CloseHandle(h);
#else
    std::ifstream in(path, std::ios::binary);
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
#endif
    return out;
}

inline std::vector<uint8_t> ReadWholeFileBytes(const std::filesystem::path& path)
{
    const std::string bytes = ReadWholeFile(path);
    return {bytes.begin(), bytes.end()};
}

}  // namespace quill::test
