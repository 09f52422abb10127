// WPF's public surface as a window's XAML meets it: the classes of the System.Windows namespaces with
// their base, their [ContentProperty], their settable properties (and read-only collections) with the
// converter of their CLR type, their attached properties and events, and every enumeration with its
// names. Generated from WPF's reference sources (tools/wpf-surface.py writes WpfSurface.inc).
//
// The XAML reader asks it for what the simulation does not declare (XamlSchema.h): a property WPF has is
// read by its type's converter and dropped, an element WPF has is "not supported" rather than unknown.
#pragma once

#include "XamlSchema.h"

#include <optional>
#include <string_view>

namespace wpfsim::surface {

// How an attribute's text becomes a value of the property's CLR type, as WPF's type converters read it.
enum class Converter : unsigned char {
    None, // no converter from text: only a markup extension or a property element sets it
    Text, // any text (string, object, Uri, ImageSource, PropertyPath, XmlLanguage, ...)
    Char,
    Bool,
    NullableBool,
    Int32,
    Integer, // the other whole number types, read in Int32's range
    Number,
    Length, // LengthConverter: a length with its unit, or Auto
    FontSize,
    Thickness,
    CornerRadius,
    Brush,
    Color,
    FontFamily,
    FontWeight,
    FontStyle,
    FontStretch,
    Duration,
    TimeSpan,
    Point, // also Vector
    Size,
    Rect,
    Cursor,
    GridLength,
    DoubleCollection,
    PointCollection,
    Geometry, // path markup, its grammar checked
    Transform,
    Matrix,
    Command,
    RoutedEvent,
    KeyGesture,
    MouseGesture,
    TextDecorations,
    KeyTime,
    RepeatBehavior,
    Enum,
};

namespace member {
inline constexpr unsigned char Property = 1, Attached = 2, ReadOnly = 4, Event = 8, RoutedEvent = 16;
}

struct Member {
    const wchar_t* name;
    const wchar_t* type; // the CLR type's name without its namespace (null for events)
    Converter converter;
    unsigned short enumIndex; // of Converter::Enum
    unsigned char flags;      // member::
};

struct Enumeration {
    const wchar_t* name;
    bool flags;    // [Flags]: names combine with commas
    bool numbered; // its names' values are their positions
    unsigned short first, count;
};

struct Class {
    const wchar_t* name;
    const wchar_t* ns;
    short base; // index in the table, -1 for none
    unsigned char flags;
    const wchar_t* content; // its own [ContentProperty], or null
    unsigned short first, count;
};

const Class* FindClass(std::wstring_view name);
const Class* BaseOf(const Class& type);
bool DerivesFrom(const Class& type, std::wstring_view name);
bool IsAbstract(const Class& type);
// Visual and content elements (what stands in a window's trees), as against value objects (brushes,
// transforms, bindings).
bool IsElement(const Class& type);
// The [ContentProperty] of the class or its nearest base that names one; null when none does.
const wchar_t* ContentPropertyOf(const Class& type);
// An instance property (settable or a read-only collection) of the class or a base; null when none.
const Member* FindProperty(const Class& type, std::wstring_view name);
// An attached property that the class or a base owns (its static Set<Name>); null when none.
const Member* FindAttached(const Class& owner, std::wstring_view name);
// A CLR event of the class or a base (an attribute of the element), or with `routed` a routed event that
// the class or a base owns (an attached event "Owner.Name", an EventTrigger's RoutedEvent).
bool HasEvent(const Class& type, std::wstring_view name, bool routed);

// Reads the text as the member's converter does; ValueError when it does not take it. A member without a
// converter (Converter::None) is the caller's to refuse.
void Convert(const Member& property, std::wstring_view text);
// The value of a name of an enumeration whose names are numbered in order; nothing for other members.
std::optional<long> EnumNumber(const Member& property, std::wstring_view text);

} // namespace wpfsim::surface
