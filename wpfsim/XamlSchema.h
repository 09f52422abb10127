// What XAML readers know of the simulation's element kinds: each kind declares, beside its class, its XAML
// element name, .NET class, WPF base type (whose properties and content it inherits), factory, properties,
// attached properties it owns, attributes of the simulation's own namespace, and what its children and text
// mean. Values are read as WPF's type converters read attribute text.
#pragma once

#include "Application.h"
#include "Panels.h"

#include <string>
#include <span>
#include <string_view>
#include <vector>

namespace wpfsim::xaml {

// An element being built: what the property setters work on.
struct Node {
    Element* element = nullptr;
};

// A value the property cannot take: the reader adds the position. Message: "'x' is not a valid value of
// Y" style, without the final period.
struct ValueError {
    std::wstring message;
};

using Setter = void (*)(Node& node, std::wstring_view value);
// A property element holding one element (<Button.ContextMenu>, <TabItem.Header>).
using ElementSetter = void (*)(Node& node, Element& value);

struct Property {
    const wchar_t* name;
    Setter set;
    ElementSetter setElement = nullptr;
    // A collection: its property element holds any number of elements, each given to setElement.
    bool collection = false;
    // The attribute's text reaches the setter as written, a markup extension included (a column's Binding).
    bool markup = false;
};

// What an element's children mean.
enum class Content {
    None,    // neither child elements nor text
    Text,    // text only, set to the text property
    Single,  // one child element, or text when the type has a text property
    Many,    // any number of child elements (panels)
    Items,   // items: container elements, sys: values, or text (a string item)
    Inlines, // text and inline elements in order (TextBlock, Span): text among elements becomes Runs; a
             // TextBlock of text alone sets its text property
};

using Factory = Element& (*)(Application& app, std::wstring className);

struct Type {
    const wchar_t* name = nullptr;      // the XAML element name
    const wchar_t* className = nullptr; // the .NET full class name
    const wchar_t* base = nullptr;      // the WPF base type in the schema (null at the root)
    Factory make = nullptr;             // null: abstract, no element of its own
    std::vector<Property> properties = {};
    Content content = Content::None;
    const wchar_t* textProperty = nullptr; // the property that child text sets
    std::vector<Property> attached = {};   // attached properties it owns ("Grid.Row": Grid's "Row")
    std::vector<Property> sim = {};        // attributes of urn:ovwpf-sim that apply to it
};

// A property element that holds definitions rather than elements (Grid.RowDefinitions): its items are
// elements named `item` whose attribute `attribute` gives one size.
struct DefinitionList {
    const wchar_t* owner;
    const wchar_t* name;
    const wchar_t* item;
    const wchar_t* attribute;
    std::vector<double> Grid::*target;
};

// The type of a XAML element name (abstract ones included), or null.
const Type* FindType(std::wstring_view name);
// A property of the type or of one of its bases, or null.
const Property* FindProperty(const Type& type, std::wstring_view name);
// An attached property ("Grid.Row" is owner "Grid", name "Row"), or null.
const Property* FindAttachedProperty(std::wstring_view owner, std::wstring_view name);
// An attribute of urn:ovwpf-sim that applies to the type or one of its bases, or null.
const Property* FindSimProperty(const Type& type, std::wstring_view name);
const DefinitionList* FindDefinitionList(std::wstring_view owner, std::wstring_view name);

// Value converters, as WPF's type converters and the properties' own checks read attribute text. Numbers
// follow .NET's invariant grammar ([sign] digits [. digits] [e [sign] digits], white space around): no hex,
// no thousands separators. "NaN" and "Infinity" parse but every number property of the simulation refuses
// them, as WPF's checks of these properties do; lengths spell "not set" as "Auto" only (WPF's length
// converter lowercases "NaN" before parsing, which only newer frameworks read). Enumerations take their
// names only, not the numbers that .NET would also parse: a file the reader accepts opens in any WPF.
std::wstring_view Trim(std::wstring_view text);
bool ToBool(std::wstring_view value);
double ToNumber(std::wstring_view value);   // a finite number
double ToLength(std::wstring_view value);   // a device-independent length of 0 or more (units px, in, cm,
                                            // pt), or "Auto"
double ToExtent(std::wstring_view value);   // a length of 0 or more without "Auto" (MinWidth)
double ToPosition(std::wstring_view value); // a length of any sign, or "Auto" (Canvas.Left)
long long ToInt32(std::wstring_view value); // a whole number of .NET's Int32 range, digits only
int ToInt(std::wstring_view value, int minimum = 0); // a whole number from the minimum to 10000
// One, two or four lengths, separated by commas or white space. Without `negative`, sides below 0 are
// refused: WPF's Border refuses them, and the reader refuses them for every padding and border thickness.
Thickness ToThickness(std::wstring_view value, bool negative = true);
// The items of a list as WPF's tokenizer splits it: white space or one comma between items.
std::vector<std::wstring_view> ListItems(std::wstring_view value);
// One of the names of an enumeration, compared without case as WPF's enum converter does.
size_t EnumValue(std::wstring_view value, std::initializer_list<const wchar_t*> names);
size_t EnumValue(std::wstring_view value, std::span<const wchar_t* const> names);

// For the declarations of the kinds.
template <class T> Element& Make(Application& app, std::wstring className) {
    return app.Create<T>(std::move(className), L"");
}
// The element as the class the schema made it; a mismatch is a schema error.
template <class T> T& As(Node& node) {
    auto* element = dynamic_cast<T*>(node.element);
    if (!element) throw ValueError{L"the property does not apply to this element"};
    return *element;
}
// The checks of the properties that change nothing the simulation shows (brushes, fonts, alignment): WPF's,
// and a real application sets them, so their values are read as WPF reads them and then dropped.
namespace check {
void Text(Node&, std::wstring_view value); // any text (ToolTip, Icon, InputGestureText)
void Bool(Node&, std::wstring_view value);
void Int32(Node&, std::wstring_view value);    // ToolBar.Band: any whole number
void Delay(Node&, std::wstring_view value);    // a whole number of 0 or more
void Interval(Node&, std::wstring_view value); // a whole number above 0
void Zoom(Node&, std::wstring_view value);     // a number above 0
void Brush(Node&, std::wstring_view value); // a named colour, #RGB, #ARGB, #RRGGBB, #AARRGGBB, sc#, {x:Null}
void FontSize(Node&, std::wstring_view value);     // a length above 0, up to 35791
void FontWeight(Node&, std::wstring_view value);   // a weight's name or 1..999
void FontFamily(Node&, std::wstring_view value);   // a text that is not blank
void Padding(Node&, std::wstring_view value);      // a thickness without negative sides
void PagePadding(Node&, std::wstring_view value);  // the same, sides may be "Auto"
void CornerRadius(Node&, std::wstring_view value); // one or four numbers of 0 or more
template <auto& names> void OneOf(Node&, std::wstring_view value) {
    EnumValue(value, names);
}
inline constexpr const wchar_t* kHorizontalAlignments[] = {L"Left", L"Center", L"Right", L"Stretch"};
inline constexpr const wchar_t* kVerticalAlignments[] = {L"Top", L"Center", L"Bottom", L"Stretch"};
inline constexpr const wchar_t* kTextAlignments[] = {L"Left", L"Right", L"Center", L"Justify"};
inline constexpr const wchar_t* kTextWrappings[] = {L"NoWrap", L"Wrap", L"WrapWithOverflow"};
inline constexpr const wchar_t* kResizeModes[] = {L"NoResize", L"CanMinimize", L"CanResize",
                                                  L"CanResizeWithGrip"};
inline constexpr const wchar_t* kSizesToContent[] = {L"Manual", L"Width", L"Height", L"WidthAndHeight"};
inline constexpr const wchar_t* kStartupLocations[] = {L"Manual", L"CenterScreen", L"CenterOwner"};
inline constexpr const wchar_t* kExpandDirections[] = {L"Down", L"Up", L"Left", L"Right"};
inline constexpr const wchar_t* kTickPlacements[] = {L"None", L"TopLeft", L"BottomRight", L"Both"};
inline constexpr const wchar_t* kSelectionModes[] = {L"Single", L"Multiple", L"Extended"};
} // namespace check

// The WPF type of every such property, by its name: one name, one type, wherever it is declared.
inline constexpr Property kCosmeticProperties[] = {
    {L"Background", &check::Brush},
    {L"Foreground", &check::Brush},
    {L"BorderBrush", &check::Brush},
    {L"BorderThickness", &check::Padding},
    {L"Padding", &check::Padding},
    {L"PagePadding", &check::PagePadding},
    {L"CornerRadius", &check::CornerRadius},
    {L"FontFamily", &check::FontFamily},
    {L"FontSize", &check::FontSize},
    {L"FontWeight", &check::FontWeight},
    {L"HorizontalAlignment", &check::OneOf<check::kHorizontalAlignments>},
    {L"HorizontalContentAlignment", &check::OneOf<check::kHorizontalAlignments>},
    {L"VerticalAlignment", &check::OneOf<check::kVerticalAlignments>},
    {L"VerticalContentAlignment", &check::OneOf<check::kVerticalAlignments>},
    {L"TextAlignment", &check::OneOf<check::kTextAlignments>},
    {L"TextWrapping", &check::OneOf<check::kTextWrappings>},
    {L"ResizeMode", &check::OneOf<check::kResizeModes>},
    {L"SizeToContent", &check::OneOf<check::kSizesToContent>},
    {L"WindowStartupLocation", &check::OneOf<check::kStartupLocations>},
    {L"ExpandDirection", &check::OneOf<check::kExpandDirections>},
    {L"TickPlacement", &check::OneOf<check::kTickPlacements>},
    {L"SelectionMode", &check::OneOf<check::kSelectionModes>},
    {L"IsCancel", &check::Bool},
    {L"IsDefault", &check::Bool},
    {L"IsEditable", &check::Bool},
    {L"IsReadOnly", &check::Bool},
    {L"AcceptsReturn", &check::Bool},
    {L"LastChildFill", &check::Bool},
    {L"ShowGridLines", &check::Bool},
    {L"IsMainMenu", &check::Bool},
    {L"IsLocked", &check::Bool},
    {L"IsMoveToPointEnabled", &check::Bool},
    {L"IsToolBarVisible", &check::Bool},
    {L"AllowsColumnReorder", &check::Bool},
    {L"Delay", &check::Delay},
    {L"Interval", &check::Interval},
    {L"Band", &check::Int32},
    {L"BandIndex", &check::Int32},
    {L"Zoom", &check::Zoom},
    {L"ToolTip", &check::Text},
    {L"ColumnHeaderToolTip", &check::Text},
    {L"Icon", &check::Text},
    {L"InputGestureText", &check::Text},
};

// A property of kCosmeticProperties; a name it does not list stops the build (no constant expression).
consteval Property Cosmetic(const wchar_t* name) {
    for (const Property& property : kCosmeticProperties) {
        size_t i = 0;
        while (name[i] && name[i] == property.name[i])
            ++i;
        if (name[i] == property.name[i]) return property;
    }
    throw "a cosmetic property without a WPF type in kCosmeticProperties";
}

// The "Header" of a headered kind: text, or an element in a property element.
template <class T> Property HeaderProperty() {
    return {L"Header", [](Node& n, std::wstring_view v) { As<T>(n).SetHeader(std::wstring(v)); },
            [](Node& n, Element& e) { As<T>(n).SetHeaderElement(&e); }};
}

// The declarations of each family of kinds, beside their classes.
std::vector<Type> FrameworkTypes();
std::vector<Type> ContentControlTypes();
std::vector<Type> WindowTypes();
std::vector<Type> PanelTypes();
std::vector<Type> BorderTypes();
std::vector<Type> TextBlockTypes();
std::vector<Type> ScrollViewerTypes();
std::vector<Type> ButtonTypes();
std::vector<Type> ItemTypes();
std::vector<Type> ListBoxTypes();
std::vector<Type> ComboBoxTypes();
std::vector<Type> TabControlTypes();
std::vector<Type> TreeViewTypes();
std::vector<Type> MenuTypes();
std::vector<Type> ToolBarTypes();
std::vector<Type> TextBoxTypes();
std::vector<Type> ExpanderTypes();
std::vector<Type> RangeTypes();
std::vector<Type> DataGridTypes();
std::vector<Type> CalendarTypes();
std::vector<Type> DatePickerTypes();
std::vector<Type> RichTextBoxTypes();
std::vector<Type> LabelTypes();
std::vector<Type> GroupBoxTypes();
std::vector<Type> StatusBarTypes();
std::vector<Type> ViewboxTypes();
std::vector<Type> ProgressBarTypes();
std::vector<Type> ShapeTypes();
std::vector<Type> UniformGridTypes();
std::vector<Type> FrameTypes();
std::vector<Type> UserControlTypes();
std::vector<Type> PageTypes();
std::vector<Type> ToolTipTypes();
std::vector<Type> InlineTypes();

// The Run that text among inline elements becomes, and whether white space next to an element goes (WPF's
// TrimSurroundingWhitespace: LineBreak).
Element& MakeRun(Application& app, std::wstring text);
bool TrimsSurroundingWhitespace(const Element& element);

} // namespace wpfsim::xaml
