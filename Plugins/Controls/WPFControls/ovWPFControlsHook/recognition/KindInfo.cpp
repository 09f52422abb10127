#include "KindInfo.h"

#include "../dispatch/InvokeException.h"
#include "BaseCtrlInfo.h"

namespace ov {

// Greedy walk with one backtracking point, the last wildcard: a later wildcard can absorb whatever an
// earlier one would, so retrying only the last one loses no match and never goes exponential. Pattern
// tokens are read on the fly ("**" a literal asterisk, a lone "*" the wildcard), which keeps the
// backtracking point on a token boundary.
bool MatchMask(const wchar_t* pattern, const wchar_t* text) {
    const wchar_t* p = pattern ? pattern : L"";
    const wchar_t* t = text ? text : L"";
    const wchar_t* afterStar = nullptr; // the pattern right after the last wildcard
    const wchar_t* starEnd = nullptr;   // where the last wildcard's run currently ends in the text
    for (;;) {
        if (p[0] == L'*' && p[1] != L'*') {
            afterStar = ++p;
            starEnd = t;
            continue;
        }
        if (*t == 0) {
            if (*p == 0) return true;
        } else if (*p != 0) {
            const bool literalStar = *p == L'*';
            if (*p == L'?' || (literalStar ? *t == L'*' : *p == *t)) {
                p += literalStar ? 2 : 1;
                ++t;
                continue;
            }
        }
        // Mismatch: let the last wildcard take one more character, if there is one left.
        if (!afterStar || *starEnd == 0) return false;
        p = afterStar;
        t = ++starEnd;
    }
}

std::vector<Bstr> SplitClassString(const wchar_t* classString) {
    std::vector<Bstr> names;
    std::wstring_view rest = classString ? classString : L"";
    while (!rest.empty()) {
        const size_t start = rest.find_first_not_of(L' ');
        if (start == std::wstring_view::npos) break;
        rest.remove_prefix(start);
        const size_t end = rest.find(L' ');
        names.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end == std::wstring_view::npos ? rest.size() : end);
    }
    return names;
}

Variant MakeClassNameList(const std::vector<Bstr>& names) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(names.size()), 0}, {1, 0}};
    SafeArray array(SafeArrayCreate(VT_VARIANT, 2, bounds));
    if (!array.Get()) return Variant();
    for (size_t i = 0; i < names.size(); ++i) {
        LONG index[2] = {static_cast<LONG>(i), 0};
        Variant name;
        name.bstrVal = Bstr(names[i]).Detach();
        name.vt = VT_BSTR;
        ThrowIfFailed(SafeArrayPutElement(array.Get(), index, &name));
    }
    Variant list;
    list.parray = array.Detach();
    list.vt = VT_ARRAY | VT_VARIANT;
    return list;
}

std::optional<std::vector<Bstr>> ReadClassNameList(const VARIANT* list) {
    if (list && list->vt == (VT_BYREF | VT_VARIANT)) list = list->pvarVal;
    if (!list || !(list->vt & VT_ARRAY)) return std::nullopt;
    SAFEARRAY* array = (list->vt & VT_BYREF) ? (list->pparray ? *list->pparray : nullptr) : list->parray;
    if (!array || SafeArrayGetDim(array) != 2) return std::nullopt;

    VARTYPE type = VT_EMPTY;
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetVartype(array, &type)) || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper)))
        return std::nullopt;

    std::vector<Bstr> names;
    for (LONG i = lower; i <= upper; ++i) {
        LONG index[2] = {i, 0};
        if (type == VT_VARIANT) {
            Variant element;
            HRESULT hr = SafeArrayGetElement(array, index, static_cast<VARIANT*>(&element));
            if (hr == E_OUTOFMEMORY) throw ComError(hr);
            if (SUCCEEDED(hr) && element.vt == VT_BSTR) names.push_back(Bstr::CopyOf(element.bstrVal));
        } else if (type == VT_BSTR) {
            BSTR element = nullptr;
            HRESULT hr = SafeArrayGetElement(array, index, &element);
            if (hr == E_OUTOFMEMORY) throw ComError(hr);
            if (SUCCEEDED(hr)) names.push_back(Bstr::Adopt(element));
        }
    }
    return names;
}

} // namespace ov

