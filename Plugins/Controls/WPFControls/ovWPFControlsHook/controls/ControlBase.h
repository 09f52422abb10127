// The wrapper of one WPF element and the base of every kind-specific wrapper: the member frame
// (EnterCall, CheckEnabled), the element's .NET object and host object, focus, host clicks, the
// shift-key words and the popup-root search.
#pragma once

#include "../dispatch/ComObject.h"
#include "../dispatch/DispDriver.h"
#include "../dispatch/InvokeException.h"
#include "../dispatch/MultiDispatch.h"
#include "../scripting/SyntaxItem.h"
#include "ovHostIntf.h"
#include "ovWPFControlsLib.h"

// Holds the host objects a wrapper caches between calls.
class CovOpenAppCtrlExtender : public CovSysNodeSyntaxItem {
protected:
    CovOpenAppCtrlExtender() = default;

    ov::ComPtr<IovHostObject> cachedHostObject_;
    ov::ComPtr<IovHostObject> cachedHostWindow_;
    LONG reentry_ = 0;
};

class CovWPFCtrl : public CovOpenAppCtrlExtender,
                   public ov::IDispatchMultiImpl<IovWPFControl>,
                   public IovCtrlsMenuInternal,
                   public virtual ov::CMultiDispatchRoot {
public:
    using Interfaces = ov::Interfaces<IovWPFControl, ov::Via<IDispatch, IovWPFControl>, IovCtrlsMenuInternal,
                                      IovCtrlBase>;
    class CovWPFCtrlBaseInfo;

    // IovWPFControl
    HRESULT STDMETHODCALLTYPE get_PopupMenu(IDispatch** value) override;
    // IovCtrlsMenuInternal
    HRESULT STDMETHODCALLTYPE ActivateMenuOwner() override;
    HRESULT STDMETHODCALLTYPE ActivateTopLevelWindow() override;

    // --- services of every wrapper member ---
    void EnterCall();
    // The element's .NET object: the bound one, else the native object behind the host object.
    CovDispDriver GetClrObject();
    // The host's object for the element (counted); the generic invocation error when there is none.
    ov::ComPtr<IovHostObject> GetHostObject();
    // Raises "The control is disabled. The action cannot be executed." when "IsEnabled" is false.
    void CheckEnabled();
    void FocusElement();
    // button: 0 left, 1 right, 2 middle; dbl: 0 single, else double; (-1, -1) is the host's default point.
    void ClickAt(IovHostObject* target, LONG x, LONG y, LONG shift, LONG dbl, LONG button);
    static ov::Bstr GetShiftKeysText(LONG shift);
    static bool IsVariantEmpty(const VARIANT& value);
    ov::ComPtr<IovHostObject> FindChildHostObject(IovHostObject* parent, const CovDispDriver& object);
    ov::ComPtr<IovHostObject> FindInPopupRoots(const CovDispDriver& object);
    // The action message and its remark, by MessageReportMode.
    void PostActionMessage(const wchar_t* message, const wchar_t* remark = L"");

    // The exception barrier of every automation member of a wrapper (see ov::Member).
    template <class Body> HRESULT Member(Body&& body) { return ov::Member(*this, std::forward<Body>(body)); }

protected:
    CovWPFCtrl() = default;
};

namespace ov {

// Makes a wrapper of class W bound to a .NET object (elementId null) or to the host's element identifier.
template <class W> ComPtr<IDispatch> MakeControl(const CovDispDriver* object, const GUID* elementId) {
    ComPtr<W> wrapper = Create<W>();
    if (object) wrapper->BindToObject(*object);
    else if (elementId) wrapper->BindToNode(*elementId);
    return wrapper.template As<IDispatch>();
}

} // namespace ov
