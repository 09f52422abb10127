#include "XamlTypes.h"

#include "wpfsim/Buttons.h"
#include "wpfsim/Framework.h"

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

double ToNumber(std::wstring_view value) {
    std::wstring text(Trim(value));
    wchar_t* end = nullptr;
    double number = text.empty() ? 0 : std::wcstod(text.c_str(), &end);
    if (text.empty() || *end || !std::isfinite(number)) throw ValueError{L"a number expected"};
    return number;
}

int ToInt(std::wstring_view value) {
    double number = ToNumber(value);
    if (number != std::floor(number) || number < 0 || number > 10000)
        throw ValueError{L"a whole number expected"};
    return static_cast<int>(number);
}

template <class T>
wpfsim::Element& Make(wpfsim::Application& app, wpfsim::Element* parent, std::wstring cls) {
    return app.Add<T>(parent, std::move(cls), L"");
}

// Properties that change nothing the simulation shows (brushes, fonts, alignment); their values are kept
// by nobody, but they are WPF's and a real application sets them.
void Cosmetic(Node&, std::wstring_view) {}

Property CosmeticProperty(const wchar_t* name) {
    return {name, &Cosmetic};
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
                      n.element->SetVisible(EnumValue(v, {L"Visible", L"Hidden", L"Collapsed"}) == 0);
                  }},
                 {L"Focusable", [](Node& n, std::wstring_view v) { n.element->SetFocusable(ToBool(v)); }},
                 {L"Width", [](Node& n, std::wstring_view v) { n.layout.width = ToLength(v); }},
                 {L"Height", [](Node& n, std::wstring_view v) { n.layout.height = ToLength(v); }},
                 {L"Margin", [](Node& n, std::wstring_view v) { n.layout.margin = ToThickness(v); }},
                 CosmeticProperty(L"HorizontalAlignment"),
                 CosmeticProperty(L"VerticalAlignment"),
                 CosmeticProperty(L"ToolTip"),
             }},
        {.name = L"Control",
         .className = L"System.Windows.Controls.Control",
         .base = L"FrameworkElement",
         .properties =
             {
                 {L"Padding", [](Node& n, std::wstring_view v) { n.layout.padding = ToThickness(v); }},
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
        // The host's content controls are the buttons; their content is text or one element.
        {.name = L"ContentControl",
         .className = L"System.Windows.Controls.ContentControl",
         .base = L"Control",
         .properties = {{L"Content",
                         [](Node& n, std::wstring_view v) { As<ButtonBase>(n).SetContent(std::wstring(v)); }}},
         .content = Content::Single,
         .textProperty = L"Content",
         .arrange = Arrange::Single},
        {.name = L"ButtonBase",
         .className = L"System.Windows.Controls.Primitives.ButtonBase",
         .base = L"ContentControl",
         .content = Content::Single,
         .textProperty = L"Content",
         .arrange = Arrange::Single},
        {.name = L"Panel",
         .className = L"System.Windows.Controls.Panel",
         .base = L"FrameworkElement",
         .properties = {CosmeticProperty(L"Background")},
         .content = Content::Many},

        // --- windows, layout and decoration
        // A Window is a content control in WPF; the host's holds one element and no text.
        {.name = L"Window",
         .className = L"System.Windows.Window",
         .base = L"Control",
         .make = &Make<Window>,
         .properties =
             {
                 {L"Title", [](Node& n, std::wstring_view v) { As<Window>(n).SetTitle(std::wstring(v)); }},
                 CosmeticProperty(L"ResizeMode"),
                 CosmeticProperty(L"SizeToContent"),
                 CosmeticProperty(L"WindowStartupLocation"),
             },
         .content = Content::Single,
         .arrange = Arrange::Single},
        {.name = L"StackPanel",
         .className = L"System.Windows.Controls.StackPanel",
         .base = L"Panel",
         .make = &Make<FrameworkElement>,
         .properties = {{L"Orientation",
                         [](Node& n, std::wstring_view v) {
                             n.layout.horizontal = EnumValue(v, {L"Vertical", L"Horizontal"}) == 1;
                         }}},
         .content = Content::Many,
         .arrange = Arrange::Stack},
        {.name = L"WrapPanel",
         .className = L"System.Windows.Controls.WrapPanel",
         .base = L"Panel",
         .make = &Make<FrameworkElement>,
         .properties = {{L"Orientation",
                         [](Node& n, std::wstring_view v) {
                             n.layout.horizontal = EnumValue(v, {L"Horizontal", L"Vertical"}) == 0;
                         }}},
         .content = Content::Many,
         .arrange = Arrange::Wrap},
        {.name = L"DockPanel",
         .className = L"System.Windows.Controls.DockPanel",
         .base = L"Panel",
         .make = &Make<FrameworkElement>,
         .properties = {CosmeticProperty(L"LastChildFill")},
         .content = Content::Many,
         .arrange = Arrange::Dock},
        {.name = L"Grid",
         .className = L"System.Windows.Controls.Grid",
         .base = L"Panel",
         .make = &Make<FrameworkElement>,
         .properties = {CosmeticProperty(L"ShowGridLines")},
         .content = Content::Many,
         .arrange = Arrange::Grid},
        {.name = L"Canvas",
         .className = L"System.Windows.Controls.Canvas",
         .base = L"Panel",
         .make = &Make<FrameworkElement>,
         .content = Content::Many,
         .arrange = Arrange::Canvas},
        {.name = L"Border",
         .className = L"System.Windows.Controls.Border",
         .base = L"FrameworkElement",
         .make = &Make<FrameworkElement>,
         .properties =
             {
                 {L"Padding", [](Node& n, std::wstring_view v) { n.layout.padding = ToThickness(v); }},
                 CosmeticProperty(L"Background"),
                 CosmeticProperty(L"BorderBrush"),
                 CosmeticProperty(L"BorderThickness"),
                 CosmeticProperty(L"CornerRadius"),
             },
         .content = Content::Single,
         .arrange = Arrange::Single},
        {.name = L"TextBlock",
         .className = L"System.Windows.Controls.TextBlock",
         .base = L"FrameworkElement",
         .make = &Make<TextBlock>,
         .properties =
             {
                 {L"Text", [](Node& n, std::wstring_view v) { As<TextBlock>(n).SetText(std::wstring(v)); }},
                 {L"Padding", [](Node& n, std::wstring_view v) { n.layout.padding = ToThickness(v); }},
                 CosmeticProperty(L"Background"),
                 CosmeticProperty(L"Foreground"),
                 CosmeticProperty(L"FontFamily"),
                 CosmeticProperty(L"FontSize"),
                 CosmeticProperty(L"FontWeight"),
                 CosmeticProperty(L"TextAlignment"),
                 CosmeticProperty(L"TextWrapping"),
             },
         .content = Content::Text,
         .textProperty = L"Text",
         .chrome = {0, 16, 0}},

        // --- buttons
        {.name = L"Button",
         .className = L"System.Windows.Controls.Button",
         .base = L"ButtonBase",
         .make = &Make<Button>,
         .properties = {CosmeticProperty(L"IsDefault"), CosmeticProperty(L"IsCancel")},
         .content = Content::Single,
         .textProperty = L"Content",
         .arrange = Arrange::Single,
         .chrome = {16, 23, 75}},
        {.name = L"RepeatButton",
         .className = L"System.Windows.Controls.Primitives.RepeatButton",
         .base = L"ButtonBase",
         .make = &Make<RepeatButton>,
         .properties = {CosmeticProperty(L"Delay"), CosmeticProperty(L"Interval")},
         .content = Content::Single,
         .textProperty = L"Content",
         .arrange = Arrange::Single,
         .chrome = {16, 23, 75}},
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
         .textProperty = L"Content",
         .arrange = Arrange::Single,
         .chrome = {16, 23, 75}},
        {.name = L"CheckBox",
         .className = L"System.Windows.Controls.CheckBox",
         .base = L"ToggleButton",
         .make = &Make<CheckBox>,
         .content = Content::Single,
         .textProperty = L"Content",
         .arrange = Arrange::Single,
         .chrome = {20, 16, 0}},
        {.name = L"RadioButton",
         .className = L"System.Windows.Controls.RadioButton",
         .base = L"ToggleButton",
         .make = &Make<RadioButton>,
         .properties = {{L"GroupName",
                         [](Node& n, std::wstring_view v) { As<RadioButton>(n).SetGroupName(std::wstring(v)); }}},
         .content = Content::Single,
         .textProperty = L"Content",
         .arrange = Arrange::Single,
         .chrome = {20, 16, 0}},
    };
    return types;
}

