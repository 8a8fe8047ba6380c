#include "workspace/ProjectRows.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "workspace/FormatWan.h"

namespace quill::workspace {

const std::vector<ListColumn>& ListColumns(std::int32_t kind)
{
    static const std::vector<ListColumn> none;
    static const std::vector<ListColumn> kinds[5] = {
        {{L"LV1", L"序号  ", 50},
         {L"LV2", L"平台&&项目名称  ", 150},
         {L"LV3", L"起息日期    ", 90},
         {L"LV4", L"到期日期    ", 90},
         {L"LV5", L"投资金额    ", 90},
         {L"LV6", L"投资限期    ", 90},
         {L"LV7", L"预期利率    ", 75},
         {L"LV8", L"实际利率    ", 75},
         {L"LV9", L"预期收益    ", 85},
         {L"LV10", L"实际收益    ", 85},
         {L"LV11", L"倒计天数    ", 80}},
        {{L"LV1", L"序号  ", 50},
         {L"LV2", L"平台名称    ", 110},
         {L"LV3", L"投入本金    ", 100},
         {L"LV4", L"本金占比    ", 80},
         {L"LV5", L"实际收益    ", 90},
         {L"LV6", L"收益占比    ", 80},
         {L"LV7", L"项目数量    ", 75},
         {L"LV8", L"平均利率    ", 75},
         {L"LV9", L"实际利率    ", 75},
         {L"LV10", L"代金券   ", 65},
         {L"LV11", L"其它收入    ", 75},
         {L"LV12", L"其它支出    ", 75}},
        {{L"LV1", L"序号  ", 50},
         {L"LV2", L"年度月份    ", 110},
         {L"LV3", L"持有项目    ", 100},
         {L"LV4", L"回款本金    ", 100},
         {L"LV5", L"回款利息    ", 100},
         {L"LV6", L"回款汇总    ", 120},
         {L"LV7", L"持有利息    ", 100}},
        {{L"LV1", L"序号  ", 80},
         {L"LV2", L"年度  ", 110},
         {L"LV3", L"持有月份     ", 150},
         {L"LV4", L"月均利息    ", 120},
         {L"LV5", L"年度总利息     ", 150}},
        {{L"LV1", L"序号  ", 60},
         {L"LV2", L"年度月份    ", 110},
         {L"LV3", L"投资期限     ", 100},
         {L"LV4", L"月度回款本金      ", 140},
         {L"LV5", L"月度回款利息      ", 140},
         {L"LV6", L"月度回款汇总      ", 140},
         {L"LV7", L"月度回款日期      ", 140},
         {L"LV8", L"月度持有利息      ", 130}},
    };
    if (kind < ProjectList || kind > ScheduleList)
        return none;
    return kinds[kind - 1];
}

std::wstring PadForList(const std::wstring& text)
{
    return text + std::wstring(text.size(), L' ');
}

double DaysToDue(const protocol::ProjectRow& row, double today)
{
    return row.StrictDate(protocol::ProjectRow::DueDate) - today;
}

std::wstring ProjectRowText(const protocol::ProjectRow& row, int column, int position, DueColumn due,
                            double today)
{
    switch (column) {
    case 0:
        return std::to_wstring(position + 1);
    case 1:
        return PadForList(row.Text(protocol::ProjectRow::PlatformName) + L" " +
                          row.Text(protocol::ProjectRow::ProjectName));
    case 2:
        return row.Text(protocol::ProjectRow::ValueDate);
    case 3:
        return row.Text(protocol::ProjectRow::DueDate);
    case 4:
        return FormatWan(row.Strict(protocol::ProjectRow::Amount));
    case 5:
        return row.Text(protocol::ProjectRow::Term) + L" " + (row.TermInDays() ? L"天" : L"月") + L" ";
    case 6:
        return row.Text(protocol::ProjectRow::AnnualRate) + L"%";
    case 7:
        return row.Text(protocol::ProjectRow::ActualRate) + L"%";
    case 8:
        return FormatWan(row.Strict(protocol::ProjectRow::ExpectedIncome));
    case 9:
        return FormatWan(row.Strict(protocol::ProjectRow::ActualIncome));
    case 10:
        return due == DueColumn::Dash ? L"-" : forms::NumberText(DaysToDue(row, today));
    default:
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    }
}

}  // namespace quill::workspace
