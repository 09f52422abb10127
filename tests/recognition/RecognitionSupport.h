// The kind table as the host sees it, class-name lists in the host's shape, and host objects a test shapes.
#pragma once

#include "TestSupport.h"
#include "ovHostIntf.h"
#include "ovWPFControlsLib.h"
#include "wpfsim/Application.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace rectest {

struct KindRow {
    LONG kind;
    const wchar_t* displayName;
    GUID key;
    const wchar_t* patterns; // separated by spaces
};

inline constexpr GUID kNoKey{};

// In table order, fixed from ReaderScrollViewer on; "~" is "System.Windows.Controls.".
inline const KindRow kKinds[] = {
    {ctrlWPFScrollBar, L"Scroll bar", __uuidof(IovWPFScrollBar), L"~Primitives.ScrollBar"},
    {ctrlWPFComboBox, L"Combo box", __uuidof(IovWPFComboBox), L"~ComboBox"},
    {ctrlWPFExpander, L"Expander", __uuidof(IovWPFExpander), L"~Expander"},
    {ctrlWPFTabControl, L"TabControl", __uuidof(IovWPFTabControl), L"~TabControl"},
    {ctrlWPFTrackBar, L"TrackBar", __uuidof(IovWPFTrackBar), L"~Slider"},
    {ctrlWPFButton, L"Button", __uuidof(IovWPFButton), L"~Button"},
    {ctrlWPFRadioButton, L"Radio button", __uuidof(IovWPFRadioButton), L"~RadioButton"},
    {ctrlWPFCheckBox, L"Check box", __uuidof(IovWPFCheckBox), L"~CheckBox"},
    {ctrlWPFEdit, L"Edit", __uuidof(IovWPFEdit), L"~TextBox"},
    {ctrlWPFPasswordEdit, L"Password edit", __uuidof(IovWPFPasswordEdit), L"~PasswordBox"},
    {ctrlWPFListBox, L"List box", __uuidof(IovWPFListBox), L"~ListBox"},
    {ctrlWPFToggleButton, L"Toggle button", __uuidof(IovWPFToggleButton), L"~Primitives.ToggleButton"},
    {ctrlWPFRepeatButton, L"Repeat button", __uuidof(IovWPFRepeatButton), L"~Primitives.RepeatButton"},
    {ctrlWPFScrollViewer, L"Scroll viewer", __uuidof(IovWPFScrollHelper), L"~ScrollViewer"},
    {ctrlWPFMenu, L"Menu", __uuidof(IovWPFMenu), L"~Menu"},
    {ctrlWPFToolBar, L"Toolbar", __uuidof(IovWPFToolBar), L"~ToolBar"},
    {ctrlWPFListView, L"List view", __uuidof(IovWPFListView), L"~ListView"},
    {ctrlWPFTreeView, L"Tree view", __uuidof(IovWPFTreeView), L"~TreeView"},
    {ctrlWPFFlowDocumentScrollViewer, L"Flow document scroll viewer",
     __uuidof(IovWPFCtrlFlowDocumentScrollViewer), L"~FlowDocumentScrollViewer"},
    {ctrlWPFDocumentViewer, L"Document viewer", __uuidof(IovWPFCtrlDocumentViewer), L"~DocumentViewer"},
    {ctrlWPFReaderScrollViewer, L"Reader scroll viewer", __uuidof(IovWPFCtrlReaderScrollViewer),
     L"MS.Internal.Documents.ReaderScrollViewer"},
    {ctrlWPFComboBoxItem, L"CovWPFCtrlComboBoxItem", kNoKey, L"~ComboBoxItem"},
    {ctrlWPFTabControlItem, L"CovWPFCtrlTabControlItem", kNoKey, L"~TabItem"},
    {ctrlWPFListBoxItem, L"CovWPFCtrlListBoxItem", kNoKey, L"~ListBoxItem"},
    {ctrlWPFMenuItem, L"CovWPFCtrlMenuItem", kNoKey,
     L"~MenuItem System.Windows.Documents.TextEditorContextMenu+EditorMenuItem"},
    {ctrlWPFListViewItem, L"CovWPFCtrlListViewItem", kNoKey, L"~ListViewItem"},
    {ctrlWPFTreeViewItem, L"CovWPFCtrlTreeViewItem", kNoKey, L"~TreeViewItem"},
    {ctrlWPFContextMenu, L"CovWPFCtrlContextMenu", kNoKey,
     L"~ContextMenu System.Windows.Documents.TextEditorContextMenu+EditorContextMenu"},
    {ctrlWPFPopupRoot, L"CovWPFCtrlPopupRoot", kNoKey, L"~Primitives.PopupRoot"},
    {ctrlWPFActTransparent, L"", kNoKey,
     L"MS.Internal.Documents.FlowDocumentView Microsoft.Windows.Themes.ButtonChrome "
     L"Microsoft.Windows.Themes.ClassicBorderDecorator Microsoft.Windows.Themes.ListBoxChrome "
     L"Microsoft.Windows.Themes.SystemDropShadowChrome ~AccessText ~Border ~Decorator "
     L"~Primitives.BulletDecorator "
     L"~Image ~InkPresenter ~TextBlock ~Viewbox System.Windows.Documents.AdornerDecorator "
     L"System.Windows.Documents.NonLogicalAdornerDecorator ~Canvas ~DockPanel ~Grid ~StackPanel ~WrapPanel"},
    {ctrlWPFBaseCtrl, L"", __uuidof(IovWPFControl), L"CovWPFCtrl"},
};

