#include "Ranges.h"

#include <climits>
#include <cmath>

namespace {

const wchar_t* const kScrollFailed = L"Failed to set the scroll position to %f. %f was set instead of it.";
const wchar_t* const kScrollRange = L"Minimum: %f maximum: %f.";
const wchar_t* const kTrackFailed = L"Failed to set the track bar position to %f. %f was set instead of it.";
const wchar_t* const kTrackRange = L"Minimum: %f Maximum: %f.";
const wchar_t* const kTickNotFound = L"Tick %d not found.";
const wchar_t* const kTickTotal = L"Total number of ticks: %d.";

[[noreturn]] void RaiseNotSet(const wchar_t* failed, const wchar_t* range, double requested, double actual,
                              double minimum, double maximum) {
    throw CovInvokeException(ov::Format(failed, requested, actual).c_str(),
                             ov::Format(range, minimum, maximum).c_str(), CovInvokeException::Error);
}

// --- what the scroll bar and the track bar share ---------------------------------------------------------

template <class Body> HRESULT ReadDouble(CovWPFCtrl& control, double* value, Body&& read) {
    return control.Member([&] {
        ov::RequireOut(value);
        control.EnterCall();
        *value = read(control.GetClrObject());
    });
}

HRESULT GetRangeValue(CovWPFCtrl& control, double* value, const wchar_t* member) {
    return ReadDouble(control, value, [&](const CovDispDriver& clr) { return ov::GetDouble(clr, member); });
}

// The control clamps (or snaps) the value itself; a value read back that differs is the failure. A value
// that is there already needs no action, so a disabled control takes it too.
HRESULT SetRangeValue(CovWPFCtrl& control, double requested, const wchar_t* failed, const wchar_t* range) {
    return control.Member([&] {
        control.EnterCall();
        CovDispDriver clr = control.GetClrObject();
        if (ov::GetDouble(clr, L"Value") == requested) return;
        control.CheckEnabled();
        ov::SetDouble(clr, L"Value", requested);
        const double actual = ov::GetDouble(clr, L"Value");
        if (actual == requested) return;
        const double maximum = ov::GetDouble(clr, L"Maximum");
        const double minimum = ov::GetDouble(clr, L"Minimum");
        RaiseNotSet(failed, range, requested, actual, minimum, maximum);
    });
}

// The "Count" of a collection property; a null collection holds nothing.
LONG CountOf(const CovDispDriver& collection) {
    return collection.Empty() ? 0 : ov::GetInt(collection, L"Count");
}

// (maximum - minimum) / frequency, truncated toward zero, plus 1; kept inside the 32-bit range.
LONG TicksByFrequency(double minimum, double maximum, double frequency) {
    if (!(frequency > 0)) return 0;
    const double steps = std::trunc((maximum - minimum) / frequency);
    if (std::isnan(steps)) return 0;
    if (steps >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (steps < static_cast<double>(INT_MIN) + 1) return INT_MIN + 1;
    return static_cast<LONG>(steps) + 1;
}

} // namespace

// --- scroll helper -----------------------------------------------------------------------------------------

CovWPFHelperScroll::CovWPFHelperScroll(CovWPFCtrl& owner, CovDispDriver target, LONG orientation)
    : owner_(&owner), target_(std::move(target)), orientation_(orientation) {}

HRESULT CovWPFHelperScroll::get_Pos(double* value) {
    return Member([&] {
        ov::RequireOut(value);
        owner_->EnterCall();
        *value = ov::GetDouble(target_, IsHorizontal() ? L"HorizontalOffset" : L"VerticalOffset");
    });
}

// No enabled check and no early return: the viewer takes the offset it can and the read-back tells.
HRESULT CovWPFHelperScroll::put_Pos(double value) {
    return Member([&] {
        owner_->EnterCall();
        const bool horizontal = IsHorizontal();
        ov::Call(target_, horizontal ? L"ScrollToHorizontalOffset" : L"ScrollToVerticalOffset",
                 ov::Variant::Double(value));
        const double actual = ov::GetDouble(target_, horizontal ? L"HorizontalOffset" : L"VerticalOffset");
        if (actual == value) return;
        const double extent = ov::GetDouble(target_, horizontal ? L"ScrollableWidth" : L"ScrollableHeight");
        RaiseNotSet(kScrollFailed, kScrollRange, value, actual, 0.0, extent);
    });
}

HRESULT CovWPFHelperScroll::get_Min(double* value) {
    return Member([&] {
        ov::RequireOut(value);
        owner_->EnterCall();
        *value = 0.0;
    });
}

HRESULT CovWPFHelperScroll::get_Max(double* value) {
    return Member([&] {
        ov::RequireOut(value);
        owner_->EnterCall();
        *value = ov::GetDouble(target_, IsHorizontal() ? L"ScrollableWidth" : L"ScrollableHeight");
    });
}

HRESULT CovWPFHelperScroll::GetSyntax(IovSyntaxItem** syntax, LONG flag) {
    if (!syntax) return E_POINTER;
    *syntax = nullptr;
    return ov::Guard([&] {
        std::vector<ov::Variant> noArguments;
        *syntax = ov::CreateMemberSyntax(owner_.Get(), flag, IsHorizontal() ? L"HScroll" : L"VScroll", 0,
                                         noArguments)
                      .Detach();
    });
}

HRESULT CovWPFScrollHost::get_HScroll(IDispatch** value) {
    return MakeHelper(value, CovWPFHelperScroll::Horizontal);
}

HRESULT CovWPFScrollHost::get_VScroll(IDispatch** value) {
    return MakeHelper(value, CovWPFHelperScroll::Vertical);
}

HRESULT CovWPFScrollHost::MakeHelper(IDispatch** value, LONG orientation) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return owner_.Member([&] {
        CovDispDriver element = owner_.GetClrObject();
        CovDispDriver target = targetMember_ ? ov::GetObjectByName(element, targetMember_) : element;
        ov::ComPtr<CovWPFHelperScroll> helper = ov::Create<CovWPFHelperScroll>(owner_, target, orientation);
        *value = helper.As<IDispatch>().Detach();
    });
}

