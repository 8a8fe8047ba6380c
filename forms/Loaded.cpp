#include "forms/Loaded.h"

#include "forms/Form.h"

namespace quill::forms {

ControlHolder::~ControlHolder() = default;

void ControlHolder::Adopt(Container& container)
{
    if (!form_)
        container.AdoptHolder(*this);
}

void ControlHolder::Forget()
{
    if (form_)
        form_->ForgetHolder(*this);
    form_ = nullptr;
}

}  // namespace quill::forms
