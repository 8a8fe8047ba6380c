// A stand-in for the archive library, built as the tests' unrar.dll: the
// "archive" it opens is a script of what to answer, and every call it gets is
// appended to the archive's name + ".log". Script lines:
//   open <result>            result of the open (0 when absent)
//   comment <text>           a comment, reported with comment state 1
//   entry <result> <size> <name>   one entry: its process result, unpacked size, name
//   end <result>             what the header read gives after the entries (10)
// An extracted entry is written at the name it is given, holding "extracted " + name.
// Its records are declared here as the library's documentation gives them,
// apart from the updater's own declaration, so that a layout of the
// updater's that differs from the library's shows (StandInRecordLayout).
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <iterator>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

#pragma pack(push, 1)
struct RAROpenArchiveData {
    char* ArcName;
    unsigned int OpenMode;
    unsigned int OpenResult;
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
};

struct RARHeaderData {
    char ArcName[260];
    char FileName[260];
    unsigned int Flags;
    unsigned int PackSize;
    unsigned int UnpSize;
    unsigned int HostOS;
    unsigned int FileCRC;
    unsigned int FileTime;
    unsigned int UnpVer;
    unsigned int Method;
    unsigned int FileAttr;
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
};
#pragma pack(pop)

struct Entry {
    int result;
    std::uint32_t size;
    std::string name;
};

struct Archive {
    std::string log;
    std::vector<Entry> entries;
    std::size_t next = 0;
    int end = 10;
};

void Log(const Archive& a, const std::string& line)
{
    std::ofstream(a.log, std::ios::app | std::ios::binary) << line << "\n";
}

}  // namespace

extern "C" {

__declspec(dllexport) HANDLE RAROpenArchive(RAROpenArchiveData* data)
{
    auto* archive = new Archive;
    archive->log = std::string(data->ArcName) + ".log";
    Log(*archive, "open mode " + std::to_string(data->OpenMode) + " comment buffer " +
                      std::to_string(data->CmtBufSize));
    std::ifstream script(data->ArcName, std::ios::binary);
    data->OpenResult = script ? 0 : 15;
    data->CmtState = 0;
    std::string line;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream in(line);
        std::string word;
        in >> word;
        if (word == "open") {
            in >> data->OpenResult;
        } else if (word == "comment") {
            std::string text = line.substr(std::min<std::size_t>(line.size(), 8));
            if (text.size() + 1 <= data->CmtBufSize) {
                std::memcpy(data->CmtBuf, text.c_str(), text.size() + 1);
                data->CmtSize = static_cast<std::uint32_t>(text.size() + 1);
                data->CmtState = 1;
            }
        } else if (word == "entry") {
            Entry e{};
            in >> e.result >> e.size;
            std::getline(in >> std::ws, e.name);
            archive->entries.push_back(e);
        } else if (word == "end") {
            in >> archive->end;
        }
    }
    if (data->OpenResult != 0) {
        Log(*archive, "refused " + std::to_string(data->OpenResult));
        delete archive;
        return nullptr;
    }
    return archive;
}

__declspec(dllexport) void RARSetPassword(HANDLE handle, char* password)
{
    Log(*static_cast<Archive*>(handle), std::string("password ") + password);
}

__declspec(dllexport) int RARReadHeader(HANDLE handle, RARHeaderData* header)
{
    auto* archive = static_cast<Archive*>(handle);
    if (archive->next >= archive->entries.size())
        return archive->end;
    const Entry& e = archive->entries[archive->next];
    std::memset(header, 0, sizeof *header);
    std::snprintf(header->FileName, sizeof header->FileName, "%s", e.name.c_str());
    header->UnpSize = e.size;
    return 0;
}

__declspec(dllexport) int RARProcessFile(HANDLE handle, int operation, char* destPath, char* destName)
{
    auto* archive = static_cast<Archive*>(handle);
    const Entry& e = archive->entries[archive->next++];
    Log(*archive, "process " + std::to_string(operation) + " [" + (destPath ? destPath : "(null)") + "] [" +
                      (destName ? destName : "(null)") + "]");
    if (operation == 2 && e.result == 0)
        std::ofstream(destName, std::ios::binary) << "extracted " << e.name;
    return e.result;
}

// The sizes of the two records and the offsets of the fields the updater
// uses or the library reads, in this order: open record size, its CmtBuf,
// CmtBufSize, CmtState; header record size, its FileName, UnpSize, CmtBuf,
// CmtState.
__declspec(dllexport) void StandInRecordLayout(std::size_t* layout)
{
    const std::size_t values[] = {sizeof(RAROpenArchiveData),
                                  offsetof(RAROpenArchiveData, CmtBuf),
                                  offsetof(RAROpenArchiveData, CmtBufSize),
                                  offsetof(RAROpenArchiveData, CmtState),
                                  sizeof(RARHeaderData),
                                  offsetof(RARHeaderData, FileName),
                                  offsetof(RARHeaderData, UnpSize),
                                  offsetof(RARHeaderData, CmtBuf),
                                  offsetof(RARHeaderData, CmtState)};
    std::copy(std::begin(values), std::end(values), layout);
}

__declspec(dllexport) int RARCloseArchive(HANDLE handle)
{
    auto* archive = static_cast<Archive*>(handle);
    Log(*archive, "close");
    delete archive;
    return 0;
}

}  // extern "C"