// --- scroll bar
// ----------------------------------------------------------------------------------------------

HRESULT CovWPFCtrlScrollBar::get_wPosition(double* value) {
    return GetRangeValue(*this, value, L"Value");
}

HRESULT CovWPFCtrlScrollBar::put_wPosition(double value) {
    return SetRangeValue(*this, value, kScrollFailed, kScrollRange);
}

HRESULT CovWPFCtrlScrollBar::get_wMin(double* value) {
    return GetRangeValue(*this, value, L"Minimum");
}

HRESULT CovWPFCtrlScrollBar::get_wMax(double* value) {
    return GetRangeValue(*this, value, L"Maximum");
}

CovWPFCtrlScrollBar::CovWPFCtrlScrollBarInfo::CovWPFCtrlScrollBarInfo()
    : CovWPFCtrlInfoOf(ctrlWPFScrollBar, __uuidof(IovWPFScrollBar), L"Scroll bar",
                       L"System.Windows.Controls.Primitives.ScrollBar", false) {}

// --- track bar
// -----------------------------------------------------------------------------------------------

HRESULT CovWPFCtrlTrackBar::get_wPosition(double* value) {
    return GetRangeValue(*this, value, L"Value");
}

HRESULT CovWPFCtrlTrackBar::put_wPosition(double value) {
    return SetRangeValue(*this, value, kTrackFailed, kTrackRange);
}

HRESULT CovWPFCtrlTrackBar::get_wMin(double* value) {
    return GetRangeValue(*this, value, L"Minimum");
}

HRESULT CovWPFCtrlTrackBar::get_wMax(double* value) {
    return GetRangeValue(*this, value, L"Maximum");
}

