#pragma once
// Holders for a window's controls. A form's controls are created afresh on
// every load and end when it unloads, while the form object and its own
// values stay: a form declares each control as Loaded<T> (or ControlArray<T>
// for a control array) and creates it in its layout step.
//
//     forms::Loaded<forms::TextBox> cPass;
//     cPass.Load(*this, {.name = L"cPass", .left = 1260, ...});
//     cPass->KeyDown = [this](forms::KeyArgs& e) { cPass_KeyDown(e); };
//
// Unloading hands the control to Release(), so a control whose handler is
// running is destroyed only after that handler returns.
#include "forms/Container.h"
#include "forms/Control.h"
#include "forms/Lifetime.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace quill::forms {

// Whatever holds controls that the form ends when it unloads. A holder and
// its form may end in either order: each tells the other.
class ControlHolder {
public:
    virtual ~ControlHolder();
    virtual void UnloadAll() = 0;

protected:
    ControlHolder() = default;
    void Adopt(Container& container);
    void Forget();

private:
    friend class Form;
    Form* form_ = nullptr;
};

template <class T>
class Loaded : public ControlHolder {
public:
    Loaded() = default;
    ~Loaded() override
    {
        UnloadAll();
        Forget();
    }
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;

    // Creates the control in the container; `extra` are the rest of
    // T::Create's arguments (its own design values, or a stored layout).
    template <class... Extra>
    T& Load(Container& container, const ControlArgs& args, Extra&&... extra)
    {
        UnloadAll();
        auto control = std::make_unique<T>();
        T& ref = *control;
        control_ = std::move(control);
        Adopt(container);
        ref.Create(container, args, std::forward<Extra>(extra)...);
        return ref;
    }
    void UnloadAll() override
    {
        if (control_)
            Release(std::unique_ptr<Window>(control_.release()));
    }

    T* operator->() const { return control_.get(); }
    T& operator*() const { return *control_; }
    T* get() const { return control_.get(); }
    explicit operator bool() const { return control_ != nullptr; }

private:
    std::unique_ptr<T> control_;
};

// Elements with an index: the first is created from the layout, more are
// loaded and unloaded at run time as copies of the first's design, hidden.
// `Wire` runs for every element created, so one handler gets the index.
template <class T>
class ControlArray : public ControlHolder {
public:
    ControlArray() = default;
    ~ControlArray() override
    {
        UnloadAll();
        Forget();
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    std::function<void(T&)> Wire;

    // An element from the layout.
    template <class... Extra>
    T& Load(int index, Container& container, ControlArgs args, Extra... extra)
    {
        args.index = index;
        if (!design_) {
            design_ = [&container, args, extra...](T& element, int i) {
                ControlArgs copy = args;
                copy.index = i;
                copy.visible = false;
                copy.tabIndex = -1;
                element.Create(container, copy, extra...);
            };
        }
        Adopt(container);
        return Add(index, [&](T& e) { e.Create(container, args, extra...); });
    }
    // An element loaded at run time: a hidden copy of the first's design.
    T& Load(int index)
    {
        return Add(index, [&](T& e) { design_(e, index); });
    }
    void Unload(int index)
    {
        auto it = elements_.find(index);
        if (it == elements_.end())
            return;
        auto control = std::move(it->second);
        elements_.erase(it);
        Release(std::unique_ptr<Window>(control.release()));
    }
    void UnloadAll() override
    {
        while (!elements_.empty())
            Unload(elements_.rbegin()->first);
        design_ = nullptr;
    }

    bool Contains(int index) const { return elements_.count(index) != 0; }
    T& operator[](int index) const { return *elements_.at(index); }
    int Count() const { return static_cast<int>(elements_.size()); }
    int LBound() const { return elements_.empty() ? 0 : elements_.begin()->first; }
    int UBound() const { return elements_.empty() ? -1 : elements_.rbegin()->first; }

private:
    template <class F>
    T& Add(int index, F create)
    {
        Unload(index);
        auto control = std::make_unique<T>();
        T& ref = *control;
        elements_[index] = std::move(control);
        create(ref);
        if (Wire)
            Wire(ref);
        return ref;
    }

    std::map<int, std::unique_ptr<T>> elements_;
    std::function<void(T&, int)> design_;
};

}  // namespace quill::forms
