#include "XamlSchema.h"

#include "Buttons.h"
#include "Items.h"
#include "Ranges.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace wpfsim::xaml {
namespace {

bool SameText(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && _wcsnicmp(a.data(), b.data(), a.size()) == 0;
}

void NoEffect(Node&, std::wstring_view) {}

const std::vector<Type>& Types() {
    static const std::vector<Type> types = [] {
        std::vector<Type> all;
        for (auto family : {&FrameworkTypes, &ButtonTypes, &ItemTypes, &RangeTypes})
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

Property Cosmetic(const wchar_t* name) {
    return {name, &NoEffect};
}

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && std::iswspace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back()))
        text.remove_suffix(1);
    return text;
}

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

} // namespace wpfsim::xaml
