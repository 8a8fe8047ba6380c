// The password digest: RFC 1321 vectors, and which bytes of a text enter it.
#include "session/Md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#ifdef QUILL_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

namespace quill::session {
namespace {

TEST(Md5, Rfc1321TestSuite)
{
    const struct {
        const wchar_t* text;
        const wchar_t* digest;
    } cases[] = {
        {L"", L"d41d8cd98f00b204e9800998ecf8427e"},
        {L"a", L"0cc175b9c0f1b6a831c399e269772661"},
        {L"abc", L"900150983cd24fb0d6963f7d28e17f72"},
        {L"message digest", L"f96b697d7cb7938d525a2f31aaf161d0"},
        {L"abcdefghijklmnopqrstuvwxyz", L"c3fcd3d76192e4007dfb496cca67e13b"},
        {L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         L"d174ab98d277d9f5a5611c2c9f419d9f"},
        {L"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         L"57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MD5Hex(c.text, 32, false), c.digest) << c.text;
}

TEST(Md5, OneAndTwoBlocksOfPadding)
{
    EXPECT_EQ(MD5Hex(std::wstring(55, L'a'), 32, false), L"ef1772b6dff9a122358552954ad0df65");
    EXPECT_EQ(MD5Hex(std::wstring(56, L'a'), 32, false), L"3b0c8ac703f828b04c6c197006d17218");
    EXPECT_EQ(MD5Hex(std::wstring(64, L'a'), 32, false), L"014842d480b571495a4a0363793f7367");
}

TEST(Md5, CodePageBytesEnterTheDigest)
{
    const struct {
        std::wstring text;
        std::string bytes;
        const wchar_t* digest;
    } cases[] = {
        {L"\u8BB0\u8D26", "\xBC\xC7\xD5\xCB", L"13aa3acae8dda93984459571566f8b46"},  // 记账: its GBK bytes
        {L"Ab1", "Ab1", L"c99f1621ddb8d08a4cac6ee4b6989349"},
        // A single-byte code-page character and one the code page lacks give the
        // low byte of their UTF-16 code; a double-byte Latin letter its two bytes.
        {L"\u20AC\u00F1\u00E9x", "\xAC\xF1\xA8\xA6x", L"a9db52330967759eb7b112ce8dd016b2"},
        {L"\uF8F5", "\xF5", L"ade7a0dcf4ddc0673ed48b70a4a340d6"},
        {L"demo123", "demo123", L"62cc2d8b4bf2d8728120d052163a77df"},  // the service's demo account
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DigestBytes(c.text), c.bytes);
        EXPECT_EQ(MD5Hex(c.text, 32, false), c.digest);
    }
}

TEST(Md5, ShortFormAndUpperCase)
{
    const std::wstring full = MD5Hex(L"message digest", 32, false);
    EXPECT_EQ(MD5Hex(L"message digest", 16, false), full.substr(8, 16));
    EXPECT_EQ(MD5Hex(L"message digest", 0, false), full.substr(8, 16));
    EXPECT_EQ(MD5Hex(L"message digest", 32, true), L"F96B697D7CB7938D525A2F31AAF161D0");
}

#ifdef QUILL_HAVE_OPENSSL
std::wstring Widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

TEST(Md5, AgreesWithOpenSsl)
{
    std::mt19937 random(1321);
    for (size_t size = 0; size < 300; ++size) {
        std::string bytes(size, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random() % 0x80);  // ASCII, which enters the digest unchanged
        unsigned char expected[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        ASSERT_EQ(EVP_Digest(bytes.data(), bytes.size(), expected, &length, EVP_md5(), nullptr), 1);
        const auto digest = Md5(bytes);
        ASSERT_EQ(length, digest.size());
        EXPECT_TRUE(std::equal(digest.begin(), digest.end(), expected)) << size;
        EXPECT_EQ(DigestBytes(Widen(bytes)), bytes);
    }
}
#endif

}  // namespace
}  // namespace quill::session
