#include "skinning/SkinClasses.h"

#include <algorithm>
#include <string>

namespace quill::skinning {

namespace {

std::string Lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return out;
}

struct ClassOfKind {
    std::string_view name;
    SkinKind kind;
};

constexpr ClassOfKind KnownClasses[] = {
    {"#32770", SkinKind::Form},
    {"thunderformdc", SkinKind::Form},
    {"thunderrt6formdc", SkinKind::Form},
    {"form", SkinKind::Form},
    {"thundercommandbutton", SkinKind::PushButton},
    {"thunderrt6commandbutton", SkinKind::PushButton},
    {"button", SkinKind::PushButton},
    {"thundercombobox", SkinKind::ComboBox},
    {"thunderrt6combobox", SkinKind::ComboBox},
    {"combo", SkinKind::ComboBox},
    {"combobox", SkinKind::ComboBox},
    {"thunderdrivelistbox", SkinKind::DriveList},
    {"thunderrt6drivelistbox", SkinKind::DriveList},
    {"thundercheckbox", SkinKind::CheckBox},
    {"thunderrt6checkbox", SkinKind::CheckBox},
    {"thunderoptionbutton", SkinKind::OptionButton},
    {"thunderrt6optionbutton", SkinKind::OptionButton},
    {"progressbar20wndclass", SkinKind::ProgressBar},
    {"progressbarwndclass", SkinKind::ProgressBar},
    {"msvb_lib_header", SkinKind::Header},
    {"sysheader32", SkinKind::Header},
    {"datalistwndclass", SkinKind::DataList},
    {"dblistwndclass", SkinKind::DataList},
    {"combolbox", SkinKind::ComboDropList},
};

}  // namespace

SkinKind ClassifyClassName(std::string_view className)
{
    const std::string lower = Lower(className);
    for (const ClassOfKind& known : KnownClasses)
        if (lower == known.name)
            return known.kind;
    return SkinKind::Other;
}

bool IsGridClass(std::string_view className)
{
    return Lower(className).starts_with("apexgrid");
}

}  // namespace quill::skinning
