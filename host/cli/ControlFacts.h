// What the inspector shows of an element besides its place: its text and states as WPF's members give
// them, and for controls with items, the items as the module's automation object names them.
//
// Element (read by name from the element's .NET object, as the module reads elements):
//   text     the first of "Title", "Header", "Text", "Password", "Content" that the element has, turned
//            into text as the module turns item values into text (an element as content has none)
//   states   enabled ("IsEnabled"), checked ("IsChecked": true, false, or null for the third state; a menu
//            item's only when "IsCheckable"), expanded ("IsExpanded"), selected ("IsSelected"), open
//            ("IsDropDownOpen", "IsSubmenuOpen", "IsOpen", "IsOverflowOpen"), value, minimum and maximum of
//            a range ("Value", "Minimum", "Maximum")
// Items (through the automation object's members, so the texts are those a script names):
//   item     list and combo boxes, list views (wItemCount, wItem, wSelected / wSelectedItem), tab controls
//            (wTabCount, wTabCaption, wFocusedTab), toolbars (wButtonCount, wButtonText, wChecked of its
//            check buttons, wEnabled, wVisible: "hidden" in the overflow panel, wIsSeparatorButton)
//   node     tree views: wItems and each node's Items, Text, Expanded, Selected; its path as the tree
//            view's members take it ("|Documents|Projects"): each step the node's text, or "[n]" where the
//            text is empty, repeats (ignoring case) or does not find the node again through Item
//   menu     a Menu's WPFMenu, and `context menu` the PopupMenu of a control: Count, Items, Caption,
//            Enabled, Checked, Separator, SubMenu; the path as the menu objects take it ("View|Word wrap"):
//            each step the caption, or "[n]" where it is empty or holds "|", where another item's caption
//            matches it as a pattern, or where it would find an item above it first
#pragma once

#include "com/ComPtr.h"

#include <oaidl.h>
#include <optional>
#include <string>
#include <vector>

namespace wpfsim {
class Element;
}

namespace ovhost {

class Host;

// One state: its JSON name and value, and the word the text shows ("" for none).
struct State {
    std::wstring key;
    std::wstring json;
    std::wstring word;
};

struct ItemFact {
    const wchar_t* what = L"item"; // "item", "node", "menu", "context menu"
    LONG index = 0;                // in its list, menu or node collection
    std::wstring path;             // nodes and menus
    std::wstring text;
    std::vector<State> states;
};

struct ElementFacts {
    std::optional<std::wstring> text;
    std::vector<State> states;
    std::vector<ItemFact> items;
};

// The element's automation object as App.Find makes it (the kind key from the module's hook object, the
// object from its kind info), but with the module's errors as results (ErrorReportMode 2) rather than log
// entries; null for kinds without one and for elements the host has no object of.
ov::ComPtr<IDispatch> AutomationObjectOf(Host& host, wpfsim::Element& element);

ElementFacts FactsOf(wpfsim::Element& element);
// Adds the items of the kind's automation object (kinds without items add nothing).
void AddItems(IDispatch& control, LONG kind, ElementFacts& facts);

} // namespace ovhost
