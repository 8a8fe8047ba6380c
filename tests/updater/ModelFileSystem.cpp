#include "ModelFileSystem.h"

#include <algorithm>
#include <vector>

namespace quill::updater::testing {
namespace {

constexpr unsigned long NotFound = 2;
constexpr unsigned long AccessDenied = 5;
constexpr unsigned long InUse = 32;
constexpr unsigned long Exists = 183;
constexpr unsigned long NotEmpty = 145;

std::wstring Key(const std::wstring& path)
{
    std::wstring key = path;
    for (wchar_t& c : key)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return key;
}

std::wstring ParentOf(const std::wstring& path)
{
    const std::size_t sep = path.rfind(L'\\');
    return sep == std::wstring::npos ? L"" : path.substr(0, sep);
}

bool IsBelow(const std::wstring& key, const std::wstring& folderKey)
{
    return key.size() > folderKey.size() && key[folderKey.size()] == L'\\' && key.starts_with(folderKey);
}

class ModelAppendFile final : public AppendFile {
public:
    ModelAppendFile(ModelFileSystem& fs, std::wstring path) : fs_(fs), path_(std::move(path)) {}
    unsigned long Append(std::string_view bytes) override { return fs_.AppendTo(path_, bytes); }

private:
    ModelFileSystem& fs_;
    std::wstring path_;
};

}  // namespace

bool ModelFileSystem::Call(const char* name, const std::wstring& path, bool tears)
{
    ++calls;
    if (crashAt && calls == *crashAt && !tears)
        throw ModelCrash{};
    return fails && fails(calls, name, path);
}

std::string ModelFileSystem::Torn(std::string_view bytes) const
{
    std::string torn(bytes);
    if (tear == Tear::Prefix) {
        torn.resize(std::min(tearAt, bytes.size()));
    } else {
        for (std::size_t i = std::min(tearAt, torn.size()); i + 1 < torn.size(); ++i)
            torn[i] = '\0';
    }
    return torn;
}

ModelFileSystem::Node* ModelFileSystem::Get(const std::wstring& path)
{
    const auto it = nodes_.find(Key(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

const ModelFileSystem::Node* ModelFileSystem::Find(const std::wstring& path) const
{
    const auto it = nodes_.find(Key(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

bool ModelFileSystem::ParentIsFolder(const std::wstring& path) const
{
    const std::wstring parent = ParentOf(path);
    if (parent.empty() || parent.size() == 2)  // a drive
        return true;
    const Node* n = Find(parent);
    return n && n->folder;
}

ModelFileSystem::Node& ModelFileSystem::Create(const std::wstring& path, bool folder)
{
    Node& n = nodes_[Key(path)];
    n = Node{};
    n.path = path;
    n.folder = folder;
    n.id = nextId_++;
    n.lastWrite = n.changeTime = clock_++;
    return n;
}

void ModelFileSystem::AddFolder(const std::wstring& path)
{
    const std::wstring parent = ParentOf(path);
    if (parent.size() > 2 && !Find(parent))
        AddFolder(parent);
    if (!Find(path))
        Create(path, true);
}

void ModelFileSystem::AddFile(const std::wstring& path, const std::string& data, bool flushed)
{
    AddFolder(ParentOf(path));
    Node& n = Create(path, false);
    n.data = data;
    n.durable = flushed ? data : std::string();
}

void ModelFileSystem::Write(const std::wstring& path, const std::string& data)
{
    Node* n = Get(path);
    if (!n) {
        AddFile(path, data);
        return;
    }
    n->data = n->durable = data;
    n->lastWrite = n->changeTime = clock_++;
}

void ModelFileSystem::Hold(const std::wstring& path)
{
    held.insert(Key(path));
}

void ModelFileSystem::Release(const std::wstring& path)
{
    held.erase(Key(path));
}

void ModelFileSystem::PowerCut()
{
    for (auto& [key, n] : nodes_)
        n.data = n.durable;
}

void ModelFileSystem::NoFaults()
{
    crashAt.reset();
    fails = nullptr;
}

std::optional<std::string> ModelFileSystem::Content(const std::wstring& path) const
{
    const Node* n = Find(path);
    if (!n || n->folder)
        return std::nullopt;
    return n->data;
}

std::map<std::wstring, std::string> ModelFileSystem::Tree(const std::wstring& folder) const
{
    std::map<std::wstring, std::string> tree;
    const std::wstring key = Key(folder);
    for (const auto& [k, n] : nodes_) {
        if (!IsBelow(k, key))
            continue;
        const std::wstring relative = n.path.substr(folder.size() + 1);
        if (n.folder)
            tree[relative + L"\\"] = "";
        else
            tree[relative] = n.data + (n.readOnly ? "(RO)" : "");
    }
    return tree;
}

FileSystem::Kind ModelFileSystem::KindOf(const std::wstring& path)
{
    Call("KindOf", path);
    const Node* n = Find(path);
    return !n ? Kind::None : n->folder ? Kind::Folder : Kind::File;
}

std::optional<std::string> ModelFileSystem::Read(const std::wstring& path)
{
    if (Call("Read", path))
        return std::nullopt;
    return Content(path);
}

std::unique_ptr<AppendFile> ModelFileSystem::OpenAppend(const std::wstring& path, std::optional<std::uint64_t> keep,
                                                        unsigned long& error)
{
    if (Call("OpenAppend", path)) {
        error = AccessDenied;
        return nullptr;
    }
    Node* n = Get(path);
    if (keep) {
        if (!n || n->folder) {
            error = NotFound;
            return nullptr;
        }
        n->data.resize(std::min<std::size_t>(*keep, n->data.size()));
        n->durable = n->data;
        n->lastWrite = n->changeTime = clock_++;
    } else {
        if (n || !ParentIsFolder(path)) {
            error = n ? Exists : NotFound;
            return nullptr;
        }
        Create(path, false);
    }
    return std::make_unique<ModelAppendFile>(*this, path);
}

unsigned long ModelFileSystem::AppendTo(const std::wstring& path, std::string_view bytes)
{
    const bool crash = crashAt && calls + 1 == *crashAt;
    if (Call("Append", path, true))
        return AccessDenied;
    Node* n = Get(path);
    if (!n || n->folder)
        return NotFound;
    n->lastWrite = n->changeTime = clock_++;
    if (crash) {
        n->data += Torn(bytes);
        n->durable = n->data;
        throw ModelCrash{};
    }
    n->data += bytes;
    n->durable = n->data;
    return 0;
}

unsigned long ModelFileSystem::MakeFolder(const std::wstring& path)
{
    if (Call("MakeFolder", path))
        return AccessDenied;
    if (Find(path))
        return Exists;
    if (!ParentIsFolder(path))
        return NotFound;
    Create(path, true);
    return 0;
}

unsigned long ModelFileSystem::RemoveFolder(const std::wstring& path)
{
    if (Call("RemoveFolder", path))
        return AccessDenied;
    const Node* n = Find(path);
    if (!n || !n->folder)
        return NotFound;
    const std::wstring key = Key(path);
    for (const auto& [k, other] : nodes_)
        if (IsBelow(k, key))
            return NotEmpty;
    nodes_.erase(key);
    return 0;
}

unsigned long ModelFileSystem::CopyToNew(const std::wstring& from, const std::wstring& to)
{
    const bool crash = crashAt && calls + 1 == *crashAt;
    if (Call("CopyToNew", from, true))
        return AccessDenied;
    const Node* source = Find(from);
    if (!source || source->folder)
        return NotFound;
    if (Find(to))
        return Exists;
    if (!ParentIsFolder(to))
        return NotFound;
    const std::string data = source->data;
    Node& copy = Create(to, false);
    if (crash) {
        copy.data = Torn(data);  // written in part, flushed not at all
        throw ModelCrash{};
    }
    copy.data = copy.durable = data;
    return 0;
}

unsigned long ModelFileSystem::Flush(const std::wstring& path)
{
    if (Call("Flush", path))
        return AccessDenied;
    Node* n = Get(path);
    if (!n || n->folder)
        return NotFound;
    n->durable = n->data;
    return 0;
}

unsigned long ModelFileSystem::Move(const std::wstring& from, const std::wstring& to)
{
    if (Call("Move", from))
        return AccessDenied;
    Node* source = Get(from);
    if (!source)
        return NotFound;
    const std::wstring fromKey = Key(from), toKey = Key(to);
    if (fromKey == toKey)
        return 0;
    if (!ParentIsFolder(to))
        return NotFound;
    if (held.contains(fromKey) || held.contains(toKey))
        return InUse;
    if (Node* target = Get(to)) {
        if (source->folder || target->folder || target->readOnly)
            return AccessDenied;
    }
    if (source->folder) {
        std::vector<std::pair<std::wstring, Node>> moved;
        for (auto it = nodes_.begin(); it != nodes_.end();) {
            if (it->first == fromKey || IsBelow(it->first, fromKey)) {
                Node n = it->second;
                n.path = to + n.path.substr(from.size());
                moved.emplace_back(toKey + it->first.substr(fromKey.size()), std::move(n));
                it = nodes_.erase(it);
            } else {
                ++it;
            }
        }
        for (auto& [k, n] : moved)
            nodes_[k] = std::move(n);
        return 0;
    }
    Node n = *source;
    nodes_.erase(fromKey);
    n.path = to;
    n.changeTime = clock_++;
    nodes_[toKey] = std::move(n);
    return 0;
}

unsigned long ModelFileSystem::Delete(const std::wstring& path)
{
    if (Call("Delete", path))
        return AccessDenied;
    const Node* n = Find(path);
    if (!n || n->folder)
        return NotFound;
    if (held.contains(Key(path)))
        return InUse;
    if (n->readOnly)
        return AccessDenied;
    nodes_.erase(Key(path));
    return 0;
}

std::optional<FileIdentity> ModelFileSystem::Identity(const std::wstring& path)
{
    if (Call("Identity", path))
        return std::nullopt;
    const Node* n = Find(path);
    if (!n || n->folder)
        return std::nullopt;
    return FileIdentity{n->data.size(), n->lastWrite, n->changeTime, 1, n->id, 0};
}

std::optional<bool> ModelFileSystem::ReadOnly(const std::wstring& path)
{
    if (Call("ReadOnly", path))
        return std::nullopt;
    const Node* n = Find(path);
    if (!n)
        return std::nullopt;
    return n->readOnly;
}

unsigned long ModelFileSystem::SetReadOnly(const std::wstring& path, bool readOnly)
{
    if (Call("SetReadOnly", path))
        return AccessDenied;
    Node* n = Get(path);
    if (!n)
        return NotFound;
    if (n->readOnly != readOnly) {
        n->readOnly = readOnly;
        n->changeTime = clock_++;
    }
    return 0;
}

std::vector<FileSystem::Entry> ModelFileSystem::List(const std::wstring& folder)
{
    Call("List", folder);
    std::vector<Entry> entries;
    const std::wstring key = Key(folder);
    for (const auto& [k, n] : nodes_)
        if (IsBelow(k, key) && k.find(L'\\', key.size() + 1) == std::wstring::npos)
            entries.push_back({n.path.substr(n.path.rfind(L'\\') + 1), n.folder});
    return entries;
}

}  // namespace quill::updater::testing
