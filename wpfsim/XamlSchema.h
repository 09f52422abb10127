// What XAML readers know of the simulation's element kinds: each kind declares, beside its class, its XAML
// element name, .NET class, WPF base type (whose properties and content it inherits), factory, properties,
// attached properties it owns, attributes of the simulation's own namespace, and what its children and text
// mean. Values are read as WPF's type converters read attribute text.
#pragma once

#include "Application.h"
#include "Framework.h"

#include <string>
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
};

// What an element's children mean.
enum class Content {
    None,   // neither child elements nor text
    Text,   // text only, set to the text property
    Single, // one child element, or text when the type has a text property
    Many,   // any number of child elements (panels)
    Items,  // items: container elements, sys: values, or text (a string item)
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

// Value converters, as WPF's type converters read attribute text.
std::wstring_view Trim(std::wstring_view text);
bool ToBool(std::wstring_view value);
double ToNumber(std::wstring_view value);
double ToLength(std::wstring_view value); // a number or "Auto"
int ToInt(std::wstring_view value);       // a whole number from 0
Thickness ToThickness(std::wstring_view value);
// One of the names of an enumeration, compared without case as WPF's enum converter does.
size_t EnumValue(std::wstring_view value, std::initializer_list<const wchar_t*> names);

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
// A property that changes nothing the simulation shows (brushes, fonts, alignment): WPF's, and a real
// application sets it.
Property Cosmetic(const wchar_t* name);

// The declarations of each family of kinds, beside their classes.
std::vector<Type> FrameworkTypes();
std::vector<Type> ButtonTypes();
std::vector<Type> ItemTypes();
std::vector<Type> RangeTypes();

} // namespace wpfsim::xaml
