// The wrappers of the two text-entry kinds. Text is read and set through the element's properties in
// one step, never typed; no member checks "IsEnabled" and none writes a success message. The only rule of
// the module's own is the edit's length limit: a longer text is cut to "MaxLength", set, and reported.
#pragma once

#include "Ranges.h"

class CovWPFCtrlEdit : public CovWPFCtrl, public ov::IDispatchMultiImpl<IovWPFEdit>, public CovWPFScrollHost {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFEdit, IovWPFScrollHelper>;
    class CovWPFCtrlEditInfo;

    HRESULT STDMETHODCALLTYPE get_wText(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_wText(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_wLimit(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_wSelection(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_wSelectionStart(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_wSelectionEnd(LONG* value) override;

protected:
    CovWPFCtrlEdit() noexcept : CovWPFScrollHost(*this, L"ScrollViewer") {}
};

// The password is set as given: whatever "MaxLength" makes of it is the element's business.
class CovWPFCtrlPasswordEdit : public CovWPFCtrl,
                               public ov::IDispatchMultiImpl<IovWPFPasswordEdit>,
                               public CovWPFScrollHost {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFPasswordEdit, IovWPFScrollHelper>;
    class CovWPFCtrlPasswordEditInfo;

    HRESULT STDMETHODCALLTYPE get_wText(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_wText(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_wLimit(LONG* value) override;
    // The low 16 bits of "PasswordChar" as a one-character string.
    HRESULT STDMETHODCALLTYPE get_wPasswordChar(BSTR* value) override;

protected:
    CovWPFCtrlPasswordEdit() noexcept : CovWPFScrollHost(*this, L"ScrollViewer") {}
};

class CovWPFCtrlEdit::CovWPFCtrlEditInfo : public CovWPFCtrlInfoOf<CovWPFCtrlEdit> {
public:
    CovWPFCtrlEditInfo();
};

class CovWPFCtrlPasswordEdit::CovWPFCtrlPasswordEditInfo : public CovWPFCtrlInfoOf<CovWPFCtrlPasswordEdit> {
public:
    CovWPFCtrlPasswordEditInfo();
};
