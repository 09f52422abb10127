// Reading objects by member name through IDispatch, as a script reads them: the application's .NET objects
// (their WPF members) and the module's automation objects (their members, names without case).
#pragma once

#include "com/ComPtr.h"
#include "com/OleTypes.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace ovhost {

// Whether the object knows the name.
bool HasMember(IDispatch* object, std::wstring_view name);
// A property's value, or a method's result (arguments in call order); nothing when the object does not
// know the name or the call fails.
std::optional<ov::Variant> ByName(IDispatch* object, std::wstring_view name,
                                  std::initializer_list<ov::Variant> arguments = {});

// The text of a plain value as the module turns values into text: what converts to a string (a .NET
// string object through its default value), "" for empty, a primitive object's "ToString"; nothing for
// other objects (an element).
std::optional<std::wstring> ValueText(const VARIANT& value);

// Typed reads; nothing when the member is missing or its value does not convert.
std::optional<std::wstring> TextByName(IDispatch* object, std::wstring_view name,
                                       std::initializer_list<ov::Variant> arguments = {});
std::optional<LONG> IntByName(IDispatch* object, std::wstring_view name,
                              std::initializer_list<ov::Variant> arguments = {});
std::optional<double> NumberByName(IDispatch* object, std::wstring_view name);
// A null or empty value (a bool? without value) reads as an empty optional inside a present one.
std::optional<std::optional<bool>> BoolByName(IDispatch* object, std::wstring_view name,
                                              std::initializer_list<ov::Variant> arguments = {});
// An object result; null when there is none (also a null object).
ov::ComPtr<IDispatch> ObjectByName(IDispatch* object, std::wstring_view name,
                                   std::initializer_list<ov::Variant> arguments = {});

} // namespace ovhost
