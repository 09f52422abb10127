// The WPF types, properties and attached properties that the XAML reader knows, one table entry each. A
// later control adds its row to the table in XamlTypes.cpp: its XAML name, .NET class, WPF base type (whose
// properties and content it inherits), the simulated class that gives it behaviour, its own properties,
// what its children and text mean, and how it takes room in the layout.
#pragma once

#include "wpfsim/Application.h"
#include "wpfsim/Framework.h"

#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace ovhost::xaml {

using wpfsim::Auto;
using wpfsim::Thickness;

// An element being built: what the property setters work on.
struct Node {
    wpfsim::Element* element = nullptr;
};

// A value the property cannot take: the reader adds the position. Message: "'x' is not a valid value of
// Y" style, without the final period.
struct ValueError {
    std::wstring message;
};

using Setter = void (*)(Node& node, std::wstring_view value);
// A property element holding one element (<Button.ContextMenu>, <TabItem.Header>).
using ElementSetter = void (*)(Node& node, wpfsim::Element& value);

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

using Factory = wpfsim::Element& (*)(wpfsim::Application& app, std::wstring className);

struct Type {
    const wchar_t* name = nullptr;      // the XAML element name
    const wchar_t* className = nullptr; // the .NET full class name
    const wchar_t* base = nullptr;      // the WPF base type in this table (null at the root)
    Factory make = nullptr;             // null: abstract, no element of its own
    std::vector<Property> properties = {};
    Content content = Content::None;
    const wchar_t* textProperty = nullptr; // the property that child text sets
};

// The type of a XAML element name (abstract ones included), or null.
const Type* FindType(std::wstring_view name);
// A property of the type or of one of its bases, or null.
const Property* FindProperty(const Type& type, std::wstring_view name);
// An attached property ("Grid.Row" is owner "Grid", name "Row"), or null.
const Property* FindAttachedProperty(std::wstring_view owner, std::wstring_view name);
// An attribute of the simulation's own namespace (urn:ovwpf-sim): choices WPF does not have but tests need.
const Property* FindSimProperty(std::wstring_view name);

// A property element that holds definitions rather than elements (Grid.RowDefinitions): its items are
// elements named `item` whose attribute `attribute` gives one size.
struct DefinitionList {
    const wchar_t* owner;
    const wchar_t* name;
    const wchar_t* item;
    const wchar_t* attribute;
    std::vector<double> wpfsim::Grid::*target;
};
const DefinitionList* FindDefinitionList(std::wstring_view owner, std::wstring_view name);

// Value converters, as WPF's type converters read attribute text.
bool ToBool(std::wstring_view value);
double ToLength(std::wstring_view value); // a number or "Auto"
double ToNumber(std::wstring_view value);
Thickness ToThickness(std::wstring_view value);

} // namespace ovhost::xaml
