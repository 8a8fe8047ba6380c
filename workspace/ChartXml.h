// The chart texts the pages hand to the chart slots: a "chart" element in
// one of three styles, one "set" element per item, "</chart>". Names and
// captions are written as XML attribute text (a platform or project name may
// hold any character), and a value goes out only when it is a chart number,
// else "0", so no text of the service can break the element.
#pragma once

#include <string>
#include <string_view>

namespace quill::workspace {

// The one site label every chart shows as its y-axis title.
inline constexpr wchar_t ChartSiteLabel[] = L"Quillmoor";

enum class ChartStyle {
    List,      // column chart of the lists, the reports and the filtered list
    Overview,  // column chart of the overview and the detail page
    Pie,       // the platform pages' pies
};

class ChartXml {
public:
    ChartXml(ChartStyle style, std::wstring_view caption);

    // A set with a value as the page has it (an item of a reply, or a text
    // it computed).
    void Set(std::wstring_view name, std::wstring_view value, std::wstring_view color);
    // A set with a value the page computed.
    void Set(std::wstring_view name, double value, std::wstring_view color);
    // A pie's set, whose tool tip is the name, ": ￥" and the value in money
    // text.
    void PieSet(std::wstring_view name, std::wstring_view value, std::wstring_view color);

    int SetCount() const { return sets_; }
    // The whole text, closed with "</chart>".
    std::wstring Text() const { return text_ + L"</chart>"; }

private:
    void Attribute(std::wstring_view name, std::wstring_view value);

    std::wstring text_;
    int sets_ = 0;
};

// The value as a set carries it: the text when it is a chart number, else "0".
std::wstring ChartValue(std::wstring_view value);

}  // namespace quill::workspace
