#include "Tabs.h"

#include <exception>

namespace {

const wchar_t* const kNotVisible = L"The control item '%s' is not visible on screen.";
const wchar_t* const kDisabled = L"The control item '%s' is disabled.";

[[noreturn]] void Fail(const wchar_t* format, const wchar_t* name) {
    throw CovInvokeException(ov::Format(format, name).c_str(), L"", CovInvokeException::Error);
}

} // namespace

// --- tab control -------------------------------------------------------------------------------------

HRESULT CovWPFCtrlTabControl::ClickTab(VARIANT item) {
    return Member([&] { SelectTab(item); });
}

void CovWPFCtrlTabControl::SelectTab(const VARIANT& item) {
    CheckEnabled();
    ov::Bstr name;
    const LONG index = ov::FindItem(*this, item, &name);
    CovDispDriver clr = GetClrObject();

    CovDispDriver container;
    {
        CovDispDriver generator = ov::GetObjectByName(clr, L"ItemContainerGenerator");
        ov::Variant found = ov::Call(generator, L"ContainerFromIndex", ov::Variant::Int(index));
        if (IsVariantEmpty(found)) Fail(kNotVisible, ov::Format(L"%d", static_cast<int>(index)).c_str());
        container.AttachVariant(found);
    }
    if (!ov::GetBool(container, L"IsEnabled")) Fail(kDisabled, name.c_str());

    try {
        ov::ComPtr<IovHostObject> header = FindChildHostObject(GetHostObject().Get(), container);
        if (!header) Fail(kNotVisible, name.c_str());
        ClickAt(header.Get(), -1, -1, 0, 0, 0);
    } catch (...) {
        // Whatever kept the header from being clicked: the page is selected through the element instead,
        // and only when that does not take does the click's own failure count.
        std::exception_ptr clickFailure = std::current_exception();
        ov::SetInt(clr, L"SelectedIndex", index);
        if (ov::GetInt(clr, L"SelectedIndex") != index) std::rethrow_exception(clickFailure);
    }
    PostActionMessage(ov::Format(L"The tab control page '%s' was selected.", name.c_str()).c_str());
}

HRESULT CovWPFCtrlTabControl::get_wTabCount(LONG* count) {
    return ItemCountMember(count);
}

HRESULT CovWPFCtrlTabControl::get_wFocusedTab(LONG* index) {
    return SelectedIndexMember(index);
}

HRESULT CovWPFCtrlTabControl::get_wTabCaption(LONG index, BSTR* caption) {
    return Member([&] {
        ov::RequireOut(caption);
        *caption = nullptr;
        EnterCall();
        *caption = GetItemText(index).Detach();
    });
}

CovWPFCtrlTabControl::CovWPFCtrlTabControlInfo::CovWPFCtrlTabControlInfo()
    : CovWPFCtrlInfoOf(ctrlWPFTabControl, __uuidof(IovWPFTabControl), L"TabControl",
                       L"System.Windows.Controls.TabControl", false) {}

// --- expander ----------------------------------------------------------------------------------------

HRESULT CovWPFCtrlExpander::get_wExpanded(VARIANT_BOOL* expanded) {
    return Member([&] {
        ov::RequireOut(expanded);
        EnterCall();
        *expanded = ov::GetBool(GetClrObject(), L"IsExpanded") ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

HRESULT CovWPFCtrlExpander::put_wExpanded(VARIANT_BOOL expanded) {
    return Member([&] {
        EnterCall();
        ov::SetBool(GetClrObject(), L"IsExpanded", expanded != VARIANT_FALSE);
    });
}

HRESULT CovWPFCtrlExpander::Expand() {
    return Member([&] {
        CheckEnabled();
        ov::SetBool(GetClrObject(), L"IsExpanded", true);
        PostActionMessage(L"The control was expanded.");
    });
}

HRESULT CovWPFCtrlExpander::Collapse() {
    return Member([&] {
        CheckEnabled();
        ov::SetBool(GetClrObject(), L"IsExpanded", false);
        PostActionMessage(L"The control was collapsed.");
    });
}

CovWPFCtrlExpander::CovWPFCtrlExpanderInfo::CovWPFCtrlExpanderInfo()
    : CovWPFCtrlInfoOf(ctrlWPFExpander, __uuidof(IovWPFExpander), L"Expander",
                       L"System.Windows.Controls.Expander", false) {}
