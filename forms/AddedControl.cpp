#include "forms/AddedControl.h"

#include "forms/lang/Error.h"

namespace quill::forms {

AddedControl::~AddedControl()
{
    UnloadAll();
    Forget();
}

Control& AddedControl::Add(const std::wstring& progId, const std::wstring& key, Container& container)
{
    UnloadAll();
    control_ = CreateControl(progId, container, ControlArgs{.name = key, .visible = false});
    Adopt(container);
    return *control_;
}

void AddedControl::UnloadAll()
{
    if (control_)
        Release(std::unique_ptr<Window>(control_.release()));
}

ObjectRef AddedControl::object() const
{
    auto* owner = dynamic_cast<ControlObject*>(control_.get());
    if (!owner)
        throw RuntimeError(kObjectNotSet);
    return owner->Object();
}

}  // namespace quill::forms