inline std::vector<std::wstring> Patterns(const KindRow& row) {
    std::wistringstream words(row.patterns);
    std::vector<std::wstring> patterns;
    for (std::wstring word; words >> word;)
        patterns.push_back(word[0] == L'~' ? L"System.Windows.Controls." + word.substr(1) : word);
    return patterns;
}

// No kind has it; out parameters start with it to see them overwritten.
inline constexpr GUID kNonZeroKey = {1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

inline std::wstring KeyText(const GUID& key) {
    wchar_t text[40] = {};
    StringFromGUID2(key, text, 40);
    return text;
}

// A SAFEARRAY of VT_VARIANT or VT_BSTR with the given bounds, column 0 filled from `rows`.
inline ov::Variant MakeArray(VARTYPE type, std::vector<SAFEARRAYBOUND> bounds,
                             const std::vector<ov::Variant>& rows) {
    ov::SafeArray array(SafeArrayCreate(type, static_cast<UINT>(bounds.size()), bounds.data()));
    std::vector<LONG> index;
    for (const SAFEARRAYBOUND& bound : bounds)
        index.push_back(bound.lLbound);
    for (const ov::Variant& row : rows) {
        void* element = type == VT_BSTR ? static_cast<void*>(row.bstrVal) : const_cast<ov::Variant*>(&row);
        EXPECT_EQ(SafeArrayPutElement(array.Get(), index.data(), element), S_OK);
        ++index[0];
    }
    ov::Variant list;
    list.parray = array.Detach();
    list.vt = VT_ARRAY | type;
    return list;
}

// The host's list: VARIANTs, bounds (count, 0) and (1, 0).
inline ov::Variant MakeList(const std::vector<std::wstring>& names) {
    std::vector<ov::Variant> rows;
    for (const auto& name : names)
        rows.push_back(ov::Variant::String(name));
    return MakeArray(VT_VARIANT, {{static_cast<ULONG>(names.size()), 0}, {1, 0}}, rows);
}

// Reads a list back, checking the host's shape.
inline std::vector<std::wstring> ReadList(const VARIANT& list) {
    std::vector<std::wstring> names;
    SAFEARRAY* array = list.vt == (VT_ARRAY | VT_VARIANT) ? list.parray : nullptr;
    if (!array || SafeArrayGetDim(array) != 2) {
        ADD_FAILURE() << "not the host's list";
        return names;
    }
    const SAFEARRAYBOUND* bounds = array->rgsabound; // the last dimension first
    EXPECT_TRUE(bounds[0].lLbound == 0 && bounds[0].cElements == 1 && bounds[1].lLbound == 0);
    for (LONG index[2] = {0, 0}; index[0] < static_cast<LONG>(bounds[1].cElements); ++index[0]) {
        ov::Variant element;
        EXPECT_EQ(SafeArrayGetElement(array, index, static_cast<VARIANT*>(&element)), S_OK);
        names.emplace_back(element.vt == VT_BSTR ? element.bstrVal : L"<not a string>");
    }
    return names;
}

// As WPF makes them, a framework element has a "ContextMenu"; an element without one stands for objects
// below FrameworkElement.
inline wpfsim::Element& AddElement(wpfsim::Application& app, wpfsim::Element& parent,
                                   const std::wstring& className, bool contextMenu = true) {
    static int count = 0;
    auto& element = app.Add(&parent, className, L"e" + std::to_wstring(++count));
    if (!contextMenu) element.RemoveMember(L"ContextMenu");
    return element;
}

} // namespace rectest
