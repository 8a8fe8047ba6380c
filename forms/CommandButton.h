#pragma once
// The standard push button (CommandButton).
#include "forms/StandardControl.h"

namespace quill::forms {

struct CommandButtonArgs {
    std::wstring caption{};
    bool isDefault = false;
    bool isCancel = false;
    OleColor backColor = 0x8000000F;
    forms::Font::Ref font{};
};

class CommandButton : public StandardControl {
public:
    void Create(Container& container, const ControlArgs& args, const CommandButtonArgs& button = {});

    std::wstring Caption() const { return WindowText(); }
    void Caption(const std::wstring& v) { WindowText(v); }
    // Setting True clicks the button, as the platform's Value does.
    void Value(bool v);

    std::wstring AccessKeyChars() const override { return AccessKeyOf(Caption()); }
    void AccessKeyPressed(wchar_t key) override;

protected:
    std::optional<LRESULT> Reflect(UINT msg, WPARAM wp, LPARAM lp) override;
    bool WantsKey(UINT vk) const override { return vk == VK_RETURN; }
    void DefaultChanged() override;
};

}  // namespace quill::forms
