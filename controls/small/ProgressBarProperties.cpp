#include "controls/small/ProgressBarProperties.h"

#include <algorithm>

namespace quill::small {

void ProgressBarProperties::Report(std::wstring_view name)
{
    if (Changed)
        Changed(name);
}

void ProgressBarProperties::Value(std::int32_t v)
{
    v = std::min(v, max_);
    v = std::max(v, min_);
    Store(value_, v, L"Value");
}

void ProgressBarProperties::Max(std::int32_t v)
{
    if (v < 1)
        v = 1;
    if (min_ >= v)
        v = min_ + 1;
    max_ = v;
    if (value_ > max_)
        Value(max_);
    Report(L"Max");
}

void ProgressBarProperties::Min(std::int32_t v)
{
    if (v >= max_)
        v = max_ - 1;
    if (v < 0)
        v = 0;
    min_ = v;
    if (value_ < min_)
        Value(min_);
    Report(L"Min");
}

void ProgressBarProperties::InitNew(std::wstring bannerText)
{
    Max(100);
    Min(0);
    Value(50);
    RoundedValue(5);
    Enabled(true);
    Theme(1);
    TextForeColor(0);
    Text(std::move(bannerText));
    TextAlignment(5);
    TextEffect(5);
    TextEffectColor(0xFFFFFF);
    TextStyle(3);
    Orientations(1);
}

}  // namespace quill::small
