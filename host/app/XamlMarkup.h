// WPF's markup extension syntax in attribute values, and the system values that {x:Static} names.
//
//   {Name}  {Name positional, ...}  {Name Key=Value, ...}  {Name a, Key={Nested x}, Other='quoted, text'}
//
// Positional arguments come before named ones; a value is quoted with ' or " (the quote being its first
// character) or unquoted, where a backslash takes the next character as it is and a nested {...} keeps its
// commas; white space around a value is dropped. "{}" at the start of an attribute escapes the rest (the
// reader's business, not the parser's).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ovhost::markup {

struct Extension;

// An argument: text, or a nested extension.
struct Argument {
    std::wstring text;
    std::shared_ptr<const Extension> extension;
};

struct Extension {
    std::wstring name; // as written: "StaticResource", "x:Static", "Binding"
    std::vector<Argument> positional;
    std::vector<std::pair<std::wstring, Argument>> named;
    // A named argument, or null.
    const Argument* Named(std::wstring_view key) const;
    // The markup as WPF would write it back (for messages).
    std::wstring ToString() const;
};

// Why a markup extension cannot be read (the reader adds the position).
struct SyntaxError {
    std::wstring message;
};

// `text` starts with '{' and is not the "{}" escape. Throws SyntaxError.
Extension Parse(std::wstring_view text);

// A value of the system that {x:Static Owner.Member} names.
struct SystemValue {
    std::wstring typeName; // the .NET class of the value
    std::wstring text;     // the value as an attribute would write it ("#FFF0F0F0", "12", "Segoe UI")
    // A resource key (SystemColors.ControlBrushKey): what it names, as "Owner.Member" of the value.
    std::wstring keyOf;
    // A member of code that the simulation does not evaluate (the project's, or WPF's commands): no value.
    bool unevaluated = false;
};

// The member, or nothing when the simulation does not know it. `owner` without a prefix.
std::optional<SystemValue> StaticMember(std::wstring_view owner, std::wstring_view member);

} // namespace ovhost::markup
