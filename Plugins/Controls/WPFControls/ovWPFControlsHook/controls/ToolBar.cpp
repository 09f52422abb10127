#include "ToolBar.h"

#include <string>

namespace {

const wchar_t* const kClicked = L"The toolbar button %s was clicked.";
const wchar_t* const kDoubleClicked = L"The toolbar item %s was double-clicked.";
const wchar_t* const kClickRemark = L"A click with %s key pressed.";
const wchar_t* const kNotCheckButton = L"The toolbar button %s is not a check button.";
const wchar_t* const kInvalidState = L"Invalid state of the toolbar check button.";
const wchar_t* const kStatesAccepted =
    L"Only the following values can be used as the check box state: 0, 1, 2, True and False.";
const wchar_t* const kNotThreeState = L"The toolbar button %s is not a three-state check button.";
const wchar_t* const kAlready = L"The toolbar button %s is already %s.";
const wchar_t* const kDisabled = L"The toolbar button %s is disabled.";
const wchar_t* const kNotSetUp =
    L"The %s button of the toolbar was clicked, but the specified state was not set up.";
const wchar_t* const kStays = L"The button stays in the %s state.";
const wchar_t* const kStateSet = L"The toolbar button %s was %s.";
const wchar_t* const kStateWords[] = {L"unchecked", L"checked", L"grayed"};

constexpr LONG kLeft = 0;
constexpr LONG kRight = 1;
constexpr LONG kSingle = 0;
constexpr LONG kDouble = 1;

[[noreturn]] void Fail(const std::wstring& message, const std::wstring& details = L"",
                       LONG kind = CovInvokeException::Error) {
    throw CovInvokeException(message.c_str(), details.c_str(), kind);
}

CovDispDriver DriverOf(const VARIANT& object) {
    CovDispDriver driver;
    driver.AttachVariant(object);
    return driver;
}

// The exact class, by the user locale's comparison without flags: a subclass is another class.
bool IsClass(const CovDispDriver& item, const wchar_t* className) {
    const ov::Bstr actual = ov::GetClrFullClassName(item);
    const ov::Bstr wanted(className);
    return VarBstrCmp(actual.Get(), wanted.Get(), LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

bool IsCheckButton(const CovDispDriver& item) {
    return IsClass(item, L"System.Windows.Controls.Primitives.ToggleButton") ||
           IsClass(item, L"System.Windows.Controls.CheckBox");
}

bool IsThreeState(const CovDispDriver& item) {
    return ov::HasMember(item, L"IsThreeState") && ov::GetBool(item, L"IsThreeState");
}

// The requested state: 1 or -1 checked, 0 unchecked, 2 grayed; integers and booleans only.
LONG TargetState(const VARIANT& checked) {
    LONG value = 0;
    if (!ov::VariantToInt(checked, value)) Fail(kInvalidState, kStatesAccepted);
    switch (value) {
    case 1:
    case -1:
        return cbChecked;
    case 0:
        return cbUnChecked;
    case 2:
        return cbGrayed;
    default:
        Fail(kInvalidState, kStatesAccepted);
    }
}

} // namespace

CovDispDriver CovWPFCtrlToolBar::ItemObject(LONG index) {
    CovDispDriver items = ov::GetObjectByName(GetClrObject(), L"Items");
    return DriverOf(ov::Call(items, L"get_Item", ov::Variant::Int(index)));
}

ov::ComPtr<IovHostObject> CovWPFCtrlToolBar::ItemHostObject(LONG index) {
    CovDispDriver item = ItemObject(index);
    if (!ov::GetBool(item, L"IsVisible")) {
        // An item of the overflow panel: the panel is opened and left open.
        FocusElement();
        ov::SetBool(GetClrObject(), L"IsOverflowOpen", true);
    }
    ov::ComPtr<IovHostObject> target = FindChildHostObject(GetHostObject().Get(), item);
    if (!target) target = FindInPopupRoots(item);
    if (!target) ov::RaiseInvocationError();
    return target;
}

void CovWPFCtrlToolBar::ClickToolBarItem(const VARIANT& item, LONG x, LONG y, LONG shift, LONG dbl,
                                         LONG button) {
    CheckEnabled();
    ov::Bstr name;
    const LONG index = ov::FindItem(*this, item, &name);
    ClickAt(ItemHostObject(index).Get(), x, y, shift, dbl, button);
    PostActionMessage(ov::Format(dbl ? kDoubleClicked : kClicked, name.c_str()).c_str(),
                      ov::Format(kClickRemark, GetShiftKeysText(shift).c_str()).c_str());
}

HRESULT CovWPFCtrlToolBar::ClickItem(VARIANT item, TShiftKey shift) {
    return Member([&] { ClickToolBarItem(item, -1, -1, shift, kSingle, kLeft); });
}

HRESULT CovWPFCtrlToolBar::ClickItemR(VARIANT item, TShiftKey shift) {
    return Member([&] { ClickToolBarItem(item, -1, -1, shift, kSingle, kRight); });
}

HRESULT CovWPFCtrlToolBar::DblClickItem(VARIANT item, TShiftKey shift) {
    return Member([&] { ClickToolBarItem(item, -1, -1, shift, kDouble, kLeft); });
}

HRESULT CovWPFCtrlToolBar::DblClickItemR(VARIANT item, TShiftKey shift) {
    return Member([&] { ClickToolBarItem(item, -1, -1, shift, kDouble, kRight); });
}

HRESULT CovWPFCtrlToolBar::ClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return Member([&] { ClickToolBarItem(item, x, y, shift, kSingle, kLeft); });
}

HRESULT CovWPFCtrlToolBar::ClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return Member([&] { ClickToolBarItem(item, x, y, shift, kSingle, kRight); });
}

