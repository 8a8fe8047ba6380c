#include "forms/Automation.h"

#include "forms/AdodbStream.h"
#include "forms/ChartControl.h"
#include "forms/Control.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/Picture.h"

#include <windows.h>
#include <oleauto.h>

#include <map>
#include <vector>

namespace quill::forms {

namespace {

struct NoCase {
    bool operator()(const std::wstring& a, const std::wstring& b) const
    {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    }
};

std::map<std::wstring, std::function<ObjectRef()>, NoCase>& StandIns()
{
    static std::map<std::wstring, std::function<ObjectRef()>, NoCase> registry{
        {L"ADODB.Stream", [] { return std::make_shared<AdodbStream>(); }},
    };
    return registry;
}

std::map<std::wstring, ControlFactory, NoCase>& ControlStandIns()
{
    static std::map<std::wstring, ControlFactory, NoCase> registry{
        {ChartControl::ProgId, &ChartControl::Make},
    };
    return registry;
}

// An object of the system's, reached through IDispatch.
class DispatchObject : public Object {
public:
    explicit DispatchObject(IDispatch* d) : d_(d) { d_->AddRef(); }
    ~DispatchObject() override { d_->Release(); }
    IDispatch* Dispatch() const { return d_; }

    Variant Get(const std::wstring& name, const std::vector<Variant>& args) override
    {
        return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, false);
    }
    void Put(const std::wstring& name, const Variant& value) override
    {
        Invoke(name, DISPATCH_PROPERTYPUT, {value}, true);
    }
    Variant Call(const std::wstring& name, const std::vector<Variant>& args) override
    {
        return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
    }

private:
    Variant Invoke(const std::wstring& name, WORD flags, const std::vector<Variant>& args, bool put);
    IDispatch* d_;
};

void ToVariant(const Variant& v, VARIANT& out)
{
    VariantInit(&out);
    if (auto* b = std::get_if<bool>(&v)) {
        out.vt = VT_BOOL;
        out.boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (auto* i = std::get_if<int32_t>(&v)) {
        out.vt = VT_I4;
        out.lVal = *i;
    } else if (auto* d = std::get_if<double>(&v)) {
        out.vt = VT_R8;
        out.dblVal = *d;
    } else if (auto* s = std::get_if<std::wstring>(&v)) {
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocStringLen(s->data(), static_cast<UINT>(s->size()));
    } else if (auto* bytes = std::get_if<Bytes>(&v)) {
        SAFEARRAY* sa = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes->size()));
        void* data = nullptr;
        if (sa && SUCCEEDED(SafeArrayAccessData(sa, &data))) {
            if (!bytes->empty())
                memcpy(data, bytes->data(), bytes->size());
            SafeArrayUnaccessData(sa);
        }
        out.vt = VT_ARRAY | VT_UI1;
        out.parray = sa;
    } else if (auto* o = std::get_if<ObjectRef>(&v)) {
        auto* d = dynamic_cast<DispatchObject*>(o->get());
        if (*o && !d)
            throw RuntimeError(kTypeMismatch);  // a stand-in cannot go to the system
        out.vt = VT_DISPATCH;
        out.pdispVal = d ? d->Dispatch() : nullptr;
        if (out.pdispVal)
            out.pdispVal->AddRef();
    }
}

Variant FromVariant(const VARIANT& in)
{
    const VARIANT* v = &in;
    if (v->vt == (VT_BYREF | VT_VARIANT))
        v = v->pvarVal;
    switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
        return {};
    case VT_BOOL:
        return v->boolVal != VARIANT_FALSE;
    case VT_BSTR:
        return std::wstring(v->bstrVal ? v->bstrVal : L"", v->bstrVal ? SysStringLen(v->bstrVal) : 0);
    case VT_DISPATCH:
        return v->pdispVal ? WrapDispatch(v->pdispVal) : ObjectRef{};
    case VT_ARRAY | VT_UI1:
    case VT_ARRAY | VT_I1: {
        Bytes bytes;
        SAFEARRAY* sa = v->parray;
        LONG lo = 0, hi = -1;
        if (sa && SafeArrayGetDim(sa) == 1 && SUCCEEDED(SafeArrayGetLBound(sa, 1, &lo)) &&
            SUCCEEDED(SafeArrayGetUBound(sa, 1, &hi)) && hi >= lo) {
            void* data = nullptr;
            if (SUCCEEDED(SafeArrayAccessData(sa, &data))) {
                auto* p = static_cast<const uint8_t*>(data);
                bytes.assign(p, p + (static_cast<size_t>(hi) - static_cast<size_t>(lo) + 1));
                SafeArrayUnaccessData(sa);
            }
        }
        return bytes;
    }
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_UI1:
    case VT_UI2:
    case VT_INT:
    case VT_ERROR: {
        VARIANT tmp;
        VariantInit(&tmp);
        if (SUCCEEDED(VariantChangeType(&tmp, const_cast<VARIANT*>(v), 0, VT_I4)))
            return static_cast<int32_t>(tmp.lVal);
        throw RuntimeError(kTypeMismatch);
    }
    default: {
        VARIANT tmp;
        VariantInit(&tmp);
        if (SUCCEEDED(VariantChangeType(&tmp, const_cast<VARIANT*>(v), 0, VT_R8)))
            return tmp.dblVal;
        throw RuntimeError(kTypeMismatch);
    }
    }
}

