#include "XamlSchema.h"

#include "Buttons.h"
#include "Ranges.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwctype>
#include <iterator>
#include <limits>
#include <optional>

namespace wpfsim::xaml {
namespace {

bool SameText(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && _wcsnicmp(a.data(), b.data(), a.size()) == 0;
}

const std::vector<Type>& Types() {
    static const std::vector<Type> types = [] {
        std::vector<Type> all;
        for (auto family :
             {&FrameworkTypes,   &ContentControlTypes, &WindowTypes,   &PanelTypes,       &BorderTypes,
              &TextBlockTypes,   &ScrollViewerTypes,   &ButtonTypes,   &ItemTypes,        &ListBoxTypes,
              &ComboBoxTypes,    &TabControlTypes,     &TreeViewTypes, &MenuTypes,        &ToolBarTypes,
              &TextBoxTypes,     &ExpanderTypes,       &RangeTypes,    &DataGridTypes,    &CalendarTypes,
              &DatePickerTypes,  &RichTextBoxTypes,    &LabelTypes,    &GroupBoxTypes,    &StatusBarTypes,
              &ViewboxTypes,     &ProgressBarTypes,    &ShapeTypes,    &UniformGridTypes, &FrameTypes,
              &UserControlTypes, &ToolTipTypes,        &InlineTypes,   &PageTypes})
            for (Type& type : family())
                all.push_back(std::move(type));
        return all;
    }();
    return types;
}

const std::vector<DefinitionList>& DefinitionLists() {
    static const std::vector<DefinitionList> lists = {
        {L"Grid", L"RowDefinitions", L"RowDefinition", L"Height", &Grid::rows},
        {L"Grid", L"ColumnDefinitions", L"ColumnDefinition", L"Width", &Grid::columns},
    };
    return lists;
}

template <class Pick> const Property* AlongBases(const Type& type, std::wstring_view name, Pick pick) {
    for (const Type* t = &type; t; t = t->base ? FindType(t->base) : nullptr)
        for (const Property& property : pick(*t))
            if (name == property.name) return &property;
    return nullptr;
}

} // namespace

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && std::iswspace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back()))
        text.remove_suffix(1);
    return text;
}

size_t EnumValue(std::wstring_view value, std::span<const wchar_t* const> names) {
    value = Trim(value);
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(value, names[i])) return i;
    std::wstring expected;
    for (size_t i = 0; i < names.size(); ++i)
        expected += (i == 0 ? L"" : (i + 1 == names.size() ? L" or " : L", ")) + std::wstring(names[i]);
    throw ValueError{expected + L" expected"};
}

size_t EnumValue(std::wstring_view value, std::initializer_list<const wchar_t*> names) {
    return EnumValue(value, std::span<const wchar_t* const>(names.begin(), names.size()));
}

