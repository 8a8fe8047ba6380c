#pragma once
// The file statements the program uses, on paths in the program folder and
// elsewhere, with the platform's numbered errors (53 file not found, 58 file
// already exists, 70 permission denied, 75 path/file access error), and the
// settings file through the system's ANSI profile functions.
#include "forms/PropertyBag.h"

#include <string>

namespace quill::forms {

bool FileExists(const std::wstring& path);  // a file, not a folder
void Kill(const std::wstring& path);
// Renames or moves (the platform's Name ... As).
void Name(const std::wstring& from, const std::wstring& to);
int64_t FileLen(const std::wstring& path);
// Binary reading and writing of a whole file; writing replaces it.
Bytes ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const Bytes& bytes);

// GetPrivateProfileStringA: `buffer` is the caller's buffer, whose size is
// the size passed; the result is that buffer after the call, every byte of
// it (the value, its terminator and what the call left untouched), read in
// the ANSI code page.
std::wstring GetPrivateProfileStringA(const std::wstring& section, const std::wstring& key,
                                      const std::wstring& defaultValue, const std::wstring& buffer,
                                      const std::wstring& file);
bool WritePrivateProfileStringA(const std::wstring& section, const std::wstring& key,
                                const std::wstring& value, const std::wstring& file);

}  // namespace quill::forms
