// The version words of the fixed version record.
#include "updater/VersionWords.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace quill::updater {
namespace {

std::vector<std::uint8_t> Record(std::uint32_t signature, std::uint32_t struc, std::uint32_t fileMs,
                                 std::uint32_t fileLs, std::uint32_t prodMs, std::uint32_t prodLs,
                                 std::size_t size = FixedFileInfoSize)
{
    std::vector<std::uint8_t> bytes(size, 0xAA);
    const std::array<std::uint32_t, 6> fields{signature, struc, fileMs, fileLs, prodMs, prodLs};
    for (std::size_t i = 0; i < fields.size() && i * 4 + 3 < size; ++i)
        for (int b = 0; b < 4; ++b)
            bytes[i * 4 + b] = static_cast<std::uint8_t>(fields[i] >> (8 * b));
    return bytes;
}

TEST(ReadFixedFileInfo, WordsOfEachField)
{
    struct Case {
        std::uint32_t fileMs, fileLs, prodMs, prodLs;
        const wchar_t *fileVer, *prodVer, *current;
    } cases[] = {
        {0x00010003, 0x00000000, 0x00010003, 0x00000000, L"1.3.0.0", L"1.3.0.0", L"1.3"},
        {0x00010004, 0x00020007, 0x00050006, 0x00070008, L"1.4.2.7", L"5.6.7.8", L"1.4"},
        {0x0001000A, 0x00000000, 0x0001000A, 0x00000000, L"1.10.0.0", L"1.10.0.0", L"1.10"},
        {0x8000FFFF, 0x7FFF8000, 0xFFFF0001, 0x00000000, L"-32768.-1.32767.-32768", L"-1.1.0.0",
         L"-32768.-1"},
    };
    for (const Case& c : cases) {
        const auto words = ReadFixedFileInfo(
            Record(FixedFileInfoSignature, 0x00010000, c.fileMs, c.fileLs, c.prodMs, c.prodLs));
        ASSERT_TRUE(words);
        EXPECT_EQ(words->StrucVer, L"1.0");
        EXPECT_EQ(words->FileVer, c.fileVer);
        EXPECT_EQ(words->ProdVer, c.prodVer);
        EXPECT_EQ(words->CurrentVersion, c.current);
    }
}

TEST(ReadFixedFileInfo, NeedsTheWholeRecordAndItsSignature)
{
    EXPECT_FALSE(ReadFixedFileInfo(Record(FixedFileInfoSignature, 0x10000, 0x10003, 0, 0x10003, 0, 51)));
    EXPECT_FALSE(ReadFixedFileInfo(Record(0xFEEF04BC, 0x10000, 0x10003, 0, 0x10003, 0)));
    EXPECT_FALSE(ReadFixedFileInfo({}));
    EXPECT_TRUE(ReadFixedFileInfo(Record(FixedFileInfoSignature, 0x10000, 0x10003, 0, 0x10003, 0, 60)));
}

}  // namespace
}  // namespace quill::updater
