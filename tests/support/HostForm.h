#pragma once
// A form whose layout step is a function the test gives. `Controls` is a
// struct of the holders the layout fills (forms::Loaded<T> members), so a
// test names its controls without deriving a form of its own:
//
//     struct Two { forms::Loaded<StyledButton> a, b; };
//     test::HostForm<Two> form([](auto& f) { f.a.Load(f, ...); });
#include "forms/Events.h"
#include "forms/Form.h"
#include "forms/Loaded.h"

#include <functional>
#include <utility>

namespace quill::test {

struct NoControls {};

template <class Controls = NoControls>
class HostForm : public forms::Form, public Controls {
public:
    using Layout = std::function<void(HostForm&)>;
    explicit HostForm(Layout layout, forms::FormArgs args = {.caption = L"Test"})
        : Form(std::move(args)), layout_(std::move(layout))
    {
    }

    // Run by Form_Load and Form_Unload after they are logged.
    std::function<void()> onLoad, onUnload;
    // "Load" and "Unload", in the order the form went through them.
    forms::EventLog log;

protected:
    void CreateControls() override { layout_(*this); }
    void Form_Load() override
    {
        log.Add(L"Load");
        if (onLoad)
            onLoad();
    }
    void Form_Unload(int16_t&) override
    {
        log.Add(L"Unload");
        if (onUnload)
            onUnload();
    }

private:
    Layout layout_;
};

// 1 pixel = 15 twips on these machines (96 dots per inch).
inline forms::ControlArgs PlacePixels(const wchar_t* name, int leftPx, int topPx, int widthPx, int heightPx)
{
    return {
        .name = name, .left = leftPx * 15, .top = topPx * 15, .width = widthPx * 15, .height = heightPx * 15};
}

}  // namespace quill::test