namespace {

HRESULT CopyAt(const std::vector<ov::Bstr>& names, LONG index, BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index < 0 || static_cast<size_t>(index) >= names.size()) return E_INVALIDARG;
    return names[static_cast<size_t>(index)].CopyTo(out);
}

HRESULT CountOf(const std::vector<ov::Bstr>& names, LONG* count) {
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(names.size());
    return S_OK;
}

} // namespace

CovCtrlMappingInfo::CovCtrlMappingInfo(const GUID& key, const wchar_t* displayName,
                                       const wchar_t* classString, bool fixed)
    : key_(key), displayName_(displayName), groupName_(L"WPF Controls"),
      defaultClassNames_(ov::SplitClassString(classString)), classNames_(defaultClassNames_),
      fixed_(fixed ? VARIANT_TRUE : VARIANT_FALSE) {}

HRESULT CovCtrlMappingInfo::GetKey(GUID* key) {
    if (!key) return E_POINTER;
    *key = key_;
    return S_OK;
}

// A null out pointer is tolerated here and in GetGroupName: the host asks for names without checking.
HRESULT CovCtrlMappingInfo::GetDisplayName(BSTR* name) {
    return name ? displayName_.CopyTo(name) : S_OK;
}

HRESULT CovCtrlMappingInfo::GetDefaultClassNameCount(LONG* count) {
    return CountOf(defaultClassNames_, count);
}

HRESULT CovCtrlMappingInfo::GetDefaultClassName(LONG index, BSTR* className) {
    return CopyAt(defaultClassNames_, index, className);
}

HRESULT CovCtrlMappingInfo::GetClassNameCount(LONG* count) {
    return CountOf(classNames_, count);
}

HRESULT CovCtrlMappingInfo::GetClassName(LONG index, BSTR* className) {
    return CopyAt(classNames_, index, className);
}

HRESULT CovCtrlMappingInfo::Refresh() {
    return ov::Guard([&] { ov::MakeClassNameList(classNames_); });
}

HRESULT CovCtrlMappingInfo::ClearClassNames() {
    classNames_.clear();
    return S_OK;
}

HRESULT CovCtrlMappingInfo::AddClassName(BSTR className) {
    return ov::Guard([&] { classNames_.push_back(ov::Bstr::CopyOf(className)); });
}

HRESULT CovCtrlMappingInfo::GetGroupName(BSTR* name) {
    return name ? groupName_.CopyTo(name) : S_OK;
}

HRESULT CovCtrlMappingInfo::GetSecondaryKey(GUID* key) {
    if (!key) return E_POINTER;
    *key = secondaryKey_;
    return S_OK;
}

HRESULT CovCtrlMappingInfo::GetFixedFlag(VARIANT_BOOL* fixed) {
    if (!fixed) return E_POINTER;
    *fixed = fixed_;
    return S_OK;
}

// The host's extension objects are the hook objects of every extender, in the order the extenders
// answered; the first that speaks for the element (IovOpenAppControlHookExtender) has its class name.
// A hook object that fails to give it ends the search: found stays false and the call still succeeds.
HRESULT CovCtrlMappingInfo::GetNativeClassName(IUnknown* hostObject, BSTR* className, VARIANT_BOOL* found) {
    if (!className || !found) return E_POINTER;
    *className = nullptr;
    *found = VARIANT_FALSE;
    auto extensions = ov::QueryAs<IovExtensionList>(hostObject);
    LONG count = 0;
    if (!extensions || FAILED(extensions->GetCount(&count))) return S_OK;
    for (LONG i = 0; i < count; ++i) {
        ov::ComPtr<IUnknown> carried;
        if (FAILED(extensions->GetExtensionObject(i, carried.Put()))) continue;
        auto extender = carried.As<IovOpenAppControlHookExtender>();
        if (!extender) continue;
        if (SUCCEEDED(extender->get_NativeClassName(className))) *found = VARIANT_TRUE;
        return S_OK;
    }
    return S_OK;
}

