// The host's mouse simulation: the on-screen objects whose IovMouseActions click an element of the
// simulated application, and the placing of internal parts (tree nodes) that have no host object.
//
// A click at (-1, -1) acts at the centre of the target, any other point at (left + x, top + y) of it. A
// click fails, leaving error information on the thread, when an action failure is injected, when the
// element has left the application, when the application does not respond or when the element is not
// visible; otherwise it is recorded and raised at its screen point (wpfsim::Application::Click): the element
// under the point gets it and the events bubble, so a point over another element clicks that one.
#pragma once

#include "HostObjects.h"

namespace ovhost {

struct ClickKind {
    wpfsim::MouseButton button;
    bool doubleClick;
    const char* operation;
};

// IovMouseActions, IovActionOptions and ISupportErrorInfo over Derived::Act and Derived::Options.
template <class Derived>
class MouseActionsBase : public CoreUser,
                         public DualDispatch<Derived, IovMouseActions>,
                         public IovActionOptions,
                         public ISupportErrorInfo {
public:
    using Interfaces = ov::Interfaces<IovMouseActions, ov::Via<IDispatch, IovMouseActions>, IovActionOptions,
                                      ISupportErrorInfo>;
    using CoreUser::CoreUser;

    HRESULT STDMETHODCALLTYPE Click(LONG x, LONG y, LONG shift) override {
        return Run({wpfsim::MouseButton::Left, false, "IovMouseActions::Click"}, x, y, shift);
    }
    HRESULT STDMETHODCALLTYPE ClickM(LONG x, LONG y, LONG shift) override {
        return Run({wpfsim::MouseButton::Middle, false, "IovMouseActions::ClickM"}, x, y, shift);
    }
    HRESULT STDMETHODCALLTYPE ClickR(LONG x, LONG y, LONG shift) override {
        return Run({wpfsim::MouseButton::Right, false, "IovMouseActions::ClickR"}, x, y, shift);
    }
    HRESULT STDMETHODCALLTYPE DblClick(LONG x, LONG y, LONG shift) override {
        return Run({wpfsim::MouseButton::Left, true, "IovMouseActions::DblClick"}, x, y, shift);
    }
    HRESULT STDMETHODCALLTYPE DblClickM(LONG x, LONG y, LONG shift) override {
        return Run({wpfsim::MouseButton::Middle, true, "IovMouseActions::DblClickM"}, x, y, shift);
    }
    HRESULT STDMETHODCALLTYPE DblClickR(LONG x, LONG y, LONG shift) override {
        return Run({wpfsim::MouseButton::Right, true, "IovMouseActions::DblClickR"}, x, y, shift);
    }

    HRESULT STDMETHODCALLTYPE get_ActionMode(LONG* mode) override {
        return GetOption("IovActionOptions::get_ActionMode", Self().Options().first, mode);
    }
    HRESULT STDMETHODCALLTYPE put_ActionMode(LONG mode) override {
        OVHOST_COUNTED(Count("IovActionOptions::put_ActionMode"));
        Self().Options().first = mode;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ActionFlags(LONG* flags) override {
        return GetOption("IovActionOptions::get_ActionFlags", Self().Options().second, flags);
    }
    HRESULT STDMETHODCALLTYPE put_ActionFlags(LONG flags) override {
        OVHOST_COUNTED(Count("IovActionOptions::put_ActionFlags"));
        Self().Options().second = flags;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return IsEqualIID(iid, __uuidof(IovMouseActions)) ? S_OK : S_FALSE;
    }

private:
    Derived& Self() { return static_cast<Derived&>(*this); }
    HRESULT Run(const ClickKind& kind, LONG x, LONG y, LONG shift) {
        OVHOST_COUNTED(Count(kind.operation));
        ClearErrorInfo();
        return Self().Act(kind, x, y, shift);
    }
    HRESULT GetOption(const char* operation, LONG value, LONG* out) {
        OVHOST_COUNTED(Count(operation));
        if (!out) return E_POINTER;
        *out = value;
        return S_OK;
    }
};

// The mouse actions of an element's object (its extension): options live in the object.
class ElementActions : public MouseActionsBase<ElementActions> {
public:
    ElementActions(std::shared_ptr<HostCore> core, ov::ComPtr<ElementNode> node);
    HRESULT Act(const ClickKind& kind, LONG x, LONG y, LONG shift);
    std::pair<LONG&, LONG&> Options() noexcept { return {node_->actionMode, node_->actionFlags}; }

private:
    ov::ComPtr<ElementNode> node_;
};

// The on-screen object of an internal part of an element (CreateObject with a context): it acts at the
// rectangle that the context reports, relative to the element's object, on whatever element lies there.
class PartActions : public MouseActionsBase<PartActions> {
public:
    PartActions(std::shared_ptr<HostCore> core, ov::ComPtr<ElementNode> owner,
                ov::ComPtr<IovWin32CtrlStdActionsWindow> part);
    HRESULT Act(const ClickKind& kind, LONG x, LONG y, LONG shift);
    std::pair<LONG&, LONG&> Options() noexcept { return {mode_, flags_}; }

private:
    ov::ComPtr<ElementNode> owner_;
    ov::ComPtr<IovWin32CtrlStdActionsWindow> part_;
    LONG mode_ = InitialActionMode;
    LONG flags_ = InitialActionFlags;
};

// IovInternalObjectHelper: the screen rectangle of an element that has no host object of its own.
class InternalObjectHelper : public CoreUser,
                             public DualDispatch<InternalObjectHelper, IovInternalObjectHelper> {
public:
    using Interfaces = ov::Interfaces<IovInternalObjectHelper, ov::Via<IDispatch, IovInternalObjectHelper>>;
    using CoreUser::CoreUser;
    HRESULT STDMETHODCALLTYPE GetScreenRectOfInternalObject(IDispatch* element, LONG* left, LONG* top,
                                                            LONG* width, LONG* height) override;
};

// Clicks an element as the host does (checks, record, the click at `screen`, where it lands).
HRESULT ClickElement(HostCore& core, wpfsim::Element* element, const ClickKind& kind, LONG x, LONG y,
                     LONG shift, POINT screen, std::pair<LONG, LONG> options);
// The point of a click at (x, y) of a rectangle; (-1, -1) is its centre.
POINT ClickPoint(const RECT& rect, LONG x, LONG y) noexcept;

} // namespace ovhost