namespace {

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// .NET's Float number style in the invariant culture; the named values are returned, not refused.
std::optional<double> ParseDouble(std::wstring_view value) {
    std::wstring_view text = Trim(value);
    if (text == L"NaN") return std::numeric_limits<double>::quiet_NaN();
    if (text == L"Infinity") return std::numeric_limits<double>::infinity();
    if (text == L"-Infinity") return -std::numeric_limits<double>::infinity();
    size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        ++digits;
    if (i < text.size() && text[i] == L'.')
        for (++i; i < text.size() && IsDigit(text[i]); ++i)
            ++digits;
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
        size_t exponent = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            ++exponent;
        if (exponent == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    return std::wcstod(std::wstring(text).c_str(), nullptr);
}

// A length as WPF's length converter reads it, with its unit; "Auto" is Auto.
double ParseLength(std::wstring_view value, const wchar_t* expected) {
    std::wstring_view text = Trim(value);
    if (SameText(text, L"Auto")) return Auto;
    static const std::pair<const wchar_t*, double> units[] = {
        {L"px", 1.0}, {L"in", 96.0}, {L"cm", 96.0 / 2.54}, {L"pt", 96.0 / 72.0}};
    double scale = 1.0;
    for (const auto& [unit, factor] : units)
        if (text.size() > 2 && SameText(text.substr(text.size() - 2), unit)) {
            text.remove_suffix(2);
            scale = factor;
            break;
        }
    std::optional<double> number = ParseDouble(text);
    if (!number || !std::isfinite(*number)) throw ValueError{expected};
    return *number * scale;
}

} // namespace

double ToNumber(std::wstring_view value) {
    std::optional<double> number = ParseDouble(value);
    if (!number || !std::isfinite(*number)) throw ValueError{L"a number expected"};
    return *number;
}

double ToLength(std::wstring_view value) {
    constexpr const wchar_t* expected = L"a length of 0 or more, or Auto, expected";
    double length = ParseLength(value, expected);
    if (length < 0) throw ValueError{expected};
    return length;
}

double ToExtent(std::wstring_view value) {
    constexpr const wchar_t* expected = L"a length of 0 or more expected";
    double length = ParseLength(value, expected);
    if (std::isnan(length) || length < 0) throw ValueError{expected};
    return length;
}

double ToPosition(std::wstring_view value) {
    return ParseLength(value, L"a length or Auto expected");
}

long long ToInt32(std::wstring_view value) {
    std::wstring_view text = Trim(value);
    size_t i = text.starts_with(L'-') || text.starts_with(L'+') ? 1 : 0;
    long long number = 0;
    if (i == text.size()) throw ValueError{L"a whole number expected"};
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) throw ValueError{L"a whole number expected"};
        number = number * 10 + (text[i] - L'0');
        if (number > 2147483648LL) throw ValueError{L"a whole number of 32 bits expected"};
    }
    if (text.starts_with(L'-')) number = -number;
    if (number > 2147483647LL) throw ValueError{L"a whole number of 32 bits expected"};
    return number;
}

int ToInt(std::wstring_view value, int minimum) {
    long long number = ToInt32(value);
    if (number < minimum || number > 10000)
        throw ValueError{L"a whole number from " + std::to_wstring(minimum) + L" to 10000 expected"};
    return static_cast<int>(number);
}

std::vector<std::wstring_view> ListItems(std::wstring_view value) {
    std::vector<std::wstring_view> items;
    auto space = [](wchar_t c) { return std::iswspace(c) != 0; };
    size_t i = 0;
    while (i < value.size() && space(value[i]))
        ++i;
    while (i < value.size()) {
        size_t start = i;
        while (i < value.size() && !space(value[i]) && value[i] != L',')
            ++i;
        if (i == start) throw ValueError{L"an empty item in the list"};
        items.push_back(value.substr(start, i - start));
        while (i < value.size() && space(value[i]))
            ++i;
        if (i < value.size() && value[i] == L',') {
            ++i;
            while (i < value.size() && space(value[i]))
                ++i;
            if (i == value.size()) throw ValueError{L"an empty item in the list"};
        }
    }
    return items;
}