LONG CovWPFCtrlToolBar::ReadState(const CovDispDriver& item) {
    if (!ov::HasMember(item, L"IsChecked")) return cbUnChecked;
    ov::Variant value = ov::GetRaw(item, L"IsChecked");
    if (IsVariantEmpty(value)) return cbGrayed;
    ov::Variant flag;
    if (SUCCEEDED(VariantChangeType(&flag, &value, 0, VT_BOOL)))
        return flag.boolVal ? cbChecked : cbUnChecked;
    return ov::GetBool(DriverOf(value), L"m_Value") ? cbChecked : cbUnChecked;
}

void CovWPFCtrlToolBar::SetCheckState(const VARIANT& item, const VARIANT& checked) {
    CheckEnabled();
    ov::Bstr name;
    const LONG index = ov::FindItem(*this, item, &name);
    CovDispDriver object = ItemObject(index);
    if (!IsCheckButton(object)) Fail(ov::Format(kNotCheckButton, name.c_str()));
    const LONG target = TargetState(checked);
    if (target == cbGrayed && !IsThreeState(object)) Fail(ov::Format(kNotThreeState, name.c_str()));
    LONG state = ReadState(object);
    if (state == target)
        Fail(ov::Format(kAlready, name.c_str(), kStateWords[target]), L"", CovInvokeException::Notice);
    for (int click = 0; click < 2 && state != target; ++click) {
        if (!ov::GetBool(object, L"IsEnabled")) Fail(ov::Format(kDisabled, name.c_str()));
        ClickAt(ItemHostObject(index).Get(), -1, -1, 0, kSingle, kLeft);
        const LONG now = ReadState(object);
        if (now == state) Fail(ov::Format(kNotSetUp, name.c_str()), ov::Format(kStays, kStateWords[now]));
        state = now;
    }
    if (state != target) Fail(ov::Format(kNotSetUp, name.c_str()), ov::Format(kStays, kStateWords[state]));
    PostActionMessage(ov::Format(kStateSet, name.c_str(), kStateWords[target]).c_str());
}

HRESULT CovWPFCtrlToolBar::CheckItem(VARIANT item, VARIANT checked) {
    return Member([&] { SetCheckState(item, checked); });
}

HRESULT CovWPFCtrlToolBar::get_wButtonCount(LONG* count) {
    return ItemCountMember(count);
}

