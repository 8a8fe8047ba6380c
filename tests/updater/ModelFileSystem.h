// A disk in memory for the journal of the updater's moves: each call is
// counted, and any call can fail, or end the process there ("crash": it
// throws ModelCrash, an append or a copy leaving the part of its write it got
// to). A power cut then leaves of each file only what was flushed. Paths
// are absolute, joined by "\", letter case aside.
#pragma once

#include "updater/FileSystem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace quill::updater::testing {

struct ModelCrash {};

class ModelFileSystem final : public FileSystem {
public:
    enum class Tear { Prefix, ZerosInside };
    struct Node {
        std::wstring path;  // as first spelled
        bool folder = false;
        std::string data;     // what a reader sees
        std::string durable;  // what a power cut leaves
        std::uint64_t id = 0, lastWrite = 0, changeTime = 0;
        bool readOnly = false;
    };

    // The faults. Calls are counted from 1.
    std::uint64_t calls = 0;
    std::optional<std::uint64_t> crashAt;
    Tear tear = Tear::Prefix;
    std::size_t tearAt = 0;  // of the torn write: the bytes kept, or where the zeros begin
    // Whether a call fails (its name and first path); it then changes nothing.
    std::function<bool(std::uint64_t call, const char* name, const std::wstring& path)> fails;
    // Files another program holds: they cannot be replaced or deleted.
    std::set<std::wstring> held;

    // The tree, as the tests set it up and look at it.
    void AddFolder(const std::wstring& path);
    // A file and the folders above it; `flushed` false for one written
    // without a flush (a download), which a power cut empties.
    void AddFile(const std::wstring& path, const std::string& data, bool flushed = true);
    void Write(const std::wstring& path, const std::string& data);  // a rewrite in place, flushed
    void Hold(const std::wstring& path);
    void Release(const std::wstring& path);
    void PowerCut();
    void NoFaults();
    const Node* Find(const std::wstring& path) const;
    std::optional<std::string> Content(const std::wstring& path) const;
    // Every file below a folder: its path relative to it, its bytes, and
    // "(RO)" after them when it is read-only; folders as "path\".
    std::map<std::wstring, std::string> Tree(const std::wstring& folder) const;

    Kind KindOf(const std::wstring& path) override;
    std::optional<std::string> Read(const std::wstring& path) override;
    std::unique_ptr<AppendFile> OpenAppend(const std::wstring& path, std::optional<std::uint64_t> keep,
                                           unsigned long& error) override;
    unsigned long MakeFolder(const std::wstring& path) override;
    unsigned long RemoveFolder(const std::wstring& path) override;
    unsigned long CopyToNew(const std::wstring& from, const std::wstring& to) override;
    unsigned long Flush(const std::wstring& path) override;
    unsigned long Move(const std::wstring& from, const std::wstring& to) override;
    unsigned long Delete(const std::wstring& path) override;
    std::optional<FileIdentity> Identity(const std::wstring& path) override;
    std::optional<bool> ReadOnly(const std::wstring& path) override;
    unsigned long SetReadOnly(const std::wstring& path, bool readOnly) override;
    std::vector<Entry> List(const std::wstring& folder) override;

    // For the appender.
    unsigned long AppendTo(const std::wstring& key, std::string_view bytes);

private:
    // Counts a call: true when it fails; throws at the crash.
    bool Call(const char* name, const std::wstring& path, bool tears = false);
    std::string Torn(std::string_view bytes) const;
    Node* Get(const std::wstring& path);
    bool ParentIsFolder(const std::wstring& path) const;
    Node& Create(const std::wstring& path, bool folder);

    std::map<std::wstring, Node> nodes_;  // by path in upper case
    std::uint64_t clock_ = 1;
    std::uint64_t nextId_ = 1;
};

}  // namespace quill::updater::testing
