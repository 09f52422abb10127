// The info of the base kind (ctrlWPFBaseCtrl): the last of the kind table, it takes every WPF element that
// no earlier kind claimed, whatever its class, and wraps it in the plain control base.
#pragma once

#include "../controls/ControlBase.h"
#include "KindInfo.h"

class CovWPFCtrl::CovWPFCtrlBaseInfo : public CovWPFCtrlInfoOf<CovWPFCtrl> {
public:
    CovWPFCtrlBaseInfo();

    // Ignores the class name and the patterns: an element matches when it has a "ContextMenu" member.
    HRESULT STDMETHODCALLTYPE IsMatch(BSTR className, VARIANT* element, VARIANT_BOOL* match) override;
};