HRESULT CovCtrlMappingInfo::SetClassNames(VARIANT* classNames, VARIANT_BOOL* done) {
    return ov::Guard([&] {
        ov::RequireOut(done);
        *done = VARIANT_FALSE;
        if (auto names = ov::ReadClassNameList(classNames)) {
            classNames_ = std::move(*names);
            *done = VARIANT_TRUE;
        }
    });
}

HRESULT CovCtrlMappingInfo::GetClassNames(VARIANT* classNames, VARIANT_BOOL* done) {
    return ov::Guard([&] {
        ov::RequireOut(classNames);
        ov::RequireOut(done);
        VariantClear(classNames);
        *done = VARIANT_FALSE; // also when the list cannot be made
        ov::Variant list = ov::MakeClassNameList(classNames_);
        *done = list.vt != VT_EMPTY ? VARIANT_TRUE : VARIANT_FALSE;
        *classNames = list.Detach();
    });
}

HRESULT CovCtrlMappingInfo::IsMatch(BSTR className, VARIANT*, VARIANT_BOOL* match) {
    if (!match) return E_POINTER;
    *match = VARIANT_FALSE;
    for (const ov::Bstr& pattern : classNames_) {
        if (ov::MatchMask(pattern.c_str(), className)) {
            *match = VARIANT_TRUE;
            break;
        }
    }
    return S_OK;
}

CovWPFControlInfo::CovWPFControlInfo(LONG kind, const GUID& key, const wchar_t* displayName,
                                     const wchar_t* classString, bool fixed)
    : CovCtrlMappingInfo(key, displayName, classString, fixed), kind_(kind) {}

// A wrapper needs an object to stand for: a null CLR object is refused rather than wrapped.
HRESULT CovWPFControlInfo::CreateControl(IDispatch* clrObject, IDispatch** control) {
    if (control) *control = nullptr;
    return ov::Guard([&] {
        ov::RequireOut(control);
        ov::RequireOut(clrObject);
        CovDispDriver object(clrObject);
        *control = MakeWrapper(&object, nullptr).Detach();
    });
}

HRESULT CovWPFControlInfo::CreateControlWithKey(const GUID* elementId, IDispatch** control) {
    if (control) *control = nullptr;
    return ov::Guard([&] {
        ov::RequireOut(control);
        ov::RequireOut(elementId);
        *control = MakeWrapper(nullptr, elementId).Detach();
    });
}

HRESULT CovWPFControlInfo::GetControlType(LONG* kind) {
    if (!kind) return E_POINTER;
    *kind = kind_;
    return S_OK;
}

CovWPFCtrlItemInfo::CovWPFCtrlItemInfo(LONG kind, const wchar_t* displayName, const wchar_t* classString)
    : CovWPFControlInfo(kind, GUID{}, displayName, classString, true), classString_(classString) {}

CovWPFActionTransparentInfo::CovWPFActionTransparentInfo()
    : CovWPFControlInfo(ctrlWPFActTransparent, GUID{}, L"", ClassString, true) {}

CovWPFCtrl::CovWPFCtrlBaseInfo::CovWPFCtrlBaseInfo()
    : CovWPFCtrlInfoOf(ctrlWPFBaseCtrl, __uuidof(IovWPFControl), L"", L"CovWPFCtrl", true) {}

// Every WPF framework element has a "ContextMenu"; elements of other technologies and values that are
// no object do not match.
HRESULT CovWPFCtrl::CovWPFCtrlBaseInfo::IsMatch(BSTR, VARIANT* element, VARIANT_BOOL* match) {
    if (!match) return E_POINTER;
    *match = VARIANT_FALSE;
    if (!element || (element->vt != VT_DISPATCH && element->vt != (VT_DISPATCH | VT_BYREF))) return S_OK;
    return ov::Guard([&] {
        CovDispDriver object;
        object.AttachVariant(*element);
        if (!object.Empty() && object.HasMember(L"ContextMenu", nullptr)) *match = VARIANT_TRUE;
    });
}
