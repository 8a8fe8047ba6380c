// The C-convention call adapter on x86-64: typed calls through the export's
// address, with the 32-bit design's members and errors.
#include "imaging/cCdeclAdapter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quill::imaging {
namespace {

template <class F>
void ExpectError(F f, int32_t number, const std::wstring& description)
{
    try {
        f();
        ADD_FAILURE() << "no error";
    } catch (const CdeclAdapterError& e) {
        EXPECT_EQ(e.Number(), number);
        EXPECT_EQ(e.Description(), description);
        EXPECT_STREQ(e.Source(), L"cCdeclAdapter");
    }
}

TEST(cCdeclAdapter, Errors)
{
    cCdeclAdapter adapter;
    ExpectError([&] { adapter.CallFunc("crc32", {0, 0, 0}); }, -2147221504, L"DLL not loaded");
    ASSERT_TRUE(adapter.DllLoad(L"zlib1.dll"));
    ExpectError([&] { adapter.CallFunc("NoSuchFunction"); }, -2147221503,
                L"Failed to locate function: NoSuchFunction");
    ExpectError([&] { adapter.CallFunc("crc32", {1, 2, 3, 4, 5, 6}); }, -2147221502, L"Too many parameters");
    EXPECT_TRUE(adapter.DllUnload());
    EXPECT_FALSE(adapter.DllUnload());
    ExpectError([&] { adapter.CallFunc("crc32", {0, 0, 0}); }, -2147221504, L"DLL not loaded");
    EXPECT_FALSE(adapter.DllLoad(L"no-such-library.dll"));
}

TEST(cCdeclAdapter, CallsZlibsCrc32)
{
    cCdeclAdapter adapter;
    ASSERT_TRUE(adapter.DllLoad(L"zlib1.dll"));
    const char text[] = "123456789";
    // The standard check value of CRC-32.
    EXPECT_EQ(static_cast<uint32_t>(adapter.CallFunc(
                  "crc32", {0, reinterpret_cast<intptr_t>(text), static_cast<intptr_t>(std::strlen(text))})),
              0xCBF43926u);
    // Again, on the remembered function, and chained.
    uint32_t part =
        static_cast<uint32_t>(adapter.CallFunc("crc32", {0, reinterpret_cast<intptr_t>(text), 4}));
    EXPECT_EQ(
        static_cast<uint32_t>(adapter.CallFunc("crc32", {part, reinterpret_cast<intptr_t>(text + 4), 5})),
        0xCBF43926u);
    // No arguments, and five.
    EXPECT_NE(adapter.CallFunc("zlibVersion"), 0);
    EXPECT_EQ(adapter.CallFunc("adler32", {1, 0, 0, 0, 0}), 1);
}

TEST(cCdeclAdapter, LoadingALibraryForcesANewLookup)
{
    cCdeclAdapter adapter;
    ASSERT_TRUE(adapter.DllLoad(L"zlib1.dll"));
    EXPECT_EQ(adapter.CallFunc("crc32", {0, 0, 0}), 0);
    // kernel32 has no crc32: the next call looks the name up afresh.
    ASSERT_TRUE(adapter.DllLoad(L"kernel32.dll"));
    EXPECT_THROW(adapter.CallFunc("crc32", {0, 0, 0}), CdeclAdapterError);
}

TEST(cCdeclAdapter, LastErrorIsWhatTheFunctionLeft)
{
    cCdeclAdapter adapter;
    ASSERT_TRUE(adapter.DllLoad(L"kernel32.dll"));
    SetLastError(77);
    adapter.CallFunc("GetCurrentProcessId");
    EXPECT_EQ(adapter.LastError(), 0u);  // cleared before the call
    adapter.CallFunc("SetLastError", {1234});
    EXPECT_EQ(adapter.LastError(), 1234u);
    EXPECT_EQ(adapter.zCallStub(0), 0);
    int (*own)(int) = [](int v) { return v + 1; };
    EXPECT_EQ(adapter.WrapCallback(reinterpret_cast<void*>(own), 1), reinterpret_cast<void*>(own));
}

}  // namespace
}  // namespace quill::imaging
