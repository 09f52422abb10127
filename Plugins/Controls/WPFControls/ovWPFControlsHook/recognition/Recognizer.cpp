#include "Recognizer.h"

#include "../controls/Buttons.h"
#include "../controls/Edits.h"
#include "../controls/Lists.h"
#include "../controls/Ranges.h"
#include "../controls/Tabs.h"
#include "../controls/Trees.h"
#include "../controls/ToolBar.h"
#include "../menus/MenuControl.h"
#include "BaseCtrlInfo.h"

CovWPFControlsRecognizer::CovWPFControlsRecognizer() {
    // The reader scroll viewer is registered as an internal kind (fixed), unlike the other viewers.
    class CInfo : public CovWPFCtrlInfoOf<CovWPFCtrlReaderScrollViewer> {
    public:
        CInfo()
            : CovWPFCtrlInfoOf(ctrlWPFReaderScrollViewer, __uuidof(IovWPFCtrlReaderScrollViewer),
                               L"Reader scroll viewer", L"MS.Internal.Documents.ReaderScrollViewer", true) {}
    };
    class CovWPFCtrlItemInfoImpl : public CovWPFCtrlItemInfo {
    public:
        CovWPFCtrlItemInfoImpl(LONG kind, const wchar_t* displayName, const wchar_t* classString)
            : CovWPFCtrlItemInfo(kind, displayName, classString) {}
    };
    auto item = [this](LONG kind, const wchar_t* displayName, const wchar_t* classString) {
        AddInfo(ov::Create<CovWPFCtrlItemInfoImpl>(kind, displayName, classString));
    };

    // The order decides: the first kind whose test passes wins.
    AddInfo(ov::Create<CovWPFCtrlScrollBar::CovWPFCtrlScrollBarInfo>());
    AddInfo(ov::Create<CovWPFCtrlComboBox::CovWPFCtrlComboBoxInfo>());
    AddInfo(ov::Create<CovWPFCtrlExpander::CovWPFCtrlExpanderInfo>());
    AddInfo(ov::Create<CovWPFCtrlTabControl::CovWPFCtrlTabControlInfo>());
    AddInfo(ov::Create<CovWPFCtrlTrackBar::CovWPFCtrlTrackBarInfo>());
    AddInfo(ov::Create<CovWPFCtrlButton::CovWPFCtrlButtonInfo>());
    AddInfo(ov::Create<CovWPFCtrlRadioButton::CovWPFCtrlRadioButtonInfo>());
    AddInfo(ov::Create<CovWPFCtrlCheckBox::CovWPFCtrlCheckBoxInfo>());
    AddInfo(ov::Create<CovWPFCtrlEdit::CovWPFCtrlEditInfo>());
    AddInfo(ov::Create<CovWPFCtrlPasswordEdit::CovWPFCtrlPasswordEditInfo>());
    AddInfo(ov::Create<CovWPFCtrlListBox::CovWPFCtrlListBoxInfo>());
    AddInfo(ov::Create<CovWPFCtrlToggleButton::CovWPFCtrlToggleButtonInfo>());
    AddInfo(ov::Create<CovWPFCtrlRepeatButton::CovWPFCtrlRepeatButtonInfo>());
    AddInfo(ov::Create<CovWPFCtrlScrollViewer::CovWPFCtrlScrollViewerInfo>());
    AddInfo(ov::Create<CovWPFCtrlMenu::CovWPFCtrlMenuInfo>());
    AddInfo(ov::Create<CovWPFCtrlToolBar::CovWPFCtrlToolBarInfo>());
    AddInfo(ov::Create<CovWPFCtrlListView::CovWPFCtrlListViewInfo>());
    AddInfo(ov::Create<CovWPFCtrlTreeView::CovWPFCtrlTreeViewInfo>());
    AddInfo(ov::Create<CovWPFCtrlFlowDocumentScrollViewer::CovWPFCtrlFlowDocumentScrollViewerInfo>());
    AddInfo(ov::Create<CovWPFCtrlDocumentViewer::CovWPFCtrlDocumentViewerInfo>());
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
