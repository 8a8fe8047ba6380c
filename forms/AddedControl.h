#pragma once
// A control a window adds at run time by ProgID, under a key and in a
// container of its choice (the platform's Controls.Add). It is hidden until
// the window shows it, and ends with the form like the controls of the
// layout.
#include "forms/Automation.h"
#include "forms/Loaded.h"

#include <memory>
#include <string>

namespace quill::forms {

class AddedControl : public ControlHolder {
public:
    AddedControl() = default;
    ~AddedControl() override;
    AddedControl(const AddedControl&) = delete;
    AddedControl& operator=(const AddedControl&) = delete;

    // Creates the control registered under `progId`, named `key`; error 429
    // when there is none or it cannot be made, and nothing is held then.
    Control& Add(const std::wstring& progId, const std::wstring& key, Container& container);
    void UnloadAll() override;

    Control* operator->() const { return control_.get(); }
    Control& operator*() const { return *control_; }
    Control* get() const { return control_.get(); }
    explicit operator bool() const { return control_ != nullptr; }
    // The control's own members, late-bound; error 91 without a control.
    ObjectRef object() const;

private:
    std::unique_ptr<Control> control_;
};

}  // namespace quill::forms