struct AttachedProperty {
    const wchar_t* owner;
    Property property;
};

const std::vector<AttachedProperty>& AttachedProperties() {
    static const std::vector<AttachedProperty> properties = {
        {L"Grid", {L"Row", [](Node& n, std::wstring_view v) { n.layout.row = ToInt(v); }}},
        {L"Grid", {L"Column", [](Node& n, std::wstring_view v) { n.layout.column = ToInt(v); }}},
        {L"Grid",
         {L"RowSpan", [](Node& n, std::wstring_view v) { n.layout.rowSpan = std::max(1, ToInt(v)); }}},
        {L"Grid",
         {L"ColumnSpan", [](Node& n, std::wstring_view v) { n.layout.columnSpan = std::max(1, ToInt(v)); }}},
        {L"DockPanel",
         {L"Dock",
          [](Node& n, std::wstring_view v) {
              n.layout.dock = static_cast<Dock>(EnumValue(v, {L"Left", L"Top", L"Right", L"Bottom"}));
          }}},
        {L"Canvas", {L"Left", [](Node& n, std::wstring_view v) { n.layout.left = ToNumber(v); }}},
        {L"Canvas", {L"Top", [](Node& n, std::wstring_view v) { n.layout.top = ToNumber(v); }}},
    };
    return properties;
}

const std::vector<DefinitionList>& DefinitionLists() {
    static const std::vector<DefinitionList> lists = {
        {L"Grid", L"RowDefinitions", L"RowDefinition", L"Height", &LayoutValues::rows},
        {L"Grid", L"ColumnDefinitions", L"ColumnDefinition", L"Width", &LayoutValues::columns},
    };
    return lists;
}

} // namespace

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

std::wstring DisplayText(const wpfsim::Element& element) {
    if (auto* button = dynamic_cast<const wpfsim::ButtonBase*>(&element)) return button->Content();
    if (auto* text = dynamic_cast<const wpfsim::TextBlock*>(&element)) return text->Text();
    return {};
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
