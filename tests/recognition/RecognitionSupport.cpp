#include "RecognitionSupport.h"

namespace rectest {

const std::vector<KindRow>& KindTable() {
    static const std::vector<KindRow> rows = {
        {ctrlWPFScrollBar,
         L"Scroll bar",
         {L"System.Windows.Controls.Primitives.ScrollBar"},
         __uuidof(IovWPFScrollBar),
         false},
        {ctrlWPFComboBox,
         L"Combo box",
         {L"System.Windows.Controls.ComboBox"},
         __uuidof(IovWPFComboBox),
         false},
        {ctrlWPFExpander,
         L"Expander",
         {L"System.Windows.Controls.Expander"},
         __uuidof(IovWPFExpander),
         false},
        {ctrlWPFTabControl,
         L"TabControl",
         {L"System.Windows.Controls.TabControl"},
         __uuidof(IovWPFTabControl),
         false},
        {ctrlWPFTrackBar, L"TrackBar", {L"System.Windows.Controls.Slider"}, __uuidof(IovWPFTrackBar), false},
        {ctrlWPFButton, L"Button", {L"System.Windows.Controls.Button"}, __uuidof(IovWPFButton), false},
        {ctrlWPFRadioButton,
         L"Radio button",
         {L"System.Windows.Controls.RadioButton"},
         __uuidof(IovWPFRadioButton),
         false},
        {ctrlWPFCheckBox,
         L"Check box",
         {L"System.Windows.Controls.CheckBox"},
         __uuidof(IovWPFCheckBox),
         false},
        {ctrlWPFEdit, L"Edit", {L"System.Windows.Controls.TextBox"}, __uuidof(IovWPFEdit), false},
        {ctrlWPFPasswordEdit,
         L"Password edit",
         {L"System.Windows.Controls.PasswordBox"},
         __uuidof(IovWPFPasswordEdit),
         false},
        {ctrlWPFListBox, L"List box", {L"System.Windows.Controls.ListBox"}, __uuidof(IovWPFListBox), false},
        {ctrlWPFToggleButton,
         L"Toggle button",
         {L"System.Windows.Controls.Primitives.ToggleButton"},
         __uuidof(IovWPFToggleButton),
         false},
        {ctrlWPFRepeatButton,
         L"Repeat button",
         {L"System.Windows.Controls.Primitives.RepeatButton"},
         __uuidof(IovWPFRepeatButton),
         false},
        {ctrlWPFScrollViewer,
         L"Scroll viewer",
         {L"System.Windows.Controls.ScrollViewer"},
         __uuidof(IovWPFScrollHelper),
         false},
        {ctrlWPFMenu, L"Menu", {L"System.Windows.Controls.Menu"}, __uuidof(IovWPFMenu), false},
        {ctrlWPFToolBar, L"Toolbar", {L"System.Windows.Controls.ToolBar"}, __uuidof(IovWPFToolBar), false},
        {ctrlWPFListView,
         L"List view",
         {L"System.Windows.Controls.ListView"},
         __uuidof(IovWPFListView),
         false},
        {ctrlWPFTreeView,
         L"Tree view",
         {L"System.Windows.Controls.TreeView"},
         __uuidof(IovWPFTreeView),
         false},
        {ctrlWPFFlowDocumentScrollViewer,
         L"Flow document scroll viewer",
         {L"System.Windows.Controls.FlowDocumentScrollViewer"},
         __uuidof(IovWPFCtrlFlowDocumentScrollViewer),
         false},
        {ctrlWPFDocumentViewer,
         L"Document viewer",
         {L"System.Windows.Controls.DocumentViewer"},
         __uuidof(IovWPFCtrlDocumentViewer),
         false},
        {ctrlWPFReaderScrollViewer,
         L"Reader scroll viewer",
         {L"MS.Internal.Documents.ReaderScrollViewer"},
         __uuidof(IovWPFCtrlReaderScrollViewer),
         true},
        {ctrlWPFComboBoxItem,
         L"CovWPFCtrlComboBoxItem",
         {L"System.Windows.Controls.ComboBoxItem"},
         GUID{},
         true},
        {ctrlWPFTabControlItem,
         L"CovWPFCtrlTabControlItem",
         {L"System.Windows.Controls.TabItem"},
         GUID{},
         true},
        {ctrlWPFListBoxItem,
         L"CovWPFCtrlListBoxItem",
         {L"System.Windows.Controls.ListBoxItem"},
         GUID{},
         true},
        {ctrlWPFMenuItem,
         L"CovWPFCtrlMenuItem",
         {L"System.Windows.Controls.MenuItem",
          L"System.Windows.Documents.TextEditorContextMenu+EditorMenuItem"},
         GUID{},
         true},
        {ctrlWPFListViewItem,
         L"CovWPFCtrlListViewItem",
         {L"System.Windows.Controls.ListViewItem"},
         GUID{},
         true},
        {ctrlWPFTreeViewItem,
         L"CovWPFCtrlTreeViewItem",
         {L"System.Windows.Controls.TreeViewItem"},
         GUID{},
         true},
        {ctrlWPFContextMenu,
         L"CovWPFCtrlContextMenu",
         {L"System.Windows.Controls.ContextMenu",
          L"System.Windows.Documents.TextEditorContextMenu+EditorContextMenu"},
         GUID{},
         true},
        {ctrlWPFPopupRoot,
         L"CovWPFCtrlPopupRoot",
         {L"System.Windows.Controls.Primitives.PopupRoot"},
         GUID{},
         true},
        {ctrlWPFActTransparent,
         L"",
         {L"MS.Internal.Documents.FlowDocumentView",
          L"Microsoft.Windows.Themes.ButtonChrome",
          L"Microsoft.Windows.Themes.ClassicBorderDecorator",
          L"Microsoft.Windows.Themes.ListBoxChrome",
          L"Microsoft.Windows.Themes.SystemDropShadowChrome",
          L"System.Windows.Controls.AccessText",
          L"System.Windows.Controls.Border",
          L"System.Windows.Controls.Decorator",
          L"System.Windows.Controls.Primitives.BulletDecorator",
          L"System.Windows.Controls.Image",
          L"System.Windows.Controls.InkPresenter",
          L"System.Windows.Controls.TextBlock",
          L"System.Windows.Controls.Viewbox",
          L"System.Windows.Documents.AdornerDecorator",
          L"System.Windows.Documents.NonLogicalAdornerDecorator",
          L"System.Windows.Controls.Canvas",
          L"System.Windows.Controls.DockPanel",
          L"System.Windows.Controls.Grid",
          L"System.Windows.Controls.StackPanel",
          L"System.Windows.Controls.WrapPanel"},
         GUID{},
         true},
        {ctrlWPFBaseCtrl, L"", {L"CovWPFCtrl"}, __uuidof(IovWPFControl), true},
    };
    return rows;
}

ov::Variant MakeArray(VARTYPE type, const std::vector<SAFEARRAYBOUND>& bounds,
                      const std::vector<ov::Variant>& rows) {
    // SafeArrayCreate takes the bounds from the leftmost dimension on.
    ov::SafeArray array(
        SafeArrayCreate(type, static_cast<UINT>(bounds.size()), const_cast<SAFEARRAYBOUND*>(bounds.data())));
    EXPECT_NE(array.Get(), nullptr);
    for (size_t i = 0; i < rows.size(); ++i) {
        std::vector<LONG> index(bounds.size(), 0);
        for (size_t d = 0; d < bounds.size(); ++d)
            index[d] = bounds[d].lLbound;
        index[0] += static_cast<LONG>(i);
        HRESULT hr = type == VT_BSTR
                         ? SafeArrayPutElement(array.Get(), index.data(), rows[i].bstrVal)
                         : SafeArrayPutElement(array.Get(), index.data(), const_cast<ov::Variant*>(&rows[i]));
        EXPECT_EQ(hr, S_OK);
    }
    ov::Variant list;
    list.parray = array.Detach();
    list.vt = VT_ARRAY | type;
    return list;
}

ov::Variant MakeList(const std::vector<std::wstring>& names) {
    std::vector<ov::Variant> rows;
    for (const auto& name : names)
        rows.push_back(ov::Variant::String(name));
    return MakeArray(VT_VARIANT, {{static_cast<ULONG>(names.size()), 0}, {1, 0}}, rows);
}

std::vector<std::wstring> ReadList(const VARIANT& list) {
    std::vector<std::wstring> names;
    EXPECT_EQ(list.vt, VT_ARRAY | VT_VARIANT);
    if (list.vt != (VT_ARRAY | VT_VARIANT) || !list.parray) return names;
    SAFEARRAY* array = list.parray;
    EXPECT_EQ(SafeArrayGetDim(array), 2u);
    LONG lower1 = -1, upper1 = -2, lower2 = -1, upper2 = -2;
    SafeArrayGetLBound(array, 1, &lower1);
    SafeArrayGetUBound(array, 1, &upper1);
    SafeArrayGetLBound(array, 2, &lower2);
    SafeArrayGetUBound(array, 2, &upper2);
    EXPECT_EQ(lower1, 0);
    EXPECT_EQ(lower2, 0);
    EXPECT_EQ(upper2, 0) << "one column";
    for (LONG i = lower1; i <= upper1; ++i) {
        LONG index[2] = {i, 0};
        ov::Variant element;
        EXPECT_EQ(SafeArrayGetElement(array, index, static_cast<VARIANT*>(&element)), S_OK);
        EXPECT_EQ(element.vt, VT_BSTR);
        names.push_back(element.vt == VT_BSTR ? Text(element.bstrVal) : L"<not a string>");
    }
    return names;
}

std::wstring KeyText(const GUID& key) {
    wchar_t text[40] = {};
    StringFromGUID2(key, text, 40);
    return text;
}

std::wstring Text(BSTR text) {
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

long FakeLiveObjects() {
    return ov::LiveCount<FakeHostTag>::Get();
}

HRESULT FakeHostObject::QueryInterfaceExtra(REFIID riid, void** ppv) {
    if (answersObject && (IsEqualIID(riid, __uuidof(IovObject)) || IsEqualIID(riid, IID_IDispatch)))
        *ppv = static_cast<IovObject*>(this);
    else if (answersInfo && IsEqualIID(riid, __uuidof(IovNativeObjectInfo)))
        *ppv = static_cast<IovNativeObjectInfo*>(this);
    else if (answersInternal && IsEqualIID(riid, __uuidof(IovObjectInternal)))
        *ppv = static_cast<IovObjectInternal*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT FakeHostObject::GetSourceObject(IDispatch** source) {
    *source = nullptr;
    return S_OK;
}

HRESULT FakeHostObject::GetNativeObject(IDispatch** nativeObject) {
    return native.CopyTo(nativeObject);
}

HRESULT FakeHostObject::GetNativeKind(BSTR* kind) {
    return ov::Bstr(nativeKind).CopyTo(kind);
}

HRESULT FakeHostObject::IsValid(VARIANT_BOOL* isValid) {
    *isValid = valid ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT FakeHostObject::GetFullName(BSTR* name) {
    ++fullNameCalls;
    if (FAILED(fullNameResult)) return fullNameResult;
    return ov::Bstr(fullName).CopyTo(name);
}

HRESULT FakeHostObject::GetSerialNumber(LONG* serial) {
    *serial = 7;
    return S_OK;
}

HRESULT FakeHostObject::GetTechnology(BSTR* name) {
    return ov::Bstr(technology).CopyTo(name);
}

HRESULT FakeHostObject::GetOwner(IUnknown** ownerObject) {
    return owner.CopyTo(ownerObject);
}

} // namespace rectest
