// Code page 936: the same table natively (iconv) and on Windows (the system).
#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"

#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace quill::forms {
namespace {

using test::DateAt;
using test::ErrorOf;

TEST(Ansi, TextToBytesAndBack)
{
    const struct {
        std::wstring text;
        std::string bytes;
        std::wstring back;  // what the bytes read as
    } cases[] = {
        {L"Ab1", "Ab1", L"Ab1"},
        {L"\u8BB0\u8D26", "\xBC\xC7\xD5\xCB", L"\u8BB0\u8D26"},           // 记账
        {L"a\u4E2D\u6587|b", "a\xD6\xD0\xCE\xC4|b", L"a\u4E2D\u6587|b"},  // 中文
        {L"\u20AC", "\x80", L"\u20AC"},                                   // euro sign, one byte
        {L"\u00E9\u00B7\u3000\uFFE5", "\xA8\xA6\xA1\xA4\xA1\xA1\xA3\xA4", L"\u00E9\u00B7\u3000\uFFE5"},
        {L"\u00F1", "?", L"?"},  // not in the code page
        {L"\u00A5", "?", L"?"},
        {std::wstring(L"\xD83D\xDE00", 2), "??", L"??"},  // a surrogate pair
        {std::wstring(1, L'\xDC00'), "?", L"?"},          // a lone surrogate
        {L"\uE000\uE4C6\uE765\uE844", "\xAA\xA1\xA1\x40\xA7\xA0\xFE\x80", L"\uE000\uE4C6\uE765\uE844"},
        {L"\uF8F5", "\xFF", L"\uF8F5"},
        {std::wstring(1, L'\0') + L"\x7F", std::string(1, '\0') + "\x7F", std::wstring(1, L'\0') + L"\x7F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToAnsi(c.text), c.bytes);
        EXPECT_EQ(AnsiToText(c.bytes), c.back);
    }
}

TEST(Ansi, BytesThatMakeNoCharacterBecomeQuestionMarksWithoutSwallowingAscii)
{
    const struct {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"\x81", L"?"},
        {"a\x81", L"a?"},
        {"\x81"
         "0",
         L"?0"},
        {"\x81\x7F", L"?\x7F"},
        {"\xFE\xFF", L"?\uF8F5"},
        {"\x81\x40", L"\u4E02"},
        {"\x81\x7C", L"\u4E85"},  // "|" is a trail byte after a lead byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnsiToText(c.bytes), c.text);
}

TEST(Ansi, SignedCharacterCodes)
{
    const struct {
        wchar_t character;
        int code;
    } cases[] = {
        {L'A', 65},
        {L'\0', 0},
        {L'\u8BB0', 0xBCC7 - 65536},
        {L'\u8D26', 0xD5CB - 65536},
        {L'\u20AC', 128},
        {L'\u00F1', 63},
        {L'\uF8F5', 255},
        {L'\xD800', 63},
        {L'\u4E02', 0x8140 - 65536},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiCode(c.character), c.code) << static_cast<int>(c.character);
        if (c.code != 63 && c.character != L'\0') {
            EXPECT_EQ(Chr(c.code), std::wstring(1, c.character)) << c.code;
        }
    }
    EXPECT_EQ(Asc(L"\u8BB0\u8D26"), 0xBCC7 - 65536);
    EXPECT_EQ(Chr(0xBCC7), L"\u8BB0");
    EXPECT_EQ(Chr(0x8130), L"?");
    EXPECT_EQ(Chr(0x81), L"?");
    EXPECT_EQ(AscW(L"\u8BB0"), 0x8BB0 - 65536);
    EXPECT_EQ(ChrW(0x8BB0 - 65536), L"\u8BB0");
    EXPECT_EQ(ChrW(65), L"A");
    EXPECT_EQ(ErrorOf([] { Asc(L""); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { AscW(L""); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Chr(65536); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Chr(-32769); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { ChrW(70000); }), kInvalidCall);
}

std::uint64_t Fnv1a(std::uint64_t hash, const void* data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        hash ^= static_cast<const unsigned char*>(data)[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

// The whole table, both ways, in one number: the native converter and the
// system's must agree on every one of the 65535 characters and 32640 byte pairs.
TEST(Ansi, WholeTableIsTheSameOnEveryBuild)
{
    std::uint64_t encoded = 14695981039346656037ull;
    for (unsigned u = 1; u <= 0xFFFF; ++u) {
        const std::string bytes = TextToAnsi(std::wstring(1, static_cast<wchar_t>(u)));
        encoded = Fnv1a(encoded, bytes.data(), bytes.size());
        encoded = Fnv1a(encoded, "|", 1);
    }
    std::uint64_t decoded = 14695981039346656037ull;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::wstring text = AnsiToText(std::string(pair, 2));
            for (wchar_t c : text) {
                const std::uint16_t unit = static_cast<std::uint16_t>(c);
                decoded = Fnv1a(decoded, &unit, sizeof unit);
            }
            decoded = Fnv1a(decoded, "|", 1);
        }
    }
    EXPECT_EQ(encoded, 13499658264675091522ull);
    EXPECT_EQ(decoded, 14418543627204970547ull);
}

}  // namespace
}  // namespace quill::forms
