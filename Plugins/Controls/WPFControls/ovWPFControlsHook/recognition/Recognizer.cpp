#include "Recognizer.h"

#include "../controls/Buttons.h"
#include "../controls/Tabs.h"
#include "BaseCtrlInfo.h"

CovWPFControlsRecognizer::CovWPFControlsRecognizer() {
    // The reader scroll viewer is registered as an internal kind (fixed), unlike the other viewers. Until
    // its wrapper is part of the module, CInfo stands on the interim info.
    class CInfo : public CovWPFInterimCtrlInfo {
    public:
        CInfo()
            : CovWPFInterimCtrlInfo(ctrlWPFReaderScrollViewer, __uuidof(IovWPFCtrlReaderScrollViewer),
                                    L"Reader scroll viewer", L"MS.Internal.Documents.ReaderScrollViewer",
                                    true) {}
    };
    class CovWPFCtrlItemInfoImpl : public CovWPFCtrlItemInfo {
    public:
        CovWPFCtrlItemInfoImpl(LONG kind, const wchar_t* displayName, const wchar_t* classString)
            : CovWPFCtrlItemInfo(kind, displayName, classString) {}
    };
    auto interim = [this](LONG kind, const GUID& key, const wchar_t* displayName,
                          const wchar_t* classString) {
        AddInfo(ov::Create<CovWPFInterimCtrlInfo>(kind, key, displayName, classString));
    };
    auto item = [this](LONG kind, const wchar_t* displayName, const wchar_t* classString) {
        AddInfo(ov::Create<CovWPFCtrlItemInfoImpl>(kind, displayName, classString));
    };

    // The order decides: the first kind whose test passes wins.
    interim(ctrlWPFScrollBar, __uuidof(IovWPFScrollBar), L"Scroll bar",
            L"System.Windows.Controls.Primitives.ScrollBar");
    interim(ctrlWPFComboBox, __uuidof(IovWPFComboBox), L"Combo box", L"System.Windows.Controls.ComboBox");
    AddInfo(ov::Create<CovWPFCtrlExpander::CovWPFCtrlExpanderInfo>());
    AddInfo(ov::Create<CovWPFCtrlTabControl::CovWPFCtrlTabControlInfo>());
    interim(ctrlWPFTrackBar, __uuidof(IovWPFTrackBar), L"TrackBar", L"System.Windows.Controls.Slider");
    AddInfo(ov::Create<CovWPFCtrlButton::CovWPFCtrlButtonInfo>());
    AddInfo(ov::Create<CovWPFCtrlRadioButton::CovWPFCtrlRadioButtonInfo>());
    AddInfo(ov::Create<CovWPFCtrlCheckBox::CovWPFCtrlCheckBoxInfo>());
    interim(ctrlWPFEdit, __uuidof(IovWPFEdit), L"Edit", L"System.Windows.Controls.TextBox");
    interim(ctrlWPFPasswordEdit, __uuidof(IovWPFPasswordEdit), L"Password edit",
            L"System.Windows.Controls.PasswordBox");
    interim(ctrlWPFListBox, __uuidof(IovWPFListBox), L"List box", L"System.Windows.Controls.ListBox");
    AddInfo(ov::Create<CovWPFCtrlToggleButton::CovWPFCtrlToggleButtonInfo>());
    AddInfo(ov::Create<CovWPFCtrlRepeatButton::CovWPFCtrlRepeatButtonInfo>());
    interim(ctrlWPFScrollViewer, __uuidof(IovWPFScrollHelper), L"Scroll viewer",
            L"System.Windows.Controls.ScrollViewer");
    interim(ctrlWPFMenu, __uuidof(IovWPFMenu), L"Menu", L"System.Windows.Controls.Menu");
    interim(ctrlWPFToolBar, __uuidof(IovWPFToolBar), L"Toolbar", L"System.Windows.Controls.ToolBar");
    interim(ctrlWPFListView, __uuidof(IovWPFListView), L"List view", L"System.Windows.Controls.ListView");
    interim(ctrlWPFTreeView, __uuidof(IovWPFTreeView), L"Tree view", L"System.Windows.Controls.TreeView");
    interim(ctrlWPFFlowDocumentScrollViewer, __uuidof(IovWPFCtrlFlowDocumentScrollViewer),
            L"Flow document scroll viewer", L"System.Windows.Controls.FlowDocumentScrollViewer");
    interim(ctrlWPFDocumentViewer, __uuidof(IovWPFCtrlDocumentViewer), L"Document viewer",
            L"System.Windows.Controls.DocumentViewer");
    AddInfo(ov::Create<CInfo>());
    item(ctrlWPFComboBoxItem, L"CovWPFCtrlComboBoxItem", L"System.Windows.Controls.ComboBoxItem");
    item(ctrlWPFTabControlItem, L"CovWPFCtrlTabControlItem", L"System.Windows.Controls.TabItem");
    item(ctrlWPFListBoxItem, L"CovWPFCtrlListBoxItem", L"System.Windows.Controls.ListBoxItem");
    item(ctrlWPFMenuItem, L"CovWPFCtrlMenuItem",
         L"System.Windows.Controls.MenuItem System.Windows.Documents.TextEditorContextMenu+EditorMenuItem");
    item(ctrlWPFListViewItem, L"CovWPFCtrlListViewItem", L"System.Windows.Controls.ListViewItem");
    item(ctrlWPFTreeViewItem, L"CovWPFCtrlTreeViewItem", L"System.Windows.Controls.TreeViewItem");
    item(ctrlWPFContextMenu, L"CovWPFCtrlContextMenu",
         L"System.Windows.Controls.ContextMenu "
         L"System.Windows.Documents.TextEditorContextMenu+EditorContextMenu");
    item(ctrlWPFPopupRoot, L"CovWPFCtrlPopupRoot", L"System.Windows.Controls.Primitives.PopupRoot");
    AddInfo(ov::Create<CovWPFActionTransparentInfo>());
    AddInfo(ov::Create<CovWPFCtrl::CovWPFCtrlBaseInfo>());
}

std::optional<size_t> CovWPFControlsRecognizer::FindKindIndex(const CovDispDriver& element,
                                                              ov::Bstr& className) const {
    className.Reset();
    DISPID id = DISPID_UNKNOWN;
    if (!element.HasMember(L"ClrFullClassName", &id)) return std::nullopt;
    element.GetPropertyString(id, className);
    ov::Variant object = ov::Variant::Dispatch(element.Get());
    for (size_t i = 0; i < InfoCount(); ++i) {
        VARIANT_BOOL match = VARIANT_FALSE;
        if (SUCCEEDED(Info(i).IsMatch(className.Get(), &object, &match)) && match) return i;
    }
    return std::nullopt;
}

LONG CovWPFControlsRecognizer::ClassifyElement(const CovDispDriver& element, ov::Bstr& className,
                                               GUID& key) const {
    key = GUID{};
    auto index = FindKindIndex(element, className);
    if (!index) return ctrlWPFUnknown;
    key = Info(*index).Key();
    return Info(*index).Kind();
}

LONG CovWPFControlsRecognizer::GetElementKind(const CovDispDriver& element) const {
    ov::Bstr className;
    auto index = FindKindIndex(element, className);
    return index ? Info(*index).Kind() : LONG{ctrlWPFUnknown};
}

ov::ComPtr<IDispatch> CovWPFControlsRecognizer::CreateElementWrapper(const CovDispDriver& element) const {
    ov::Bstr className;
    auto index = FindKindIndex(element, className);
    return index ? Info(*index).MakeControl(element) : nullptr;
}
