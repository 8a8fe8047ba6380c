// The per-project reply cache: the text of each project's "do=showinfo&id="
// reply under the project's id, so that reopening a project needs no request.
//
// A fixed table of 30 entries; id 0 marks a free one. Nothing is evicted:
// once every entry holds another project, further projects are not cached.
// The session's table (Session.h) is emptied at logout.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quill::session {

class RecordCache {
public:
    static constexpr int Capacity = 30;

    // The text held for id, or "".
    const std::wstring& Get(std::int32_t id) const;
    // Replaces the text of the entry holding id, else fills the first free
    // entry; with no entry free nothing is stored.
    void Put(std::int32_t id, std::wstring text);
    // Frees the first entry holding id.
    void Remove(std::int32_t id);

    bool operator==(const RecordCache&) const = default;

private:
    int Find(std::int32_t id) const;

    std::array<std::int32_t, Capacity> keys_{};
    std::array<std::wstring, Capacity> texts_;
};

// The session's cache (Session.h).
std::wstring CacheGet(std::int32_t id);
void CachePut(std::int32_t id, std::wstring text);
void CacheRemove(std::int32_t id);

}  // namespace quill::session
