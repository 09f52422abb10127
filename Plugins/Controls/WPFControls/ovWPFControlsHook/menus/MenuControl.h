// The wrapper of a WPF Menu (a window's main menu): WPFMenu hands out a new menu object over the element each
// time, and the host's menu support gets the menu's window activated.
#pragma once

#include "../recognition/KindInfo.h"
#include "WPFMenuHelper.h"

class CovWPFCtrlMenu : public CovWPFCtrl, public ov::IDispatchMultiImpl<IovWPFMenu> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFMenu>;
    class CovWPFCtrlMenuInfo;

    // IovWPFMenu. The element itself is not read until a member of the menu object is called.
    HRESULT STDMETHODCALLTYPE get_WPFMenu(IDispatch** menu) override;
    // IovCtrlsMenuInternal: activates the first object from the menu's host object up that offers
    // IovHostWindow, under the action options 2 and 0; without one the generic invocation error, a failed
    // activation the host's error (E_FAIL with the error information, whatever the report modes).
    HRESULT STDMETHODCALLTYPE ActivateMenuOwner() override;
};

class CovWPFCtrlMenu::CovWPFCtrlMenuInfo : public CovWPFCtrlInfoOf<CovWPFCtrlMenu> {
public:
    CovWPFCtrlMenuInfo();
};
