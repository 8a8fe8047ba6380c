#include "forms/loaded.h"

#include "forms/form.h"

namespace forms {

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

}  // namespace forms