Variant DispatchObject::Invoke(const std::wstring& name, WORD flags, const std::vector<Variant>& args,
                               bool put)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    if (FAILED(d_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        throw RuntimeError(kMemberNotSupported);
    // Arguments go last to first.
    std::vector<VARIANT> vargs(args.size());
    for (size_t i = 0; i < args.size(); ++i)
        ToVariant(args[i], vargs[args.size() - 1 - i]);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{vargs.data(), put ? &named : nullptr, static_cast<UINT>(vargs.size()), put ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO ex{};
    UINT argErr = 0;
    HRESULT hr =
        d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, put ? nullptr : &result, &ex, &argErr);
    for (auto& v : vargs)
        VariantClear(&v);
    if (FAILED(hr)) {
        std::wstring text;
        int number = static_cast<int>(hr);
        if (hr == DISP_E_EXCEPTION) {
            if (ex.pfnDeferredFillIn)
                ex.pfnDeferredFillIn(&ex);
            if (ex.bstrDescription)
                text = ex.bstrDescription;
            number = ex.scode ? static_cast<int>(ex.scode) : ex.wCode;
        }
        SysFreeString(ex.bstrDescription);
        SysFreeString(ex.bstrSource);
        SysFreeString(ex.bstrHelpFile);
        if (hr == DISP_E_MEMBERNOTFOUND || hr == DISP_E_UNKNOWNNAME)
            throw RuntimeError(kMemberNotSupported);
        if (hr == DISP_E_TYPEMISMATCH)
            throw RuntimeError(kTypeMismatch);
        if (text.empty())
            throw RuntimeError(number, L"自动化错误");
        throw RuntimeError(number, text);
    }
    Variant out;
    try {
        out = FromVariant(result);
    } catch (...) {
        VariantClear(&result);
        throw;
    }
    VariantClear(&result);
    return out;
}

}  // namespace

void RegisterStandIn(const std::wstring& progId, std::function<ObjectRef()> factory)
{
    StandIns()[progId] = std::move(factory);
}

void RegisterControlStandIn(const std::wstring& progId, ControlFactory factory)
{
    ControlStandIns()[progId] = std::move(factory);
}

std::unique_ptr<Control> CreateControl(const std::wstring& progId, Container& container,
                                       const ControlArgs& args)
{
    auto& standIns = ControlStandIns();
    auto it = standIns.find(progId);
    std::unique_ptr<Control> control = it == standIns.end() ? nullptr : it->second(container, args);
    if (!control)
        throw RuntimeError(kClassNotAvailable);
    return control;
}

ObjectRef WrapDispatch(IDispatch* dispatch)
{
    return std::make_shared<DispatchObject>(dispatch);
}

ObjectRef CreateObject(const std::wstring& progId)
{
    auto& standIns = StandIns();
    if (auto it = standIns.find(progId); it != standIns.end())
        return it->second();
    EnsureCom();
    CLSID clsid;
    IDispatch* d = nullptr;
    if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&d))) ||
        !d)
        throw RuntimeError(kClassNotAvailable);
    ObjectRef o = WrapDispatch(d);
    d->Release();
    return o;
}

std::wstring VariantText(const Variant& v)
{
    if (auto* s = std::get_if<std::wstring>(&v))
        return *s;
    if (std::holds_alternative<std::monostate>(v))
        return {};
    if (auto* b = std::get_if<bool>(&v))
        return *b ? L"True" : L"False";
    if (auto* i = std::get_if<int32_t>(&v))
        return std::to_wstring(*i);
    if (auto* d = std::get_if<double>(&v))
        return NumberText(*d);
    throw RuntimeError(kTypeMismatch);
}

double VariantNumber(const Variant& v)
{
    if (auto* i = std::get_if<int32_t>(&v))
        return *i;
    if (auto* d = std::get_if<double>(&v))
        return *d;
    if (auto* b = std::get_if<bool>(&v))
        return *b ? -1 : 0;
    if (std::holds_alternative<std::monostate>(v))
        return 0;
    throw RuntimeError(kTypeMismatch);
}

Bytes VariantBytes(const Variant& v)
{
    if (auto* b = std::get_if<Bytes>(&v))
        return *b;
    throw RuntimeError(kTypeMismatch);
}

}  // namespace quill::forms