namespace {

Thickness ReadThickness(std::wstring_view value, bool negative, bool automatic) {
    const wchar_t* expected = negative    ? L"one, two or four lengths expected"
                              : automatic ? L"one, two or four lengths of 0 or more, or Auto, expected"
                                          : L"one, two or four lengths of 0 or more expected";
    std::vector<double> parts;
    try {
        for (std::wstring_view item : ListItems(value)) {
            double part = ParseLength(item, expected);
            if ((std::isnan(part) && !automatic) || (part < 0 && !negative)) throw ValueError{expected};
            parts.push_back(part);
        }
    } catch (const ValueError&) {
        throw ValueError{expected};
    }
    switch (parts.size()) {
    case 1:
        return {parts[0], parts[0], parts[0], parts[0]};
    case 2:
        return {parts[0], parts[1], parts[0], parts[1]};
    case 4:
        return {parts[0], parts[1], parts[2], parts[3]};
    default:
        throw ValueError{expected};
    }
}

bool IsHex(wchar_t c) {
    return IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// System.Windows.Media.Colors, Transparent among them.
constexpr const wchar_t* kColors[] = {
    L"AliceBlue",
    L"AntiqueWhite",
    L"Aqua",
    L"Aquamarine",
    L"Azure",
    L"Beige",
    L"Bisque",
    L"Black",
    L"BlanchedAlmond",
    L"Blue",
    L"BlueViolet",
    L"Brown",
    L"BurlyWood",
    L"CadetBlue",
    L"Chartreuse",
    L"Chocolate",
    L"Coral",
    L"CornflowerBlue",
    L"Cornsilk",
    L"Crimson",
    L"Cyan",
    L"DarkBlue",
    L"DarkCyan",
    L"DarkGoldenrod",
    L"DarkGray",
    L"DarkGreen",
    L"DarkKhaki",
    L"DarkMagenta",
    L"DarkOliveGreen",
    L"DarkOrange",
    L"DarkOrchid",
    L"DarkRed",
    L"DarkSalmon",
    L"DarkSeaGreen",
    L"DarkSlateBlue",
    L"DarkSlateGray",
    L"DarkTurquoise",
    L"DarkViolet",
    L"DeepPink",
    L"DeepSkyBlue",
    L"DimGray",
    L"DodgerBlue",
    L"Firebrick",
    L"FloralWhite",
    L"ForestGreen",
    L"Fuchsia",
    L"Gainsboro",
    L"GhostWhite",
    L"Gold",
    L"Goldenrod",
    L"Gray",
    L"Green",
    L"GreenYellow",
    L"Honeydew",
    L"HotPink",
    L"IndianRed",
    L"Indigo",
    L"Ivory",
    L"Khaki",
    L"Lavender",
    L"LavenderBlush",
    L"LawnGreen",
    L"LemonChiffon",
    L"LightBlue",
    L"LightCoral",
    L"LightCyan",
    L"LightGoldenrodYellow",
    L"LightGray",
    L"LightGreen",
    L"LightPink",
    L"LightSalmon",
    L"LightSeaGreen",
    L"LightSkyBlue",
    L"LightSlateGray",
    L"LightSteelBlue",
    L"LightYellow",
    L"Lime",
    L"LimeGreen",
    L"Linen",
    L"Magenta",
    L"Maroon",
    L"MediumAquamarine",
    L"MediumBlue",
    L"MediumOrchid",
    L"MediumPurple",
    L"MediumSeaGreen",
    L"MediumSlateBlue",
    L"MediumSpringGreen",
    L"MediumTurquoise",
    L"MediumVioletRed",
    L"MidnightBlue",
    L"MintCream",
    L"MistyRose",
    L"Moccasin",
    L"NavajoWhite",
    L"Navy",
    L"OldLace",
    L"Olive",
    L"OliveDrab",
    L"Orange",
    L"OrangeRed",
    L"Orchid",
    L"PaleGoldenrod",
    L"PaleGreen",
    L"PaleTurquoise",
    L"PaleVioletRed",
    L"PapayaWhip",
    L"PeachPuff",
    L"Peru",
    L"Pink",
    L"Plum",
    L"PowderBlue",
    L"Purple",
    L"Red",
    L"RosyBrown",
    L"RoyalBlue",
    L"SaddleBrown",
    L"Salmon",
    L"SandyBrown",
    L"SeaGreen",
    L"SeaShell",
    L"Sienna",
    L"Silver",
    L"SkyBlue",
    L"SlateBlue",
    L"SlateGray",
    L"Snow",
    L"SpringGreen",
    L"SteelBlue",
    L"Tan",
    L"Teal",
    L"Thistle",
    L"Tomato",
    L"Transparent",
    L"Turquoise",
    L"Violet",
    L"Wheat",
    L"White",
    L"WhiteSmoke",
    L"Yellow",
    L"YellowGreen",
};
static_assert(std::size(kColors) == 141);

constexpr const wchar_t* kFontWeights[] = {
    L"Thin",   L"ExtraLight", L"UltraLight", L"Light",      L"Normal",    L"Regular",
    L"Medium", L"DemiBold",   L"SemiBold",   L"Bold",       L"ExtraBold", L"UltraBold",
    L"Black",  L"Heavy",      L"ExtraBlack", L"UltraBlack",
};

} // namespace

Thickness ToThickness(std::wstring_view value, bool negative) {
    return ReadThickness(value, negative, false);
}

namespace check {

void Text(Node&, std::wstring_view) {}

void Bool(Node&, std::wstring_view value) {
    ToBool(value);
}

void Int32(Node&, std::wstring_view value) {
    ToInt32(value);
}

void Delay(Node&, std::wstring_view value) {
    if (ToInt32(value) < 0) throw ValueError{L"a whole number of 0 or more expected"};
}

void Interval(Node&, std::wstring_view value) {
    if (ToInt32(value) <= 0) throw ValueError{L"a whole number above 0 expected"};
}

void Zoom(Node&, std::wstring_view value) {
    std::optional<double> number = ParseDouble(value);
    if (!number || !std::isfinite(*number) || *number <= 0) throw ValueError{L"a number above 0 expected"};
}

void Brush(Node&, std::wstring_view value) {
    constexpr const wchar_t* expected =
        L"a colour's name, #RGB, #ARGB, #RRGGBB, #AARRGGBB or sc#R,G,B or sc#A,R,G,B expected";
    std::wstring_view text = Trim(value);
    if (text == L"{x:Null}") return; // no brush: nothing is painted
    if (text.size() > 3 && SameText(text.substr(0, 3), L"sc#")) {
        try {
            std::vector<std::wstring_view> parts = ListItems(text.substr(3));
            for (std::wstring_view part : parts)
                ToNumber(part);
            if (parts.size() == 3 || parts.size() == 4) return;
        } catch (const ValueError&) {
        }
        throw ValueError{expected};
    }
    if (text.starts_with(L'#')) {
        std::wstring_view digits = text.substr(1);
        bool sized = digits.size() == 3 || digits.size() == 4 || digits.size() == 6 || digits.size() == 8;
        if (sized && std::all_of(digits.begin(), digits.end(), IsHex)) return;
        throw ValueError{expected};
    }
    for (const wchar_t* color : kColors)
        if (SameText(text, color)) return;
    throw ValueError{expected};
}

void FontSize(Node&, std::wstring_view value) {
    constexpr const wchar_t* expected = L"a length above 0 and up to 35791 expected";
    double size = ParseLength(value, expected);
    if (!(size > 0 && size <= 35791)) throw ValueError{expected};
}

void FontWeight(Node&, std::wstring_view value) {
    std::wstring_view text = Trim(value);
    for (const wchar_t* weight : kFontWeights)
        if (SameText(text, weight)) return;
    try {
        long long weight = ToInt32(text);
        if (weight >= 1 && weight <= 999) return;
    } catch (const ValueError&) {
    }
    throw ValueError{L"a weight's name (Thin to UltraBlack) or a number from 1 to 999 expected"};
}

void FontFamily(Node&, std::wstring_view value) {
    if (Trim(value).empty()) throw ValueError{L"a font family's name expected"};
}

void Padding(Node&, std::wstring_view value) {
    ReadThickness(value, false, false);
}

void PagePadding(Node&, std::wstring_view value) {
    ReadThickness(value, false, true);
}

void CornerRadius(Node&, std::wstring_view value) {
    constexpr const wchar_t* expected = L"one or four numbers of 0 or more expected";
    try {
        std::vector<std::wstring_view> parts = ListItems(value);
        for (std::wstring_view part : parts)
            if (ToNumber(part) < 0) throw ValueError{expected};
        if (parts.size() == 1 || parts.size() == 4) return;
    } catch (const ValueError&) {
    }
    throw ValueError{expected};
}

} // namespace check

const Type* FindType(std::wstring_view name) {
    for (const Type& type : Types())
        if (name == type.name) return &type;
    return nullptr;
}

const Property* FindProperty(const Type& type, std::wstring_view name) {
    return AlongBases(type, name, [](const Type& t) -> const std::vector<Property>& { return t.properties; });
}

const Property* FindAttachedProperty(std::wstring_view owner, std::wstring_view name) {
    const Type* type = FindType(owner);
    if (!type) return nullptr;
    for (const Property& property : type->attached)
        if (name == property.name) return &property;
    return nullptr;
}

const Property* FindSimProperty(const Type& type, std::wstring_view name) {
    return AlongBases(type, name, [](const Type& t) -> const std::vector<Property>& { return t.sim; });
}

const DefinitionList* FindDefinitionList(std::wstring_view owner, std::wstring_view name) {
    for (const DefinitionList& list : DefinitionLists())
        if (owner == list.owner && name == list.name) return &list;
    return nullptr;
}

bool ToBool(std::wstring_view value) {
    return EnumValue(value, {L"False", L"True"}) == 1;
}

} // namespace wpfsim::xaml
