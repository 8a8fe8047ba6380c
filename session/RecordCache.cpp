#include "session/RecordCache.h"
#include "session/Session.h"

#include <utility>

namespace quill::session {

namespace {
const std::wstring kNothing;
}

int RecordCache::Find(std::int32_t id) const
{
    for (int i = 0; i < Capacity; ++i)
        if (keys_[i] == id)
            return i;
    return -1;
}

const std::wstring& RecordCache::Get(std::int32_t id) const
{
    const int at = Find(id);
    return at < 0 ? kNothing : texts_[at];
}

void RecordCache::Put(std::int32_t id, std::wstring text)
{
    int at = Find(id);
    if (at < 0)
        at = Find(0);
    if (at < 0)
        return;
    keys_[at] = id;
    texts_[at] = std::move(text);
}

void RecordCache::Remove(std::int32_t id)
{
    const int at = Find(id);
    if (at < 0)
        return;
    keys_[at] = 0;
    texts_[at].clear();
}

std::wstring CacheGet(std::int32_t id)
{
    return CurrentSession().RecordCache.Get(id);
}

void CachePut(std::int32_t id, std::wstring text)
{
    CurrentSession().RecordCache.Put(id, std::move(text));
}

void CacheRemove(std::int32_t id)
{
    CurrentSession().RecordCache.Remove(id);
}

}  // namespace quill::session
