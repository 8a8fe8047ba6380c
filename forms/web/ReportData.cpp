#include "forms/web/ReportData.h"

#include "forms/web/LenientNumber.h"
#include "forms/web/ScriptString.h"

#include <algorithm>
#include <string>

namespace quill::web {

namespace {

constexpr int kDeepest = 8;  // nesting of arrays a value may have

// A small reader of the object literal's members: strings, numbers, bare
// words and arrays of them.
class Reader {
public:
    explicit Reader(std::wstring_view text, std::size_t pos) : text_(text), pos_(pos) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    wchar_t Peek()
    {
        SkipBlanks();
        return AtEnd() ? L'\0' : text_[pos_];
    }
    bool Take(wchar_t c)
    {
        if (Peek() != c)
            return false;
        ++pos_;
        return true;
    }
    // A member name, bare or quoted.
    std::optional<std::wstring> Name()
    {
        if (Peek() == L'\'' || Peek() == L'"')
            return ReadScriptString(text_, pos_);
        std::wstring name;
        while (!AtEnd() && IsWordChar(text_[pos_]))
            name += text_[pos_++];
        if (name.empty())
            return std::nullopt;
        return name;
    }
    std::optional<std::wstring> String()
    {
        if (Peek() != L'\'' && Peek() != L'"')
            return std::nullopt;
        return ReadScriptString(text_, pos_);
    }
    // A bare token: a number, true, false...
    std::wstring Word()
    {
        Peek();
        std::wstring word;
        while (!AtEnd() &&
               (IsWordChar(text_[pos_]) || text_[pos_] == L'-' || text_[pos_] == L'+' || text_[pos_] == L'.'))
            word += text_[pos_++];
        return word;
    }
    // Skips one value of any kind; false when the text breaks off.
    bool SkipValue(int depth = 0)
    {
        const wchar_t c = Peek();
        if (c == L'\'' || c == L'"')
            return String().has_value();
        if (c == L'[' || c == L'{') {
            if (depth >= kDeepest)
                return false;
            const wchar_t close = c == L'[' ? L']' : L'}';
            ++pos_;
            while (!Take(close)) {
                if (AtEnd())
                    return false;
                if (c == L'{') {
                    if (!Name() || !Take(L':'))
                        return false;
                }
                if (!SkipValue(depth + 1))
                    return false;
                Take(L',');
            }
            return true;
        }
        return !Word().empty();
    }

private:
    static bool IsWordChar(wchar_t c)
    {
        return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
               c == L'_' || c == L'$';
    }
    void SkipBlanks()
    {
        while (!AtEnd() &&
               (text_[pos_] == L' ' || text_[pos_] == L'\t' || text_[pos_] == L'\r' || text_[pos_] == L'\n'))
            ++pos_;
    }

    std::wstring_view text_;
    std::size_t pos_;
};

int Whole(const std::wstring& word)
{
    const double v = LenientNumber(word);
    if (!(v > -1e6 && v < 1e6))
        return 0;
    return static_cast<int>(v);
}

// The places after the point of a number's text.
int Places(const std::wstring& number)
{
    const std::size_t point = number.find(L'.');
    return point == std::wstring::npos ? 0 : static_cast<int>(number.size() - point - 1);
}

// data: [['name', value], ...]; false when the text breaks off. `places`
// becomes the most places a value is written with.
bool ReadData(Reader& in, Chart& chart, int& places)
{
    if (!in.Take(L'['))
        return in.SkipValue();
    while (!in.Take(L']')) {
        if (in.AtEnd())
            return false;
        if (in.Peek() != L'[') {
            if (!in.SkipValue())
                return false;
            in.Take(L',');
            continue;
        }
        in.Take(L'[');
        ChartSet set;
        if (auto name = in.String())
            set.name = *name;
        else if (!in.SkipValue())
            return false;
        in.Take(L',');
        if (in.Peek() == L'\'' || in.Peek() == L'"') {
            const std::optional<std::wstring> value = in.String();
            if (!value)
                return false;
            if (auto number = ReadChartNumber(*value)) {
                set.value = *number;
                places = std::max(places, Places(*value));
            }
        } else if (in.Peek() != L']') {
            const std::wstring word = in.Word();
            if (auto number = ReadChartNumber(word)) {
                set.value = *number;
                places = std::max(places, Places(word));
            }
        }
        while (!in.Take(L']')) {  // anything more in the pair is not read
            if (in.AtEnd() || !in.SkipValue())
                return false;
            in.Take(L',');
        }
        chart.sets.push_back(std::move(set));
        in.Take(L',');
    }
    return true;
}

}  // namespace

std::optional<ReportChart> ReadReportChart(std::wstring_view page)
{
    const std::size_t marker = page.find(L"quillChart");
    if (marker == std::wstring_view::npos)
        return std::nullopt;
    const std::size_t open = page.find(L'{', marker);
    if (open == std::wstring_view::npos)
        return std::nullopt;
    Reader in(page, open + 1);
    ReportChart report;
    Chart& chart = report.chart;
    int places = 0;
    while (!in.Take(L'}')) {
        if (in.AtEnd())
            return std::nullopt;
        const std::optional<std::wstring> name = in.Name();
        if (!name || !in.Take(L':'))
            return std::nullopt;
        bool ok = true;
        if (*name == L"title" || *name == L"yAxisName" || *name == L"fontSize") {
            const std::optional<std::wstring> text = in.String();
            if (!text) {
                ok = in.SkipValue();
            } else if (*name == L"title") {
                chart.caption = *text;
            } else if (*name == L"yAxisName") {
                chart.yAxisName = *text;
            } else if (const double size = LenientNumber(*text); size >= 6 && size <= 40) {
                chart.baseFontSize = static_cast<int>(size);
            }
        } else if (*name == L"type") {
            report.kind = Whole(in.Word()) == 1 ? ChartKind::Pie : ChartKind::Column;
        } else if (*name == L"width") {
            report.width = Whole(in.Word());
        } else if (*name == L"height") {
            report.height = Whole(in.Word());
        } else if (*name == L"labelAngle") {
            report.labelAngle = Whole(in.Word());
        } else if (*name == L"data") {
            ok = ReadData(in, chart, places);
        } else {
            ok = in.SkipValue();
        }
        if (!ok)
            return std::nullopt;
        in.Take(L',');
    }
    // The page gives no number style: values show the places they are written with.
    chart.decimalPrecision = std::min(places, Chart::kDefaultDecimals);
    if (report.kind == ChartKind::Pie)
        chart.showPercentValues = true;
    return report;
}

}  // namespace quill::web
