// What the journal of an update's moves needs of a file system: the calls
// it makes, so that the same logic runs on the system's files and on a model
// of a disk in the tests. Paths are absolute, their parts joined by "\".
// A call that fails returns the system's error (never 0).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::updater {

// What tells a file from another copy of the same bytes. A move (a rename)
// keeps all of it but the change time; a rewrite changes the last-write and
// change times, a new copy has another id. Fields the platform does not give
// are 0.
struct FileIdentity {
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;   // in the platform's ticks
    std::uint64_t changeTime = 0;  // the last change of data or attributes
    std::uint64_t volume = 0;
    std::uint64_t idLow = 0;
    std::uint64_t idHigh = 0;

    bool operator==(const FileIdentity&) const = default;
};

// A file written one record at a time, each on the disk when the call
// returns.
class AppendFile {
public:
    virtual ~AppendFile() = default;
    // Writes the bytes at the end and flushes them. On failure the file is
    // cut back to where it ended before, or takes no more records.
    virtual unsigned long Append(std::string_view bytes) = 0;
};

class FileSystem {
public:
    enum class Kind { None, File, Folder };
    struct Entry {
        std::wstring name;
        bool folder = false;
    };

    virtual ~FileSystem() = default;

    virtual Kind KindOf(const std::wstring& path) = 0;
    // The whole file.
    virtual std::optional<std::string> Read(const std::wstring& path) = 0;
    // A new file (none may exist there), or, with `keep`, an existing one cut
    // to its first `*keep` bytes, to append records to.
    virtual std::unique_ptr<AppendFile> OpenAppend(const std::wstring& path, std::optional<std::uint64_t> keep,
                                                   unsigned long& error) = 0;
    // A new folder; its parent exists.
    virtual unsigned long MakeFolder(const std::wstring& path) = 0;
    // An empty folder.
    virtual unsigned long RemoveFolder(const std::wstring& path) = 0;
    // A new file `to` with the bytes of `from`, on the disk when the call
    // returns; not read-only whatever `from` is.
    virtual unsigned long CopyToNew(const std::wstring& from, const std::wstring& to) = 0;
    // Puts what was written to the file on the disk.
    virtual unsigned long Flush(const std::wstring& path) = 0;
    // Renames a file over whatever file `to` is (not a read-only one), on the
    // disk when the call returns.
    virtual unsigned long Move(const std::wstring& from, const std::wstring& to) = 0;
    // Deletes a file that is not read-only.
    virtual unsigned long Delete(const std::wstring& path) = 0;
    virtual std::optional<FileIdentity> Identity(const std::wstring& path) = 0;
    virtual std::optional<bool> ReadOnly(const std::wstring& path) = 0;
    virtual unsigned long SetReadOnly(const std::wstring& path, bool readOnly) = 0;
    // What a folder holds, "." and ".." aside.
    virtual std::vector<Entry> List(const std::wstring& folder) = 0;
};

}  // namespace quill::updater
