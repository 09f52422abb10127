#include "Edits.h"

#include <string>
#include <string_view>

namespace {

const wchar_t* const kTextCut = L"Failed to set the text '%s'. '%s' was set instead of it.";
const wchar_t* const kLimit = L"Limit: %d.";

// A null BSTR is the empty text.
std::wstring_view TextOf(BSTR text) noexcept {
    return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
}

template <class Read> HRESULT ReadText(CovWPFCtrl& control, BSTR* value, Read&& read) {
    return control.Member([&] {
        ov::RequireOut(value);
        control.EnterCall();
        *value = read(control.GetClrObject()).Detach();
    });
}

template <class Read> HRESULT ReadInt(CovWPFCtrl& control, LONG* value, Read&& read) {
    return control.Member([&] {
        ov::RequireOut(value);
        control.EnterCall();
        *value = read(control.GetClrObject());
    });
}

// Both kinds read their limit the same way.
HRESULT GetLimit(CovWPFCtrl& control, LONG* value) {
    return ReadInt(control, value, [](const CovDispDriver& clr) { return ov::GetInt(clr, L"MaxLength"); });
}

} // namespace

// --- edit ----------------------------------------------------------------------------------------------

HRESULT CovWPFCtrlEdit::get_wText(BSTR* value) {
    return ReadText(*this, value, [](const CovDispDriver& clr) { return ov::GetString(clr, L"Text"); });
}

HRESULT CovWPFCtrlEdit::put_wText(BSTR value) {
    return Member([&] {
        EnterCall();
        CovDispDriver clr = GetClrObject();
        const LONG limit = ov::GetInt(clr, L"MaxLength");
        const std::wstring text(TextOf(value));
        if (limit > 0 && text.size() > static_cast<size_t>(limit)) {
            // The element keeps what fits; the script learns what it got instead.
            const std::wstring cut = text.substr(0, static_cast<size_t>(limit));
            ov::SetString(clr, L"Text", cut);
            throw CovInvokeException(ov::Format(kTextCut, text.c_str(), cut.c_str()).c_str(),
                                     ov::Format(kLimit, static_cast<int>(limit)).c_str(),
                                     CovInvokeException::Error);
        }
        ov::SetString(clr, L"Text", text);
    });
}

HRESULT CovWPFCtrlEdit::get_wLimit(LONG* value) {
    return GetLimit(*this, value);
}

HRESULT CovWPFCtrlEdit::get_wSelection(BSTR* value) {
    return ReadText(*this, value,
                    [](const CovDispDriver& clr) { return ov::GetString(clr, L"SelectedText"); });
}

HRESULT CovWPFCtrlEdit::get_wSelectionStart(LONG* value) {
    return ReadInt(*this, value, [](const CovDispDriver& clr) { return ov::GetInt(clr, L"SelectionStart"); });
}

HRESULT CovWPFCtrlEdit::get_wSelectionEnd(LONG* value) {
    return ReadInt(*this, value, [](const CovDispDriver& clr) {
        const LONG start = ov::GetInt(clr, L"SelectionStart");
        const LONG length = ov::GetInt(clr, L"SelectionLength");
        // As 32-bit integers, wrapping as the element's own arithmetic would.
        return static_cast<LONG>(static_cast<ULONG>(start) + static_cast<ULONG>(length));
    });
}

CovWPFCtrlEdit::CovWPFCtrlEditInfo::CovWPFCtrlEditInfo()
    : CovWPFCtrlInfoOf(ctrlWPFEdit, __uuidof(IovWPFEdit), L"Edit", L"System.Windows.Controls.TextBox",
                       false) {}

// --- password edit ---------------------------------------------------------------------------------------

HRESULT CovWPFCtrlPasswordEdit::get_wText(BSTR* value) {
    return ReadText(*this, value, [](const CovDispDriver& clr) { return ov::GetString(clr, L"Password"); });
}

HRESULT CovWPFCtrlPasswordEdit::put_wText(BSTR value) {
    return Member([&] {
        EnterCall();
        ov::SetString(GetClrObject(), L"Password", TextOf(value));
    });
}

HRESULT CovWPFCtrlPasswordEdit::get_wLimit(LONG* value) {
    return GetLimit(*this, value);
}

HRESULT CovWPFCtrlPasswordEdit::get_wPasswordChar(BSTR* value) {
    return ReadText(*this, value, [](const CovDispDriver& clr) {
        const wchar_t passwordChar = static_cast<wchar_t>(ov::GetInt(clr, L"PasswordChar") & 0xFFFF);
        return ov::Bstr(std::wstring_view(&passwordChar, 1));
    });
}

CovWPFCtrlPasswordEdit::CovWPFCtrlPasswordEditInfo::CovWPFCtrlPasswordEditInfo()
    : CovWPFCtrlInfoOf(ctrlWPFPasswordEdit, __uuidof(IovWPFPasswordEdit), L"Password edit",
                       L"System.Windows.Controls.PasswordBox", false) {}
