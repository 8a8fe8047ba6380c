#pragma once
// Late-bound automation: objects created by ProgID and driven by member
// names (Get, Put, Call), as the platform's forms drive them. Objects the
// system lacks (or cannot drive here) are served by in-process stand-ins of
// our own, registered by ProgID; "ADODB.Stream" is the first.
#include "forms/PropertyBag.h"

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

struct IDispatch;

namespace quill::forms {

class Container;
class Control;
struct ControlArgs;

class Object;
using ObjectRef = std::shared_ptr<Object>;

// A value passed to or returned by a late-bound member.
using Variant = std::variant<std::monostate, bool, int32_t, double, std::wstring, Bytes, ObjectRef>;

class Object {
public:
    virtual ~Object() = default;
    // A property's value; members that do not exist raise 438.
    virtual Variant Get(const std::wstring& name, const std::vector<Variant>& args = {}) = 0;
    virtual void Put(const std::wstring& name, const Variant& value) = 0;
    virtual Variant Call(const std::wstring& name, const std::vector<Variant>& args = {}) = 0;
};

// Creates the object: a registered stand-in, else the system's class; error
// 429 when neither exists, so the caller's fallback can run.
ObjectRef CreateObject(const std::wstring& progId);

// Registers an in-process stand-in for a ProgID (compared without case).
void RegisterStandIn(const std::wstring& progId, std::function<ObjectRef()> factory);

// An object the system handed out as IDispatch (takes a reference of its own).
ObjectRef WrapDispatch(IDispatch* dispatch);

// Controls made by ProgID at run time, as the platform's Controls.Add makes
// them: the factory creates and sites the control in `container`. Our own
// stand-ins for controls the system lacks are registered here; the chart
// control "FusionChartsForVB.FusionCharts" is built in.
using ControlFactory = std::function<std::unique_ptr<Control>(Container& container, const ControlArgs& args)>;
void RegisterControlStandIn(const std::wstring& progId, ControlFactory factory);
// Error 429 when no control is registered under the ProgID, or when its
// factory cannot make one.
std::unique_ptr<Control> CreateControl(const std::wstring& progId, Container& container,
                                       const ControlArgs& args);

// What a control made by ProgID offers of its own members, late-bound (the
// platform's extender's "object").
class ControlObject {
public:
    virtual ~ControlObject() = default;
    virtual ObjectRef Object() = 0;
};

// Conversions the callers need (error 13 when the value has no such form).
std::wstring VariantText(const Variant& v);
double VariantNumber(const Variant& v);
Bytes VariantBytes(const Variant& v);

}  // namespace quill::forms
