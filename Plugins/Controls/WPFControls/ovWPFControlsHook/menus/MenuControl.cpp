#include "MenuControl.h"

HRESULT CovWPFCtrlMenu::get_WPFMenu(IDispatch** menu) {
    return Member([&] {
        ov::RequireOut(menu);
        *menu = nullptr;
        EnterCall();
        *menu =
            ov::Create<CovWPFHelperMenu>(this, nullptr, L"WPFMenu", GetClrObject()).As<IDispatch>().Detach();
    });
}

HRESULT CovWPFCtrlMenu::ActivateMenuOwner() {
    return ov::HostCall([&] {
        EnterCall();
        for (ov::ComPtr<IovHostObject> object = GetHostObject(); object;
             object = ov::HostParentOf(object.Get())) {
            if (ov::ComPtr<IovHostWindow> window = ov::HostWindowOf(object.Get())) {
                ActivateHostWindow(window.Get());
                return;
            }
        }
        ov::RaiseInvocationError();
    });
}

CovWPFCtrlMenu::CovWPFCtrlMenuInfo::CovWPFCtrlMenuInfo()
    : CovWPFCtrlInfoOf(ctrlWPFMenu, __uuidof(IovWPFMenu), L"Menu", L"System.Windows.Controls.Menu", false) {}
