#include "Buttons.h"

#include "Items.h"

namespace {

// Indexed by TButtonState.
const wchar_t* const kStateWords[] = {L"unchecked", L"checked", L"grayed"};
const wchar_t* const kStateChanged = L"The control state has been changed to '%s'.";

const CovWPFToggleTexts kToggleButtonTexts = {
    L"Invalid state of the toggle button.",
    L"Only the following values can be used as the toggle button state: 0, 1, 2, True, False.",
    L"Cannot change the state of the toggle button. The cbGrayed state is valid only for those controls that "
    L"have the IsThreeState property set to True.",
    L"The toggle button is already %s.",
    L"The toggle button was clicked with the left mouse button.",
};

const CovWPFToggleTexts kCheckBoxTexts = {
    L"Invalid state of the check-box.",
    L"Only the following values can be used as the check-box state: 0, 1, 2, True and False.",
    L"Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that "
    L"have the IsThreeState property set to True.",
    L"The check box is already %s.",
    L"The check box was clicked with the left mouse button.",
};

// The click of every button member: the host's default point, no keys, single, left.
void ClickElement(CovWPFCtrl& control, IovHostObject* target) {
    control.ClickAt(target, -1, -1, 0, 0, 0);
}

// An invocation error leaves IovWPFToggleButtonInternal as the thread's error information, marked with
// that interface's identifier; the kind rides in the help context.
HRESULT PassInternalError(const CovInvokeException& error) noexcept {
    HRESULT hr = ov::Guard([&] {
        ov::SetThreadErrorInfo(error, &__uuidof(IovWPFToggleButtonInternal),
                               static_cast<DWORD>(error.Kind()));
    });
    return FAILED(hr) ? hr : DISP_E_EXCEPTION;
}

// The barrier of IovWPFToggleButtonInternal, which has no report modes of its own.
template <class Body> HRESULT InternalBarrier(Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (const CovInvokeException& e) {
        return PassInternalError(e);
    } catch (...) {
        // Only an invocation error travels as error information; nothing stale may pass for one.
        SetErrorInfo(0, nullptr);
        return ov::ResultOfCurrentException();
    }
}

// The counterpart on the calling side: the same exception again, or the COM failure as it came.
[[noreturn]] void RaiseInternalError(HRESULT hr) {
    ov::ComPtr<IErrorInfo> info;
    GUID origin{};
    if (GetErrorInfo(0, info.Put()) == S_OK && info && SUCCEEDED(info->GetGUID(&origin)) &&
        IsEqualGUID(origin, __uuidof(IovWPFToggleButtonInternal)))
        throw CovInvokeException(info.Get());
    throw ov::ComError(hr);
}

} // namespace

// --- button ------------------------------------------------------------------------------------------

HRESULT CovWPFCtrlButton::ClickButton() {
    return Member([&] {
        CheckEnabled();
        ClickElement(*this, GetHostObject().Get());
        PostActionMessage(L"The button was clicked with the left mouse button.");
    });
}

CovWPFCtrlButton::CovWPFCtrlButtonInfo::CovWPFCtrlButtonInfo()
    : CovWPFCtrlInfoOf(ctrlWPFButton, __uuidof(IovWPFButton), L"Button", L"System.Windows.Controls.Button",
                       false) {}

// --- repeat button -----------------------------------------------------------------------------------

HRESULT CovWPFCtrlRepeatButton::ClickButton(LONG count) {
    return Member([&] {
        CheckEnabled();
        if (count < 1)
            throw CovInvokeException(L"Invalid argument.",
                                     L"The argument of the ClickButton method must be a positive integer.",
                                     CovInvokeException::Error);
        // The host object stands for the element, not for a place on screen: one serves every click.
        ov::ComPtr<IovHostObject> host = GetHostObject();
        for (LONG i = 0; i < count; ++i)
            ClickElement(*this, host.Get());
        if (count == 1)
            PostActionMessage(L"The repeat button was clicked with the left mouse button.");
        else
            PostActionMessage(
                ov::Format(L"The repeat button was clicked with the left mouse button %d times.", count)
                    .c_str());
    });
}

CovWPFCtrlRepeatButton::CovWPFCtrlRepeatButtonInfo::CovWPFCtrlRepeatButtonInfo()
    : CovWPFCtrlInfoOf(ctrlWPFRepeatButton, __uuidof(IovWPFRepeatButton), L"Repeat button",
                       L"System.Windows.Controls.Primitives.RepeatButton", false) {}

// --- toggle button and check box ---------------------------------------------------------------------

template <class Own> HRESULT CovWPFCtrlStateButton<Own>::ClickButton(VARIANT state) {
    return Member([&] {
        CheckEnabled();
        IovWPFToggleButtonInternal* internal = this;
        if (HRESULT hr = internal->ClickButtonInternal(state); FAILED(hr)) RaiseInternalError(hr);
    });
}

template <class Own> HRESULT CovWPFCtrlStateButton<Own>::get_wState(LONG* value) {
    return Member([&] {
        ov::RequireOut(value);
        EnterCall();
        *value = ReadState();
    });
}

template <class Own> HRESULT CovWPFCtrlStateButton<Own>::put_wState(LONG value) {
    return Member([&] {
        EnterCall();
        LONG state = ValidateState(ov::Variant::Int(value));
        CovDispDriver clr = GetClrObject();
        if (state == cbGrayed)
            ov::SetValue(clr, L"IsChecked", ov::Variant());
        else
            ov::SetBool(clr, L"IsChecked", state == cbChecked);
    });
}

