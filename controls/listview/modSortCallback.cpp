#include "controls/listview/modSortCallback.h"

#include "forms/lang/Text.h"

namespace quill::listview {

namespace {
int32_t SortColumn = 0;
int32_t SortOrder = 0;
}  // namespace

void SetSortColumn(int32_t value)
{
    SortColumn = value;
}

void SetSortOrder(int32_t value)
{
    SortOrder = value;
}

int CompareListItems(const ListItem& a, const ListItem& b)
{
    const int result = forms::StrComp(a.Text(SortColumn), b.Text(SortColumn), forms::CompareMode::Text);
    return SortOrder == 1 ? -result : result;
}

}  // namespace quill::listview
