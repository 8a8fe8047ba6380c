// The archive library's published interface as the updater calls it: its two
// records, packed to the byte as the library packs them, its codes and its
// five entry points.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill::updater {

#pragma pack(push, 1)
struct RAROpenArchiveData {
    char* ArcName;
    std::uint32_t OpenMode;
    std::uint32_t OpenResult;
    char* CmtBuf;
    std::uint32_t CmtBufSize;
    std::uint32_t CmtSize;
    std::uint32_t CmtState;
};

struct RARHeaderData {
    char ArcName[260];
    char FileName[260];
    std::uint32_t Flags;
    std::uint32_t PackSize;
    std::uint32_t UnpSize;
    std::uint32_t HostOS;
    std::uint32_t FileCRC;
    std::uint32_t FileTime;
    std::uint32_t UnpVer;
    std::uint32_t Method;
    std::uint32_t FileAttr;
    char* CmtBuf;
    std::uint32_t CmtBufSize;
    std::uint32_t CmtSize;
    std::uint32_t CmtState;
};

#pragma pack(pop)

// The library's documented x86-64 layout: no padding anywhere.
static_assert(sizeof(void*) != 8 || sizeof(RAROpenArchiveData) == 36, "the library's 64-bit open record");
static_assert(sizeof(void*) != 8 || offsetof(RAROpenArchiveData, CmtBuf) == 16, "the open record's comment");
static_assert(sizeof(void*) != 8 || offsetof(RAROpenArchiveData, CmtState) == 32, "the open record's state");
static_assert(sizeof(void*) != 8 || sizeof(RARHeaderData) == 576, "the library's 64-bit header record");
static_assert(offsetof(RARHeaderData, UnpSize) == 528, "the header's unpacked size");
static_assert(sizeof(void*) != 8 || offsetof(RARHeaderData, CmtBuf) == 556, "the header's comment buffer");
static_assert(sizeof(void*) != 8 || offsetof(RARHeaderData, CmtState) == 572, "the header's comment state");

enum RarResult : int {
    ERAR_END_ARCHIVE = 10,
    ERAR_NO_MEMORY = 11,
    ERAR_BAD_DATA = 12,
    ERAR_BAD_ARCHIVE = 13,
    ERAR_UNKNOWN_FORMAT = 14,
    ERAR_EOPEN = 15,
    ERAR_ECREATE = 16,
    ERAR_ECLOSE = 17,
    ERAR_EREAD = 18,
    ERAR_EWRITE = 19,
};
enum RarOpenMode : std::uint32_t { RAR_OM_LIST = 0, RAR_OM_EXTRACT = 1 };
enum RarOperation : int { RAR_SKIP = 0, RAR_TEST = 1, RAR_EXTRACT = 2 };

// The library's file name, and the entry points looked up in it.
inline constexpr wchar_t UnrarLibraryName[] = L"unrar.dll";
struct UnrarEntryPoints {
    void* (*RAROpenArchive)(RAROpenArchiveData* archiveData);
    void (*RARSetPassword)(void* archive, char* password);
    int (*RARReadHeader)(void* archive, RARHeaderData* headerData);
    int (*RARProcessFile)(void* archive, int operation, char* destPath, char* destName);
    int (*RARCloseArchive)(void* archive);
};

}  // namespace quill::updater
