// Classification by class name, and which button types the skin paints.
#include "skinning/SkinClasses.h"

#include <gtest/gtest.h>

namespace quill::skinning {
namespace {

TEST(SkinClasses, EveryNamedClassMakesItsKindInAnyCase)
{
    const struct {
        const char* name;
        SkinKind kind;
    } cases[] = {
        {"#32770", SkinKind::Form},
        {"ThunderFormDC", SkinKind::Form},
        {"ThunderRT6FormDC", SkinKind::Form},
        {"Form", SkinKind::Form},
        {"ThunderCommandButton", SkinKind::PushButton},
        {"ThunderRT6CommandButton", SkinKind::PushButton},
        {"Button", SkinKind::PushButton},
        {"BUTTON", SkinKind::PushButton},
        {"ThunderComboBox", SkinKind::ComboBox},
        {"ThunderRT6ComboBox", SkinKind::ComboBox},
        {"Combo", SkinKind::ComboBox},
        {"ComboBox", SkinKind::ComboBox},
        {"ThunderDriveListBox", SkinKind::DriveList},
        {"ThunderRT6DriveListBox", SkinKind::DriveList},
        {"ThunderCheckBox", SkinKind::CheckBox},
        {"ThunderRT6CheckBox", SkinKind::CheckBox},
        {"ThunderOptionButton", SkinKind::OptionButton},
        {"ThunderRT6OptionButton", SkinKind::OptionButton},
        {"ProgressBar20WndClass", SkinKind::ProgressBar},
        {"ProgressBarWndClass", SkinKind::ProgressBar},
        {"MSVB_Lib_Header", SkinKind::Header},
        {"SysHeader32", SkinKind::Header},
        {"DataListWndClass", SkinKind::DataList},
        {"DBListWndClass", SkinKind::DataList},
        {"ComboLBox", SkinKind::ComboDropList},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyClassName(c.name), c.kind) << c.name;
}

TEST(SkinClasses, OnlyWholeNamesMatch)
{
    for (const char* name : {"", "Buttons", "ButtonX", "Butto", " button", "ListBox", "msctls_progress32",
                             "ThunderRT6CheckBox2", "Edit", "#32768", "ApexGrid"})
        EXPECT_EQ(ClassifyClassName(name), SkinKind::Other) << name;
}

TEST(SkinClasses, GridsAreNamedByTheirBeginning)
{
    EXPECT_TRUE(IsGridClass("ApexGrid"));
    EXPECT_TRUE(IsGridClass("apexgridwndclass"));
    EXPECT_TRUE(IsGridClass("APEXGRID.TrueDBGrid"));
    EXPECT_FALSE(IsGridClass("apexgri"));
    EXPECT_FALSE(IsGridClass("xapexgrid"));
    EXPECT_FALSE(IsGridClass(""));
}

TEST(SkinClasses, OnlyPlainAndDefaultPushButtonsArePaintedByTheSkin)
{
    // BS_PUSHBUTTON 0, BS_DEFPUSHBUTTON 1 only; BS_USERBUTTON 8 and
    // BS_AUTORADIOBUTTON 9 have bits 1 and 2 clear too but keep their look.
    for (std::uint32_t type = 0; type < 16; ++type)
        EXPECT_EQ(SkinPaintsButton(0x50010000u | type), type <= 1) << type;
    EXPECT_EQ(ButtonType(0x5001000Bu), OwnerDrawnButtonType);
}

}  // namespace
}  // namespace quill::skinning
