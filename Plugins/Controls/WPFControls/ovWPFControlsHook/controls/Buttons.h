// The wrappers of the five button kinds: button, repeat button, toggle button, radio button, check box.
// They keep no state: every member clicks the element through the host and reads the element's own
// properties back.
#pragma once

#include "../recognition/KindInfo.h"
#include "ControlBase.h"

class CovWPFCtrlButton : public CovWPFCtrl, public ov::IDispatchMultiImpl<IovWPFButton> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFButton>;
    class CovWPFCtrlButtonInfo;

    HRESULT STDMETHODCALLTYPE ClickButton() override;
};

class CovWPFCtrlRepeatButton : public CovWPFCtrl, public ov::IDispatchMultiImpl<IovWPFRepeatButton> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFRepeatButton>;
    class CovWPFCtrlRepeatButtonInfo;

    HRESULT STDMETHODCALLTYPE ClickButton(LONG count) override;
};

// The texts that tell the two three-state kinds apart.
struct CovWPFToggleTexts {
    const wchar_t* invalidState;     // message of every validation failure
    const wchar_t* notAccepted;      // details: the value is no state
    const wchar_t* grayedNotAllowed; // details: cbGrayed without "IsThreeState"
    const wchar_t* already;          // notice, "%s" = the state's word
    const wchar_t* clicked;          // action message
};

// The state model shared by the toggle button and the check box: states read from "IsChecked"
// (unchecked, checked, grayed), validation of a requested state, and setting it by at most two clicks.
// `Own` is the kind's dispinterface.
//
// ClickButton reaches the kind's own setting through IovWPFToggleButtonInternal. That operation is a
// COM method, so its invocation error travels as the thread's error information (description
// "message\r\n\r\ndetails", help context = kind) and ClickButton raises it again unchanged; a caller
// outside the module gets an ordinary COM error instead of a C++ exception.
template <class Own>
class CovWPFCtrlStateButton : public CovWPFCtrl,
                              public ov::IDispatchMultiImpl<Own>,
                              public IovWPFToggleButtonInternal {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, Own, IovWPFToggleButtonInternal>;

    // Own
    HRESULT STDMETHODCALLTYPE ClickButton(VARIANT state) override;
    HRESULT STDMETHODCALLTYPE get_wState(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_wState(LONG value) override;
    // IovWPFToggleButtonInternal
    HRESULT STDMETHODCALLTYPE ClickButtonInternal(VARIANT state) override;

protected:
    explicit CovWPFCtrlStateButton(const CovWPFToggleTexts& texts) noexcept : texts_(texts) {}

private:
    // 0 unchecked, 1 checked, 2 grayed (an empty "IsChecked").
    LONG ReadState();
    // The requested state as 0, 1 or 2; raises the kind's validation errors.
    LONG ValidateState(const VARIANT& value);
    void SetState(const VARIANT& value);

    const CovWPFToggleTexts& texts_;
};

class CovWPFCtrlToggleButton : public CovWPFCtrlStateButton<IovWPFToggleButton> {
public:
    class CovWPFCtrlToggleButtonInfo;

protected:
    CovWPFCtrlToggleButton() noexcept;
};

class CovWPFCtrlCheckBox : public CovWPFCtrlStateButton<IovWPFCheckBox> {
public:
    class CovWPFCtrlCheckBoxInfo;

protected:
    CovWPFCtrlCheckBox() noexcept;
};

class CovWPFCtrlRadioButton : public CovWPFCtrl, public ov::IDispatchMultiImpl<IovWPFRadioButton> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFRadioButton>;
    class CovWPFCtrlRadioButtonInfo;

    HRESULT STDMETHODCALLTYPE ClickButton() override;
    HRESULT STDMETHODCALLTYPE get_wChecked(VARIANT_BOOL* checked) override;

private:
    bool IsChecked();
};

class CovWPFCtrlButton::CovWPFCtrlButtonInfo : public CovWPFCtrlInfoOf<CovWPFCtrlButton> {
public:
    CovWPFCtrlButtonInfo();
};

class CovWPFCtrlRepeatButton::CovWPFCtrlRepeatButtonInfo : public CovWPFCtrlInfoOf<CovWPFCtrlRepeatButton> {
public:
    CovWPFCtrlRepeatButtonInfo();
};

class CovWPFCtrlToggleButton::CovWPFCtrlToggleButtonInfo : public CovWPFCtrlInfoOf<CovWPFCtrlToggleButton> {
public:
    CovWPFCtrlToggleButtonInfo();
};

class CovWPFCtrlRadioButton::CovWPFCtrlRadioButtonInfo : public CovWPFCtrlInfoOf<CovWPFCtrlRadioButton> {
public:
    CovWPFCtrlRadioButtonInfo();
};

class CovWPFCtrlCheckBox::CovWPFCtrlCheckBoxInfo : public CovWPFCtrlInfoOf<CovWPFCtrlCheckBox> {
public:
    CovWPFCtrlCheckBoxInfo();
};
