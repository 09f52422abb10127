// The host's prelude declares the global Log (VBScript's built-in Log function hides a named item of that
// name). A script that declares Log at its top level too would redefine the name: those declarations lose
// the name Log, everything else of the script stays where it was (lines and columns unchanged), so error
// positions are the script's own. Declarations inside a Sub, Function, Property or Class are local and stay.
#pragma once

#include <string>
#include <string_view>

namespace ovhost {

// `Dim`, `Private`, `Public` and `Const`... statements at the script's top level without the name `name`
// (compared without case); a statement left with no names becomes spaces.
std::wstring WithoutTopLevelDeclaration(std::wstring_view script, std::wstring_view name);

} // namespace ovhost
