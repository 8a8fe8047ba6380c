#include "workspace/ChartXml.h"

#include "forms/lang/Numbers.h"
#include "forms/web/ChartText.h"
#include "workspace/FormatWan.h"

namespace quill::workspace {

std::wstring ChartValue(std::wstring_view value)
{
    return web::ReadChartNumber(value) ? std::wstring(value) : std::wstring(L"0");
}

ChartXml::ChartXml(ChartStyle style, std::wstring_view caption)
{
    text_ = L"<chart";
    Attribute(L"caption", caption);
    Attribute(L"yAxisName", ChartSiteLabel);
    Attribute(L"baseFontSize", style == ChartStyle::Overview ? L"14" : L"13");
    Attribute(L"showNames", L"1");
    if (style == ChartStyle::Pie)
        Attribute(L"showPercentValues", L"1");
    else
        Attribute(L"decimalPrecision", style == ChartStyle::Overview ? L"0" : L"1");
    Attribute(L"formatNumberScale", L"0");
    text_ += L">";
}

void ChartXml::Attribute(std::wstring_view name, std::wstring_view value)
{
    text_ += L" ";
    text_ += name;
    text_ += L"=\"";
    text_ += web::XmlEscape(value);
    text_ += L"\"";
}

void ChartXml::Set(std::wstring_view name, std::wstring_view value, std::wstring_view color)
{
    text_ += L"<set";
    Attribute(L"name", name);
    Attribute(L"value", ChartValue(value));
    Attribute(L"color", color);
    text_ += L"/>";
    ++sets_;
}

void ChartXml::Set(std::wstring_view name, double value, std::wstring_view color)
{
    Set(name, forms::NumberText(value), color);
}

void ChartXml::PieSet(std::wstring_view name, std::wstring_view value, std::wstring_view color)
{
    const std::wstring shown = ChartValue(value);
    text_ += L"<set";
    Attribute(L"name", name);
    Attribute(L"value", shown);
    Attribute(L"color", color);
    Attribute(L"toolText", std::wstring(name) + L": \uFFE5" + FormatWan(forms::ToDouble(shown)));
    text_ += L"/>";
    ++sets_;
}

}  // namespace quill::workspace
