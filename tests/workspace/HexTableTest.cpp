// The hex table that chart colours are written with.
#include "workspace/HexTable.h"

#include <gtest/gtest.h>

#include <string>

namespace quill::workspace {
namespace {

TEST(HexTable, TwoUpperCaseDigitsPerByte)
{
    const HexDigitsTable& table = HexTable();
    EXPECT_EQ(table[0], L"00");
    EXPECT_EQ(table[10], L"0A");
    EXPECT_EQ(table[95], L"5F");
    EXPECT_EQ(table[171], L"AB");
    EXPECT_EQ(table[255], L"FF");
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(std::stoi(table[i], nullptr, 16), i);
    InitHexTable();
    EXPECT_EQ(HexTable()[95], L"5F");
}

}  // namespace
}  // namespace quill::workspace