template <class Own> HRESULT CovWPFCtrlStateButton<Own>::ClickButtonInternal(VARIANT state) {
    return InternalBarrier([&] { SetState(state); });
}

template <class Own> LONG CovWPFCtrlStateButton<Own>::ReadState() {
    ov::Variant value = ov::GetRaw(GetClrObject(), L"IsChecked");
    if (IsVariantEmpty(value)) return cbGrayed;
    ov::Variant flag;
    if (SUCCEEDED(VariantChangeType(&flag, &value, 0, VT_BOOL)))
        return flag.boolVal ? cbChecked : cbUnChecked;
    // A bool? that the host hands over as the boxed struct.
    CovDispDriver boxed;
    boxed.AttachVariant(value);
    return ov::GetBool(boxed, L"m_Value") ? cbChecked : cbUnChecked;
}

template <class Own> LONG CovWPFCtrlStateButton<Own>::ValidateState(const VARIANT& value) {
    LONG state = 0;
    if (!ov::VariantToInt(value, state))
        throw CovInvokeException(texts_.invalidState, texts_.notAccepted, CovInvokeException::Error);
    switch (state) {
    case 1:
    case -1:
        return cbChecked;
    case 0:
        return cbUnChecked;
    case 2:
        if (!ov::GetBool(GetClrObject(), L"IsThreeState"))
            throw CovInvokeException(texts_.invalidState, texts_.grayedNotAllowed, CovInvokeException::Error);
        return cbGrayed;
    default:
        throw CovInvokeException(texts_.invalidState, texts_.notAccepted, CovInvokeException::Error);
    }
}

template <class Own> void CovWPFCtrlStateButton<Own>::SetState(const VARIANT& value) {
    EnterCall();
    const LONG target = ValidateState(value);
    LONG before = ReadState();
    if (before == target)
        throw CovInvokeException(ov::Format(texts_.already, kStateWords[target]).c_str(), L"",
                                 CovInvokeException::Notice);
    ov::ComPtr<IovHostObject> host = GetHostObject();
    // With WPF's order of states one click reaches any state of a two-state control, two clicks any
    // state of a three-state one. A click that changes nothing (the application put the state back)
    // ends the action quietly.
    for (int click = 1; click <= 2; ++click) {
        ClickElement(*this, host.Get());
        LONG now = ReadState();
        if (now == before) return;
        if (now == target || click == 2) {
            PostActionMessage(texts_.clicked, ov::Format(kStateChanged, kStateWords[target]).c_str());
            return;
        }
        before = now;
    }
}

template class CovWPFCtrlStateButton<IovWPFToggleButton>;
template class CovWPFCtrlStateButton<IovWPFCheckBox>;

CovWPFCtrlToggleButton::CovWPFCtrlToggleButton() noexcept : CovWPFCtrlStateButton(kToggleButtonTexts) {}

CovWPFCtrlToggleButton::CovWPFCtrlToggleButtonInfo::CovWPFCtrlToggleButtonInfo()
    : CovWPFCtrlInfoOf(ctrlWPFToggleButton, __uuidof(IovWPFToggleButton), L"Toggle button",
                       L"System.Windows.Controls.Primitives.ToggleButton", false) {}

CovWPFCtrlCheckBox::CovWPFCtrlCheckBox() noexcept : CovWPFCtrlStateButton(kCheckBoxTexts) {}

CovWPFCtrlCheckBox::CovWPFCtrlCheckBoxInfo::CovWPFCtrlCheckBoxInfo()
    : CovWPFCtrlInfoOf(ctrlWPFCheckBox, __uuidof(IovWPFCheckBox), L"Check box",
                       L"System.Windows.Controls.CheckBox", false) {}

// --- radio button ------------------------------------------------------------------------------------

HRESULT CovWPFCtrlRadioButton::ClickButton() {
    return Member([&] {
        CheckEnabled();
        ClickElement(*this, GetHostObject().Get());
        if (!IsChecked())
            throw CovInvokeException(L"The radio button was clicked, but it stayed in the unchecked state.",
                                     L"", CovInvokeException::Error);
        PostActionMessage(L"The radio button was clicked with the left mouse button.",
                          L"The control state has been changed to 'checked'.");
    });
}

HRESULT CovWPFCtrlRadioButton::get_wChecked(VARIANT_BOOL* checked) {
    return Member([&] {
        ov::RequireOut(checked);
        EnterCall();
        *checked = IsChecked() ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

bool CovWPFCtrlRadioButton::IsChecked() {
    ov::Variant value = ov::GetRaw(GetClrObject(), L"IsChecked");
    ov::Variant converted;
    if (SUCCEEDED(VariantChangeType(&converted, &value, 0, VT_BOOL)))
        return converted.boolVal != VARIANT_FALSE;
    if (FAILED(VariantChangeType(&converted, &value, 0, VT_DISPATCH))) return false;
    // A null object is a bool? without a value: not checked.
    if (!converted.pdispVal) return false;
    return ov::GetBool(CovDispDriver(converted.pdispVal), L"m_Value");
}

CovWPFCtrlRadioButton::CovWPFCtrlRadioButtonInfo::CovWPFCtrlRadioButtonInfo()
    : CovWPFCtrlInfoOf(ctrlWPFRadioButton, __uuidof(IovWPFRadioButton), L"Radio button",
                       L"System.Windows.Controls.RadioButton", false) {}