HRESULT CovWPFCtrlTrackBar::get_wSelectionStart(double* value) {
    return GetRangeValue(*this, value, L"SelectionStart");
}

HRESULT CovWPFCtrlTrackBar::get_wSelectionEnd(double* value) {
    return GetRangeValue(*this, value, L"SelectionEnd");
}

LONG CovWPFCtrlTrackBar::CountTicks(const CovDispDriver& clr) {
    if (LONG count = CountOf(ov::GetObjectByName(clr, L"Ticks")); count > 0) return count;
    const double minimum = ov::GetDouble(clr, L"Minimum");
    const double maximum = ov::GetDouble(clr, L"Maximum");
    const double frequency = ov::GetDouble(clr, L"TickFrequency");
    return TicksByFrequency(minimum, maximum, frequency);
}

HRESULT CovWPFCtrlTrackBar::get_wNumTics(LONG* value) {
    return Member([&] {
        ov::RequireOut(value);
        EnterCall();
        *value = CountTicks(GetClrObject());
    });
}

HRESULT CovWPFCtrlTrackBar::get_wTicPosition(LONG index, double* value) {
    return Member([&] {
        ov::RequireOut(value);
        EnterCall();
        CovDispDriver clr = GetClrObject();
        const LONG count = CountTicks(clr);
        if (index < 0 || index >= count)
            throw CovInvokeException(ov::Format(kTickNotFound, static_cast<int>(index)).c_str(),
                                     ov::Format(kTickTotal, static_cast<int>(count)).c_str(),
                                     CovInvokeException::Error);
        CovDispDriver ticks = ov::GetObjectByName(clr, L"Ticks");
        if (CountOf(ticks) < 1) {
            const double frequency = ov::GetDouble(clr, L"TickFrequency");
            const double minimum = ov::GetDouble(clr, L"Minimum");
            *value = minimum + frequency * static_cast<double>(index);
            return;
        }
        ov::Variant tick = ov::Call(ticks, L"get_Item", ov::Variant::Int(index));
        ov::Variant number;
        if (FAILED(VariantChangeType(&number, &tick, 0, VT_R8))) ov::RaiseInvocationError();
        *value = number.dblVal;
    });
}

CovWPFCtrlTrackBar::CovWPFCtrlTrackBarInfo::CovWPFCtrlTrackBarInfo()
    : CovWPFCtrlInfoOf(ctrlWPFTrackBar, __uuidof(IovWPFTrackBar), L"TrackBar",
                       L"System.Windows.Controls.Slider", false) {}

// --- scroll viewers
// --------------------------------------------------------------------------------------------

CovWPFCtrlScrollViewer::CovWPFCtrlScrollViewerInfo::CovWPFCtrlScrollViewerInfo()
    : CovWPFCtrlInfoOf(ctrlWPFScrollViewer, __uuidof(IovWPFScrollHelper), L"Scroll viewer",
                       L"System.Windows.Controls.ScrollViewer", false) {}

CovWPFCtrlFlowDocumentScrollViewer::CovWPFCtrlFlowDocumentScrollViewerInfo::
    CovWPFCtrlFlowDocumentScrollViewerInfo()
    : CovWPFCtrlInfoOf(ctrlWPFFlowDocumentScrollViewer, __uuidof(IovWPFCtrlFlowDocumentScrollViewer),
                       L"Flow document scroll viewer", L"System.Windows.Controls.FlowDocumentScrollViewer",
                       false) {}

CovWPFCtrlDocumentViewer::CovWPFCtrlDocumentViewerInfo::CovWPFCtrlDocumentViewerInfo()
    : CovWPFCtrlInfoOf(ctrlWPFDocumentViewer, __uuidof(IovWPFCtrlDocumentViewer), L"Document viewer",
                       L"System.Windows.Controls.DocumentViewer", false) {}
