#include "WpfSurface.h"

#include <algorithm>
#include <cwctype>
#include <span>
#include <unordered_map>

namespace wpfsim::surface {
namespace {

using xaml::ValueError;
using namespace member;
constexpr unsigned char Abstract = 1, Static = 2;

#include "WpfSurface.inc"

bool SameText(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && _wcsnicmp(a.data(), b.data(), a.size()) == 0;
}

std::span<const Member> MembersOf(const Class& type) {
    return {kMembers + type.first, type.count};
}

std::span<const wchar_t* const> NamesOf(const Enumeration& e) {
    return {kEnumNames + e.first, e.count};
}

const Enumeration* FindEnum(std::wstring_view name) {
    for (const Enumeration& e : kEnums)
        if (name == e.name) return &e;
    return nullptr;
}

template <class Match> const Member* AlongBases(const Class& type, Match match) {
    for (const Class* c = &type; c; c = BaseOf(*c))
        for (const Member& m : MembersOf(*c))
            if (match(m)) return &m;
    return nullptr;
}

// --- the converters beyond XamlSchema's -----------------------------------------------------------------

std::vector<double> Numbers(std::wstring_view text, const wchar_t* expected) {
    std::vector<double> numbers;
    try {
        for (std::wstring_view item : xaml::ListItems(text))
            numbers.push_back(xaml::ToNumber(item));
    } catch (const ValueError&) {
        throw ValueError{expected};
    }
    return numbers;
}

// .NET's TimeSpan: [-]d, or [-][d.]hh:mm[:ss[.fffffff]].
void ReadTimeSpan(std::wstring_view value) {
    constexpr const wchar_t* expected = L"a time span ([-][d.]hh:mm[:ss[.fffffff]]) expected";
    std::wstring_view text = xaml::Trim(value);
    if (text.starts_with(L'-')) text.remove_prefix(1);
    auto digits = [&](std::wstring_view& rest, long long limit) {
        size_t n = 0;
        long long number = 0;
        while (n < rest.size() && std::iswdigit(rest[n]) && n < 10)
            number = number * 10 + (rest[n++] - L'0');
        if (n == 0 || number > limit) throw ValueError{expected};
        rest.remove_prefix(n);
    };
    if (text.find(L':') == std::wstring_view::npos) {
        digits(text, 10675199);
        if (!text.empty()) throw ValueError{expected};
        return;
    }
    const size_t colon = text.find(L':'), dot = text.find(L'.');
    if (dot < colon) {
        digits(text, 10675199);
        text.remove_prefix(1);
    }
    digits(text, 23);
    if (!text.starts_with(L':')) throw ValueError{expected};
    text.remove_prefix(1);
    digits(text, 59);
    if (text.starts_with(L':')) {
        text.remove_prefix(1);
        digits(text, 59);
        if (text.starts_with(L'.')) {
            text.remove_prefix(1);
            digits(text, 9999999);
        }
    }
    if (!text.empty()) throw ValueError{expected};
}

// Path markup: an optional fill rule (F0, F1), then figures that start with a move; each command takes its
// numbers in groups of its arity (a move's further pairs are lines).
void ReadGeometry(std::wstring_view value) {
    constexpr const wchar_t* expected = L"path markup (M x,y L x,y ... Z) expected";
    std::wstring_view text = xaml::Trim(value);
    size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && (std::iswspace(text[i]) || text[i] == L','))
            ++i;
    };
    if (text.size() >= 2 && (text[0] == L'F' || text[0] == L'f') && (text[1] == L'0' || text[1] == L'1'))
        i = 2;
    skip();
    wchar_t command = 0;
    size_t numbers = 0;
    auto arity = [](wchar_t c) -> size_t {
        switch (std::towupper(c)) {
        case L'M':
        case L'L':
        case L'T':
            return 2;
        case L'H':
        case L'V':
            return 1;
        case L'Q':
        case L'S':
            return 4;
        case L'C':
            return 6;
        case L'A':
            return 7;
        default:
            return 0; // Z
        }
    };
    auto close = [&] {
        if (command && arity(command) && (numbers == 0 || numbers % arity(command)))
            throw ValueError{expected};
    };
    if (i == text.size()) return; // an empty geometry
    while (i < text.size()) {
        const wchar_t c = text[i];
        if (std::wcschr(L"MmLlHhVvCcQqSsTtAaZz", c) && c) {
            close();
            if (!command && std::towupper(c) != L'M') throw ValueError{expected};
            command = c;
            numbers = 0;
            ++i;
        } else {
            if (!command || !arity(command)) throw ValueError{expected};
            size_t start = i;
            if (text[i] == L'+' || text[i] == L'-') ++i;
            size_t digits = 0;
            while (i < text.size() && std::iswdigit(text[i]))
                ++i, ++digits;
            if (i < text.size() && text[i] == L'.')
                for (++i; i < text.size() && std::iswdigit(text[i]); ++i)
                    ++digits;
            if (digits == 0) throw ValueError{expected};
            if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
                ++i;
                if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
                size_t exponent = 0;
                while (i < text.size() && std::iswdigit(text[i]))
                    ++i, ++exponent;
                if (exponent == 0) throw ValueError{expected};
            }
            (void)start;
            ++numbers;
        }
        skip();
    }
    close();
}

