#pragma once
// A user control that records every notification its container sends it.
#include "forms/Form.h"
#include "forms/Loaded.h"
#include "forms/UserControl.h"
#include "tests/support/HostForm.h"

#include <functional>
#include <string>
#include <vector>

namespace quill::forms::probe {

class ProbeControl : public forms::UserControl {
public:
    forms::EventLog log;
    // Height the control keeps itself at in Resize (0: any), as the check box does.
    int fixedHeightPixels = 0;
    int resizeDepth = 0, deepestResize = 0;
    std::function<void()> onClick;
    std::wstring caption;

    forms::Event<> Click;

protected:
    void UserControl_InitProperties() override
    {
        log.Add(L"InitProperties");
        caption = Extender().Name();
    }
    void UserControl_ReadProperties(forms::PropertyBag& bag) override
    {
        log.Add(L"ReadProperties");
        caption = bag.ReadProperty(L"Caption", L"Probe");
    }
    void UserControl_WriteProperties(forms::PropertyBag& bag) override
    {
        bag.WriteProperty(L"Caption", caption, L"Probe");
    }
    void UserControl_Resize() override
    {
        log.Add(L"Resize");
        ++resizeDepth;
        deepestResize = std::max(deepestResize, resizeDepth);
        if (fixedHeightPixels && ScaleHeight() != fixedHeightPixels)
            Extender().Height(static_cast<int>(fixedHeightPixels * ContainerUnitsPerPixelY()));
        --resizeDepth;
    }
    void UserControl_Show() override { log.Add(L"Show"); }
    void UserControl_Hide() override { log.Add(L"Hide"); }
    void UserControl_MouseDown(forms::MouseArgs& e) override
    {
        log.Add(L"MouseDown " + std::to_wstring(e.Button));
    }
    void UserControl_MouseUp(forms::MouseArgs& e) override
    {
        log.Add(L"MouseUp " + std::to_wstring(e.Button));
    }
    void UserControl_Click() override
    {
        log.Add(L"Click");
        if (onClick)
            onClick();
        Click();
    }
    void UserControl_DblClick() override { log.Add(L"DblClick"); }
    void UserControl_KeyDown(forms::KeyArgs& e) override
    {
        log.Add(L"KeyDown " + std::to_wstring(e.KeyCode));
    }
    void UserControl_KeyPress(forms::KeyPressArgs& e) override
    {
        log.Add(L"KeyPress " + std::to_wstring(e.KeyAscii));
    }
    void UserControl_KeyUp(forms::KeyArgs& e) override { log.Add(L"KeyUp " + std::to_wstring(e.KeyCode)); }
    void UserControl_AccessKeyPress(int16_t k) override { log.Add(L"AccessKeyPress " + std::to_wstring(k)); }
    void UserControl_AmbientChanged(const std::wstring& name) override { log.Add(L"AmbientChanged " + name); }
    void UserControl_EnterFocus() override { log.Add(L"EnterFocus"); }
    void UserControl_ExitFocus() override { log.Add(L"ExitFocus"); }
    void UserControl_GotFocus() override { log.Add(L"GotFocus"); }
    void UserControl_LostFocus() override { log.Add(L"LostFocus"); }
    void UserControl_Terminate() override
    {
        log.Add(L"Terminate");
        if (onTerminate)
            onTerminate();
    }

public:
    std::function<void()> onTerminate;
};

// The Show and Hide entries of a probe's log, in order: what the container
// told it about its visibility.
inline std::vector<std::wstring> ShowsAndHides(const forms::EventLog& log)
{
    std::vector<std::wstring> out;
    for (const auto& e : log.Entries())
        if (e == L"Show" || e == L"Hide")
            out.push_back(e);
    return out;
}

// The shared host form, whose layout step is a function the test gives.
using LayoutForm = test::HostForm<>;

}  // namespace quill::forms::probe