HRESULT CovWPFCtrlToolBar::get_wButtonPos(VARIANT item, LONG* pos) {
    return Member([&] {
        ov::RequireOut(pos);
        *pos = 0;
        EnterCall();
        *pos = ov::FindItem(*this, item);
    });
}

HRESULT CovWPFCtrlToolBar::get_wButtonText(VARIANT item, BSTR* text) {
    return Member([&] {
        ov::RequireOut(text);
        *text = nullptr;
        EnterCall();
        *text = GetItemText(ov::FindItem(*this, item)).Detach();
    });
}

CovDispDriver CovWPFCtrlToolBar::ResolvedItem(const VARIANT& item) {
    return ItemObject(ov::FindItem(*this, item));
}

HRESULT CovWPFCtrlToolBar::ItemFlag(const VARIANT& item, VARIANT_BOOL* value,
                                    bool (*read)(const CovDispDriver&)) {
    return Member([&] {
        ov::RequireOut(value);
        *value = VARIANT_FALSE;
        EnterCall();
        *value = read(ResolvedItem(item)) ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

HRESULT CovWPFCtrlToolBar::get_wIsCheckButton(VARIANT item, VARIANT_BOOL* value) {
    return ItemFlag(item, value, &IsCheckButton);
}

HRESULT CovWPFCtrlToolBar::get_wIsDropDownButton(VARIANT item, VARIANT_BOOL* value) {
    return ItemFlag(item, value,
                    [](const CovDispDriver& i) { return IsClass(i, L"System.Windows.Controls.ComboBox"); });
}

HRESULT CovWPFCtrlToolBar::get_wIsSeparatorButton(VARIANT item, VARIANT_BOOL* value) {
    return ItemFlag(item, value,
                    [](const CovDispDriver& i) { return IsClass(i, L"System.Windows.Controls.Separator"); });
}

HRESULT CovWPFCtrlToolBar::get_wChecked(VARIANT item, VARIANT_BOOL* value) {
    return ItemFlag(item, value, [](const CovDispDriver& i) {
        if (!ov::HasMember(i, L"IsChecked")) return false;
        ov::Variant checked = ov::GetRaw(i, L"IsChecked");
        if (IsVariantEmpty(checked)) return false;
        return ov::GetBool(DriverOf(checked), L"m_Value");
    });
}

HRESULT CovWPFCtrlToolBar::get_wEnabled(VARIANT item, VARIANT_BOOL* value) {
    return ItemFlag(item, value, [](const CovDispDriver& i) { return ov::GetBool(i, L"IsEnabled"); });
}

HRESULT CovWPFCtrlToolBar::get_wVisible(VARIANT item, VARIANT_BOOL* value) {
    return ItemFlag(item, value, [](const CovDispDriver& i) { return ov::GetBool(i, L"IsVisible"); });
}

HRESULT CovWPFCtrlToolBar::get_wGrayed(VARIANT item, VARIANT_BOOL* value) {
    return ItemFlag(item, value, [](const CovDispDriver& i) {
        return ov::HasMember(i, L"IsChecked") && IsVariantEmpty(ov::GetRaw(i, L"IsChecked"));
    });
}

LONG CovWPFCtrlToolBar::IndexOfItem(const CovDispDriver& element) {
    CovDispDriver items = ov::GetObjectByName(GetClrObject(), L"Items");
    const ov::Variant self = ov::Variant::Dispatch(element.Get());
    for (LONG i = 0; i < GetItemCount(); ++i) {
        ov::Variant item = ov::Call(items, L"get_Item", ov::Variant::Int(i));
        if (ov::IsTrue(ov::Call(element, L"ReferenceEquals", self, item))) return i;
    }
    return -1;
}

CovWPFCtrlToolBar::CovWPFCtrlToolBarInfo::CovWPFCtrlToolBarInfo()
    : CovWPFCtrlInfoOf(ctrlWPFToolBar, __uuidof(IovWPFToolBar), L"Toolbar",
                       L"System.Windows.Controls.ToolBar", false) {}
