#include "workspace/ChartTemplate.h"

#include "workspace/ChartXml.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "forms/web/ChartText.h"
#include "forms/web/ScriptString.h"
#include "session/GetAttrValue.h"

#include <array>
#include <utility>

namespace quill::workspace {

namespace {

// The text of an attribute of the (working copy of the) chart text, ready
// for a script string.
std::wstring ScriptAttribute(std::wstring_view name, std::wstring_view source)
{
    return web::ScriptStringBody(web::XmlUnescape(session::GetAttrValue(name, source)));
}

std::wstring WorkingCopy(std::wstring_view chartText)
{
    return forms::Replace(chartText, L"'", L"\"");
}

std::wstring Pixels(std::int32_t twips, float twipsPerPixel)
{
    if (!(twipsPerPixel > 0))
        return L"0";
    try {
        return std::to_wstring(forms::ToInt32(static_cast<double>(twips) / twipsPerPixel));
    } catch (const forms::RuntimeError&) {
        return L"0";
    }
}

}  // namespace

std::wstring ChartDataText(std::wstring_view chartText)
{
    const std::wstring copy = WorkingCopy(chartText);
    if (copy.find(L"<set") == std::wstring::npos)
        return {};
    const std::vector<std::wstring> pieces = forms::Split(copy, L"<set");
    std::wstring data;
    for (size_t i = 1; i < pieces.size(); ++i)
        data += L"['" + ScriptAttribute(L"name", pieces[i]) + L"'," +
                ChartValue(web::XmlUnescape(session::GetAttrValue(L"value", pieces[i]))) + L"],";
    return data;
}

std::wstring FillChartTemplate(std::wstring_view pageTemplate, std::wstring_view chartText,
                               const ChartPageSize& size)
{
    const std::wstring copy = WorkingCopy(chartText);
    const std::array<std::pair<std::wstring_view, std::wstring>, 8> fills{{
        {L"[TITLE]", ScriptAttribute(L"caption", copy)},
        {L"[CAPTION]", ScriptAttribute(L"yAxisName", copy)},
        {L"[FONTSIZE]", ScriptAttribute(L"baseFontSize", copy)},
        {L"[CHARTTYPE]", std::to_wstring(size.type)},
        {L"[WIDTH]", Pixels(size.widthTwips, size.twipsPerPixelX)},
        {L"[HEIGHT]", Pixels(size.heightTwips, size.twipsPerPixelY)},
        {L"[FONTDU]", std::to_wstring(size.labelAngle)},
        {L"[CHARTDATA]", ChartDataText(chartText)},
    }};
    std::wstring page;
    page.reserve(pageTemplate.size() + 1024);
    size_t i = 0;
    while (i < pageTemplate.size()) {
        bool filled = false;
        if (pageTemplate[i] == L'[') {
            for (const auto& [placeholder, value] : fills) {
                if (pageTemplate.substr(i, placeholder.size()) == placeholder) {
                    page += value;
                    i += placeholder.size();
                    filled = true;
                    break;
                }
            }
        }
        if (!filled)
            page += pageTemplate[i++];
    }
    return page;
}

}  // namespace quill::workspace
