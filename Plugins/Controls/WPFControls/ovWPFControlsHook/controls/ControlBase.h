// The wrapper of one WPF element and the base of every kind-specific wrapper: the member frame
// (EnterCall, CheckEnabled), the element's .NET object and host object, focus, host clicks, the
// shift-key words and the popup-root search.
#pragma once

#include "com/ComObject.h"
#include "../dispatch/DispDriver.h"
#include "../dispatch/InvokeException.h"
#include "../dispatch/MultiDispatch.h"
#include "../scripting/SyntaxItem.h"
#include "ClrAccess.h"
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
    using Interfaces =
        ov::Interfaces<IovWPFControl, ov::Via<IDispatch, IovWPFControl>, IovCtrlsMenuInternal, IovCtrlBase>;
    class CovWPFCtrlBaseInfo;

    // IovWPFControl. A menu object over the element's "ContextMenu", made anew each time and not opened;
    // null for an element without one.
    HRESULT STDMETHODCALLTYPE get_PopupMenu(IDispatch** value) override;
    // IovCtrlsMenuInternal, the host's: failures are E_FAIL with the error information, whatever the report
    // modes. ActivateMenuOwner does nothing (the menu wrapper overrides it). ActivateTopLevelWindow
    // activates the nearest object of the top-level window type, from the element's host object up, and
    // returns the activation's result; without one the generic invocation error.
    HRESULT STDMETHODCALLTYPE ActivateMenuOwner() override;
    HRESULT STDMETHODCALLTYPE ActivateTopLevelWindow() override;

    // --- services of every wrapper member ---
    // Drops the cached host objects of a wrapper made for a .NET object, so that they are looked up afresh.
    void EnterCall();
    // The element's .NET object: the bound one, else the native object behind the host object.
    CovDispDriver GetClrObject();
    // The host's object for the element (counted, cached); the generic invocation error when there is none.
    ov::ComPtr<IovHostObject> GetHostObject();
    // The same without raising: null when the host has no object for the element.
    ov::ComPtr<IovHostObject> TryGetHostObject();
    // EnterCall, then "The control is disabled. The action cannot be executed." when "IsEnabled" is false.
    void CheckEnabled();
    // Activates the element's window (the first object up the host's parent chain that does not answer
    // IovNativeWindow, when it answers IovHostWindow), then calls the element's "Focus" when it has one.
    void FocusElement();
    // button: 0 left, 1 right, 2 middle; dbl: 0 single, else double; (-1, -1) is the host's default point.
    // The target's action options are 2 and 0 during the click; a failed click raises the host's error.
    void ClickAt(IovHostObject* target, LONG x, LONG y, LONG shift, LONG dbl, LONG button);
    // The words of a shift state for "A click with %s key pressed.": "no", or "the " and the keys.
    static ov::Bstr GetShiftKeysText(LONG shift);
    // Empty, null, a null object (also by reference); a VARIANT by reference is judged by its target.
    static bool IsVariantEmpty(const VARIANT& value);
    // Depth first below `parent`: the first host object whose native object is `object` ("ReferenceEquals").
    static ov::ComPtr<IovHostObject> FindChildHostObject(IovHostObject* parent, const CovDispDriver& object);
    // The host object of `object` inside one of the application's popup windows, or null.
    ov::ComPtr<IovHostObject> FindInPopupRoots(const CovDispDriver& object);
    // Activates a host window with the action options 2 and 0 around it; raises the host's error.
    static void ActivateHostWindow(IovHostWindow* window);
    // The action message and its remark, by MessageReportMode.
    void PostActionMessage(const wchar_t* message, const wchar_t* remark = L"");

    // The exception barrier of every automation member of a wrapper (see ov::Member).
    template <class Body> HRESULT Member(Body&& body) { return ov::Member(*this, std::forward<Body>(body)); }

protected:
    CovWPFCtrl() = default;
};

namespace ov {

// The host's object tree: the parent (null at the top or when the host cannot say), the object's type,
// the object itself or the nearest one above it of a type, and a host object's IovHostWindow (its own, or
// the extension of that identifier).
ComPtr<IovHostObject> HostParentOf(IovHostObject* object);
bool HasHostType(IovHostObject* object, const GUID& type);
ComPtr<IovHostObject> NearestOfHostType(IovHostObject* start, const GUID& type);
ComPtr<IovHostWindow> HostWindowOf(IovHostObject* object);

// Makes a wrapper of class W bound to a .NET object (elementId null) or to the host's element identifier.
template <class W> ComPtr<IDispatch> MakeControl(const CovDispDriver* object, const GUID* elementId) {
    ComPtr<W> wrapper = Create<W>();
    if (object)
        wrapper->BindToObject(*object);
    else if (elementId)
        wrapper->BindToNode(*elementId);
    return wrapper.template As<IDispatch>();
}

} // namespace ov
