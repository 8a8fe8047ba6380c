#include "workspace/HexTable.h"

namespace quill::workspace {

namespace {

void Fill(HexDigitsTable& table)
{
    constexpr wchar_t digits[] = L"0123456789ABCDEF";
    for (int i = 0; i < 256; ++i)
        table[i] = {digits[i >> 4], digits[i & 15]};
}

HexDigitsTable& Table()
{
    static HexDigitsTable table = [] {
        HexDigitsTable t;
        Fill(t);
        return t;
    }();
    return table;
}

}  // namespace

const HexDigitsTable& HexTable()
{
    return Table();
}

void InitHexTable()
{
    Fill(Table());
}

}  // namespace quill::workspace
