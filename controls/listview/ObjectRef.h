#pragma once
// A reference to a model object that may be empty, as a storage slot past the
// last row or column is: using an empty one raises 91 (object not set).
#include "forms/lang/Error.h"

namespace quill::listview {

template <class T>
class ObjectRef {
public:
    ObjectRef(T* object = nullptr) : object_(object) {}

    T* operator->() const { return &Get(); }
    T& operator*() const { return Get(); }
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    friend bool operator==(const ObjectRef& a, const ObjectRef& b) { return a.object_ == b.object_; }

private:
    T& Get() const
    {
        if (!object_)
            throw forms::RuntimeError(forms::kObjectNotSet);
        return *object_;
    }

    T* object_;
};

}  // namespace quill::listview
