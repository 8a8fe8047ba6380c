#include "forms/web/ChartText.h"

#include "forms/web/AttrValue.h"
#include "forms/web/HexDigit.h"
#include "forms/web/LenientNumber.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quill::web {

namespace {

constexpr int kSmallestFontSize = 6;
constexpr int kLargestFontSize = 40;
constexpr int kMostDecimals = 10;

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// The five characters an attribute value cannot hold as they are.
constexpr std::pair<wchar_t, std::wstring_view> kReferences[] = {
    {L'&', L"&amp;"}, {L'<', L"&lt;"}, {L'>', L"&gt;"}, {L'"', L"&quot;"}, {L'\'', L"&apos;"},
};

// An attribute of the chart's element or of a set's, decoded.
std::wstring Attribute(std::wstring_view name, std::wstring_view element)
{
    return XmlUnescape(AttrValue(name, element));
}

// "1" and other numbers not 0 switch a flag on; an absent one keeps its default.
bool Flag(std::wstring_view name, std::wstring_view element, bool absent)
{
    const std::wstring text = Attribute(name, element);
    if (text.empty())
        return absent;
    return LenientNumber(text) != 0;
}

int Whole(std::wstring_view name, std::wstring_view element, int absent, int lowest, int highest)
{
    const std::wstring text = Attribute(name, element);
    if (text.empty())
        return absent;
    const double value = LenientNumber(text);
    if (!(value >= lowest))
        return lowest;
    if (value > highest)
        return highest;
    return static_cast<int>(value);
}

// The code point of a numeric reference's digits, if it is one.
std::optional<char32_t> NumericReference(std::wstring_view digits)
{
    int base = 10;
    if (!digits.empty() && (digits[0] == L'x' || digits[0] == L'X')) {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    char32_t code = 0;
    for (wchar_t c : digits) {
        const int d = base == 16 ? HexDigit(c) : (IsDigit(c) ? c - L'0' : -1);
        if (d < 0)
            return std::nullopt;
        code = code * static_cast<char32_t>(base) + static_cast<char32_t>(d);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return code;
}

void AppendCodePoint(std::wstring& out, char32_t code)
{
    if (code < 0x10000) {
        out += static_cast<wchar_t>(code);
        return;
    }
    code -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (code >> 10));
    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
}

}  // namespace

std::optional<double> ReadChartNumber(std::wstring_view text)
{
    std::wstring_view digits = text;
    if (!digits.empty() && digits[0] == L'-')
        digits.remove_prefix(1);
    bool anyDigit = false, point = false;
    for (wchar_t c : digits) {
        if (IsDigit(c)) {
            anyDigit = true;
        } else if (c == L'.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    try {
        return forms::ToDouble(text);
    } catch (const forms::RuntimeError&) {
        return std::nullopt;  // beyond the range of a double
    }
}

std::optional<Rgb> ReadChartColor(std::wstring_view text)
{
    if (!text.empty() && text[0] == L'#')
        text.remove_prefix(1);
    if (text.size() != 6)
        return std::nullopt;
    int bytes[3];
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(text[2 * i]), low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = high * 16 + low;
    }
    return static_cast<Rgb>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16));
}

Rgb PaletteColor(std::size_t index)
{
    // Twelve colours far enough apart to tell neighbouring bars and slices apart.
    static constexpr std::array<Rgb, 12> palette{
        0xD88A1F, 0x2C7FF0, 0x3FA82A, 0x2828D6, 0xB867A0, 0x4B569C,
        0xC277E3, 0x7F7F7F, 0x22BDBC, 0xCFBE17, 0x8DC2FF, 0x98DF8A,
    };
    return palette[index % palette.size()];
}

std::wstring XmlEscape(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        const auto* reference = std::find_if(std::begin(kReferences), std::end(kReferences),
                                             [c](const auto& r) { return r.first == c; });
        if (reference != std::end(kReferences))
            out += reference->second;
        else
            out += c;
    }
    return out;
}

std::wstring XmlUnescape(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t semicolon = text[i] == L'&' ? text.find(L';', i + 1) : std::wstring_view::npos;
        // References are short: a far ";" belongs to other text.
        if (semicolon == std::wstring_view::npos || semicolon - i > 10) {
            out += text[i++];
            continue;
        }
        const std::wstring_view body = text.substr(i + 1, semicolon - i - 1);
        bool done = false;
        if (!body.empty() && body[0] == L'#') {
            if (auto code = NumericReference(body.substr(1))) {
                AppendCodePoint(out, *code);
                done = true;
            }
        } else {
            for (const auto& [c, reference] : kReferences)
                if (reference.substr(1, reference.size() - 2) == body) {
                    out += c;
                    done = true;
                }
        }
        if (done) {
            i = semicolon + 1;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::wstring FormatChartNumber(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, kMostDecimals);
    std::wstring pattern = L"#,##0";
    if (decimals > 0)
        pattern += L"." + std::wstring(static_cast<size_t>(decimals), L'0');
    try {
        return forms::Format(value, pattern);
    } catch (const forms::RuntimeError&) {
        return forms::NumberText(value);
    }
}

Chart ReadChartText(std::wstring_view text)
{
    Chart chart;
    const size_t firstSet = text.find(L"<set");
    const std::wstring_view element = text.substr(0, firstSet);
    chart.caption = Attribute(L"caption", element);
    chart.yAxisName = Attribute(L"yAxisName", element);
    chart.baseFontSize =
        Whole(L"baseFontSize", element, Chart::kDefaultFontSize, kSmallestFontSize, kLargestFontSize);
    chart.showNames = Flag(L"showNames", element, true);
    chart.decimalPrecision = Whole(L"decimalPrecision", element, Chart::kDefaultDecimals, 0, kMostDecimals);
    chart.showPercentValues = Flag(L"showPercentValues", element, false);
    if (firstSet == std::wstring_view::npos)
        return chart;
    // Every piece after a "<set" describes one set, as the HTML page reads them.
    std::vector<std::wstring> pieces = forms::Split(text.substr(firstSet), L"<set");
    for (size_t i = 1; i < pieces.size(); ++i) {
        const std::wstring& piece = pieces[i];
        ChartSet set;
        set.name = Attribute(L"name", piece);
        set.value = ReadChartNumber(Attribute(L"value", piece)).value_or(0);
        set.color = ReadChartColor(AttrValue(L"color", piece));
        set.toolText = Attribute(L"toolText", piece);
        chart.sets.push_back(std::move(set));
    }
    return chart;
}

}  // namespace quill::web
