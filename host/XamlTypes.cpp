#include "XamlTypes.h"

#include "wpfsim/Buttons.h"
#include "wpfsim/Framework.h"
#include "wpfsim/Items.h"

#include <functional>

#include <algorithm>
#include <cwctype>
#include <optional>

namespace ovhost::xaml {
namespace {

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && std::iswspace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameText(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && _wcsnicmp(a.data(), b.data(), a.size()) == 0;
}

// The element as the class the table made it; the table guarantees it, a mismatch is a table error.
template <class T> T& As(Node& node) {
    auto* element = dynamic_cast<T*>(node.element);
    if (!element) throw ValueError{L"the property does not apply to this element"};
    return *element;
}

// One of the names of an enumeration, compared without case as WPF's enum converter does.
size_t EnumValue(std::wstring_view value, std::initializer_list<const wchar_t*> names) {
    value = Trim(value);
    size_t i = 0;
    for (const wchar_t* name : names) {
        if (SameText(value, name)) return i;
        ++i;
    }
    std::wstring expected;
    i = 0;
    for (const wchar_t* name : names)
        expected += (i++ == 0 ? L"" : (i == names.size() ? L" or " : L", ")) + std::wstring(name);
    throw ValueError{expected + L" expected"};
}

int ToInt(std::wstring_view value) {
    double number = ToNumber(value);
    if (number != std::floor(number) || number < 0 || number > 10000)
        throw ValueError{L"a whole number expected"};
    return static_cast<int>(number);
}

template <class T> wpfsim::Element& Make(wpfsim::Application& app, std::wstring cls) {
    return app.Create<T>(std::move(cls), L"");
}

// Properties that change nothing the simulation shows (brushes, fonts, alignment); their values are kept
// by nobody, but they are WPF's and a real application sets them.
void Cosmetic(Node&, std::wstring_view) {}

Property CosmeticProperty(const wchar_t* name) {
    return {name, &Cosmetic};
}

void Relayout(Node& n) {
    n.element->InvalidateLayout();
}

// The content of a content control: text, or an element in a property element.
void SetContent(Node& n, std::wstring_view v) {
    As<wpfsim::ContentControl>(n).SetContent(std::wstring(v));
}
void SetContentElement(Node& n, wpfsim::Element& e) {
    As<wpfsim::ContentControl>(n).SetContentElement(&e);
}
const Property kContent{L"Content", &SetContent, &SetContentElement};

void SetHeader(Node& n, std::wstring_view v) {
    if (auto* tab = dynamic_cast<wpfsim::TabItem*>(n.element)) return tab->SetHeader(std::wstring(v));
    if (auto* expander = dynamic_cast<wpfsim::Expander*>(n.element)) return expander->SetHeader(std::wstring(v));
    As<wpfsim::HeaderedItemsControl>(n).SetHeader(std::wstring(v));
}
void SetHeaderElement(Node& n, wpfsim::Element& e) {
    if (auto* tab = dynamic_cast<wpfsim::TabItem*>(n.element)) return tab->SetHeaderElement(&e);
    As<wpfsim::HeaderedItemsControl>(n).SetHeaderElement(&e);
}
const Property kHeader{L"Header", &SetHeader, &SetHeaderElement};

wpfsim::ScrollViewer::BarVisibility ToBarVisibility(std::wstring_view v) {
    return static_cast<wpfsim::ScrollViewer::BarVisibility>(EnumValue(v, {L"Disabled", L"Auto", L"Hidden", L"Visible"}));
}

wpfsim::ScrollViewer& ViewerOf(Node& n) {
    if (auto* viewer = dynamic_cast<wpfsim::ScrollViewer*>(n.element)) return *viewer;
    if (auto* items = dynamic_cast<wpfsim::ItemsControl*>(n.element); items && items->ScrollHost())
        return *items->ScrollHost();
    throw ValueError{L"the element has no ScrollViewer"};
}

const std::vector<Type>& Types() {
    using namespace wpfsim;
    static const std::vector<Type> types = {
        // --- bases
        {.name = L"FrameworkElement",
         .className = L"System.Windows.FrameworkElement",
         .properties =
             {
                 {L"IsEnabled", [](Node& n, std::wstring_view v) { n.element->SetEnabled(ToBool(v)); }},
                 {L"Visibility",
                  [](Node& n, std::wstring_view v) {
                      n.element->SetVisibility(
                          static_cast<Visibility>(EnumValue(v, {L"Visible", L"Hidden", L"Collapsed"})));
                  }},
                 {L"Focusable", [](Node& n, std::wstring_view v) { n.element->SetFocusable(ToBool(v)); }},
                 {L"IsHitTestVisible", [](Node& n, std::wstring_view v) { n.element->SetHitTestVisible(ToBool(v)); }},
                 {L"Width", [](Node& n, std::wstring_view v) { n.element->Layout().width = ToLength(v); Relayout(n); }},
                 {L"Height", [](Node& n, std::wstring_view v) { n.element->Layout().height = ToLength(v); Relayout(n); }},
                 {L"MinWidth", [](Node& n, std::wstring_view v) { n.element->Layout().minWidth = ToNumber(v); }},
                 {L"MinHeight", [](Node& n, std::wstring_view v) { n.element->Layout().minHeight = ToNumber(v); }},
                 {L"Margin", [](Node& n, std::wstring_view v) { n.element->Layout().margin = ToThickness(v); }},
                 {L"ContextMenu", nullptr,
                  [](Node& n, wpfsim::Element& e) {
                      auto* menu = dynamic_cast<wpfsim::ContextMenu*>(&e);
                      if (!menu) throw ValueError{L"a ContextMenu expected"};
                      n.element->SetContextMenu(menu);
                  }},
                 CosmeticProperty(L"HorizontalAlignment"),
                 CosmeticProperty(L"VerticalAlignment"),
                 CosmeticProperty(L"ToolTip"),
             }},
        {.name = L"Control",
         .className = L"System.Windows.Controls.Control",
         .base = L"FrameworkElement",
         .properties =
             {
                 {L"Padding", [](Node& n, std::wstring_view v) { As<wpfsim::Control>(n).SetPadding(ToThickness(v)); }},
                 CosmeticProperty(L"Background"),
                 CosmeticProperty(L"Foreground"),
                 CosmeticProperty(L"BorderBrush"),
                 CosmeticProperty(L"BorderThickness"),
                 CosmeticProperty(L"FontFamily"),
                 CosmeticProperty(L"FontSize"),
                 CosmeticProperty(L"FontWeight"),
                 CosmeticProperty(L"HorizontalContentAlignment"),
                 CosmeticProperty(L"VerticalContentAlignment"),
             }},
        {.name = L"ContentControl",
         .className = L"System.Windows.Controls.ContentControl",
         .base = L"Control",
         .make = &Make<ContentControl>,
         .properties = {kContent},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"ButtonBase",
         .className = L"System.Windows.Controls.Primitives.ButtonBase",
         .base = L"ContentControl",
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"Panel",
         .className = L"System.Windows.Controls.Panel",
         .base = L"FrameworkElement",
         .properties = {CosmeticProperty(L"Background")},
         .content = Content::Many},
        {.name = L"ItemsControl",
         .className = L"System.Windows.Controls.ItemsControl",
         .base = L"Control",
         .content = Content::Items},

        // --- windows, layout and decoration
        {.name = L"Window",
         .className = L"System.Windows.Window",
         .base = L"ContentControl",
         .make = &Make<Window>,
         .properties =
             {
                 {L"Title", [](Node& n, std::wstring_view v) { As<Window>(n).SetTitle(std::wstring(v)); }},
                 CosmeticProperty(L"ResizeMode"),
                 CosmeticProperty(L"SizeToContent"),
                 CosmeticProperty(L"WindowStartupLocation"),
             },
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"StackPanel",
         .className = L"System.Windows.Controls.StackPanel",
         .base = L"Panel",
         .make = &Make<StackPanel>,
         .properties = {{L"Orientation",
                         [](Node& n, std::wstring_view v) {
                             As<StackPanel>(n).SetHorizontal(EnumValue(v, {L"Vertical", L"Horizontal"}) == 1);
                         }}},
         .content = Content::Many},
        {.name = L"WrapPanel",
         .className = L"System.Windows.Controls.WrapPanel",
         .base = L"Panel",
         .make = &Make<WrapPanel>,
         .properties = {{L"Orientation",
                         [](Node& n, std::wstring_view v) {
                             As<StackPanel>(n).SetHorizontal(EnumValue(v, {L"Horizontal", L"Vertical"}) == 0);
                         }}},
         .content = Content::Many},
        {.name = L"DockPanel",
         .className = L"System.Windows.Controls.DockPanel",
         .base = L"Panel",
         .make = &Make<DockPanel>,
         .properties = {CosmeticProperty(L"LastChildFill")},
         .content = Content::Many},
        {.name = L"Grid",
         .className = L"System.Windows.Controls.Grid",
         .base = L"Panel",
         .make = &Make<Grid>,
         .properties = {CosmeticProperty(L"ShowGridLines")},
         .content = Content::Many},
        {.name = L"Canvas",
         .className = L"System.Windows.Controls.Canvas",
         .base = L"Panel",
         .make = &Make<Canvas>,
         .content = Content::Many},
        {.name = L"Border",
         .className = L"System.Windows.Controls.Border",
         .base = L"FrameworkElement",
         .make = &Make<Border>,
         .properties =
             {
                 {L"Padding", [](Node& n, std::wstring_view v) { As<Border>(n).padding = ToThickness(v); }},
                 CosmeticProperty(L"Background"),
                 CosmeticProperty(L"BorderBrush"),
                 CosmeticProperty(L"BorderThickness"),
                 CosmeticProperty(L"CornerRadius"),
             },
         .content = Content::Single},
        {.name = L"TextBlock",
         .className = L"System.Windows.Controls.TextBlock",
         .base = L"FrameworkElement",
         .make = &Make<TextBlock>,
         .properties =
             {
                 {L"Text", [](Node& n, std::wstring_view v) { As<TextBlock>(n).SetText(std::wstring(v)); }},
                 CosmeticProperty(L"Padding"),
                 CosmeticProperty(L"Background"),
                 CosmeticProperty(L"Foreground"),
                 CosmeticProperty(L"FontFamily"),
                 CosmeticProperty(L"FontSize"),
                 CosmeticProperty(L"FontWeight"),
                 CosmeticProperty(L"TextAlignment"),
                 CosmeticProperty(L"TextWrapping"),
             },
         .content = Content::Text,
         .textProperty = L"Text"},
        {.name = L"ScrollViewer",
         .className = L"System.Windows.Controls.ScrollViewer",
         .base = L"ContentControl",
         .make = &Make<ScrollViewer>,
         .properties =
             {
                 {L"HorizontalScrollBarVisibility",
                  [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(true, ToBarVisibility(v)); }},
                 {L"VerticalScrollBarVisibility",
                  [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(false, ToBarVisibility(v)); }},
             },
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"TextBox",
         .className = L"System.Windows.Controls.TextBox",
         .base = L"Control",
         .make = &Make<TextBox>,
         .properties = {{L"Text", [](Node& n, std::wstring_view v) { As<TextBox>(n).SetText(std::wstring(v)); }},
                        CosmeticProperty(L"TextWrapping"),
                        CosmeticProperty(L"AcceptsReturn")},
         .content = Content::Text,
         .textProperty = L"Text"},
        {.name = L"Expander",
         .className = L"System.Windows.Controls.Expander",
         .base = L"ContentControl",
         .make = &Make<Expander>,
         .properties = {{L"Header", [](Node& n, std::wstring_view v) { As<Expander>(n).SetHeader(std::wstring(v)); }},
                        {L"IsExpanded",
                         [](Node& n, std::wstring_view v) { As<Expander>(n).SetExpanded(ToBool(v)); }},
                        CosmeticProperty(L"ExpandDirection")},
         .content = Content::Single,
         .textProperty = L"Content"},

        // --- buttons
        {.name = L"Button",
         .className = L"System.Windows.Controls.Button",
         .base = L"ButtonBase",
         .make = &Make<Button>,
         .properties = {CosmeticProperty(L"IsDefault"), CosmeticProperty(L"IsCancel")},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"RepeatButton",
         .className = L"System.Windows.Controls.Primitives.RepeatButton",
         .base = L"ButtonBase",
         .make = &Make<RepeatButton>,
         .properties = {CosmeticProperty(L"Delay"), CosmeticProperty(L"Interval")},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"ToggleButton",
         .className = L"System.Windows.Controls.Primitives.ToggleButton",
         .base = L"ButtonBase",
         .make = &Make<ToggleButton>,
         .properties =
             {
                 {L"IsChecked",
                  [](Node& n, std::wstring_view v) {
                      std::optional<bool> checked;
                      if (Trim(v) != L"{x:Null}") checked = ToBool(v);
                      As<ToggleButton>(n).SetChecked(checked);
                  }},
                 {L"IsThreeState",
                  [](Node& n, std::wstring_view v) { As<ToggleButton>(n).SetThreeState(ToBool(v)); }},
             },
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"CheckBox",
         .className = L"System.Windows.Controls.CheckBox",
         .base = L"ToggleButton",
         .make = &Make<CheckBox>,
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"RadioButton",
         .className = L"System.Windows.Controls.RadioButton",
         .base = L"ToggleButton",
         .make = &Make<RadioButton>,
         .properties = {{L"GroupName",
                         [](Node& n, std::wstring_view v) { As<RadioButton>(n).SetGroupName(std::wstring(v)); }}},
         .content = Content::Single,
         .textProperty = L"Content"},

        // --- item controls and their containers
        {.name = L"ListBox",
         .className = L"System.Windows.Controls.ListBox",
         .base = L"ItemsControl",
         .make = &Make<ListBox>,
         .properties = {CosmeticProperty(L"SelectionMode")},
         .content = Content::Items},
        {.name = L"ListView",
         .className = L"System.Windows.Controls.ListView",
         .base = L"ListBox",
         .make = [](Application& app, std::wstring cls) -> Element& {
             return app.Create<ListBox>(std::move(cls), L"", L"System.Windows.Controls.ListViewItem");
         },
         .content = Content::Items},
        {.name = L"ComboBox",
         .className = L"System.Windows.Controls.ComboBox",
         .base = L"ItemsControl",
         .make = &Make<ComboBox>,
         .properties = {CosmeticProperty(L"IsEditable")},
         .content = Content::Items},
        {.name = L"TabControl",
         .className = L"System.Windows.Controls.TabControl",
         .base = L"ItemsControl",
         .make = &Make<TabControl>,
         .content = Content::Items},
        {.name = L"TreeView",
         .className = L"System.Windows.Controls.TreeView",
         .base = L"ItemsControl",
         .make = &Make<TreeView>,
         .content = Content::Items},
        {.name = L"ToolBar",
         .className = L"System.Windows.Controls.ToolBar",
         .base = L"ItemsControl",
         .make = &Make<ToolBar>,
         .properties = {CosmeticProperty(L"Band"), CosmeticProperty(L"BandIndex")},
         .content = Content::Items},
        {.name = L"Menu",
         .className = L"System.Windows.Controls.Menu",
         .base = L"ItemsControl",
         .make = &Make<Menu>,
         .properties = {CosmeticProperty(L"IsMainMenu")},
         .content = Content::Items},
        {.name = L"ContextMenu",
         .className = L"System.Windows.Controls.ContextMenu",
         .base = L"ItemsControl",
         .make = &Make<ContextMenu>,
         .content = Content::Items},
        {.name = L"ListBoxItem",
         .className = L"System.Windows.Controls.ListBoxItem",
         .base = L"ContentControl",
         .make = &Make<ItemContainer>,
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"ListViewItem",
         .className = L"System.Windows.Controls.ListViewItem",
         .base = L"ListBoxItem",
         .make = &Make<ItemContainer>,
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"ComboBoxItem",
         .className = L"System.Windows.Controls.ComboBoxItem",
         .base = L"ListBoxItem",
         .make = &Make<ItemContainer>,
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"TabItem",
         .className = L"System.Windows.Controls.TabItem",
         .base = L"ContentControl",
         .make = &Make<TabItem>,
         .properties = {kHeader},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"TreeViewItem",
         .className = L"System.Windows.Controls.TreeViewItem",
         .base = L"ItemsControl",
         .make = &Make<TreeViewItem>,
         .properties = {kHeader,
                        {L"IsExpanded", [](Node& n, std::wstring_view v) { As<TreeViewItem>(n).SetExpanded(ToBool(v)); }}},
         .content = Content::Items},
        {.name = L"MenuItem",
         .className = L"System.Windows.Controls.MenuItem",
         .base = L"ItemsControl",
         .make = &Make<MenuItem>,
         .properties = {kHeader,
                        {L"IsCheckable", [](Node& n, std::wstring_view v) { As<MenuItem>(n).SetCheckable(ToBool(v)); }},
                        {L"IsChecked", [](Node& n, std::wstring_view v) { As<MenuItem>(n).SetChecked(ToBool(v)); }},
                        CosmeticProperty(L"InputGestureText"),
                        CosmeticProperty(L"Icon")},
         .content = Content::Items},
        {.name = L"Separator",
         .className = L"System.Windows.Controls.Separator",
         .base = L"Control",
         .make = &Make<Control>},
    };
    return types;
}

struct AttachedProperty {
    const wchar_t* owner;
    Property property;
};

wpfsim::ItemsControl& ItemsOf(Node& n) {
    return As<wpfsim::ItemsControl>(n);
}

const std::vector<AttachedProperty>& AttachedProperties() {
    static const std::vector<AttachedProperty> properties = {
        {L"Grid", {L"Row", [](Node& n, std::wstring_view v) { n.element->Layout().row = ToInt(v); }}},
        {L"Grid", {L"Column", [](Node& n, std::wstring_view v) { n.element->Layout().column = ToInt(v); }}},
        {L"Grid",
         {L"RowSpan", [](Node& n, std::wstring_view v) { n.element->Layout().rowSpan = std::max(1, ToInt(v)); }}},
        {L"Grid",
         {L"ColumnSpan",
          [](Node& n, std::wstring_view v) { n.element->Layout().columnSpan = std::max(1, ToInt(v)); }}},
        {L"DockPanel",
         {L"Dock",
          [](Node& n, std::wstring_view v) {
              n.element->Layout().dock =
                  static_cast<wpfsim::Dock>(EnumValue(v, {L"Left", L"Top", L"Right", L"Bottom"}));
          }}},
        {L"Canvas", {L"Left", [](Node& n, std::wstring_view v) { n.element->Layout().left = ToNumber(v); }}},
        {L"Canvas", {L"Top", [](Node& n, std::wstring_view v) { n.element->Layout().top = ToNumber(v); }}},
        {L"VirtualizingStackPanel",
         {L"IsVirtualizing", [](Node& n, std::wstring_view v) { ItemsOf(n).SetVirtualizing(ToBool(v)); }}},
        {L"VirtualizingPanel",
         {L"IsVirtualizing", [](Node& n, std::wstring_view v) { ItemsOf(n).SetVirtualizing(ToBool(v)); }}},
        {L"ScrollViewer",
         {L"HorizontalScrollBarVisibility",
          [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(true, ToBarVisibility(v)); }}},
        {L"ScrollViewer",
         {L"VerticalScrollBarVisibility",
          [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(false, ToBarVisibility(v)); }}},
        {L"ScrollViewer",
         {L"CanContentScroll",
          [](Node& n, std::wstring_view v) {
              // Scrolling by pixels instead of items turns virtualization off, as in WPF.
              if (!ToBool(v)) ItemsOf(n).SetVirtualizing(false);
          }}},
        {L"ToolBar",
         {L"OverflowMode",
          [](Node& n, std::wstring_view v) {
              n.element->Layout().toolBarOverflow = static_cast<int>(EnumValue(v, {L"AsNeeded", L"Always", L"Never"}));
          }}},
    };
    return properties;
}

const std::vector<Property>& SimProperties() {
    static const std::vector<Property> properties = {
        {L"CheckedForm",
         [](Node& n, std::wstring_view v) {
             As<wpfsim::ToggleButton>(n).SetCheckedForm(
                 static_cast<wpfsim::CheckedForm>(EnumValue(v, {L"BoolOrNull", L"BoolOrEmpty", L"Boxed"})));
         }},
        {L"NeverGenerates", [](Node& n, std::wstring_view v) { ItemsOf(n).SetNeverGenerates(ToBool(v)); }},
        {L"NeverOpens",
         [](Node& n, std::wstring_view v) {
             // The popups of the element's template (drop-down, submenu, overflow) never open.
             bool never = ToBool(v);
             std::function<void(wpfsim::Element&)> walk = [&](wpfsim::Element& e) {
                 if (auto* popup = dynamic_cast<wpfsim::Popup*>(&e); popup && popup->TemplatedParent() == n.element)
                     popup->SetNeverOpens(never);
                 for (wpfsim::Element* child : e.Children())
                     walk(*child);
                 if (auto* popup = dynamic_cast<wpfsim::Popup*>(&e); popup && popup->Child()) walk(*popup->Child());
             };
             walk(*n.element);
         }},
    };
    return properties;
}

const std::vector<DefinitionList>& DefinitionLists() {
    static const std::vector<DefinitionList> lists = {
        {L"Grid", L"RowDefinitions", L"RowDefinition", L"Height", &wpfsim::Grid::rows},
        {L"Grid", L"ColumnDefinitions", L"ColumnDefinition", L"Width", &wpfsim::Grid::columns},
    };
    return lists;
}

} // namespace

double ToNumber(std::wstring_view value) {
    std::wstring text(Trim(value));
    wchar_t* end = nullptr;
    double number = text.empty() ? 0 : std::wcstod(text.c_str(), &end);
    if (text.empty() || *end || !std::isfinite(number)) throw ValueError{L"a number expected"};
    return number;
}

const Type* FindType(std::wstring_view name) {
    for (const Type& type : Types())
        if (name == type.name) return &type;
    return nullptr;
}

const Property* FindProperty(const Type& type, std::wstring_view name) {
    for (const Type* t = &type; t; t = t->base ? FindType(t->base) : nullptr)
        for (const Property& property : t->properties)
            if (name == property.name) return &property;
    return nullptr;
}

const Property* FindAttachedProperty(std::wstring_view owner, std::wstring_view name) {
    for (const AttachedProperty& attached : AttachedProperties())
        if (owner == attached.owner && name == attached.property.name) return &attached.property;
    return nullptr;
}

const DefinitionList* FindDefinitionList(std::wstring_view owner, std::wstring_view name) {
    for (const DefinitionList& list : DefinitionLists())
        if (owner == list.owner && name == list.name) return &list;
    return nullptr;
}

const Property* FindSimProperty(std::wstring_view name) {
    for (const Property& property : SimProperties())
        if (name == property.name) return &property;
    return nullptr;
}

bool ToBool(std::wstring_view value) {
    return EnumValue(value, {L"False", L"True"}) == 1;
}

double ToLength(std::wstring_view value) {
    if (SameText(Trim(value), L"Auto")) return Auto;
    double length = ToNumber(value);
    if (length < 0) throw ValueError{L"a length of 0 or more, or Auto, expected"};
    return length;
}

Thickness ToThickness(std::wstring_view value) {
    std::vector<double> parts;
    std::wstring text(value);
    for (wchar_t& c : text)
        if (c == L',') c = L' ';
    size_t start = 0;
    while ((start = text.find_first_not_of(L" \t\r\n", start)) != std::wstring::npos) {
        size_t end = text.find_first_of(L" \t\r\n", start);
        parts.push_back(ToNumber(std::wstring_view(text).substr(start, end - start)));
        start = end;
    }
    switch (parts.size()) {
    case 1:
        return {parts[0], parts[0], parts[0], parts[0]};
    case 2:
        return {parts[0], parts[1], parts[0], parts[1]};
    case 4:
        return {parts[0], parts[1], parts[2], parts[3]};
    default:
        throw ValueError{L"one, two or four numbers expected"};
    }
}

} // namespace ovhost::xaml
