#include "MemberInvoke.h"

#include "com/ComPtr.h"
#include "com/Lock.h"
#include "com/OleTypes.h"

#include <map>
#include <tuple>

namespace ov {
namespace {

// How a member takes arguments: its own count, and whether its result can be an object (a default
// member to pass the rest to). kUnknown: not a plain member of the type (DispInvoke decides).
// `absent`: the type has no function of that id for these flags and no variable of that id, so that
// DispInvoke would answer DISP_E_MEMBERNOTFOUND.
struct Shape {
    static constexpr int kUnknown = -1;
    int ownArgs = kUnknown;
    bool objectResult = false;
    bool absent = false;
};

using Key = std::tuple<ITypeInfo*, DISPID, WORD>;

struct Shapes {
    CriticalSection cs;
    std::map<Key, Shape> members;
    // Keeps the keys' type informations alive, so that no other one takes their address.
    std::map<ITypeInfo*, ComPtr<ITypeInfo>> held;
};

Shapes g_shapes;

bool IsObjectType(const TYPEDESC& t) {
    const TYPEDESC* d = &t;
    if (d->vt == VT_PTR) d = d->lptdesc; // an [out, retval] parameter
    return d->vt == VT_DISPATCH || d->vt == VT_VARIANT;
}

// Every function is read (once per member): the index that ITypeInfo2 finds by member id does not always
// count the inherited IDispatch functions that GetFuncDesc lists first.
Shape ReadShape(ITypeInfo* info, DISPID id, WORD flags) {
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) return {};
    const WORD funcs = attr->cFuncs, vars = attr->cVars;
    info->ReleaseTypeAttr(attr);
    bool present = false;
    for (WORD index = 0; index < funcs; ++index) {
        FUNCDESC* desc = nullptr;
        if (FAILED(info->GetFuncDesc(index, &desc))) return {};
        Shape shape;
        present = present || (desc->memid == id && (desc->invkind & flags));
        const bool match = desc->memid == id && (desc->invkind & (INVOKE_FUNC | INVOKE_PROPERTYGET) & flags);
        if (match && desc->cParamsOpt >= 0) {
            shape.ownArgs = 0;
            shape.objectResult = IsObjectType(desc->elemdescFunc.tdesc);
            for (SHORT i = 0; i < desc->cParams; ++i) {
                const ELEMDESC& p = desc->lprgelemdescParam[i];
                if (p.paramdesc.wParamFlags & PARAMFLAG_FRETVAL)
                    shape.objectResult = IsObjectType(p.tdesc);
                else if (!(p.paramdesc.wParamFlags & PARAMFLAG_FLCID))
                    ++shape.ownArgs;
            }
        }
        info->ReleaseFuncDesc(desc);
        if (match) return shape;
    }
    for (WORD index = 0; index < vars && !present; ++index) {
        VARDESC* desc = nullptr;
        if (FAILED(info->GetVarDesc(index, &desc))) return {};
        present = desc->memid == id;
        info->ReleaseVarDesc(desc);
    }
    Shape shape;
    shape.absent = !present;
    return shape;
}

Shape ShapeOf(ITypeInfo* info, DISPID id, WORD flags) {
    Key key{info, id, flags};
    Lock lock(g_shapes.cs);
    if (auto it = g_shapes.members.find(key); it != g_shapes.members.end()) return it->second;
    Shape shape = ReadShape(info, id, flags);
    try {
        g_shapes.held.try_emplace(info, info);
        g_shapes.members.emplace(key, shape);
    } catch (const std::bad_alloc&) {
        // Not remembered: read again next time.
    }
    return shape;
}

} // namespace

HRESULT InvokeMember(void* itf, ITypeInfo* info, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                     EXCEPINFO* excep, UINT* argErr) noexcept {
    UINT positional = params && params->cArgs > params->cNamedArgs ? params->cArgs - params->cNamedArgs : 0;
    if (positional == 0 || (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)))
        return DispInvoke(itf, info, id, flags, params, result, excep, argErr);
    Shape shape = ShapeOf(info, id, flags);
    if (shape.ownArgs == Shape::kUnknown || positional <= static_cast<UINT>(shape.ownArgs))
        return DispInvoke(itf, info, id, flags, params, result, excep, argErr);
    // Too many arguments and nowhere to pass them: refused before the member runs.
    if (!shape.objectResult || params->cNamedArgs != 0) return DISP_E_BADPARAMCOUNT;

    // The member's own arguments are the last ones of the reversed array; the rest go to the result.
    UINT own = static_cast<UINT>(shape.ownArgs);
    DISPPARAMS mine{params->rgvarg + (positional - own), nullptr, own, 0};
    Variant object;
    HRESULT hr = DispInvoke(itf, info, id, flags, &mine, object.Put(), excep, argErr);
    if (FAILED(hr)) {
        if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) {
            if (argErr) *argErr += positional - own;
        }
        return hr;
    }
    if (object.vt != VT_DISPATCH || !object.pdispVal) return DISP_E_BADPARAMCOUNT;
    DISPPARAMS rest{params->rgvarg, nullptr, positional - own, 0};
    return object.pdispVal->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, flags, &rest, result, excep,
                                   argErr);
}

bool LacksMember(ITypeInfo* info, DISPID id, WORD flags) noexcept {
    return ShapeOf(info, id, flags).absent;
}

void ClearMemberShapes() noexcept {
    std::map<ITypeInfo*, ComPtr<ITypeInfo>> held;
    {
        Lock lock(g_shapes.cs);
        g_shapes.members.clear();
        held.swap(g_shapes.held);
    }
}

} // namespace ov