void ReadEnum(const Enumeration& e, std::wstring_view text) {
    if (!e.flags) {
        xaml::EnumValue(text, NamesOf(e));
        return;
    }
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(L',', start);
        xaml::EnumValue(text.substr(start, comma - start), NamesOf(e));
        if (comma == std::wstring_view::npos) return;
        start = comma + 1;
    }
}

// A key as KeyConverter reads it: a name of Key, a letter or a digit.
void ReadKey(std::wstring_view key) {
    key = xaml::Trim(key);
    if (key.size() == 1 && std::iswalnum(key[0])) return;
    xaml::EnumValue(key, NamesOf(*FindEnum(L"Key")));
}

// Modifiers joined by '+' before the last part: Ctrl (or Control), Shift, Alt, Windows.
std::wstring_view ReadModifiers(std::wstring_view text) {
    static const wchar_t* const modifiers[] = {L"Ctrl", L"Control", L"Shift", L"Alt", L"Windows", L"Win"};
    size_t plus;
    while ((plus = text.find(L'+')) != std::wstring_view::npos && plus + 1 < text.size()) {
        xaml::EnumValue(text.substr(0, plus), modifiers);
        text.remove_prefix(plus + 1);
    }
    return text;
}

constexpr const wchar_t* kCursors[] = {
    L"AppStarting", L"Arrow",    L"ArrowCD", L"Cross",     L"Hand",     L"Help",    L"IBeam",
    L"No",          L"None",     L"Pen",     L"ScrollAll", L"ScrollE",  L"ScrollN", L"ScrollNE",
    L"ScrollNS",    L"ScrollNW", L"ScrollS", L"ScrollSE",  L"ScrollSW", L"ScrollW", L"ScrollWE",
    L"SizeAll",     L"SizeNESW", L"SizeNS",  L"SizeNWSE",  L"SizeWE",   L"UpArrow", L"Wait"};
constexpr const wchar_t* kFontStyles[] = {L"Normal", L"Italic", L"Oblique"};
constexpr const wchar_t* kFontStretches[] = {
    L"UltraCondensed", L"ExtraCondensed", L"Condensed", L"SemiCondensed", L"Normal",
    L"Medium",         L"SemiExpanded",   L"Expanded",  L"ExtraExpanded", L"UltraExpanded"};
constexpr const wchar_t* kDecorations[] = {L"None", L"Underline", L"Strikethrough", L"OverLine", L"Baseline"};

} // namespace

