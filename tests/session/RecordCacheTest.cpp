// The reply cache: 30 fixed entries, id 0 free, nothing evicted.
#include "session/RecordCache.h"
#include "session/Session.h"

#include <gtest/gtest.h>

#include <string>

namespace quill::session {
namespace {

std::wstring TextOf(int id)
{
    return L"record " + std::to_wstring(id);
}

// Fills every entry with the ids 1 to 30.
void FillAll(RecordCache& cache)
{
    for (int id = 1; id <= RecordCache::Capacity; ++id)
        cache.Put(id, TextOf(id));
}

TEST(RecordCache, GivesWhatWasPutAndNothingForOtherIds)
{
    RecordCache cache;
    cache.Put(42, L"a,b|");
    EXPECT_EQ(cache.Get(42), L"a,b|");
    EXPECT_EQ(cache.Get(43), L"");
    EXPECT_EQ(cache.Get(-42), L"");
}

TEST(RecordCache, PutOfAnIdInTheLastEntryReplacesItWithoutASecondCopy)
{
    RecordCache cache;
    FillAll(cache);
    cache.Put(30, L"newer");
    EXPECT_EQ(cache.Get(30), L"newer");
    cache.Remove(30);
    EXPECT_EQ(cache.Get(30), L"");
    // The freed entry takes a new id, so no hidden copy of 30 was left behind.
    cache.Put(31, TextOf(31));
    EXPECT_EQ(cache.Get(31), TextOf(31));
    EXPECT_EQ(cache.Get(30), L"");
}

TEST(RecordCache, AFullTableStoresNothingUntilAnEntryIsFreed)
{
    RecordCache cache;
    FillAll(cache);
    cache.Put(31, TextOf(31));
    EXPECT_EQ(cache.Get(31), L"");
    for (int id = 1; id <= 30; ++id)
        EXPECT_EQ(cache.Get(id), TextOf(id)) << id;

    // Freeing two entries: the next new id takes the lower one.
    cache.Remove(20);
    cache.Remove(5);
    cache.Put(31, TextOf(31));
    cache.Put(32, TextOf(32));
    EXPECT_EQ(cache.Get(31), TextOf(31));
    EXPECT_EQ(cache.Get(32), TextOf(32));
    cache.Put(33, TextOf(33));
    EXPECT_EQ(cache.Get(33), L"");
}

TEST(RecordCache, ARemovedIdIsGoneEvenAfterTwoPuts)
{
    RecordCache cache;
    cache.Put(7, L"first");
    cache.Put(7, L"second");
    EXPECT_EQ(cache.Get(7), L"second");
    cache.Remove(7);
    EXPECT_EQ(cache.Get(7), L"");
}

TEST(RecordCache, RemovingAnAbsentIdChangesNothing)
{
    RecordCache cache;
    cache.Put(1, L"one");
    cache.Remove(2);
    EXPECT_EQ(cache.Get(1), L"one");
}

TEST(RecordCache, TheSessionCacheOutlivesItsCallers)
{
    CachePut(-77, L"kept");
    EXPECT_EQ(CacheGet(-77), L"kept");
    EXPECT_EQ(CurrentSession().RecordCache.Get(-77), L"kept");
    CacheRemove(-77);
    EXPECT_EQ(CacheGet(-77), L"");
}

}  // namespace
}  // namespace quill::session