const Class* FindClass(std::wstring_view name) {
    static const std::unordered_map<std::wstring_view, const Class*> index = [] {
        std::unordered_map<std::wstring_view, const Class*> map;
        for (const Class& c : kClasses)
            map.emplace(c.name, &c);
        return map;
    }();
    auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

const Class* BaseOf(const Class& type) {
    return type.base < 0 ? nullptr : &kClasses[type.base];
}

bool DerivesFrom(const Class& type, std::wstring_view name) {
    for (const Class* c = &type; c; c = BaseOf(*c))
        if (name == c->name) return true;
    return false;
}

bool IsAbstract(const Class& type) {
    return type.flags & (Abstract | Static);
}

bool IsElement(const Class& type) {
    return DerivesFrom(type, L"Visual") || DerivesFrom(type, L"ContentElement");
}

const wchar_t* ContentPropertyOf(const Class& type) {
    for (const Class* c = &type; c; c = BaseOf(*c))
        if (c->content) return c->content;
    return nullptr;
}

const Member* FindProperty(const Class& type, std::wstring_view name) {
    return AlongBases(type, [&](const Member& m) { return (m.flags & Property) && name == m.name; });
}

const Member* FindAttached(const Class& owner, std::wstring_view name) {
    return AlongBases(owner, [&](const Member& m) { return (m.flags & Attached) && name == m.name; });
}

bool HasEvent(const Class& type, std::wstring_view name, bool routed) {
    const unsigned char flag = routed ? RoutedEvent : Event;
    return AlongBases(type, [&](const Member& m) { return (m.flags & flag) && name == m.name; }) != nullptr;
}

std::optional<long> EnumNumber(const Member& property, std::wstring_view text) {
    if (property.converter != Converter::Enum || !kEnums[property.enumIndex].numbered) return std::nullopt;
    return static_cast<long>(xaml::EnumValue(text, NamesOf(kEnums[property.enumIndex])));
}

void Convert(const Member& property, std::wstring_view value) {
    xaml::Node none;
    const std::wstring_view text = xaml::Trim(value);
    switch (property.converter) {
    case Converter::None:
    case Converter::Text:
        return;
    case Converter::Char:
        if (value.size() != 1) throw ValueError{L"one character expected"};
        return;
    case Converter::Bool:
    case Converter::NullableBool:
        xaml::ToBool(value);
        return;
    case Converter::Int32:
    case Converter::Integer:
        xaml::ToInt32(value);
        return;
    case Converter::Number:
        xaml::ToNumber(value);
        return;
    case Converter::Length:
        xaml::ToPosition(value);
        return;
    case Converter::FontSize:
        xaml::check::FontSize(none, value);
        return;
    case Converter::Thickness:
        xaml::ToThickness(value);
        return;
    case Converter::CornerRadius:
        xaml::check::CornerRadius(none, value);
        return;
    case Converter::Brush:
    case Converter::Color:
        xaml::check::Brush(none, value);
        return;
    case Converter::FontFamily:
        xaml::check::FontFamily(none, value);
        return;
    case Converter::FontWeight:
        xaml::check::FontWeight(none, value);
        return;
    case Converter::FontStyle:
        xaml::EnumValue(value, kFontStyles);
        return;
    case Converter::FontStretch: {
        try {
            const long long stretch = xaml::ToInt32(value);
            if (stretch >= 1 && stretch <= 9) return;
        } catch (const ValueError&) {
        }
        xaml::EnumValue(value, kFontStretches);
        return;
    }
    case Converter::Duration:
        if (SameText(text, L"Automatic") || SameText(text, L"Forever")) return;
        ReadTimeSpan(text);
        return;
    case Converter::TimeSpan:
        ReadTimeSpan(text);
        return;
    case Converter::Point:
        if (Numbers(text, L"two numbers (x,y) expected").size() != 2)
            throw ValueError{L"two numbers (x,y) expected"};
        return;
    case Converter::Size: {
        constexpr const wchar_t* expected = L"two numbers of 0 or more (width,height), or Empty, expected";
        if (text == L"Empty") return;
        std::vector<double> n = Numbers(text, expected);
        if (n.size() != 2 || n[0] < 0 || n[1] < 0) throw ValueError{expected};
        return;
    }
    case Converter::Rect: {
        constexpr const wchar_t* expected = L"four numbers (x,y,width,height), or Empty, expected";
        if (text == L"Empty") return;
        std::vector<double> n = Numbers(text, expected);
        if (n.size() != 4 || n[2] < 0 || n[3] < 0) throw ValueError{expected};
        return;
    }
    case Converter::Cursor:
        if (text.size() > 4 && (SameText(text.substr(text.size() - 4), L".cur") ||
                                SameText(text.substr(text.size() - 4), L".ani")))
            return;
        xaml::EnumValue(text, kCursors);
        return;
    case Converter::GridLength:
        if (text.ends_with(L'*')) {
            if (text.size() > 1 && xaml::ToNumber(text.substr(0, text.size() - 1)) < 0)
                throw ValueError{L"a length, Auto or a star share expected"};
            return;
        }
        xaml::ToLength(text);
        return;
    case Converter::DoubleCollection:
        Numbers(text, L"numbers expected");
        return;
    case Converter::PointCollection:
        if (Numbers(text, L"pairs of numbers (x,y x,y ...) expected").size() % 2)
            throw ValueError{L"pairs of numbers (x,y x,y ...) expected"};
        return;
    case Converter::Geometry:
        ReadGeometry(text);
        return;
    case Converter::Transform:
    case Converter::Matrix:
        if (text == L"Identity") return;
        if (Numbers(text, L"six numbers (m11,m12,m21,m22,offsetX,offsetY) or Identity expected").size() != 6)
            throw ValueError{L"six numbers (m11,m12,m21,m22,offsetX,offsetY) or Identity expected"};
        return;
    case Converter::Command: {
        // A command of the application's own classes (local:Commands.Save) is not known here.
        if (text.find(L':') != std::wstring_view::npos) return;
        // A control's own commands (Slider.DecreaseSmall) are static members of its class.
        if (const size_t dot = text.find(L'.');
            dot != std::wstring_view::npos && FindClass(text.substr(0, dot)))
            return;
        for (const wchar_t* command : kCommands) {
            std::wstring_view known = command;
            if (text == known || text == known.substr(known.find(L'.') + 1)) return;
        }
        throw ValueError{L"a command of WPF's command classes (ApplicationCommands.Copy, Copy) expected"};
    }
    case Converter::RoutedEvent: {
        constexpr const wchar_t* expected = L"a routed event (Button.Click, Loaded) expected";
        // An event of the application's own classes (local:Tile.Opened) is not known here.
        if (text.find(L':') != std::wstring_view::npos) return;
        const size_t dot = text.find(L'.');
        if (dot != std::wstring_view::npos) {
            const Class* owner = FindClass(text.substr(0, dot));
            if (owner && HasEvent(*owner, text.substr(dot + 1), true)) return;
            throw ValueError{expected};
        }
        for (const Member& m : kMembers)
            if ((m.flags & RoutedEvent) && text == m.name) return;
        throw ValueError{expected};
    }
    case Converter::KeyGesture: {
        try {
            const std::wstring_view gesture = xaml::Trim(text.substr(0, text.find(L',')));
            if (gesture.empty()) throw ValueError{};
            ReadKey(ReadModifiers(gesture));
        } catch (const ValueError&) {
            throw ValueError{L"a key with its modifiers (Ctrl+S) expected"};
        }
        return;
    }
    case Converter::MouseGesture:
        xaml::EnumValue(ReadModifiers(text), NamesOf(*FindEnum(L"MouseAction")));
        return;
    case Converter::TextDecorations:
        for (std::wstring_view item : xaml::ListItems(text))
            xaml::EnumValue(item, kDecorations);
        return;
    case Converter::KeyTime:
        if (SameText(text, L"Uniform") || SameText(text, L"Paced")) return;
        if (text.ends_with(L'%')) {
            const double percent = xaml::ToNumber(text.substr(0, text.size() - 1));
            if (percent < 0 || percent > 100) throw ValueError{L"a percentage from 0 to 100 expected"};
            return;
        }
        ReadTimeSpan(text);
        return;
    case Converter::RepeatBehavior:
        if (SameText(text, L"Forever")) return;
        if (text.ends_with(L'x') || text.ends_with(L'X')) {
            if (xaml::ToNumber(text.substr(0, text.size() - 1)) < 0)
                throw ValueError{L"a count of 0 or more expected"};
            return;
        }
        ReadTimeSpan(text);
        return;
    case Converter::Enum:
        // ModifierKeysConverter joins its names with '+' and knows Ctrl and Win besides the enumeration's.
        if (kEnums[property.enumIndex].name == std::wstring_view(L"ModifierKeys")) {
            static const wchar_t* const modifiers[] = {L"None", L"Ctrl",    L"Control", L"Shift",
                                                       L"Alt",  L"Windows", L"Win"};
            for (size_t start = 0;;) {
                const size_t plus = text.find(L'+', start);
                xaml::EnumValue(text.substr(start, plus - start), modifiers);
                if (plus == std::wstring_view::npos) return;
                start = plus + 1;
            }
        }
        ReadEnum(kEnums[property.enumIndex], text);
        return;
    }
}

} // namespace wpfsim::surface
